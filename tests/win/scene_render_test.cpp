// The scene rendered by Mesa in a real window: what each setting changes in the frames.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

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

TEST(SceneRender, PixelFormatFollowsDoubleBufferAndGenericAccel) {
  for (bool doubleBuffer : {false, true}) {
    for (bool genericAccel : {false, true}) {
      SCOPED_TRACE(std::string("doubleBuffer ") + (doubleBuffer ? "on" : "off") +
                   ", genericAccel " + (genericAccel ? "on" : "off"));
      SceneSettings& s = ResetSettings();
      s.smallShow = s.textShow = false;
      s.bigGestalt = 1;
      s.doubleBuffer = doubleBuffer;
      s.genericAccel = genericAccel;
      DWORD asked = 0, chosen = 0;
      bool swaps = !doubleBuffer;
      RunOptions o;
      o.frames = 2;
      o.afterInit = [&](scene_testing::TestScene& scene) {
        asked = scene.PixelFlags();
        swaps = scene.SwapsFrames();
        PIXELFORMATDESCRIPTOR pfd = {};
        DescribePixelFormat(scene.Dc(), GetPixelFormat(scene.Dc()), sizeof pfd, &pfd);
        chosen = pfd.dwFlags;
      };
      auto r = RunScene(o);
      ASSERT_TRUE(r.initOk);
      ASSERT_EQ(r.frames.size(), 2u);
      EXPECT_EQ((asked & PFD_DOUBLEBUFFER) != 0, doubleBuffer);
      EXPECT_EQ((asked & PFD_GENERIC_ACCELERATED) != 0, genericAccel);
      EXPECT_EQ(asked & PFD_SUPPORT_GDI, 0u);
      EXPECT_EQ(swaps, doubleBuffer) << "frames end with SwapBuffers only when double-buffered";
      EXPECT_EQ((chosen & PFD_DOUBLEBUFFER) != 0, doubleBuffer);
      // Read from the front buffer when single-buffered: drawn there, no swap needed.
      EXPECT_GT(r.frames[1].LitCount(), 100);
    }
  }
}

// The rendering state the General page's switches give, right after set-up.
struct GeneralState {
  GLboolean blend, alpha, dither, lighting, light0, lineSmooth, pointSmooth, polygonSmooth;
  GLint shadeModel, pointHint, polygonHint, lineHint;
  GLfloat ambient[4], specular[4], diffuse[4], position[4];
};

GeneralState StateAfterSetUp(const SceneSettings& settings) {
  scene_testing::Settings() = settings;
  GeneralState st = {};
  RunOptions o;
  o.frames = 1;
  o.afterInit = [&](scene_testing::TestScene&) {
    st.blend = glIsEnabled(GL_BLEND);
    st.alpha = glIsEnabled(GL_ALPHA_TEST);
    st.dither = glIsEnabled(GL_DITHER);
    st.lighting = glIsEnabled(GL_LIGHTING);
    st.light0 = glIsEnabled(GL_LIGHT0);
    st.lineSmooth = glIsEnabled(GL_LINE_SMOOTH);
    st.pointSmooth = glIsEnabled(GL_POINT_SMOOTH);
    st.polygonSmooth = glIsEnabled(GL_POLYGON_SMOOTH);
    glGetIntegerv(GL_SHADE_MODEL, &st.shadeModel);
    glGetIntegerv(GL_POINT_SMOOTH_HINT, &st.pointHint);
    glGetIntegerv(GL_POLYGON_SMOOTH_HINT, &st.polygonHint);
    glGetIntegerv(GL_LINE_SMOOTH_HINT, &st.lineHint);
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, st.ambient);
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, st.specular);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, st.diffuse);
    glGetLightfv(GL_LIGHT0, GL_POSITION, st.position);
  };
  EXPECT_TRUE(RunScene(o).initOk);
  return st;
}

TEST(SceneRender, GeneralSwitchesSetBlendAlphaDitherLightsAndSmoothing) {
  // Three runs in which every switch has its own on/off pattern (1, 2, 3, 4 and
  // 5 in binary), so that no switch can stand in for another.
  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    SceneSettings s = ResetSettings();
    s.textShow = false;  // the glyphs take long and change nothing here
    auto on = [run](int code) { return ((code >> run) & 1) != 0; };
    s.blend = on(1);
    s.alpha = on(2);
    s.dither = on(3);
    s.lights = on(4);
    s.smooth = on(5);
    const GeneralState st = StateAfterSetUp(s);
    EXPECT_EQ(st.blend != 0, s.blend);
    EXPECT_EQ(st.alpha != 0, s.alpha);
    EXPECT_EQ(st.dither != 0, s.dither);
    EXPECT_EQ(st.lighting != 0, s.lights);
    EXPECT_EQ(st.light0 != 0, s.lights);
    EXPECT_EQ(st.lineSmooth != 0, s.smooth);
    EXPECT_EQ(st.pointSmooth != 0, s.smooth);
    EXPECT_EQ(st.polygonSmooth != 0, s.smooth);
    EXPECT_EQ(st.shadeModel, s.smooth ? GL_SMOOTH : GL_FLAT);
    // Smoothing off asks for the fastest; on leaves the hints as they were.
    const GLint hint = s.smooth ? GL_DONT_CARE : GL_FASTEST;
    EXPECT_EQ(st.pointHint, hint);
    EXPECT_EQ(st.polygonHint, hint);
    EXPECT_EQ(st.lineHint, hint);
    if (s.lights) {
      const GLfloat ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f}, specular[4] = {0, 0, 0, 1.0f};
      const GLfloat diffuse[4] = {1, 1, 1, 1}, position[4] = {-3, 2, -5, 30};
      for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(st.ambient[i], ambient[i]) << i;
        EXPECT_FLOAT_EQ(st.specular[i], specular[i]) << i;
        EXPECT_FLOAT_EQ(st.diffuse[i], diffuse[i]) << "the default diffuse colour stays " << i;
        EXPECT_FLOAT_EQ(st.position[i], position[i]) << "fixed to the viewer " << i;
      }
    }
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
    const float* v = views[frame % 6];
    scene.SetView({v[0], v[1], v[2], v[3]});
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

// While another thread switches between two views as fast as it can, every
// frame is drawn with one of them whole, never the angle of one with the axis
// of the other: each frame's matrix is one of the two (or the first view).
TEST(SceneRender, TheViewIsHandedOverWhole) {
  ResetSettings();
  const ViewRotation views[3] = {{}, {180.0f, 0.0f, 1.0f, 0.0f}, {90.0f, 1.0f, 0.0f, 0.0f}};
  std::atomic<scene_testing::TestScene*> scene{nullptr};
  std::atomic<bool> done{false};
  std::thread keys([&] {
    for (unsigned i = 0; !done; ++i) {
      if (scene_testing::TestScene* s = scene) s->SetView(views[1 + i % 2]);
      Sleep(0);  // many switches per frame, but the machine stays usable
    }
  });
  int torn = 0;
  RunOptions o;
  o.frames = 20;
  o.beforeFrame = [&](scene_testing::TestScene& s, int) {
    scene = &s;
    GLfloat drawn[16], made[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, drawn);
    bool whole = false;
    for (const ViewRotation& v : views) {
      glPushMatrix();
      glLoadIdentity();
      glTranslatef(0.0f, 0.0f, -3.5f);
      if (v.angle != 0.0f) glRotatef(v.angle, v.x, v.y, v.z);
      glGetFloatv(GL_MODELVIEW_MATRIX, made);
      glPopMatrix();
      bool same = true;
      for (int i = 0; i < 16; ++i) same = same && std::fabs(drawn[i] - made[i]) < 1e-4f;
      whole = whole || same;
    }
    torn += !whole;
  };
  o.beforeClose = [&] {
    done = true;
    keys.join();
  };
  RunScene(o);
  if (keys.joinable()) {  // the window was not made
    done = true;
    keys.join();
  }
  EXPECT_EQ(torn, 0);
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
