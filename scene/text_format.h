// Window-free rules of the text ring: time patterns, formatting, angles.
// Texts are UTF-8; a character is a code point.
#pragma once
#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "scene/glyph_cache.h"

namespace text_format {

// Characters below this are control characters, drawn as nothing.
constexpr int kFirstGlyph = 32;

// A pattern is timed when it holds an hour, minute or second code.
bool IsTimed(const std::string& pattern);

// The pattern formatted for the local time of t: the codes every C runtime
// knows (and the shorthands D, F, R, T, h, n, t) are formatted with wcsftime,
// any other percent sign is shown as it is. '%' and the code letters never
// occur inside a multibyte sequence, so the rest of the text passes as it is.
// Empty when the conversion fails or the result does not fit into 127
// characters.
std::string Format(const std::string& pattern, std::time_t t);

// Characters below 32 have no glyph: they are dropped from the shown text.
std::string WithoutControlChars(const std::string& text);

// Characters of the text that the ring draws; more would only overlap.
constexpr std::size_t kDrawnChars = 1000;

// What the ring draws of a text: the characters that have a glyph, at most
// the first kDrawnChars of them, never cut inside one.
std::string Drawn(const std::string& text);

// Degrees the ring has turned about the vertical axis at a phase: the
// speed, brought into its range, sets how fast.
double RingTurn(int textSpeed, double phase);

// Degrees that precede each character: its glyph's advance in scene units
// over the radius; 0 for a character without a glyph.
std::vector<float> RingAngles(const std::u32string& codes, const GlyphCache& glyphs, float scale,
                              float radius);

// The characters of a text, by code point; bytes that are no UTF-8 are U+FFFD.
std::u32string CodePoints(const std::string& text);

// The clock of timed patterns, in whole seconds; tests replace it.
using Clock = std::time_t (*)();
std::time_t Now();
void SetClock(Clock clock);  // null restores the system clock

}  // namespace text_format
