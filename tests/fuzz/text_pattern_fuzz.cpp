// libFuzzer target: any text setting, formatted as the text ring does, and
// the same bytes as UTF-8 and as UTF-16 taken apart into code points.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "scene/text_format.h"
#include "xtl/unicode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string pattern(reinterpret_cast<const char*>(data), size);
  const std::string shown = text_format::Format(pattern, 1000000000);
  if (xtl::unicode::utf8_length(shown) > 127) __builtin_trap();
  // Without a percent sign there is nothing to format: the text is shown as it is.
  if (pattern.find('%') == std::string::npos && xtl::unicode::utf8_length(pattern) <= 127 &&
      shown != pattern)
    __builtin_trap();
  const std::string drawn = text_format::WithoutControlChars(shown);
  for (char c : drawn)
    if (static_cast<unsigned char>(c) < text_format::kFirstGlyph) __builtin_trap();
  text_format::IsTimed(pattern);
  std::u16string units(size / 2, u'\0');
  std::memcpy(&units[0], data, units.size() * sizeof(char16_t));
  const std::u32string codes = xtl::unicode::decode_utf16(units);
  if (codes.size() > units.size()) __builtin_trap();
  for (char32_t c : codes)
    if ((c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) __builtin_trap();
  const std::u32string points = text_format::CodePoints(pattern);
  if (points.size() > size) __builtin_trap();
  // Well-formed text goes through UTF-16 unchanged; what was not is made so.
  const std::string again = xtl::unicode::encode_utf8(points);
  if (xtl::unicode::utf16_from_utf8(again) != xtl::unicode::encode_utf16(points)) __builtin_trap();
  if (xtl::unicode::utf8_from_utf16(xtl::unicode::utf16_from_utf8(again)) != again)
    __builtin_trap();
  if (xtl::unicode::utf8_length(text_format::Drawn(pattern)) > text_format::kDrawnChars)
    __builtin_trap();
  return 0;
}
