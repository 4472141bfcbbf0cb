#include "scene/text_format.h"

#include <atomic>
#include <cstring>

#include "scene/scene_options.h"

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
        const char single[3] = {'%', code, '\0'};
        char buffer[128];
        out.append(buffer, std::strftime(buffer, sizeof buffer, single, &local));
      } else if (const char* spelled = Shorthand(code)) {
        if (!Expand(spelled, local, out)) return false;
      } else {
        out += '%';  // unknown: shown literally
        out += code;
      }
    }
    if (out.size() > kMaxShown) return false;
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
  std::string shown = WithoutControlChars(text);
  if (shown.size() > kDrawnChars) shown.resize(kDrawnChars);
  return shown;
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

std::u32string CodePoints(const std::u16string& text) {
  std::u32string codes;
  codes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      codes += 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      codes += U'\uFFFD';
    } else {
      codes += c;
    }
  }
  return codes;
}

std::time_t Now() {
  Clock clock = g_clock.load();
  return clock ? clock() : std::time(nullptr);
}

void SetClock(Clock clock) { g_clock.store(clock); }

}  // namespace text_format
