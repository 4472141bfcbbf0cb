// The signed feed's rules, window-free: the INI text as the profile functions
// read it, signatures and keys as text, and what a verified feed must carry.
#include <gtest/gtest.h>

#include <string>

#include "update/feed_rules.h"
#include "update/ini_text.h"

namespace {

using namespace nuvora;

std::string Value(const std::optional<KeyReader>& read, const std::string& key) {
  std::string value;
  if (!read || !(*read)(key, &value)) return "<missing>";
  return value;
}

TEST(NuvoraIniText, ReadsLikeTheProfileFunctions) {
  const std::string text =
      "\xEF\xBB\xBF"
      "key=outside\r\n"
      "[other]\r\nVerHi=9\r\n"
      "[ verivir]\r\nVerHi=1\r\n"
      "[VERIVIR]\r\n"
      "  VerHi  =  2 \r\n"
      "verhi=3\r\n"
      "AppName=\"quoted\"\n"
      "Price='one'\n"
      "Size=\"open\n"
      "no equals sign\n"
      "Empty=\n"
      "[Verivir]\nVerLo=7\n";
  const auto read = IniSectionReader(text, "Verivir");
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ("2", Value(read, "VerHi"));  // the first key of the first section of the name
  EXPECT_EQ("2", Value(read, " VERHI "));
  EXPECT_EQ("quoted", Value(read, "AppName"));
  EXPECT_EQ("one", Value(read, "Price"));
  EXPECT_EQ("\"open", Value(read, "Size"));
  EXPECT_EQ("", Value(read, "Empty"));
  EXPECT_EQ("<missing>", Value(read, "no equals sign"));
  EXPECT_EQ("<missing>", Value(read, "VerLo"));  // a second section of the name is not read
  EXPECT_EQ("<missing>", Value(read, "key"));
  // Blanks around the asked name go; inside the brackets they stay part of the name.
  EXPECT_EQ("2", Value(IniSectionReader(text, " verivir "), "VerHi"));
  EXPECT_FALSE(IniSectionReader(text, "Absent").has_value());
}

TEST(NuvoraFeedText, SignaturesKeysAndTheSignatureAddress) {
  const std::string hex = std::string(64, 'a') + std::string(62, '0') + "Ff";
  const auto signature = ParseFeedSignature(hex + "\n");
  ASSERT_TRUE(signature.has_value());
  EXPECT_EQ(0xAA, (*signature)[0]);
  EXPECT_EQ(0xFF, (*signature)[63]);
  EXPECT_TRUE(ParseFeedSignature(hex + "\r\n").has_value());
  EXPECT_TRUE(ParseFeedKey(hex).has_value());
  for (const std::string& bad :
       {hex + "\n\n", hex.substr(1), hex + "0", hex.substr(0, 127) + "g"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseFeedSignature(bad).has_value());
    EXPECT_FALSE(ParseFeedKey(bad).has_value());
  }
  EXPECT_FALSE(ParseFeedKey(hex + "\n").has_value());
  EXPECT_EQ("https://h/u.ini.sig", SignatureUrl("https://h/u.ini?lang=en#top"));
  EXPECT_EQ("http://h/u.ini.sig", SignatureUrl("http://h/u.ini#x?y"));
}

TEST(NuvoraFeedText, DatesSerialsAndLengths) {
  EXPECT_TRUE(ParseFeedDate("2024-02-29").has_value());
  EXPECT_TRUE(ParseFeedDate("2000-02-29").has_value());
  for (const char* bad : {"2023-02-29", "1900-02-29", "2024-13-01", "2024-04-31", "2024-4-30",
                          "2024/04/30", "2024-04-3a"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseFeedDate(bad).has_value());
  }
  EXPECT_TRUE(Date({2024, 12, 31}) < Date({2025, 1, 1}));  // the year first
  EXPECT_EQ(202501311200u, ParseFeedSerial("202501311200").value_or(0));
  EXPECT_EQ(0u, ParseFeedLength("0").value_or(1));
  for (const char* bad : {"0", "-1", "+1", " 1", "1 ", "1e3", "", "1234567890123456789"})
    EXPECT_FALSE(ParseFeedSerial(bad).has_value()) << bad;
  EXPECT_FALSE(ParseFeedLength("-0").has_value());
}

class JudgedFeed : public ::testing::Test {
 protected:
  FeedVerdict Judge(const std::string& keys, std::optional<std::uint64_t> last = std::nullopt) {
    const auto read = IniSectionReader("[V]\n" + keys, "V");
    serial = 0;
    return JudgeFeed(*read, languages, last, {2025, 6, 15}, &serial);
  }
  std::uint32_t languages = 1;
  std::uint64_t serial = 0;
  const std::string sha = "Sha256001=" + std::string(64, 'b') + "\n";
};

TEST_F(JudgedFeed, EveryOfferedDownloadIsBoundAndTheStampIsChecked) {
  const std::string stamp = "Serial=20\nExpires=2025-06-15\n";
  const std::string bound = "Path001=http://h/a\n" + sha + "Length001=5\n";
  EXPECT_EQ(FeedVerdict::Accepted, Judge(stamp + bound));
  EXPECT_EQ(20u, serial);
  EXPECT_EQ(FeedVerdict::Accepted, Judge(stamp));  // no download offered: nothing to bind
  EXPECT_EQ(FeedVerdict::Accepted, Judge(stamp + bound, 20));
  EXPECT_EQ(FeedVerdict::Replayed, Judge(stamp + bound, 21));
  EXPECT_EQ(FeedVerdict::Expired, Judge("Serial=20\nExpires=2025-06-14\n" + bound));
  for (const std::string& bad :
       {std::string("Expires=2025-06-15\n") + bound, "Serial=20\n" + bound,
        "Serial=0\nExpires=2025-06-15\n" + bound, "Serial=20\nExpires=2025-6-15\n" + bound,
        stamp + "Path001=http://h/a\n" + sha, stamp + "Path001=http://h/a\nLength001=5\n",
        stamp + "Path001=http://h/a\nSha256001=00\nLength001=5\n",
        stamp + bound + "Path001.x64=http://h/b\n" + sha}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(FeedVerdict::Malformed, Judge(bad, 99));  // malformed before replayed
  }
  // Every language counts, up to the number offered.
  languages = 2;
  EXPECT_EQ(FeedVerdict::Malformed, Judge(stamp + bound + "Path002=http://h/c\n"));
  languages = 1;
  EXPECT_EQ(FeedVerdict::Accepted, Judge(stamp + bound + "Path002=http://h/c\n"));
}

}  // namespace
