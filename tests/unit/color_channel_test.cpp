#include <gtest/gtest.h>

#include <string>

#include "scene/color_channel.h"

namespace {

TEST(ColorChannel, SetupOrdersBoundsAndClampsTheStartValue) {
  ColorChannel big[4], small[4], text[4];
  ASSERT_NO_THROW(SetupChannels(CyclerKind::BigSphere, big));
  ASSERT_NO_THROW(SetupChannels(CyclerKind::SmallSphere, small));
  ASSERT_NO_THROW(SetupChannels(CyclerKind::TextRing, text));

  EXPECT_EQ(0.1f, small[0].value.get());  // 0 assigned into [0.1, 0.7]
  EXPECT_EQ(0.7f, small[0].range.upper());
  EXPECT_EQ(0.1f, text[1].value.get());  // 0 assigned into [0.1, 1]
  EXPECT_EQ(0.1f, big[3].value.get());
  EXPECT_EQ(0.15f, big[3].range.upper());
  EXPECT_EQ(0.5f, text[3].range.lower());
  EXPECT_EQ(0.05f, text[3].step);
}

// The published colour tables, row by row: bounds, stored start value, the two
// step sizes and the initial step.
struct Row {
  float lower, upper, value, rise, fall, step;
};

void ExpectRows(CyclerKind kind, const Row (&rows)[4]) {
  ColorChannel c[4];
  SetupChannels(kind, c);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE("channel " + std::to_string(i));
    EXPECT_EQ(rows[i].lower, c[i].range.lower());
    EXPECT_EQ(rows[i].upper, c[i].range.upper());
    EXPECT_EQ(rows[i].value, c[i].value.get());
    EXPECT_EQ(rows[i].rise, c[i].rise.get());
    EXPECT_EQ(rows[i].fall, c[i].fall.get());
    EXPECT_EQ(rows[i].step, c[i].step);
  }
}

TEST(ColorChannel, EveryChannelOfTheThreeTablesHasItsBoundsStartAndSteps) {
  {
    SCOPED_TRACE("big sphere");
    const Row big[4] = {{0.0f, 1.0f, 0.2f, 0.01f, 0.02f, 0.01f},
                        {0.0f, 1.0f, 1.0f, 0.02f, 0.03f, 0.03f},
                        {0.0f, 1.0f, 0.2f, 0.03f, 0.04f, 0.03f},
                        {0.1f, 0.15f, 0.1f, 0.01f, 0.02f, 0.01f}};
    ExpectRows(CyclerKind::BigSphere, big);
  }
  {
    SCOPED_TRACE("small sphere");
    const Row small[4] = {{0.1f, 0.7f, 0.1f, 0.02f, 0.01f, 0.02f},
                          {0.0f, 1.0f, 0.0f, 0.001f, 0.001f, 0.001f},
                          {0.0f, 1.0f, 0.0f, 0.00002f, 0.00001f, 0.00002f},
                          {0.1f, 0.15f, 0.1f, 0.01f, 0.02f, 0.01f}};
    ExpectRows(CyclerKind::SmallSphere, small);
  }
  {
    SCOPED_TRACE("text ring");
    const Row text[4] = {{0.1f, 1.0f, 0.5f, 0.01f, 0.02f, 0.01f},
                         {0.1f, 1.0f, 0.1f, 0.002f, 0.001f, 0.002f},
                         {0.1f, 1.0f, 0.2f, 0.0003f, 0.0007f, 0.0003f},
                         {0.5f, 1.0f, 0.5f, 0.05f, 0.000001f, 0.05f}};
    ExpectRows(CyclerKind::TextRing, text);
  }
}

TEST(ColorChannel, LandingExactlyOnABoundTurnsToo) {
  ColorChannel c;
  c.range.set_upper(1.0f);
  c.value = 0.5f;
  c.rise = 0.25f;
  c.fall = 0.125f;
  c.step = 0.5f;
  c.Advance();
  EXPECT_EQ(1.0f, c.value.get());
  EXPECT_EQ(-0.125f, c.step);
}

TEST(ColorChannel, BigRedRisesRestsFallsAndRises) {
  ColorChannel c[4];
  SetupChannels(CyclerKind::BigSphere, c);
  ColorChannel& red = c[0];
  ASSERT_EQ(0.2f, red.value.get());

  int frames = 0;
  while (red.value.get() != 1.0f && frames < 1000) {
    const float before = red.value.get();
    red.Advance();
    ++frames;
    ASSERT_GT(red.value.get(), before);
    ASSERT_LE(red.value.get() - before, 0.01f + 1e-6f);
  }
  EXPECT_GE(frames, 79);
  EXPECT_LE(frames, 81);
  EXPECT_EQ(-0.02f, red.step);

  int down = 0;
  while (red.value.get() != 0.0f && down < 1000) {
    const float before = red.value.get();
    red.Advance();
    ++down;
    ASSERT_LT(red.value.get(), before);
  }
  EXPECT_GE(down, 50);
  EXPECT_LE(down, 51);
  EXPECT_EQ(0.01f, red.step);
  red.Advance();
  EXPECT_EQ(0.01f, red.value.get());
}

TEST(ColorChannel, BigGreenTurnsOnItsFirstAdvance) {
  ColorChannel c[4];
  SetupChannels(CyclerKind::BigSphere, c);
  EXPECT_EQ(0.03f, c[1].step);
  c[1].Advance();
  EXPECT_EQ(1.0f, c[1].value.get());
  EXPECT_EQ(-0.03f, c[1].step);
  c[1].Advance();
  EXPECT_FLOAT_EQ(0.97f, c[1].value.get());
}

TEST(ColorChannel, SmallSphereChannelsStayInRangeAndCycle) {
  ColorChannel c[4];
  SetupChannels(CyclerKind::SmallSphere, c);

  bool sawLower = false, sawUpper = false;
  for (int i = 0; i < 200; ++i) {
    c[0].Advance();
    ASSERT_GE(c[0].value.get(), 0.1f);
    ASSERT_LE(c[0].value.get(), 0.7f);
    sawLower |= c[0].value.get() == 0.1f;
    sawUpper |= c[0].value.get() == 0.7f;
  }
  EXPECT_TRUE(sawLower && sawUpper);

  // Tiny steps must not be swallowed by float rounding near the top.
  ColorChannel& blue = c[2];
  int up = 0;
  while (blue.value.get() != 1.0f && up < 60000) {
    const float before = blue.value.get();
    blue.Advance();
    ++up;
    ASSERT_GT(blue.value.get(), before);
  }
  int down = 0;
  while (blue.value.get() != 0.0f && down < 120000) {
    const float before = blue.value.get();
    blue.Advance();
    ++down;
    ASSERT_LT(blue.value.get(), before);
  }
  EXPECT_NEAR(50000, up, 100);
  EXPECT_NEAR(100000, down, 200);
}

}  // namespace
