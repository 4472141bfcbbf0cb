#include "scene/text_format.h"

#include <atomic>
#include <cstring>
#include <cwchar>

#include "scene/scene_options.h"
#include "xtl/unicode.h"

namespace text_format {

namespace {
std::atomic<Clock> g_clock{nullptr};
}

bool IsTimed(const std::string& pattern) {
  return pattern.find("%H") != std::string::npos || pattern.find("%M") != std::string::npos ||
         pattern.find("%S") != std::string::npos;
}

namespace {

constexpr std::size_t kMaxShown = 127;  // what a buffer of 128 characters holds

// Codes that every C runtime formats. Others may end the process in one
// runtime and give nothing in another, so they are never passed on.
bool IsPlainCode(char code) { return code != '\0' && std::strchr("aAbBcdHIjmMpSUwWxXyYZ", code); }

// Later shorthands, spelled with plain codes.
const char* Shorthand(char code) {
  switch (code) {
    case 'D':
      return "%m/%d/%y";
    case 'F':
      return "%Y-%m-%d";
    case 'R':
      return "%H:%M";
    case 'T':
      return "%H:%M:%S";
    case 'h':
      return "%b";
    case 'n':
      return "\n";
    case 't':
      return "\t";
    default:
      return nullptr;
  }
}

// One code in the runtime's wide form: names (a month, a time zone) come out
// whole whatever the code page.
void AppendCode(char code, const std::tm& local, std::string& out) {
  const wchar_t single[3] = {L'%', static_cast<wchar_t>(code), L'\0'};
  wchar_t buffer[128];
  const std::size_t n = std::wcsftime(buffer, 128, single, &local);
  out += xtl::unicode::utf8_from_wide(std::wstring(buffer, n));
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Appends the pattern formatted for local; false once the text is too long.
bool Expand(const std::string& pattern, const std::tm& local, std::string& out) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c != '%' || i + 1 == pattern.size()) {
      out += c;  // a trailing percent sign is shown as it is
    } else {
      const char code = pattern[++i];
      if (code == '%') {
        out += '%';
      } else if (IsPlainCode(code)) {
        AppendCode(code, local, out);
      } else if (const char* spelled = Shorthand(code)) {
        if (!Expand(spelled, local, out)) return false;
      } else {
        out += '%';  // unknown: shown literally
        out += code;
      }
    }
    // Counted between characters, never inside one.
    const bool whole = i + 1 == pattern.size() || !IsContinuation(pattern[i + 1]);
    if (whole && out.size() > kMaxShown && xtl::unicode::utf8_length(out) > kMaxShown) return false;
  }
  return true;
}

}  // namespace

std::string Format(const std::string& pattern, std::time_t t) {
  std::tm local = {};
#ifdef _WIN32
  const std::tm* converted = std::localtime(&t);  // the CRT keeps it per thread
  if (!converted) return std::string();
  local = *converted;
#else
  if (!localtime_r(&t, &local)) return std::string();
#endif
  std::string shown;
  if (!Expand(pattern, local, shown)) return std::string();
  return shown;
}

std::string WithoutControlChars(const std::string& text) {
  std::string shown;
  shown.reserve(text.size());
  for (char c : text)
    if (static_cast<unsigned char>(c) >= kFirstGlyph) shown += c;
  return shown;
}

std::string Drawn(const std::string& text) {
  return xtl::unicode::utf8_prefix(WithoutControlChars(text), kDrawnChars);
}

double RingTurn(int textSpeed, double phase) {
  return (scene_options::Clamped(&SceneSettings::textSpeed, textSpeed) + 1) * -5.0 * phase * 0.5;
}

std::vector<float> RingAngles(const std::u32string& codes, const GlyphCache& glyphs, float scale,
                              float radius) {
  const float factor = scale * 57.295776f / radius;
  std::vector<float> angles;
  angles.reserve(codes.size());
  for (char32_t c : codes) {
    const GlyphCache::Glyph* glyph = glyphs.Find(c);
    angles.push_back(glyph ? glyph->advance * factor : 0.0f);
  }
  return angles;
}

std::u32string CodePoints(const std::string& text) { return xtl::unicode::decode_utf8(text); }

std::time_t Now() {
  Clock clock = g_clock.load();
  return clock ? clock() : std::time(nullptr);
}

void SetClock(Clock clock) { g_clock.store(clock); }

}  // namespace text_format
