// How a stored registry value is read as the type a program wants, whatever
// type it was stored with. Values come from other programs and from people
// editing the registry: nothing is read past a value's end, and a value that
// does not say what is wanted gives nothing. No windows here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace xtl {
namespace registry {

// The stored types these reads know, numbered as the registry numbers them.
enum stored_type : std::uint32_t {
  text_type = 1,        // REG_SZ
  expandable_type = 2,  // REG_EXPAND_SZ
  binary_type = 3,      // REG_BINARY
  number_type = 4,      // REG_DWORD
};

// A 32-bit number: a REG_DWORD, four bytes of binary (as a number is stored
// by this library), or a string of decimal digits with an optional sign, as
// the control panel writes some numbers ("0", "1", "-1").
std::optional<std::uint32_t> read_number(std::uint32_t type, const unsigned char* data,
                                         std::size_t size);

// A flag: one byte of binary (as this library stores one), else any number
// that read_number accepts; true when it is not zero.
std::optional<bool> read_flag(std::uint32_t type, const unsigned char* data, std::size_t size);

// A string value up to its first terminator, or to its end when it has none.
std::optional<std::string> read_text(std::uint32_t type, const unsigned char* data,
                                     std::size_t size);

// A string value as the wide functions give it (UTF-16, little-endian), up
// to its first terminator or its end (an odd last byte is no character), as
// UTF-8; a lone surrogate reads as U+FFFD.
std::optional<std::string> read_wide_text(std::uint32_t type, const unsigned char* data,
                                          std::size_t size);

}  // namespace registry
}  // namespace xtl
