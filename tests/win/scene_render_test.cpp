// The scene rendered by Mesa in a real window: what each setting changes in the frames.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "scene/color_channel.h"
#include "tests/win/scene_harness.h"

using scene_testing::Frame;
using scene_testing::ResetSettings;
using scene_testing::RunOptions;
using scene_testing::RunScene;

namespace {

// A frame at phase 0 (no motion) with these settings.
Frame StillFrame(const SceneSettings& settings) {
  scene_testing::Settings() = settings;
  return scene_testing::StillFrame();
}

SceneSettings OnlyBig(int density, int gestalt) {
  SceneSettings s = ResetSettings();
  s.smallShow = s.textShow = false;
  s.bigColor = false;
  s.bigDensity = density;
  s.bigGestalt = gestalt;
  return s;
}

SceneSettings OnlySmall(int gestalt) {
  SceneSettings s = ResetSettings();
  s.bigShow = s.textShow = false;
  s.smallColor = false;
  s.smallGestalt = gestalt;
  s.smallDensity = 0;  // coarse: the core shows between the lines
  return s;
}

// Pixels where something was drawn in black: the small sphere's core.
int BlackButDrawn(const Frame& f) {
  int n = 0;
  for (size_t i = 0; i < f.depth.size(); ++i)
    if (f.depth[i] < 1.0f && !f.rgb[i * 3] && !f.rgb[i * 3 + 1] && !f.rgb[i * 3 + 2]) ++n;
  return n;
}

TEST(SceneRender, WithEveryObjectHiddenAFrameIsOnlyTheClearAndThePhaseStillMoves) {
  SceneSettings& s = ResetSettings();
  s.bigShow = s.smallShow = s.textShow = false;
  RunOptions o;
  o.frames = 5;
  auto r = RunScene(o);
  ASSERT_TRUE(r.initOk);
  ASSERT_EQ(r.frames.size(), 5u);
  for (size_t i = 0; i < r.frames.size(); ++i) {
    EXPECT_EQ(r.frames[i].LitCount(), 0) << "frame " << i;
    for (float d : r.frames[i].depth) ASSERT_EQ(d, 1.0f);
    EXPECT_NEAR(r.frames[i].phase, 0.1 * i, 1e-9);
  }
}

TEST(SceneRender, BigSphereDensityAndStyleChangeWhatIsDrawn) {
  Frame points20 = StillFrame(OnlyBig(0, 0));
  Frame points30 = StillFrame(OnlyBig(1, 0));
  Frame points40 = StillFrame(OnlyBig(2, 0));
  Frame points7 = StillFrame(OnlyBig(7, 0));
  Frame wire20 = StillFrame(OnlyBig(0, 1));
  Frame wire5 = StillFrame(OnlyBig(0, 5));
  EXPECT_GT(points20.LitCount(), 50);
  EXPECT_LT(points20.LitCount(), points30.LitCount());
  EXPECT_LT(points30.LitCount(), points40.LitCount());
  EXPECT_TRUE(points7 == points40) << "density 7 must draw like the highest level";
  EXPECT_GT(wire20.LitCount(), 2 * points20.LitCount());
  EXPECT_TRUE(wire5 == wire20) << "every gestalt other than 0 is wireframe";
  // The sphere of radius 1 fills about the same box in every style.
  int a[4], b[4];
  points40.LitBox(a);
  wire20.LitBox(b);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(a[i], b[i], 3);
}

TEST(SceneRender, SmallSphereCoreIsDrawnForPointsAndWireframeOnly) {
  Frame points = StillFrame(OnlySmall(0));
  Frame wire = StillFrame(OnlySmall(1));
  Frame solid = StillFrame(OnlySmall(2));
  Frame solid9 = StillFrame(OnlySmall(9));
  EXPECT_GT(BlackButDrawn(points), 40);
  EXPECT_GT(BlackButDrawn(wire), 10);
  EXPECT_EQ(BlackButDrawn(solid), 0);
  EXPECT_GT(solid.LitCount(), points.LitCount());
  EXPECT_TRUE(solid9 == solid);
}

TEST(SceneRender, SmallDensityOutsideTheTableUsesTheNearestLevel) {
  SceneSettings s = OnlySmall(1);
  s.smallDensity = 2;
  Frame high = StillFrame(s);
  s.smallDensity = 12;
  Frame above = StillFrame(s);
  s.smallDensity = 0;
  Frame low = StillFrame(s);
  s.smallDensity = -4;
  Frame below = StillFrame(s);
  EXPECT_FALSE(high == low);
  EXPECT_TRUE(above == high);
  EXPECT_TRUE(below == low);
}

TEST(SceneRender, DisplayListsOnAndOffGiveTheSameFrames) {
  for (bool lights : {false, true}) {
    SceneSettings& s = ResetSettings();
    s.lights = lights;
    s.bigGestalt = 1;
    s.displayLists = false;
    RunOptions o;
    o.frames = 6;
    auto direct = RunScene(o);
    scene_testing::Settings().displayLists = true;
    auto listed = RunScene(o);
    ASSERT_EQ(direct.frames.size(), 6u);
    ASSERT_EQ(listed.frames.size(), 6u);
    for (int i = 0; i < 6; ++i) {
      EXPECT_GT(direct.frames[i].LitCount(), 100);
      EXPECT_TRUE(direct.frames[i] == listed.frames[i]) << "frame " << i << " lights " << lights;
    }
    EXPECT_FALSE(direct.frames[0] == direct.frames[5]) << "the scene moves";
  }
}

// The scene keeps the settings it was made with: a record changed while it
// runs does not reach its frames.
TEST(SceneRender, DrawsWithTheSettingsItWasMadeWith) {
  SceneSettings& s = ResetSettings();
  s.smallShow = s.textShow = false;
  s.bigColor = false;
  RunOptions o;
  o.frames = 2;
  o.freezeAfter = 0;
  o.beforeFrame = [](scene_testing::TestScene&, int frame) {
    if (frame == 1) scene_testing::Settings().bigShow = false;
  };
  auto r = RunScene(o);
  ASSERT_EQ(r.frames.size(), 2u);
  EXPECT_GT(r.frames[1].LitCount(), 100);
  EXPECT_TRUE(r.frames[0] == r.frames[1]);
}

TEST(SceneRender, BigSphereIsWhiteWithoutCyclingAndTakesTheCyclerColourWithIt) {
  SceneSettings& s = ResetSettings();
  s.smallShow = s.textShow = false;
  s.bigGestalt = 1;
  s.bigColor = false;
  RunOptions o;
  o.frames = 3;
  auto white = RunScene(o);
  ASSERT_EQ(white.frames.size(), 3u);
  const Frame& w = white.frames[2];
  ASSERT_GT(w.LitCount(), 100);
  for (size_t i = 0; i < w.rgb.size(); i += 3)
    if (w.rgb[i] || w.rgb[i + 1] || w.rgb[i + 2]) {
      ASSERT_EQ(w.rgb[i], 255);
      ASSERT_EQ(w.rgb[i + 1], 255);
      ASSERT_EQ(w.rgb[i + 2], 255);
    }

  s.bigColor = true;
  o.frames = 40;
  auto cycling = RunScene(o);
  ASSERT_EQ(cycling.frames.size(), 40u);
  ColorChannel expected[4];
  SetupChannels(CyclerKind::BigSphere, expected);
  for (int frame = 0; frame < 40; ++frame) {
    if (frame % 13 == 0 || frame == 39) {
      const Frame& f = cycling.frames[frame];
      int want[3];
      for (int c = 0; c < 3; ++c)
        want[c] = static_cast<int>(std::lround(expected[c].value.get() * 255.0f));
      int seen = 0;
      for (size_t i = 0; i < f.rgb.size(); i += 3) {
        if (!f.rgb[i] && !f.rgb[i + 1] && !f.rgb[i + 2]) continue;
        ++seen;
        for (int c = 0; c < 3; ++c)
          ASSERT_LE(std::abs(f.rgb[i + c] - want[c]), 1) << "frame " << frame;
      }
      EXPECT_GT(seen, 100);
    }
    for (int c = 0; c < 3; ++c) expected[c].Advance();
  }
}

TEST(SceneRender, BackViewAndViewFromBelowChangeTheImageAndFrontRestoresIt) {
  ResetSettings().bigGestalt = 1;
  RunOptions o;
  o.frames = 6;
  o.freezeAfter = 1;  // every frame from 1 on has the same phase and colours
  o.beforeFrame = [](scene_testing::TestScene& scene, int frame) {
    static const float views[6][4] = {{0, 0, 0, 0},  {0, 0, 0, 0}, {180, 0, 1, 0},
                                      {90, 1, 0, 0}, {0, 0, 0, 0}, {0, 1, 2, 3}};
    scene._viewAngle = views[frame % 6][0];
    scene._viewAxisX = views[frame % 6][1];
    scene._viewAxisY = views[frame % 6][2];
    scene._viewAxisZ = views[frame % 6][3];
    scene.SetupView();  // RenderFrame set the view before Draw
  };
  auto r = RunScene(o);
  ASSERT_EQ(r.frames.size(), 6u);
  const auto& f = r.frames;
  EXPECT_FALSE(f[2] == f[1]) << "back view";
  EXPECT_FALSE(f[3] == f[1]) << "view from below";
  EXPECT_FALSE(f[3] == f[2]);
  EXPECT_TRUE(f[4] == f[1]) << "front view again";
  EXPECT_TRUE(f[5] == f[1]) << "angle 0 with an axis is no rotation";
}

TEST(SceneRender, ReferenceScreenshotsOfTheThreeStylesDiffer) {
  struct Style {
    const char* file;
    int big, small;
  } styles[3] = {
      {"scene_points.png", 0, 0}, {"scene_wireframe.png", 1, 1}, {"scene_solid.png", 1, 2}};
  Frame shots[3];
  for (int i = 0; i < 3; ++i) {
    SceneSettings& s = ResetSettings();
    s.lights = true;
    s.textColor = true;
    s.bigGestalt = styles[i].big;
    s.smallGestalt = styles[i].small;
    RunOptions o;
    o.frames = 12;
    auto r = RunScene(o);
    ASSERT_EQ(r.frames.size(), 12u);
    shots[i] = r.frames[11];
    EXPECT_TRUE(scene_testing::SavePng(styles[i].file, shots[i]));
  }
  EXPECT_FALSE(shots[0] == shots[1]);
  EXPECT_FALSE(shots[1] == shots[2]);
  EXPECT_LT(shots[0].LitCount(), shots[1].LitCount());
}

}  // namespace
