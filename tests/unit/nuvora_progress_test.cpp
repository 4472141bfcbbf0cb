#include <gtest/gtest.h>

#include <string>

#include "update/ini_keys.h"
#include "update/progress.h"
#include "update/version_rule.h"

namespace {

using nuvora::IsNewerVersion;
using nuvora::KilobytesInBlock;
using nuvora::ProgressPercent;

TEST(NuvoraVersionRule, OfferMustBeatTheInstalledVersion) {
  EXPECT_TRUE(IsNewerVersion(1, 18, 1, 17));
  EXPECT_FALSE(IsNewerVersion(1, 18, 1, 18));  // equal is not newer
  EXPECT_FALSE(IsNewerVersion(1, 18, 2, 0));
  EXPECT_TRUE(IsNewerVersion(2, 0, 1, 99));  // the major decides first
  EXPECT_FALSE(IsNewerVersion(1, 99, 2, 0));
  EXPECT_FALSE(IsNewerVersion(0, 0, 0, 0));           // a missing section is never newer
  EXPECT_TRUE(IsNewerVersion(0x80000000u, 0, 1, 0));  // unsigned, not signed
  EXPECT_FALSE(IsNewerVersion(1, 0, 0xFFFFFFFFu, 0));
}

TEST(NuvoraProgress, WholeKilobytesPerBlock) {
  EXPECT_EQ(4u, KilobytesInBlock(4096));
  EXPECT_EQ(0u, KilobytesInBlock(1000));
  EXPECT_EQ(0u, KilobytesInBlock(1023));
  EXPECT_EQ(1u, KilobytesInBlock(1024));
  // One block of 4096 and one of 1000 bytes: 4 kB, not 4.9.
  EXPECT_EQ(4u, KilobytesInBlock(4096) + KilobytesInBlock(1000));
}

TEST(NuvoraProgress, PercentageNeverDividesByZeroAndStopsAtHundred) {
  EXPECT_EQ(0u, ProgressPercent(0, 0));
  EXPECT_EQ(100u, ProgressPercent(1, 0));
  EXPECT_EQ(0u, ProgressPercent(0, 1));
  EXPECT_EQ(100u, ProgressPercent(1, 1));
  EXPECT_EQ(100u, ProgressPercent(37, 1));  // the text may count past the total
  EXPECT_EQ(33u, ProgressPercent(1, 3));    // remainder dropped
  EXPECT_EQ(99u, ProgressPercent(199, 200));
  EXPECT_EQ(50u, ProgressPercent(21474836, 42949672));  // largest count without overflow
}

TEST(NuvoraProgress, TextsFollowTheirPatterns) {
  char text[64];
  nuvora::FormatProgressText(text, sizeof text, "(%d kB  of  %d kB)", 37, 1);
  EXPECT_STREQ("(37 kB  of  1 kB)", text);
  nuvora::FormatProgressText(text, sizeof text, "(%d kB  of  %d kB)", 0, 0);
  EXPECT_STREQ("(0 kB  of  0 kB)", text);

  char caption[256];
  nuvora::FormatCaption(caption, sizeof caption, "Downloading '%s'...", "ZOV Tools");
  EXPECT_STREQ("Downloading 'ZOV Tools'...", caption);
  // A 127-character name and the pattern fit; a longer result is cut, not overrun.
  char small[16];
  nuvora::FormatCaption(small, sizeof small, "Downloading '%s'...", std::string(127, 'n').c_str());
  EXPECT_EQ(15u, std::string(small).size());
}

TEST(NuvoraIniKeys, NumberHasAtLeastThreeDigits) {
  EXPECT_EQ("Lang001", nuvora::IndexedKey("Lang", 1));
  EXPECT_EQ("Lang010", nuvora::IndexedKey("Lang", 10));
  EXPECT_EQ("Path100", nuvora::IndexedKey("Path", 100));
  EXPECT_EQ("Lang1000", nuvora::IndexedKey("Lang", 1000));
}

}  // namespace
