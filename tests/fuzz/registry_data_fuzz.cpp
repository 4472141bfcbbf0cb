// libFuzzer target: any stored registry value (first byte: its type), read as
// a number, a flag and a text, as the program reads values others wrote.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "xtl/registry_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint32_t type = data[0] % 6;
  // A copy of exactly the value's bytes, so that ASan sees any read past its end.
  std::string stored(reinterpret_cast<const char*>(data + 1), size - 1);
  auto* value = new unsigned char[stored.size() + 1];
  std::memcpy(value, stored.data(), stored.size());
  const std::size_t length = stored.size();
  const auto number = xtl::registry::read_number(type, value, length);
  const auto flag = xtl::registry::read_flag(type, value, length);
  const auto text = xtl::registry::read_text(type, value, length);
  // A flag says what a number says, except for the one-byte binary flag.
  if (number && (!flag || *flag != (*number != 0))) __builtin_trap();
  if (text && (text->size() > length || text->find('\0') != std::string::npos)) __builtin_trap();
  // UTF-16 as UTF-8: at most three bytes for each two, no terminator inside.
  const auto wide = xtl::registry::read_wide_text(type, value, length);
  if (wide && (wide->size() > length / 2 * 3 || wide->find('\0') != std::string::npos))
    __builtin_trap();
  delete[] value;
  return 0;
}
