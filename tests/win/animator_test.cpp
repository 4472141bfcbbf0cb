// The animation engine against a real window, WGL context and render thread.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "glx/animator.h"
#include "tests/win/test_support.h"

using testing_support::CreateTestWindow;
using testing_support::Rgb;
using testing_support::WaitFor;

namespace {

// A scene that records its hooks and what reached the framebuffer.
class RecordingScene : public glx::CAnimator {
  DECLARE_DYNCREATE(RecordingScene)
 public:
  ~RecordingScene() override {
    CloseHandle(frameShown);
    CloseHandle(mayGoOn);
  }

  std::vector<std::string> Log() {
    std::lock_guard<std::mutex> g(_m);
    return _log;
  }
  size_t Count(const std::string& entry) {
    auto log = Log();
    return std::count(log.begin(), log.end(), entry);
  }

  bool InitGL() override {
    Record("InitGL");
    return glx::CAnimator::InitGL();
  }
  bool ExitGL() override {
    Record("ExitGL");
    return true;
  }
  int SetupPixelFormat(DWORD flags, BYTE colorBits, BYTE depthBits) override {
    if (failPixelFormat) throw std::runtime_error("test: no pixel format");
    return glx::CAnimator::SetupPixelFormat(flags | extraFlags, colorBits, depthBits);
  }
  bool SetViewport(int cx, int cy) override {
    Record("Resize " + std::to_string(cx) + "x" + std::to_string(cy));
    return glx::CAnimator::SetViewport(cx, cy);
  }
  void Draw() override {
    Record("Draw");
    frameTimes.push_back(_lastFrame);  // the stamp the pacing took for this frame
    glColor3f(1.0f, 0.0f, 0.0f);
    glRectf(-0.5f, -0.5f, 0.5f, 0.5f);
    if (throwOnFrame == ++drawn) throw std::runtime_error("test: draw failed");
  }
  void Advance() override {
    Record("Advance");
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    {
      std::lock_guard<std::mutex> g(_m);
      centers.push_back(testing_support::ReadFrontPixel(_cx / 2, _cy / 2));
      corners.push_back(testing_support::ReadFrontPixel(1, 1));
      depths.push_back(depth);
    }
    // Each frame clears to a new colour, so a skipped swap is visible.
    advanced = advanced + 1;
    if (gated) {
      glFinish();
      SetEvent(frameShown);
      WaitForSingleObject(mayGoOn, 5000);
    }
    glClearColor(0.0f, advanced % 2 ? 0.0f : 1.0f, advanced % 2 ? 1.0f : 0.0f, 1.0f);
  }
  bool ThreadExit() override {
    Record("ThreadExit");
    return glx::CAnimator::ThreadExit();
  }
  bool Step() override {
    ++steps;
    return glx::CAnimator::Step();
  }
  DWORD Now() const override { return fakeClock ? fakeClock : glx::CAnimator::Now(); }

  HANDLE ThreadHandle() const { return _thread ? _thread->m_hThread : nullptr; }
  DWORD LastFrame() const { return _lastFrame; }
  void SetLastFrame(DWORD t) { _lastFrame = t; }
  HWND AttachedWindow() const { return _hwnd; }

  bool failPixelFormat = false;
  DWORD extraFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  int throwOnFrame = 0;
  DWORD fakeClock = 0;
  std::atomic<int> advanced{0};
  std::atomic<int> steps{0};
  int drawn = 0;
  // When gated, the thread holds after each frame until the test looked at it.
  bool gated = false;
  HANDLE frameShown = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE mayGoOn = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::vector<DWORD> frameTimes;
  // One entry per frame, read back after the frame.
  std::vector<Rgb> centers, corners;
  std::vector<int> depths;
  std::mutex _m;

 private:
  void Record(const std::string& s) {
    std::lock_guard<std::mutex> g(_m);
    _log.push_back(s);
  }
  std::vector<std::string> _log;
};

IMPLEMENT_DYNCREATE(RecordingScene, glx::CAnimator)

class AnimatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hwnd = CreateTestWindow(64, 48);
    ASSERT_NE(hwnd, nullptr);
    scene = static_cast<RecordingScene*>(RUNTIME_CLASS(RecordingScene)->CreateObject());
    ASSERT_NE(scene, nullptr);
  }
  void TearDown() override {
    if (scene) {
      scene->Resume();
      scene->Stop(5000);
      delete scene;
    }
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  // Attach, size and start like the OpenGL window does.
  void Start() {
    ASSERT_TRUE(scene->AttachWindow(hwnd));
    scene->SetSize(64, 48);
    scene->StartAnimation();
    scene->Resume();
  }
  bool WaitForAdvances(int n) {
    return WaitFor([&] { return scene->advanced >= n; });
  }

  HWND hwnd = nullptr;
  RecordingScene* scene = nullptr;
};

TEST(AnimatorClass, IsCreatedDynamicallyFromItsRuntimeClass) {
  const CRuntimeClass* cls = RUNTIME_CLASS(glx::CAnimator);
  EXPECT_STREQ(cls->m_lpszClassName, "CAnimator");
  EXPECT_EQ(cls->m_pBaseClass, RUNTIME_CLASS(CObject));
  CObject* object = cls->CreateObject();
  ASSERT_NE(object, nullptr);
  EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(glx::CAnimator)));
  delete object;
  CObject* derived = RUNTIME_CLASS(RecordingScene)->CreateObject();
  EXPECT_TRUE(derived->IsKindOf(RUNTIME_CLASS(glx::CAnimator)));
  delete derived;
}

TEST_F(AnimatorTest, RunsHooksInOrderAndDrawsIntoTheWindow) {
  Start();
  ASSERT_TRUE(WaitForAdvances(3));
  scene->Stop(5000);
  EXPECT_EQ(WaitForSingleObject(scene->ThreadHandle(), 0), WAIT_OBJECT_0);

  auto log = scene->Log();
  ASSERT_GE(log.size(), 6u);
  EXPECT_EQ(log[0], "InitGL");
  EXPECT_EQ(log[1], "Resize 64x48");
  EXPECT_EQ(log[2], "Draw");
  EXPECT_EQ(log[3], "Advance");
  EXPECT_EQ(log[log.size() - 2], "ThreadExit");
  EXPECT_EQ(log.back(), "ExitGL");
  EXPECT_EQ(scene->Count("Draw"), scene->Count("Advance"));
  // Single-buffered default: the red square and the black clear are on screen.
  EXPECT_EQ(scene->centers[0], (Rgb{255, 0, 0}));
  EXPECT_EQ(scene->corners[0], (Rgb{0, 0, 0}));
  EXPECT_EQ(scene->depths[0], 1);
}

TEST_F(AnimatorTest, FramesAreMoreThanThirtyMillisecondsApart) {
  Start();
  ASSERT_TRUE(WaitForAdvances(6));
  scene->Stop(5000);
  auto& t = scene->frameTimes;
  ASSERT_GE(t.size(), 6u);
  for (size_t i = 1; i < t.size(); ++i) EXPECT_GE(t[i] - t[i - 1], 31u) << "frame " << i;
}

TEST_F(AnimatorTest, RenderThreadWaitsBetweenFramesInsteadOfSpinning) {
  Start();
  ASSERT_TRUE(WaitForAdvances(10));
  scene->Stop(5000);
  // A spinning loop turns thousands of times per frame; a waiting one a few.
  EXPECT_LT(scene->steps.load(), 10 * scene->advanced.load() + 20);
}

TEST_F(AnimatorTest, AppliesSizesButDrawsNothingBeforeStartAnimation) {
  ASSERT_TRUE(scene->AttachWindow(hwnd));
  scene->SetSize(32, 16);
  scene->Resume();
  ASSERT_TRUE(WaitFor([&] { return scene->Count("Resize 32x16") == 1; }));
  scene->SetSize(40, 20);
  ASSERT_TRUE(WaitFor([&] { return scene->Count("Resize 40x20") == 1; }));
  Sleep(100);
  EXPECT_EQ(scene->Count("Draw"), 0u);
  scene->StartAnimation();
  EXPECT_TRUE(WaitForAdvances(1));
}

TEST_F(AnimatorTest, SizeSetBeforeAttachIsAppliedBeforeTheFirstFrame) {
  scene->SetSize(50, 30);
  ASSERT_TRUE(scene->AttachWindow(hwnd));
  scene->StartAnimation();
  scene->Resume();
  ASSERT_TRUE(WaitForAdvances(1));
  auto log = scene->Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[1], "Resize 50x30");
  EXPECT_EQ(log[2], "Draw");
}

TEST_F(AnimatorTest, ExceptionInDrawSkipsThatSwapAndTheLoopGoesOn) {
  scene->extraFlags |= PFD_DOUBLEBUFFER;
  scene->throwOnFrame = 2;
  scene->gated = true;
  Start();
  // What the screen shows after each frame, grabbed from outside the context.
  std::vector<Rgb> screen;
  HDC desktop = GetDC(nullptr);
  for (int frame = 0; frame < 4; ++frame) {
    ASSERT_EQ(WaitForSingleObject(scene->frameShown, 5000), WAIT_OBJECT_0);
    COLORREF c = GetPixel(desktop, 2, 2);
    screen.push_back({GetRValue(c), GetGValue(c), GetBValue(c)});
    SetEvent(scene->mayGoOn);
  }
  ReleaseDC(nullptr, desktop);
  scene->gated = false;
  SetEvent(scene->mayGoOn);
  scene->Stop(5000);
  // Frame 1 cleared to black. Frame 2 (blue) threw: nothing was swapped and
  // frame 1 is still shown. Frames 3 (green) and 4 (blue) were swapped.
  EXPECT_EQ(screen[0], (Rgb{0, 0, 0}));
  EXPECT_EQ(screen[1], (Rgb{0, 0, 0}));
  EXPECT_EQ(screen[2], (Rgb{0, 255, 0}));
  EXPECT_EQ(screen[3], (Rgb{0, 0, 255}));
  for (int depth : scene->depths) EXPECT_EQ(depth, 1);
}

TEST_F(AnimatorTest, StopWithoutAttachReturnsAtOnce) {
  DWORD start = GetTickCount();
  scene->Stop(5000);
  EXPECT_LT(GetTickCount() - start, 1000u);
}

TEST_F(AnimatorTest, NoFrameIsDrawnOnceTheWindowIsDestroyed) {
  Start();
  ASSERT_TRUE(WaitForAdvances(2));
  DestroyWindow(hwnd);
  Sleep(50);
  int frames = scene->advanced;
  Sleep(200);
  EXPECT_EQ(scene->advanced.load(), frames);
  DWORD start = GetTickCount();
  scene->Stop(5000);
  EXPECT_LT(GetTickCount() - start, 1000u);
  EXPECT_EQ(WaitForSingleObject(scene->ThreadHandle(), 0), WAIT_OBJECT_0);
}

TEST_F(AnimatorTest, FrameIsDueAcrossTheMillisecondCounterWrap) {
  ASSERT_TRUE(scene->AttachWindow(hwnd));
  scene->SetLastFrame(0xFFFFFFF0u);
  scene->fakeClock = 0xFFFFFFF0u + 30;
  EXPECT_FALSE(scene->IsFrameDue());
  scene->fakeClock = 0xFFFFFFF0u + 31;  // wrapped to 15
  EXPECT_TRUE(scene->IsFrameDue());
  EXPECT_EQ(scene->LastFrame(), 15u);
}

TEST_F(AnimatorTest, AttachToANonWindowFailsAndChangesNothing) {
  scene->SetLastFrame(1234);
  EXPECT_FALSE(scene->AttachWindow(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x7654))));
  EXPECT_EQ(scene->AttachedWindow(), nullptr);
  EXPECT_EQ(scene->LastFrame(), 1234u);
  EXPECT_EQ(scene->ThreadHandle(), nullptr);
}

TEST_F(AnimatorTest, FailingPixelFormatEndsTheThreadWithoutThreadExit) {
  scene->failPixelFormat = true;
  Start();
  ASSERT_EQ(WaitForSingleObject(scene->ThreadHandle(), 5000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeThread(scene->ThreadHandle(), &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(scene->Count("InitGL"), 1u);
  EXPECT_EQ(scene->Count("ThreadExit"), 0u);
  EXPECT_EQ(scene->Count("Draw"), 0u);
}

TEST_F(AnimatorTest, RepeatedSuspendIsUndoneByOneResume) {
  Start();
  ASSERT_TRUE(WaitForAdvances(1));
  scene->Suspend();
  scene->Suspend();
  int frames = scene->advanced;
  Sleep(150);
  EXPECT_EQ(scene->advanced.load(), frames);
  scene->Resume();
  EXPECT_TRUE(WaitForAdvances(frames + 2));
  DWORD start = GetTickCount();
  scene->Stop(5000);
  EXPECT_LT(GetTickCount() - start, 1000u);
}

TEST_F(AnimatorTest, StopBeforeTheThreadEverRanStillInitialisesFirst) {
  ASSERT_TRUE(scene->AttachWindow(hwnd));
  scene->Resume();
  scene->Stop(5000);
  EXPECT_EQ(WaitForSingleObject(scene->ThreadHandle(), 0), WAIT_OBJECT_0);
  auto log = scene->Log();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], "InitGL");
  EXPECT_EQ(log[1], "ThreadExit");
  EXPECT_EQ(log[2], "ExitGL");
}

}  // namespace
