// Window-free rules of the text ring: time patterns, formatting, angles.
#pragma once
#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

namespace text_format {

// Glyphs exist for characters 32 to 255.
constexpr int kFirstGlyph = 32;
constexpr int kGlyphCount = 224;

// A pattern is timed when it holds an hour, minute or second code.
bool IsTimed(const std::string& pattern);

// The pattern formatted for the local time of t: the codes every C runtime
// knows (and the shorthands D, F, R, T, h, n, t) are formatted with strftime,
// any other percent sign is shown as it is. Empty when the conversion fails or
// the result does not fit into 127 characters.
std::string Format(const std::string& pattern, std::time_t t);

// Characters below 32 have no glyph: they are dropped from the shown text.
std::string WithoutControlChars(const std::string& text);

// Characters of the text that the ring draws; more would only overlap.
constexpr std::size_t kDrawnChars = 1000;

// What the ring draws of a text: the characters that have a glyph, at most
// the first kDrawnChars of them.
std::string Drawn(const std::string& text);

// Degrees the ring has turned about the vertical axis at a phase: the
// speed, brought into its range, sets how fast.
double RingTurn(int textSpeed, double phase);

// Degrees that precede each character: its advance in scene units over the
// radius. advance[i] is the advance (in ems) of character 32 + i.
std::vector<float> RingAngles(const std::string& shown, const float (&advance)[kGlyphCount],
                              float scale, float radius);

// The clock of timed patterns, in whole seconds; tests replace it.
using Clock = std::time_t (*)();
std::time_t Now();
void SetClock(Clock clock);  // null restores the system clock

}  // namespace text_format
