#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "xtl/registry_data.h"

namespace {

using namespace xtl::registry;

std::optional<std::uint32_t> Number(std::uint32_t type, const std::string& bytes) {
  return read_number(type, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}
std::optional<bool> Flag(std::uint32_t type, const std::string& bytes) {
  return read_flag(type, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}
std::optional<std::string> Text(std::uint32_t type, const std::string& bytes) {
  return read_text(type, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}
std::string Bytes(std::uint32_t n) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(n >> (8 * i));
  return s;
}

TEST(RegistryData, NumbersFromFourByteValuesAndDecimalStrings) {
  EXPECT_EQ(Number(number_type, Bytes(0x11223344)), 0x11223344u);
  EXPECT_EQ(Number(binary_type, Bytes(7)), 7u);  // as this library stores a number
  // The control panel writes some numbers as strings.
  EXPECT_EQ(Number(text_type, std::string("0\0", 2)), 0u);
  EXPECT_EQ(Number(text_type, std::string("1\0", 2)), 1u);
  EXPECT_EQ(Number(text_type, "42"), 42u);  // no terminator stored
  EXPECT_EQ(Number(text_type, std::string("-1\0", 3)), 0xFFFFFFFFu);
  EXPECT_EQ(Number(text_type, "4294967295"), 0xFFFFFFFFu);
  // Anything else says no number: not its first bytes, not a guess.
  for (const std::string& bad :
       {std::string("ABC\0", 4), std::string(), std::string("1 2"), std::string("-"),
        std::string("4294967296"), std::string("-2147483649"),
        std::string("\0"
                    "1",
                    2)})
    EXPECT_FALSE(Number(text_type, bad)) << bad;
  EXPECT_FALSE(Number(number_type, "\x01\x02"));
  EXPECT_FALSE(Number(binary_type, std::string(8, '\1')));
  EXPECT_FALSE(Number(11, Bytes(1)));  // REG_QWORD
}

TEST(RegistryData, FlagsFromAByteANumberOrADigitString) {
  EXPECT_EQ(Flag(binary_type, "\x02"), true);  // any non-zero byte
  EXPECT_EQ(Flag(binary_type, std::string(1, '\0')), false);
  EXPECT_EQ(Flag(number_type, Bytes(1)), true);  // a one-byte read of it said nothing before
  EXPECT_EQ(Flag(number_type, Bytes(0)), false);
  EXPECT_EQ(Flag(number_type, Bytes(0x100)), true);  // not only its first byte
  EXPECT_EQ(Flag(text_type, std::string("0\0", 2)), false);
  EXPECT_EQ(Flag(text_type, std::string("1\0", 2)), true);
  EXPECT_FALSE(Flag(text_type, std::string("yes\0", 4)));
  EXPECT_FALSE(Flag(binary_type, std::string("\x01\x00\x00", 3)));
}

TEST(RegistryData, TextEndsAtItsTerminatorOrItsDataNeverBeyond) {
  EXPECT_EQ(Text(text_type, std::string("Verivir\0junk", 12)), "Verivir");
  EXPECT_EQ(Text(expandable_type, std::string("%TEMP%\0", 7)), "%TEMP%");
  // Stored without a terminator: exactly the stored bytes (checked by ASan here).
  const std::string unterminated = "Times New Roman";
  auto* heap = new unsigned char[unterminated.size()];
  std::memcpy(heap, unterminated.data(), unterminated.size());
  EXPECT_EQ(read_text(text_type, heap, unterminated.size()), unterminated);
  delete[] heap;
  EXPECT_EQ(Text(text_type, ""), "");
  EXPECT_FALSE(Text(binary_type, std::string("Text\0", 5)));
  EXPECT_FALSE(Text(number_type, Bytes(0x41)));
}

}  // namespace
