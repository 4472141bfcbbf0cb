// The extension list of the OpenGL page and the build stamp, without windows.
#include <gtest/gtest.h>

#include <algorithm>

#include "settings/build_stamp.h"
#include "settings/gl_extensions.h"

namespace {

using gl_extensions::Compare;
using gl_extensions::CompareText;
using gl_extensions::Parse;
using gl_extensions::Record;

TEST(GlExtensions, TypeAndDisplayNameOfAWord) {
  EXPECT_EQ(gl_extensions::TypeOf("GL_EXT_vertex_array"), "EXT");
  EXPECT_EQ(gl_extensions::DisplayNameOf("GL_EXT_vertex_array"), " vertex array");
  EXPECT_EQ(gl_extensions::TypeOf("GL_ARB_multitexture"), "ARB");
  EXPECT_EQ(gl_extensions::DisplayNameOf("GL_ARB_multitexture"), " multitexture");
  // Fourth character an underscore: empty type, the name keeps that underscore as a blank.
  EXPECT_EQ(gl_extensions::TypeOf("GL__odd_one"), "");
  EXPECT_EQ(gl_extensions::DisplayNameOf("GL__odd_one"), " odd one");
  // Nothing after the prefix is split: the rest is the type, the name is empty.
  EXPECT_EQ(gl_extensions::TypeOf("GL_EXTonly"), "EXTonly");
  EXPECT_EQ(gl_extensions::DisplayNameOf("GL_EXTonly"), "");
}

TEST(GlExtensions, ShortWordsGiveEmptyNameAndType) {
  for (const char* word : {"GL_", "GL", "X"}) {
    EXPECT_EQ(gl_extensions::TypeOf(word), "") << word;
    EXPECT_EQ(gl_extensions::DisplayNameOf(word), "") << word;
  }
}

TEST(GlExtensions, WordsAreSplitOnAnyWhiteSpaceWithoutEmptyItems) {
  auto items = Parse("  GL_ARB_a  GL_EXT_b\tGL_NV_c\r\nGL_\n");
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].type, "ARB");
  EXPECT_EQ(items[1].name, " b");
  EXPECT_EQ(items[2].type, "NV");
  EXPECT_EQ(items[3].name, "");
  EXPECT_TRUE(Parse("").empty());
  EXPECT_TRUE(Parse(" \t\n").empty());
}

TEST(GlExtensions, TextComparesUnsignedBytesAndShorterFirst) {
  EXPECT_LT(CompareText("abc", "abd"), 0);
  EXPECT_GT(CompareText("b", "abc"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_EQ(CompareText("ab", "ab"), 0);
  EXPECT_LT(CompareText("Z", "a"), 0);     // case matters: byte values
  EXPECT_LT(CompareText("a", "\xe9"), 0);  // bytes above 127 sort last
  EXPECT_LT(CompareText(" x", "a"), 0);    // the leading blank of names sorts first
}

std::vector<Record> Sorted(std::vector<Record> v, int column, bool ascending) {
  std::sort(v.begin(), v.end(),
            [&](const Record& a, const Record& b) { return Compare(a, b, column, ascending) < 0; });
  return v;
}

std::string Order(const std::vector<Record>& v) {
  std::string s;
  for (const Record& r : v) s += r.type + ":" + r.name + "|";
  return s;
}

TEST(GlExtensions, SortByNameOrTypeWithTheOtherAsTieBreakInBothDirections) {
  auto items = Parse("GL_EXT_b GL_ARB_b GL_EXT_a GL_ARB_c GL_NV_a");
  EXPECT_EQ(Order(Sorted(items, 0, true)), "EXT: a|NV: a|ARB: b|EXT: b|ARB: c|");
  EXPECT_EQ(Order(Sorted(items, 0, false)), "ARB: c|EXT: b|ARB: b|NV: a|EXT: a|");
  EXPECT_EQ(Order(Sorted(items, 1, true)), "ARB: b|ARB: c|EXT: a|EXT: b|NV: a|");
  EXPECT_EQ(Order(Sorted(items, 1, false)), "NV: a|EXT: b|EXT: a|ARB: c|ARB: b|");
  EXPECT_EQ(Compare(items[0], items[0], 1, false), 0);
}

TEST(BuildStamp, DateAndTimeBecomeTheTimeStampForm) {
  EXPECT_EQ(build_stamp::FromDateAndTime("Feb 26 2000", "17:46:44"), "Sat Feb 26 17:46:44 2000");
  EXPECT_EQ(build_stamp::FromDateAndTime("Dec  7 2026", "07:08:55"), "Mon Dec  7 07:08:55 2026");
  EXPECT_EQ(build_stamp::FromDateAndTime("Jan  1 2001", "00:00:00"), "Mon Jan  1 00:00:00 2001");
  EXPECT_EQ(build_stamp::FromDateAndTime("Mar  1 1900", "12:00:00"), "Thu Mar  1 12:00:00 1900");
  EXPECT_EQ(build_stamp::FromDateAndTime("Feb 29 2024", "12:00:00"), "Thu Feb 29 12:00:00 2024");
  EXPECT_EQ(build_stamp::FromDateAndTime("Foo 26 2000", "17:46:44"), "");
  EXPECT_EQ(build_stamp::FromDateAndTime("anF 26 2000", "17:46:44"), "");  // misaligned month
}

TEST(BuildStamp, CommitTimeBecomesTheTimeStampForm) {
  EXPECT_EQ(build_stamp::FromUnixTime(0), "Thu Jan  1 00:00:00 1970");
  EXPECT_EQ(build_stamp::FromUnixTime(951587204), "Sat Feb 26 17:46:44 2000");
  EXPECT_EQ(build_stamp::FromUnixTime(1709208000), "Thu Feb 29 12:00:00 2024");
  EXPECT_EQ(build_stamp::FromUnixTime(1796653808), "Mon Dec  7 14:30:08 2026");
  EXPECT_EQ(build_stamp::FromUnixTime(4102444799), "Thu Dec 31 23:59:59 2099");
  EXPECT_EQ(build_stamp::FromUnixTime(4107542400), "Mon Mar  1 00:00:00 2100");  // no Feb 29
  EXPECT_EQ(build_stamp::FromUnixTime(-1), "");
}

}  // namespace
