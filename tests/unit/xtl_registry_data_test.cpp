#include <gtest/gtest.h>

#include <string>

#include "xtl/registry_data.h"

namespace {

using namespace xtl::registry;

const unsigned char* Bytes(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

// Values other programs wrote: the control panel writes some numbers as
// strings; anything that is not what is wanted says nothing, never a guess
// from its first bytes.
TEST(RegistryData, NumbersAndFlagsByTheTypeTheyWereStoredWith) {
  const std::string four("\x44\x33\x22\x11", 4), one("\x01\0\0\0", 4);
  EXPECT_EQ(read_number(number_type, Bytes(four), 4), 0x11223344u);
  EXPECT_EQ(read_number(binary_type, Bytes(four), 4), 0x11223344u);
  EXPECT_EQ(read_number(text_type, Bytes("17"), 3), 17u);
  EXPECT_EQ(read_number(text_type, Bytes("-1"), 2), 0xFFFFFFFFu);  // no terminator stored
  for (const char* bad : {"ABC", "", "1 2", "-", "4294967296"})
    EXPECT_FALSE(read_number(text_type, Bytes(bad), std::string(bad).size() + 1)) << bad;
  EXPECT_FALSE(read_number(number_type, Bytes(four), 2));
  EXPECT_EQ(read_flag(binary_type, Bytes("\x02"), 1), true);  // one byte, as stored here
  EXPECT_EQ(read_flag(number_type, Bytes(one), 4), true);     // a one-byte read said nothing
  EXPECT_EQ(read_flag(text_type, Bytes("0"), 2), false);      // the string "0" is off
  EXPECT_FALSE(read_flag(text_type, Bytes("yes"), 4));
}

TEST(RegistryData, TextEndsAtItsTerminatorOrItsDataNeverBeyond) {
  EXPECT_EQ(read_text(text_type, Bytes(std::string("Verivir\0junk", 12)), 12), "Verivir");
  const std::string face = "Times New Roman";  // stored without a terminator
  EXPECT_EQ(read_text(text_type, Bytes(face), face.size()), face);
  EXPECT_FALSE(read_text(binary_type, Bytes("Text"), 5));
}

}  // namespace
