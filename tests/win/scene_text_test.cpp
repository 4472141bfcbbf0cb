// The text ring inside the real scene: where it draws, its size, timed patterns.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "scene/text_format.h"
#include "scene/text_ring.h"
#include "tests/win/scene_harness.h"
#include "tests/win/test_support.h"

using scene_testing::Frame;
using scene_testing::ResetSettings;
using scene_testing::RunOptions;
using scene_testing::RunScene;
using scene_testing::TestScene;

namespace {

SceneSettings& OnlyText(const std::string& text, int size) {
  SceneSettings& s = ResetSettings();
  s.bigShow = s.smallShow = false;
  s.text = text;
  s.textSize = size;
  return s;
}

Frame Still() { return scene_testing::StillFrame(); }

// Draws only the compiled ring list and counts what it put on screen.
int DrawnByTextList(TestScene& scene) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  glCallList(scene.TextList());
  glPopMatrix();
  glFinish();
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  std::vector<unsigned char> px(static_cast<size_t>(vp[2]) * vp[3] * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, vp[2], vp[3], GL_RGB, GL_UNSIGNED_BYTE, px.data());
  int lit = 0;
  for (size_t i = 0; i < px.size(); i += 3) lit += px[i] || px[i + 1] || px[i + 2];
  return lit;
}

std::atomic<std::time_t> g_fakeNow{1000000000};
std::time_t FakeClock() { return g_fakeNow.load(); }

TEST(SceneText, RingCirclesOutsideTheBigSphereAndTextSizeScalesIt) {
  // 40 'W' of size 3 go once round the circle of radius 1.2.
  OnlyText(std::string(40, 'W'), 3);
  Frame ring = Still();
  SceneSettings& s = ResetSettings();
  s.smallShow = s.textShow = false;
  Frame sphere = Still();
  int r[4], b[4];
  ring.LitBox(r);
  sphere.LitBox(b);
  ASSERT_GE(r[0], 0);
  ASSERT_GE(b[0], 0);
  EXPECT_LT(r[0], b[0] - 3) << "ring reaches further left than the sphere";
  EXPECT_GT(r[2], b[2] + 3) << "and further right";
  EXPECT_LT(r[3] - r[1], (b[3] - b[1]) / 2) << "a slightly tilted ring is flat";

  OnlyText("Verivir", 0);
  Frame tiny = Still();
  OnlyText("Verivir", 3);
  Frame big = Still();
  int t[4], g[4];
  tiny.LitBox(t);
  big.LitBox(g);
  ASSERT_GE(t[0], 0);
  EXPECT_GT(g[3] - g[1], 2 * (t[3] - t[1]));
  EXPECT_GT(g[2] - g[0], 2 * (t[2] - t[0]));
  EXPECT_GT(big.LitCount(), 4 * tiny.LitCount());
}

// Values an edited registry may hold draw as the nearest the scene can show
// (the speed's range is tested window-free): a size below the range is the
// smallest, not no text at all; a very long text draws 1000 characters.
TEST(SceneText, OutOfRangeSizeAndLengthDrawAsTheNearestTheSceneCanShow) {
  OnlyText("Verivir", 0);
  const Frame tiny = Still();
  OnlyText("Verivir", -1);
  const Frame below = Still();
  EXPECT_GT(below.LitCount(), 0) << "the text disappeared";
  EXPECT_TRUE(below == tiny);
  OnlyText(std::string(1500, 'i'), 0);
  RunOptions o;
  o.frames = 1;
  size_t drawn = 0;
  o.afterFrame = [&](TestScene& scene, int) { drawn = scene.Ring()->angles.size(); };
  RunScene(o);
  EXPECT_EQ(drawn, 1000u);
}

// A face without outlines ("System" is a raster font, the other is not there)
// gives way to the default face, not to what the font mapper would pick; where
// no face gives outlines, the spheres are drawn without the text.
TEST(SceneText, AFaceWithoutOutlinesGivesWayToTheDefaultFace) {
  RunOptions o;
  o.frames = 1;
  o.freezeAfter = 0;
  float advance = 0;
  o.afterFrame = [&](TestScene& scene, int) {
    const GlyphCache::Glyph* glyph = scene.Glyphs().Find(U'A');
    advance = glyph ? glyph->advance : 0.0f;
  };
  for (const char* face : {"System", "No Such Face"}) {
    OnlyText("A", 1).font = face;
    RunScene(o);
    EXPECT_NEAR(advance, 0.72266f, 1e-3) << face << ": Liberation Serif stands in for the default";
  }
  SceneSettings& s = ResetSettings();
  s.textShow = false;
  const Frame spheres = Still();
  s.textShow = true;
  o.noOutlines = true;
  bool ring = true;
  o.afterFrame = [&](TestScene& scene, int) { ring = scene.Ring() != nullptr; };
  const auto r = RunScene(o);
  EXPECT_TRUE(r.initOk);
  EXPECT_FALSE(ring);
  ASSERT_EQ(r.frames.size(), 1u);
  EXPECT_TRUE(r.frames[0] == spheres) << "the spheres are drawn all the same";
}

// Any character: Greek and Polish from the chosen face's own outlines,
// Japanese and, beyond U+FFFF, an emoji from fallback faces (Droid Sans
// Fallback and DejaVu Sans here). U+2FFF is no character of any face, nor
// U+10041 of any here: both are drawn as nothing, U+10041 not as the 'A' of
// its low 16 bits. The ring differs from question marks of its length.
TEST(SceneText, AnyCharacterIsDrawnFromTheChosenFaceOrAFallback) {
  const std::string emoji = "\xf0\x9f\x98\x80";
  OnlyText(testing_support::kUnicodeText + emoji + "\xe2\xbf\xbf\xf0\x90\x81\x81", 3);
  RunOptions o;
  o.frames = 2;
  o.freezeAfter = 0;
  std::map<char32_t, GlyphCache::Glyph> glyphs;
  size_t angles = 0;
  o.afterFrame = [&](TestScene& scene, int) {
    glyphs = scene.Glyphs().All();
    angles = scene.Ring()->angles.size();
  };
  const auto unicode = RunScene(o);
  ASSERT_EQ(unicode.frames.size(), 2u);
  EXPECT_EQ(angles, 28u);
  for (char32_t c : U"\u0396\u03c9\u03ae\u2014\u00dc\u0141\u017a\u65e5\u672c\U0001F600") {
    if (!c) break;
    SCOPED_TRACE(static_cast<unsigned>(c));
    ASSERT_TRUE(glyphs.count(c));
    EXPECT_NE(glyphs[c].list, 0u);
    EXPECT_GT(glyphs[c].advance, 0.2f);
  }
  // Liberation Serif (the default face here) has Greek and Polish, not CJK:
  // a full-width ideograph from the fallback is about an em wide, the emoji
  // exactly as wide as DejaVu Sans makes it (2135/2048 em).
  EXPECT_LT(glyphs[U'\u03c9'].advance, 0.8f);
  EXPECT_NEAR(glyphs[U'\u65e5'].advance, 1.0f, 0.1f);
  EXPECT_NEAR(glyphs[U'\U0001F600'].advance, 2135 / 2048.0f, 1e-3);
  for (char32_t c : {U'\u2fff', U'\U00010041'}) {
    ASSERT_TRUE(glyphs.count(c));
    EXPECT_EQ(glyphs[c].list, 0u);
    EXPECT_EQ(glyphs[c].advance, 0.0f);
  }

  OnlyText(std::string(28, '?'), 3);
  const auto marks = RunScene(o);
  ASSERT_EQ(marks.frames.size(), 2u);
  EXPECT_GT(unicode.frames[1].LitCount(), 50);
  EXPECT_FALSE(unicode.frames[1] == marks.frames[1]);

  // The emoji's own outline is drawn: five of them alone light the ring.
  OnlyText(emoji + emoji + emoji + emoji + emoji, 3);
  const auto faces = RunScene(o);
  ASSERT_EQ(faces.frames.size(), 2u);
  EXPECT_GT(faces.frames[1].LitCount(), 50);
}

TEST(SceneText, EmptyTextDrawsNothingAndLeavesTheFrameIntact) {
  SceneSettings& s = ResetSettings();
  s.smallShow = false;
  s.textShow = false;
  RunOptions o;
  o.frames = 4;
  auto without = RunScene(o);
  s.textShow = true;
  s.text = "";
  std::vector<size_t> shownSizes;
  o.afterFrame = [&](TestScene& scene, int) { shownSizes.push_back(scene.Ring()->angles.size()); };
  auto empty = RunScene(o);
  ASSERT_EQ(without.frames.size(), 4u);
  ASSERT_EQ(empty.frames.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(empty.frames[i] == without.frames[i]) << "frame " << i;
  ASSERT_FALSE(shownSizes.empty());
  EXPECT_EQ(shownSizes[0], 0u);
}

TEST(SceneText, TimedPatternChangesOncePerSecondAndIsNeverCompiled) {
  text_format::SetClock(FakeClock);
  g_fakeNow = 1000000000;
  SceneSettings& s = OnlyText("%H:%M:%S", 1);
  s.displayLists = true;
  RunOptions o;
  o.frames = 7;
  std::vector<std::string> shown;
  bool timed = false, useList = true;
  int probe = -1;
  o.beforeFrame = [&](TestScene&, int frame) {
    // The clock moves one second at frame 3 and a minute at frame 5.
    if (frame == 3) g_fakeNow = 1000000001;
    if (frame == 5) g_fakeNow = 1000000061;
  };
  o.afterFrame = [&](TestScene& scene, int frame) {
    if (frame < 7) shown.push_back(scene.Ring()->shown);
    if (frame == 0) {
      timed = scene.Ring()->timed;
      useList = scene.Ring()->useList;
    }
    if (frame == 7) probe = DrawnByTextList(scene);
  };
  o.frames = 8;
  auto r = RunScene(o);
  text_format::SetClock(nullptr);
  ASSERT_EQ(r.frames.size(), 8u);
  ASSERT_GE(shown.size(), 7u);
  EXPECT_TRUE(timed);
  EXPECT_FALSE(useList);
  EXPECT_EQ(shown[0], text_format::Format("%H:%M:%S", 1000000000));
  EXPECT_EQ(shown[1], shown[0]);
  EXPECT_EQ(shown[2], shown[0]);
  EXPECT_EQ(shown[3], text_format::Format("%H:%M:%S", 1000000001));
  EXPECT_NE(shown[3], shown[0]);
  EXPECT_EQ(shown[4], shown[3]);
  EXPECT_EQ(shown[5], text_format::Format("%H:%M:%S", 1000000061));
  EXPECT_EQ(shown[6], shown[5]);
  EXPECT_GT(r.frames[0].LitCount(), 20) << "the clock is drawn glyph by glyph";
  EXPECT_EQ(probe, 0) << "the ring list stays empty";
}

// Only the glyphs a text shows are built, each once, when it first shows
// them: a clock's digits and separators at once, a weekday's letters when the
// day comes. A text of many different characters shows a few frames later;
// the spheres do not wait for it.
TEST(SceneText, GlyphsAreBuiltOnceEachWhenTheTextFirstNeedsThem) {
  const std::string pattern = "%a %H:%M:%S";
  const std::time_t day1 = 1000000000, day2 = day1 + 86400;
  auto glyphsFor = [&](std::initializer_list<std::time_t> times) {
    std::set<char32_t> codes(std::begin(U"0123456789"), std::end(U"0123456789") - 1);
    for (std::time_t t : times)
      for (char c : text_format::Format(pattern, t)) codes.insert(static_cast<unsigned char>(c));
    return std::u32string(codes.begin(), codes.end());
  };
  text_format::SetClock(FakeClock);
  g_fakeNow = day1;
  OnlyText(pattern, 1);
  RunOptions o;
  o.frames = 3;
  std::vector<std::u32string> built;
  std::vector<unsigned> listOfOne;
  o.beforeFrame = [&](TestScene&, int frame) {
    if (frame == 2) g_fakeNow = day2;
  };
  o.afterFrame = [&](TestScene& scene, int) {
    std::u32string codes;
    for (const auto& glyph : scene.Glyphs().All()) codes += glyph.first;
    built.push_back(codes);
    const GlyphCache::Glyph* one = scene.Glyphs().Find(U'1');
    listOfOne.push_back(one ? one->list : 0);
  };
  RunScene(o);
  text_format::SetClock(nullptr);
  ASSERT_GE(built.size(), 3u);
  EXPECT_EQ(built[0], glyphsFor({day1}));
  EXPECT_EQ(built[1], built[0]);
  EXPECT_EQ(built[2], glyphsFor({day1, day2})) << "the next day's letters";
  EXPECT_NE(listOfOne[0], 0u);
  EXPECT_EQ(listOfOne[2], listOfOne[0]) << "built once";

  std::string all;
  for (char c = ' '; c <= '~'; ++c) all += c;
  SceneSettings& s = ResetSettings();
  s.smallShow = false;
  s.text = all;
  RunOptions many;
  many.frames = 3;
  many.freezeAfter = 0;
  std::vector<bool> ready;
  many.afterFrame = [&](TestScene& scene, int) {
    ready.push_back(scene.Ring()->angles.size() == all.size());
  };
  const auto r = RunScene(many);
  s.textShow = false;
  const Frame sphere = Still();
  ASSERT_EQ(r.frames.size(), 3u);
  EXPECT_EQ(ready, (std::vector<bool>{false, false, true})) << "32 glyphs a frame";
  EXPECT_TRUE(r.frames[0] == sphere) << "the sphere is drawn while the glyphs are made";
  EXPECT_FALSE(r.frames[2] == sphere);
}

// The material the ring set while drawing: drawn once more with colour
// material off, so that nothing overwrites it before it is read back.
std::array<float, 4> RingMaterial(TestScene& scene) {
  glDisable(GL_COLOR_MATERIAL);
  glPushMatrix();
  scene.Ring()->Draw();
  glPopMatrix();
  std::array<float, 4> c = {};
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, c.data());
  glEnable(GL_COLOR_MATERIAL);
  return c;
}

TEST(SceneText, MaterialIsGoldOrTheCyclingColourBothScaledByTheTextSize) {
  for (int size : {1, 3}) {
    SCOPED_TRACE("textSize " + std::to_string(size));
    OnlyText("Verivir", size).textColor = false;
    RunOptions o;
    o.frames = 3;
    std::vector<std::array<float, 4>> seen;
    o.afterFrame = [&](TestScene& scene, int) { seen.push_back(RingMaterial(scene)); };
    ASSERT_EQ(RunScene(o).frames.size(), 3u);
    ASSERT_GE(seen.size(), 3u);
    const float scale = (size + 1) * 0.05f;
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_NEAR(seen[i][0], 0.8f * scale, 1e-6) << "frame " << i;
      EXPECT_NEAR(seen[i][1], 0.7f * scale, 1e-6);
      EXPECT_NEAR(seen[i][2], 0.4f * scale, 1e-6);
      EXPECT_NEAR(seen[i][3], scale, 1e-6);
    }
  }

  // Cycling: red, green and blue rise by 0.01, 0.002 and 0.0003 per frame from
  // 0.5, 0.1 and 0.2; alpha stays 0.5 and is not scaled.
  SceneSettings& s = OnlyText("Verivir", 1);
  s.textColor = true;
  RunOptions o;
  o.frames = 4;
  std::vector<std::array<float, 4>> seen;
  o.afterFrame = [&](TestScene& scene, int) { seen.push_back(RingMaterial(scene)); };
  ASSERT_EQ(RunScene(o).frames.size(), 4u);
  ASSERT_GE(seen.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(seen[i][0], (0.5f + 0.01f * i) * 0.1f, 1e-6) << "frame " << i;
    EXPECT_NEAR(seen[i][1], (0.1f + 0.002f * i) * 0.1f, 1e-6);
    EXPECT_NEAR(seen[i][2], (0.2f + 0.0003f * i) * 0.1f, 1e-6);
    EXPECT_NEAR(seen[i][3], 0.5f, 1e-6);
  }
}

TEST(SceneText, YearOnlyPatternIsLiteralAndCompiledWhileControlCharactersAreSkipped) {
  SceneSettings& s = OnlyText("%Y\t\x01", 1);
  s.displayLists = true;
  RunOptions o;
  o.frames = 1;
  bool timed = true, useList = false;
  std::string shown;
  size_t angles = 0;
  int probe = -1;
  o.afterFrame = [&](TestScene& scene, int frame) {
    if (frame == 0) {
      timed = scene.Ring()->timed;
      useList = scene.Ring()->useList;
      shown = scene.Ring()->shown;
      angles = scene.Ring()->angles.size();
    }
    if (frame == 1) probe = DrawnByTextList(scene);
  };
  o.frames = 2;
  auto r = RunScene(o);
  ASSERT_EQ(r.frames.size(), 2u);
  EXPECT_FALSE(timed);
  EXPECT_TRUE(useList);
  EXPECT_EQ(shown, "%Y");
  EXPECT_EQ(angles, 2u);
  EXPECT_GT(probe, 0) << "an untimed ring is one compiled list";
}

}  // namespace
