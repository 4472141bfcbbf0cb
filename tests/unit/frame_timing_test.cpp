// Time-based motion and frame pacing, without windows: the scene moves as it
// always did at one frame per 31 ms, whatever the frame rate.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "glx/frame_pacing.h"
#include "scene/color_channel.h"
#include "scene/scene_motion.h"

namespace {

// The scene's moving state as the scene advances it: the phase, and the
// colour channels of the two spheres and the text ring, a step at a time.
struct MovingScene {
  SceneMotion motion;
  ColorChannel big[4], small[4], text[4];
  MovingScene() {
    SetupChannels(CyclerKind::BigSphere, big);
    SetupChannels(CyclerKind::SmallSphere, small);
    SetupChannels(CyclerKind::TextRing, text);
  }
  void Step() {
    for (int c = 0; c < 3; ++c) {
      big[c].Advance();
      small[c].Advance();
      text[c].Advance();
    }
  }
  void Advance(double ticks) {
    for (int n = motion.Advance(ticks); n > 0; --n) Step();
  }
  std::vector<float> Colours() const {
    std::vector<float> v;
    for (int c = 0; c < 3; ++c)
      for (const ColorChannel* set : {big, small, text}) v.push_back(set[c].value.get());
    return v;
  }
};

// Frames drawn at these clock readings, the clock started at the first.
struct ClockedScene {
  glx::frame_clock clock;
  MovingScene scene;
  explicit ClockedScene(double start) { clock.restart(start); }
  void FrameAt(double ms) { scene.Advance(clock.ticks(ms)); }
};

// At 31 ms a frame the scene is exactly the frame-based one (0.1 and one
// colour step a frame); a 7 ms clock, and frames at random gaps, reach its
// colours and phase at the moments both draw.
TEST(SceneMotion, AnyFrameRateReachesTheFrameBasedStateAtTheSameTime) {
  std::mt19937 random(20);
  std::uniform_real_distribution<double> gap(0.5, 45.0);
  MovingScene old;
  double oldPhase = 0.0;
  ClockedScene reference(0.0), fast(0.0), jittery(0.0);
  double fastAt = 0.0, jitteryAt = 0.0;
  for (int k = 1; k <= 2100; ++k) {
    const double now = 31.0 * k;
    SCOPED_TRACE("at " + std::to_string(now) + " ms");
    oldPhase += 0.1;
    old.Step();
    reference.FrameAt(now);
    ASSERT_EQ(reference.scene.motion.Phase(), oldPhase);
    ASSERT_EQ(reference.scene.Colours(), old.Colours());
    while ((jitteryAt += gap(random)) < now) jittery.FrameAt(jitteryAt);
    jitteryAt = now;
    jittery.FrameAt(now);
    ASSERT_NEAR(jittery.scene.motion.Phase(), oldPhase, 1e-9);
    ASSERT_EQ(jittery.scene.Colours(), old.Colours());
    while (fastAt + 7.0 <= now) fast.FrameAt(fastAt += 7.0);
    if (fastAt != now) continue;  // both draw every 217 ms
    ASSERT_NEAR(fast.scene.motion.Phase(), oldPhase, 1e-9);
    ASSERT_EQ(fast.scene.Colours(), old.Colours());
  }
}

// The engine's test covers the cap and the restart after a pause.
TEST(FrameClock, AClockThatWentBackMovesNothingAndColoursMoveInWholeSteps) {
  glx::frame_clock clock;
  clock.restart(5000.0);
  EXPECT_EQ(clock.ticks(4000.0), 0.0);
  EXPECT_DOUBLE_EQ(clock.ticks(4031.0), 1.0);
  SceneMotion motion;
  EXPECT_EQ(motion.Advance(250.0 / 31.0), 8);
  EXPECT_EQ(motion.Advance(-1.0), 0);
  EXPECT_NEAR(motion.Phase(), 25.0 / 31.0, 1e-12);
}

TEST(FramePacing, SoftwareRenderersKeepTheOldPaceOthersFollowTheDisplayUpToSixtyHertz) {
  EXPECT_TRUE(glx::is_software_renderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
  EXPECT_FALSE(glx::is_software_renderer("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
  EXPECT_EQ(glx::choose_pacing(true, true, 144.0), (glx::frame_pacing{0, 31.0, false}));
  EXPECT_FALSE(glx::has_extension("WGL_EXT_swap_control_tear", "WGL_EXT_swap_control"));
  EXPECT_TRUE(glx::has_extension("X WGL_EXT_swap_control Y", "WGL_EXT_swap_control"));

  // Every n-th refresh, n the smallest that keeps at or below 60 frames a second.
  const std::pair<double, int> rates[] = {{50.0, 1},  {59.94, 1}, {60.0, 1},  {75.0, 2}, {120.0, 2},
                                          {144.0, 3}, {165.0, 3}, {240.0, 4}, {360.0, 6}};
  for (const auto& [hz, n] : rates) {
    SCOPED_TRACE(hz);
    const double period = n * 1000.0 / hz;
    EXPECT_EQ(glx::choose_pacing(false, false, hz), (glx::frame_pacing{0, period, true}));
    // The driver waits for the refresh; the thread wakes a little before it.
    const glx::frame_pacing driver = glx::choose_pacing(false, true, hz);
    EXPECT_EQ(driver.swapInterval, n);
    EXPECT_FALSE(driver.onGrid);
    EXPECT_LT(driver.periodMs, period);
    EXPECT_GT(driver.periodMs, period - 3.0);
  }
  // "The hardware's default" (0 or 1) counts as 60 Hz.
  EXPECT_EQ(glx::choose_pacing(false, false, 1.0), glx::choose_pacing(false, false, 60.0));
}

// Sleeping to the display's refresh steps, late wake-ups do not slow the
// pace, and a long stall starts a new grid instead of a burst of frames to
// catch up. At the old pace they only lengthen the gap, as they always did.
TEST(FramePacing, FramesStayOnTheDisplaysStepsOrKeepTheOldGap) {
  const glx::frame_pacing display = glx::choose_pacing(false, false, 60.0);
  const glx::frame_pacing old = glx::choose_pacing(true, false, 60.0);
  auto framesInASecond = [](glx::frame_schedule& schedule, const glx::frame_pacing& pacing,
                            double& now) {
    int frames = 0;
    for (const double end = now + 1000.0; now < end; now += schedule.wait(now) + 1.5)
      frames += schedule.take(now, pacing);  // every wake-up 1.5 ms late
    return frames;
  };
  glx::frame_schedule schedule;
  double now = 0.0;
  schedule.restart(now);
  EXPECT_EQ(framesInASecond(schedule, display, now), 60);
  now += 500.0;  // a stall
  EXPECT_TRUE(schedule.take(now, display));
  EXPECT_FALSE(schedule.take(now + 1.0, display));
  EXPECT_NEAR(schedule.wait(now), display.periodMs, 1e-9);

  schedule.restart(now);
  EXPECT_EQ(framesInASecond(schedule, old, now), 31) << "1000 ms / 32.5 ms";
}

}  // namespace
