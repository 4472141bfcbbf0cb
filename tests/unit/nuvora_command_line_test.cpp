#include <gtest/gtest.h>

#include <string>

#include "update/command_line.h"

namespace {

using nuvora::CommandLine;
using nuvora::ParseCommandLine;

CommandLine Parse(const std::string& tail) {
  CommandLine line;
  EXPECT_TRUE(ParseCommandLine(tail.c_str(), &line)) << '"' << tail << '"';
  return line;
}

bool Rejects(const std::string& tail) {
  CommandLine line;
  return !ParseCommandLine(tail.c_str(), &line);
}

TEST(NuvoraCommandLine, ProductAndVersionWithOrWithoutBlanks) {
  for (const char* tail : {"Verivir,1,17", "  Verivir , 1 , 17", "\tVerivir\t,\t1\t,\t17\t"}) {
    SCOPED_TRACE(tail);
    CommandLine line = Parse(tail);
    EXPECT_STREQ("Verivir", line.product);
    EXPECT_EQ(1u, line.major);
    EXPECT_EQ(17u, line.minor);
    EXPECT_STREQ("", line.url);  // the built-in configuration URL stays
  }
}

TEST(NuvoraCommandLine, MissingVersionPartsCountAsZero) {
  struct Case {
    const char* tail;
    unsigned major, minor;
  } cases[] = {{"Verivir", 0, 0},       {"Verivir,", 0, 0},        {"Verivir,2", 2, 0},
               {"Verivir,2,", 2, 0},    {"Verivir,,5", 0, 5},      {"Verivir,x,y", 0, 0},
               {"Verivir,3x,4z", 3, 4}, {"Verivir,1,2,3,4", 1, 2}, {"Verivir,+7,-0", 7, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tail);
    CommandLine line = Parse(c.tail);
    EXPECT_STREQ("Verivir", line.product);
    EXPECT_EQ(c.major, line.major);
    EXPECT_EQ(c.minor, line.minor);
  }
}

TEST(NuvoraCommandLine, NumbersAreUnsigned32Bit) {
  EXPECT_EQ(4294967295u, Parse("P,-1,4294967295").major);
  EXPECT_EQ(4294967295u, Parse("P,-1,4294967295").minor);
  EXPECT_EQ(0u, Parse("P,4294967296").major);  // wraps, never overflows
}

TEST(NuvoraCommandLine, ProductIsTrimmedOfPunctuationAtBothEnds) {
  EXPECT_STREQ("Ver ivir", Parse("\"Ver ivir\"").product);
  EXPECT_STREQ("Verivir", Parse("-- Verivir!! ,1").product);
  // Bytes above 127 are not letters: they are trimmed like blanks.
  EXPECT_STREQ("Verivir", Parse("\xE9Verivir\xE9,1").product);
}

TEST(NuvoraCommandLine, UrlInAnyCaseReplacesTheConfiguration) {
  CommandLine line = Parse("HTTP://UPDATE.EXAMPLE.COM/CONFIG/UPDATE.INI,Verivir,1,17");
  EXPECT_STREQ("HTTP://UPDATE.EXAMPLE.COM/CONFIG/UPDATE.INI", line.url);
  EXPECT_STREQ("Verivir", line.product);
  EXPECT_EQ(17u, line.minor);

  line = Parse("  ftp://host/dir/ ,  Verivir , 2");
  EXPECT_STREQ("ftp://host/dir", line.url);  // trailing slash and blank dropped
  EXPECT_STREQ("Verivir", line.product);
  EXPECT_EQ(2u, line.major);

  // https is a URL too, not a product called "https".
  line = Parse("https://host/u.ini,Verivir,1,17");
  EXPECT_STREQ("https://host/u.ini", line.url);
  EXPECT_STREQ("Verivir", line.product);
  EXPECT_EQ(1u, line.major);
  EXPECT_EQ(17u, line.minor);
  EXPECT_STREQ("HTTPS://h/u.ini", Parse(" HTTPS://h/u.ini , Verivir").url);
  EXPECT_TRUE(Rejects("https://host/u.ini"));

  line = Parse("Http://h/u.ini?delay=5,Verivir");
  EXPECT_STREQ("Http://h/u.ini?delay=5", line.url);
  EXPECT_EQ(0u, line.major);
}

TEST(NuvoraCommandLine, UnusableLinesAreRejected) {
  CommandLine line;
  EXPECT_FALSE(ParseCommandLine(nullptr, &line));
  for (const char* tail : {"", " ", "  \t ", ",,,", " ;:-!? ", "\xE9\xFF",
                           "http://host/update.ini",          // no comma after the URL
                           "http://host/update.ini Verivir",  // still none
                           "http://host/update.ini,", "http://host/update.ini, ,;"}) {
    SCOPED_TRACE(tail);
    EXPECT_TRUE(Rejects(tail));
  }
}

TEST(NuvoraCommandLine, OverlongFieldsAreRejectedNotCut) {
  EXPECT_STREQ(std::string(63, 'p').c_str(), Parse(std::string(63, 'p') + ",1").product);
  EXPECT_TRUE(Rejects(std::string(64, 'p') + ",1"));
  EXPECT_TRUE(Rejects(std::string(5000, 'p')));

  const std::string url259 = "http://" + std::string(252, 'h');
  EXPECT_EQ(url259, Parse(url259 + ",P").url);
  EXPECT_TRUE(Rejects(url259 + "h,P"));
  // Only the trimmed URL counts: trailing blanks before the comma are free.
  EXPECT_EQ(url259, Parse(url259 + std::string(300, ' ') + ",P").url);
}

}  // namespace
