// Runs the real scene in a real OpenGL window and records what each frame drew.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scene/scene_settings.h"
#include "scene/zazozeru.h"

namespace scene_testing {

// One frame as read back on the render thread right after Draw.
struct Frame {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // rows bottom-up
  std::vector<float> depth;
  double phase = 0;  // the phase this frame was drawn with

  bool Lit(int x, int y) const;
  int LitCount() const;
  // Bounding box of the lit pixels (x0, y0, x1, y1), or all -1 when none.
  void LitBox(int box[4]) const;
  bool operator==(const Frame& o) const { return rgb == o.rgb; }
};

// The scene with access for tests; run through the OpenGL window.
class TestScene : public ZAzozeru {
 public:
  explicit TestScene(const SceneSettings& settings);
  void Draw() override;
  // One step per frame whatever the clock says, so frames are compared by
  // their index; the motion's time is tested without windows.
  void Advance(double ticks) override;
  bool InitGL() override;
  int SetupPixelFormat(DWORD flags, BYTE colorBits, BYTE depthBits) override;
  bool MakeGlyph(char32_t code, GLuint list, GLYPHMETRICSFLOAT& metrics) override;

  double Phase() const { return _motion.Phase(); }
  TextRing* Ring() const { return _textRing; }
  ColorCycler* BigCycler() const { return _bigCycler; }
  GLuint TextList() const { return _textList; }
  GLuint BigList() const { return _bigList; }
  bool InitOk() const { return _initOk; }
  DWORD PixelFlags() const { return _pixelFlags; }
  bool SwapsFrames() const { return _doubleBuffer; }
  HDC Dc() const { return _hdc; }
  const GlyphCache& Glyphs() const { return _glyphs; }

 private:
  int _frame = 0;
  bool _initOk = false;
};

// What a test asks of a run; hooks run on the render thread.
struct RunOptions {
  int frames = 3;        // frames to record
  int freezeAfter = -1;  // frames after this index have its phase and colours
  std::function<void(TestScene&, int frame)> beforeFrame;
  std::function<void(TestScene&, int frame)> afterFrame;  // after Draw, before read-back
  // Inside InitGL with the dialog up; an exception thrown here fails the set-up.
  std::function<void(TestScene&)> duringInit;
  std::function<void(TestScene&)> afterInit;  // InitGL has returned
  std::function<void()> beforeClose;          // the test's thread, after the frames
  bool expectFrames = true;
  bool noOutlines = false;  // no face gives glyphs, as where no outline font exists
};

struct RunResult {
  std::vector<Frame> frames;
  bool initOk = false;
};

// Fresh settings as the application starts, lights off for exact colours.
SceneSettings& ResetSettings();
// The settings the next scene gets a copy of.
SceneSettings& Settings();

// Creates the window with the scene (and its wait dialog), records frames,
// closes and destroys it.
RunResult RunScene(const RunOptions& options);

// One frame at phase 0 (no motion) with the current Settings().
Frame StillFrame();

bool SavePng(const std::string& name, const Frame& frame);

}  // namespace scene_testing
