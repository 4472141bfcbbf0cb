// libFuzzer target: any text setting, formatted as the text ring does.
#include <cstddef>
#include <cstdint>
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
  return 0;
}
