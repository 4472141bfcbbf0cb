#include <gtest/gtest.h>

#include "xtl/dpi_scale.h"

namespace {

using xtl::scale_to_dpi;

TEST(DpiScale, UnscaledDisplaysSeeExactlyTheSamePixels) {
  for (int px : {-7, -1, 0, 1, 2, 13, 100, 32767}) EXPECT_EQ(px, scale_to_dpi(px, 96)) << px;
}

TEST(DpiScale, CommonScalingsRoundToTheNearestPixel) {
  EXPECT_EQ(3, scale_to_dpi(2, 144));    // 150 %
  EXPECT_EQ(2, scale_to_dpi(1, 144));    // 1.5 rounds up
  EXPECT_EQ(20, scale_to_dpi(16, 120));  // 125 %
  EXPECT_EQ(1, scale_to_dpi(1, 120));    // 1.25 rounds down
  EXPECT_EQ(32, scale_to_dpi(16, 192));  // 200 %
  EXPECT_EQ(-3, scale_to_dpi(-2, 144));  // offsets up or left scale alike
  // No overflow for large lengths at large scalings.
  EXPECT_EQ(100000 * 4, scale_to_dpi(100000, 384));
}

TEST(DpiScale, ALineNeverVanishesAtLowScaling) {
  EXPECT_EQ(1, scale_to_dpi(1, 48));
  EXPECT_EQ(-1, scale_to_dpi(-1, 48));
  EXPECT_EQ(0, scale_to_dpi(0, 48));
  // An unknown scaling (0) leaves the length as it is.
  EXPECT_EQ(5, scale_to_dpi(5, 0));
}

}  // namespace
