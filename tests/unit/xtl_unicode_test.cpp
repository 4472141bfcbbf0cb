// Text between UTF-8, UTF-16 and code points, as the registry, the edit box
// and the glyphs meet it; what is not well formed becomes U+FFFD.
#include <gtest/gtest.h>

#include <string>

#include "xtl/registry_data.h"
#include "xtl/unicode.h"

namespace {

using namespace xtl::unicode;

const std::string kMixed =
    "\xce\x96\xcf\x89\xce\xae \xe2\x80\x94 \xc5\x81\xc3\xb3\x64\xc5\xba \xe2\x80\x94 "
    "\xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80";  // "Ζωή — Łódź — 日本 😀"

TEST(Unicode, WellFormedTextRoundTripsThroughEveryForm) {
  const std::u32string codes = decode_utf8(kMixed);
  EXPECT_EQ(codes, U"\u0396\u03c9\u03ae \u2014 \u0141\u00f3d\u017a \u2014 \u65e5\u672c \U0001F600");
  EXPECT_EQ(encode_utf8(codes), kMixed);
  const std::u16string units = utf16_from_utf8(kMixed);
  EXPECT_EQ(units, u"\u0396\u03c9\u03ae \u2014 \u0141\u00f3d\u017a \u2014 \u65e5\u672c \U0001F600");
  EXPECT_EQ(utf8_from_utf16(units), kMixed);
  // wchar_t is 16 bits under Windows, 32 natively: either way the same text.
  EXPECT_EQ(wide_from_utf8(kMixed).size(), sizeof(wchar_t) == 2 ? units.size() : codes.size());
  EXPECT_EQ(utf8_from_wide(wide_from_utf8(kMixed)), kMixed);
}

TEST(Unicode, WhatIsNotWellFormedBecomesReplacementCharacters) {
  const char16_t lone[] = {u'a', 0xD83D, u'b', 0xDE00, 0};
  EXPECT_EQ(decode_utf16(lone), U"a\uFFFDb\uFFFD");
  // A stray continuation, a cut sequence, an overlong '/', an encoded
  // surrogate and a lead byte beyond U+10FFFF.
  EXPECT_EQ(decode_utf8("\x80x"), U"\uFFFDx");
  EXPECT_EQ(decode_utf8("\xe6\x97"), U"\uFFFD\uFFFD");
  EXPECT_EQ(decode_utf8("\xc0\xaf"), U"\uFFFD\uFFFD");
  EXPECT_EQ(decode_utf8("\xed\xa0\x80"), U"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(decode_utf8("\xf5\x80\x80\x80"), U"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(encode_utf8(U"\x110000"), "\xef\xbf\xbd");
  EXPECT_EQ(encode_utf16(std::u32string(1, char32_t(0xD800))), u"\uFFFD");
}

TEST(Unicode, LengthAndPrefixCountCharactersNeverCuttingOne) {
  EXPECT_EQ(utf8_length(kMixed), 17u);
  EXPECT_EQ(utf8_prefix(kMixed, 3), "\xce\x96\xcf\x89\xce\xae");
  EXPECT_EQ(utf8_prefix(kMixed, 16), kMixed.substr(0, kMixed.size() - 4));
  EXPECT_EQ(utf8_prefix(kMixed, 99), kMixed);
  EXPECT_EQ(utf8_prefix("\xe6\x97", 1), "\xe6") << "a cut sequence counts byte by byte";
  EXPECT_EQ(utf8_prefix("abc", 0), "");
}

// What RegQueryValueExW gives: UTF-16 little-endian, maybe without its
// terminator, maybe with an odd byte that another program left.
TEST(RegistryData, WideTextIsReadAsUtf8UpToItsTerminatorOrItsEnd) {
  using namespace xtl::registry;
  const unsigned char stored[] = {0x96, 0x03, 0x3d, 0xd8, 0x00, 0xde, 0x00, 0x00, 'x', 0};
  EXPECT_EQ(read_wide_text(text_type, stored, sizeof stored), "\xce\x96\xf0\x9f\x98\x80");
  EXPECT_EQ(read_wide_text(text_type, stored, 4), "\xce\x96\xef\xbf\xbd") << "lone high surrogate";
  EXPECT_EQ(read_wide_text(text_type, stored, 3), "\xce\x96") << "odd last byte";
  EXPECT_EQ(read_wide_text(text_type, stored, 0), "");
  EXPECT_FALSE(read_wide_text(binary_type, stored, sizeof stored));
}

}  // namespace
