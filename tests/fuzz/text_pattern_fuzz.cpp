// libFuzzer target: any text setting, formatted as the text ring does, and
// the same bytes as UTF-16 taken apart into code points.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "scene/text_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string pattern(reinterpret_cast<const char*>(data), size);
  const std::string shown = text_format::Format(pattern, 1000000000);
  if (shown.size() > 127) __builtin_trap();
  // Without a percent sign there is nothing to format: the text is shown as it is.
  if (pattern.find('%') == std::string::npos && pattern.size() <= 127 && shown != pattern)
    __builtin_trap();
  const std::string drawn = text_format::WithoutControlChars(shown);
  for (char c : drawn)
    if (static_cast<unsigned char>(c) < text_format::kFirstGlyph) __builtin_trap();
  text_format::IsTimed(pattern);
  std::u16string units(size / 2, u'\0');
  std::memcpy(&units[0], data, units.size() * sizeof(char16_t));
  const std::u32string codes = text_format::CodePoints(units);
  if (codes.size() > units.size()) __builtin_trap();
  for (char32_t c : codes)
    if ((c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) __builtin_trap();
  return 0;
}
