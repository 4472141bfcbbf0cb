#include <gtest/gtest.h>

#include <vector>

#include "glx/monitor_layout.h"

namespace {

using glx::gl_viewport;
using glx::lay_out_monitors;
using glx::screen_rect;

// Maps a viewport back to the screen, so each case checks that the picture
// lands exactly on its monitor rather than restating the arithmetic.
screen_rect OnScreen(const glx::monitor_layout& layout, const gl_viewport& v) {
  const screen_rect& w = layout.window;
  return {w.left + v.x, w.bottom - v.y - v.height, w.left + v.x + v.width, w.bottom - v.y};
}

void ExpectEveryMonitorCovered(const std::vector<screen_rect>& monitors,
                               const glx::monitor_layout& layout) {
  ASSERT_EQ(monitors.size(), layout.viewports.size());
  for (size_t i = 0; i < monitors.size(); ++i) {
    SCOPED_TRACE(i);
    const screen_rect& m = monitors[i];
    EXPECT_LE(layout.window.left, m.left);
    EXPECT_LE(layout.window.top, m.top);
    EXPECT_GE(layout.window.right, m.right);
    EXPECT_GE(layout.window.bottom, m.bottom);
    EXPECT_EQ(m, OnScreen(layout, layout.viewports[i]));
    EXPECT_DOUBLE_EQ(static_cast<double>(m.width()) / m.height(), layout.viewports[i].aspect());
  }
}

TEST(MonitorLayout, OneMonitorGivesTodaysWindowAndOneFullViewport) {
  const std::vector<screen_rect> one = {{0, 0, 1024, 768}};
  const auto layout = lay_out_monitors(one, {0, 0, 1024, 768});
  EXPECT_EQ((screen_rect{0, 0, 1024, 768}), layout.window);
  ASSERT_EQ(1u, layout.viewports.size());
  EXPECT_EQ((gl_viewport{0, 0, 1024, 768}), layout.viewports[0]);
}

TEST(MonitorLayout, SideBySideAndStackedMonitorsWithTheirOwnAspects) {
  // Primary 1920x1080, a 1280x1024 portrait-ish screen to its right, top-aligned.
  const std::vector<screen_rect> pair = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
  const auto layout = lay_out_monitors(pair, {0, 0, 3200, 1080});
  EXPECT_EQ((screen_rect{0, 0, 3200, 1080}), layout.window);
  // The shorter monitor's rows start 56 above the window's bottom edge.
  EXPECT_EQ((gl_viewport{1920, 56, 1280, 1024}), layout.viewports[1]);
  ExpectEveryMonitorCovered(pair, layout);

  const std::vector<screen_rect> stacked = {{0, 0, 800, 600}, {0, 600, 1024, 1368}};
  const auto tall = lay_out_monitors(stacked, {0, 0, 1024, 1368});
  // The upper monitor is the higher viewport in GL's bottom-up rows.
  EXPECT_EQ((gl_viewport{0, 768, 800, 600}), tall.viewports[0]);
  EXPECT_EQ((gl_viewport{0, 0, 1024, 768}), tall.viewports[1]);
  ExpectEveryMonitorCovered(stacked, tall);
}

TEST(MonitorLayout, MonitorsLeftOfAndAboveThePrimaryHaveNegativeCoordinates) {
  const std::vector<screen_rect> three = {
      {0, 0, 1920, 1080}, {-1280, -200, 0, 824}, {200, -900, 1800, 0}};
  const auto layout = lay_out_monitors(three, {-1280, -900, 1920, 1080});
  EXPECT_EQ((screen_rect{-1280, -900, 1920, 1080}), layout.window);
  // The primary starts 1280 pixels into the window.
  EXPECT_EQ((gl_viewport{1280, 0, 1920, 1080}), layout.viewports[0]);
  EXPECT_EQ((gl_viewport{0, 256, 1280, 1024}), layout.viewports[1]);
  EXPECT_EQ((gl_viewport{1480, 1080, 1600, 900}), layout.viewports[2]);
  ExpectEveryMonitorCovered(three, layout);
}

TEST(MonitorLayout, AMonitorOutsideAStaleVirtualScreenIsStillCovered) {
  // Right after a monitor is plugged in the metrics may lag behind the monitors.
  const std::vector<screen_rect> pair = {{0, 0, 1024, 768}, {-800, 0, 0, 600}};
  const auto layout = lay_out_monitors(pair, {0, 0, 1024, 768});
  EXPECT_EQ((screen_rect{-800, 0, 1024, 768}), layout.window);
  ExpectEveryMonitorCovered(pair, layout);
}

TEST(MonitorLayout, EmptyAndMirroredMonitorsGetNoViewport) {
  const auto mirrored =
      lay_out_monitors({{0, 0, 1024, 768}, {0, 0, 1024, 768}, {1024, 0, 1024, 768}, {5, 5, 3, 9}},
                       {0, 0, 1024, 768});
  ASSERT_EQ(1u, mirrored.viewports.size());
  EXPECT_EQ((gl_viewport{0, 0, 1024, 768}), mirrored.viewports[0]);

  // No monitor reported: the virtual screen is one picture.
  const auto none = lay_out_monitors({}, {-100, 0, 700, 600});
  EXPECT_EQ((screen_rect{-100, 0, 700, 600}), none.window);
  ASSERT_EQ(1u, none.viewports.size());
  EXPECT_EQ((gl_viewport{0, 0, 800, 600}), none.viewports[0]);

  // Nothing at all: no window, and no viewport whose aspect would divide by zero.
  const auto nothing = lay_out_monitors({{0, 0, 0, 0}}, {0, 0, 0, 0});
  EXPECT_TRUE(nothing.window.empty());
  EXPECT_TRUE(nothing.viewports.empty());
}

}  // namespace
