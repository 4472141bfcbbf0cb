#include "scene/text_format.h"

#include <atomic>

namespace text_format {

namespace {
std::atomic<Clock> g_clock{nullptr};
}

bool IsTimed(const std::string& pattern) {
  return pattern.find("%H") != std::string::npos || pattern.find("%M") != std::string::npos ||
         pattern.find("%S") != std::string::npos;
}

std::string Format(const std::string& pattern, std::time_t t) {
  std::tm local = {};
#ifdef _WIN32
  const std::tm* converted = std::localtime(&t);  // the CRT keeps it per thread
  if (!converted) return std::string();
  local = *converted;
#else
  if (!localtime_r(&t, &local)) return std::string();
#endif
  char buffer[128];
  std::size_t n = std::strftime(buffer, sizeof buffer, pattern.c_str(), &local);
  // strftime reports both a failure and a too long result as 0.
  return std::string(buffer, n);
}

std::string WithoutControlChars(const std::string& text) {
  std::string shown;
  shown.reserve(text.size());
  for (char c : text)
    if (static_cast<unsigned char>(c) >= kFirstGlyph) shown += c;
  return shown;
}

std::vector<float> RingAngles(const std::string& shown, const float (&advance)[kGlyphCount],
                              float scale, float radius) {
  const float factor = scale * 57.295776f / radius;
  std::vector<float> angles;
  angles.reserve(shown.size());
  for (char c : shown) {
    unsigned code = static_cast<unsigned char>(c);
    angles.push_back(code >= kFirstGlyph ? advance[code - kFirstGlyph] * factor : 0.0f);
  }
  return angles;
}

std::time_t Now() {
  Clock clock = g_clock.load();
  return clock ? clock() : std::time(nullptr);
}

void SetClock(Clock clock) { g_clock.store(clock); }

}  // namespace text_format
