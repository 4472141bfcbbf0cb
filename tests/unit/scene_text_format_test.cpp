// Window-free rules of the text ring and of the sphere detail.
#include <gtest/gtest.h>

#include "scene/sphere_detail.h"
#include "scene/text_format.h"

namespace {

TEST(TextFormat, OnlyHourMinuteOrSecondCodesMakeAPatternTimed) {
  EXPECT_TRUE(text_format::IsTimed("%H:%M:%S"));
  EXPECT_TRUE(text_format::IsTimed("at %M"));
  EXPECT_TRUE(text_format::IsTimed("%S"));
  EXPECT_TRUE(text_format::IsTimed("%Y %H"));
  EXPECT_FALSE(text_format::IsTimed("%Y"));
  EXPECT_FALSE(text_format::IsTimed("%d.%m. %h"));  // lower-case h is the month name
  EXPECT_FALSE(text_format::IsTimed(""));
  EXPECT_FALSE(text_format::IsTimed("H M S %"));
}

TEST(TextFormat, FormatsLocalTimeAndGivesUpBeyond127Characters) {
  const std::time_t t = 1000000000;  // 9 September 2001 in every time zone
  EXPECT_EQ(text_format::Format("%Y", t), "2001");
  EXPECT_EQ(text_format::Format("100%%", t), "100%");
  EXPECT_EQ(text_format::Format("Verivir", t), "Verivir");
  EXPECT_NE(text_format::Format("%H:%M:%S", t), text_format::Format("%H:%M:%S", t + 1));
  EXPECT_EQ(text_format::Format(std::string(127, 'x'), t).size(), 127u);
  EXPECT_EQ(text_format::Format(std::string(128, 'x'), t), "");
  EXPECT_EQ(text_format::Format(std::string(60, 'x') + "%Y" + std::string(60, 'x'), t).size(),
            124u);
}

TEST(TextFormat, ControlCharactersAreDroppedAndHighCharactersKept) {
  EXPECT_EQ(text_format::WithoutControlChars("a\tb\nc\x01"), "abc");
  EXPECT_EQ(text_format::WithoutControlChars("caf\xe9 \xff"), "caf\xe9 \xff");
}

TEST(TextFormat, EachCharacterTurnsByItsAdvanceOverTheRadius) {
  float advance[text_format::kGlyphCount] = {};
  advance['A' - 32] = 0.72266f;
  advance[' ' - 32] = 0.25f;
  advance[0xe9 - 32] = 0.5f;
  advance[255 - 32] = 1.0f;
  auto angles = text_format::RingAngles("A \xe9\xff", advance, 0.1f, 1.2f);
  ASSERT_EQ(angles.size(), 4u);
  // 0.1 em per unit, radius 1.2: one em is 4.7746 degrees.
  EXPECT_NEAR(angles[0], 0.72266f * 4.774648f, 1e-4);
  EXPECT_NEAR(angles[1], 0.25f * 4.774648f, 1e-5);
  EXPECT_NEAR(angles[2], 0.5f * 4.774648f, 1e-5);
  EXPECT_NEAR(angles[3], 4.774648f, 1e-5);
  // A scale four times larger turns four times as far.
  EXPECT_NEAR(text_format::RingAngles("A", advance, 0.2f, 1.2f)[0], 2 * angles[0], 1e-4);
  EXPECT_TRUE(text_format::RingAngles("", advance, 0.1f, 1.2f).empty());
}

std::time_t FixedClock() { return 42; }

TEST(TextFormat, TheClockCanBeReplacedAndRestored) {
  text_format::SetClock(FixedClock);
  EXPECT_EQ(text_format::Now(), 42);
  text_format::SetClock(nullptr);
  EXPECT_GT(text_format::Now(), 1000000000);
}

TEST(SphereDetail, OutOfRangeSettingsFallBackToAValidLevel) {
  EXPECT_EQ(sphere_detail::BigSlices(7), 40);
  EXPECT_EQ(sphere_detail::BigSlices(-1), 40);
  EXPECT_EQ(sphere_detail::SmallSlices(3), sphere_detail::SmallSlices(2));
  EXPECT_EQ(sphere_detail::SmallSlices(-5), sphere_detail::SmallSlices(0));
  EXPECT_LT(sphere_detail::SmallSlices(0), sphere_detail::SmallSlices(1));
  EXPECT_LT(sphere_detail::SmallSlices(1), sphere_detail::SmallSlices(2));
  EXPECT_EQ(sphere_detail::SmallStyle(7), 3);
  EXPECT_FALSE(sphere_detail::SmallHasCore(7));
  EXPECT_FLOAT_EQ(sphere_detail::OutlineDeviation(5), 0.0f);
}

}  // namespace
