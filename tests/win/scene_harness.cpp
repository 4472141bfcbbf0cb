#include "tests/win/scene_harness.h"

#include <GL/gl.h>

#include <mutex>

#include "glx/opengl_wnd.h"
#include <gtest/gtest.h>

#include "scene/wait_dlg.h"
#include "tests/win/png_writer.h"
#include "tests/win/test_support.h"

namespace scene_testing {

namespace {

SceneSettings g_settings;
constexpr int kWidth = 160, kHeight = 120;

// Shared between the test thread and the render thread of the current run.
std::mutex g_lock;
const RunOptions* g_options = nullptr;
RunResult g_result;

}  // namespace

SceneSettings& Settings() { return g_settings; }

SceneSettings& ResetSettings() {
  g_settings = SceneSettings();
  g_settings.lights = false;
  return g_settings;
}

bool Frame::Lit(int x, int y) const {
  const std::uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
  return p[0] || p[1] || p[2];
}

int Frame::LitCount() const {
  int n = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) n += Lit(x, y);
  return n;
}

void Frame::LitBox(int box[4]) const {
  box[0] = box[1] = box[2] = box[3] = -1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (!Lit(x, y)) continue;
      if (box[0] < 0 || x < box[0]) box[0] = x;
      if (box[1] < 0 || y < box[1]) box[1] = y;
      if (x > box[2]) box[2] = x;
      if (y > box[3]) box[3] = y;
    }
}

TestScene::TestScene(const SceneSettings& settings) : ZAzozeru(settings) {}

// Called inside the engine's set-up.
int TestScene::SetupPixelFormat(DWORD flags, BYTE colorBits, BYTE depthBits) {
  if (g_options && g_options->duringInit) g_options->duringInit(*this);
  return ZAzozeru::SetupPixelFormat(flags, colorBits, depthBits);
}

bool TestScene::MakeGlyph(char32_t code, GLuint list, GLYPHMETRICSFLOAT& metrics) {
  if (g_options && g_options->noOutlines) return false;
  return ZAzozeru::MakeGlyph(code, list, metrics);
}

bool TestScene::InitGL() {
  _initOk = ZAzozeru::InitGL();
  if (g_options && g_options->afterInit) g_options->afterInit(*this);
  std::lock_guard<std::mutex> guard(g_lock);
  g_result.initOk = _initOk;
  return _initOk;
}

void TestScene::Draw() {
  const int frame = _frame++;
  if (g_options && g_options->beforeFrame) g_options->beforeFrame(*this, frame);
  double phase = Phase();
  ZAzozeru::Draw();
  if (g_options && g_options->afterFrame) g_options->afterFrame(*this, frame);
  if (!g_options || frame >= g_options->frames) return;
  Frame f;
  f.width = _cx;
  f.height = _cy;
  f.phase = phase;
  f.rgb.resize(static_cast<size_t>(f.width) * f.height * 3);
  f.depth.resize(static_cast<size_t>(f.width) * f.height);
  glFinish();
  glReadBuffer(_doubleBuffer ? GL_BACK : GL_FRONT);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, f.width, f.height, GL_RGB, GL_UNSIGNED_BYTE, f.rgb.data());
  glReadPixels(0, 0, f.width, f.height, GL_DEPTH_COMPONENT, GL_FLOAT, f.depth.data());
  std::lock_guard<std::mutex> guard(g_lock);
  g_result.frames.push_back(std::move(f));
}

void TestScene::Advance(double) {
  // _frame is the index of the frame about to be drawn.
  bool frozen = g_options && g_options->freezeAfter >= 0 && _frame > g_options->freezeAfter;
  ZAzozeru::Advance(_frame == 0 || frozen ? 0.0 : 1.0);
}

RunResult RunScene(const RunOptions& options) {
  {
    std::lock_guard<std::mutex> guard(g_lock);
    g_result = RunResult();
    g_options = &options;
  }
  auto* wnd = new glx::COpenGLWnd;
  wnd->_animatorFactory = [] { return new TestScene(g_settings); };
  wnd->_waitDialogFactory = CreateWaitDialog;
  RECT rect = {0, 0, kWidth, kHeight};
  RunResult result;
  if (wnd->Create(0, WS_POPUP, rect, nullptr)) {
    HWND hwnd = wnd->m_hWnd;
    wnd->ShowAndAnimate();
    auto done = [&] {
      std::lock_guard<std::mutex> guard(g_lock);
      return static_cast<int>(g_result.frames.size()) >= options.frames;
    };
    testing_support::WaitFor(done, options.expectFrames ? 30000 : 1500);
    if (options.beforeClose) options.beforeClose();
    SendMessageA(hwnd, WM_REQUESTCLOSE, 0, 0);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    DestroyWindow(hwnd);
  }
  std::lock_guard<std::mutex> guard(g_lock);
  g_options = nullptr;
  result = std::move(g_result);
  return result;
}

bool SavePng(const std::string& name, const Frame& frame) {
  return testing_support::WritePng(name, frame.width, frame.height, frame.rgb);
}

Frame StillFrame() {
  RunOptions o;
  o.frames = 1;
  o.freezeAfter = 0;
  RunResult r = RunScene(o);
  EXPECT_TRUE(r.initOk);
  return r.frames.empty() ? Frame() : r.frames[0];
}

}  // namespace scene_testing
