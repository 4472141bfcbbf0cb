// The animation engine against a real window, WGL context and render thread.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "glx/animator.h"
#include "glx/pixel_format.h"
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
    CloseHandle(initEntered);
    CloseHandle(initMayGoOn);
    if (deletedSignal) SetEvent(deletedSignal);
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
    if (slowInit) {
      // A long set-up (the scene's glyphs), held until the test lets it go on.
      SetEvent(initEntered);
      WaitForSingleObject(initMayGoOn, 30000);
    }
    // A long set-up in steps that look at the stop request, as the scene's.
    for (int ms = 0; ms < steppedInitMs; ms += 10) {
      if (StopRequested()) return false;
      Sleep(10);
    }
    if (sendOnStop) {
      // Needs the window's thread, which is meanwhile waiting for it to stop.
      SetEvent(initEntered);
      for (DWORD waited = 0; !StopRequested() && waited < 10000; ++waited) Sleep(1);
      SendMessageA(_hwnd, WM_NULL, 0, 0);
      Record("answered");
      return false;
    }
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
    {
      // Where this picture goes and the aspect its projection was made with.
      GLint v[4] = {};
      GLdouble m[16] = {};
      glGetIntegerv(GL_VIEWPORT, v);
      glGetDoublev(GL_PROJECTION_MATRIX, m);
      std::lock_guard<std::mutex> g(_m);
      views.push_back({v[0], v[1], v[2], v[3]});
      aspects.push_back(m[5] / m[0]);
    }
    glColor3f(1.0f, 0.0f, 0.0f);
    glRectf(-0.5f, -0.5f, 0.5f, 0.5f);
    if (throwOnFrame == ++drawn) throw std::runtime_error("test: draw failed");
  }
  void Advance(double ticks) override {
    Record("Advance");
    std::lock_guard<std::mutex> g(_m);
    given.push_back(ticks);
  }
  // What reached the screen, read back after each frame.
  void RenderFrame() override {
    glx::CAnimator::RenderFrame();
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    {
      std::lock_guard<std::mutex> g(_m);
      centers.push_back(testing_support::ReadFrontPixel(_cx / 2, _cy / 2));
      lefts.push_back(testing_support::ReadFrontPixel(_cx / 4, _cy / 2));
      rights.push_back(testing_support::ReadFrontPixel(_cx * 3 / 4, _cy / 2));
      corners.push_back(testing_support::ReadFrontPixel(1, 1));
      depths.push_back(depth);
    }
    // Each frame clears to a new colour, so a skipped swap is visible.
    rendered = rendered + 1;
    if (gated) {
      glFinish();
      SetEvent(frameShown);
      WaitForSingleObject(mayGoOn, 5000);
    }
    glClearColor(0.0f, rendered % 2 ? 0.0f : 1.0f, rendered % 2 ? 1.0f : 0.0f, 1.0f);
  }
  bool ThreadExit() override {
    Record("ThreadExit");
    return glx::CAnimator::ThreadExit();
  }
  bool Step() override {
    ++steps;
    return glx::CAnimator::Step();
  }
  double Now() const override {
    const double fake = fakeClock;
    return fake ? fake : glx::CAnimator::Now();
  }
  glx::frame_pacing ChoosePacing() override {
    pacing = glx::CAnimator::ChoosePacing();
    return pacing;
  }

  HANDLE ThreadHandle() const { return _thread ? _thread->m_hThread : nullptr; }
  HWND AttachedWindow() const { return _hwnd; }

  bool failPixelFormat = false;
  DWORD extraFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  int throwOnFrame = 0;
  std::atomic<double> fakeClock{0.0};  // the test's clock when set
  glx::frame_pacing pacing;            // as last chosen
  std::vector<double> given;           // the ticks of each Advance
  int steppedInitMs = 0;
  bool sendOnStop = false;
  std::atomic<int> rendered{0};
  std::atomic<int> steps{0};
  int drawn = 0;
  // When gated, the thread holds after each frame until the test looked at it.
  std::atomic<bool> gated{false};
  bool slowInit = false;
  HANDLE initEntered = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE initMayGoOn = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE deletedSignal = nullptr;  // set when the scene is deleted, on whichever thread
  HANDLE frameShown = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE mayGoOn = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  // One entry per frame, read back after the frame.
  std::vector<Rgb> centers, corners, lefts, rights;
  std::vector<int> depths;
  std::vector<glx::gl_viewport> views;
  std::vector<double> aspects;
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
  bool WaitForFrames(int n) {
    return WaitFor([&] { return scene->rendered >= n; });
  }

  HWND hwnd = nullptr;
  RecordingScene* scene = nullptr;
};

// The quick pick must be the one ChoosePixelFormat makes, whether an exact
// match exists (the scene's requests) or not (odd depths, GDI, alpha).
TEST(PixelFormat, QuickPickIsChoosePixelFormatsPick) {
  HWND hwnd = CreateTestWindow(64, 64);
  HDC hdc = GetDC(hwnd);
  struct Request {
    DWORD flags;
    BYTE color, alpha, depth, stencil;
    bool exact;  // this driver lists a format that matches exactly
  } requests[] = {
      {PFD_DOUBLEBUFFER, 24, 0, 16, 0, true},
      {0, 24, 0, 16, 0, true},
      {PFD_DOUBLEBUFFER | PFD_GENERIC_ACCELERATED, 24, 0, 16, 0, true},
      {PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL, 32, 8, 24, 8, true},
      {PFD_DOUBLEBUFFER, 24, 0, 17, 0, false},
      {PFD_SUPPORT_GDI, 16, 0, 16, 0, false},
      {PFD_DOUBLEBUFFER_DONTCARE, 24, 0, 24, 0, true},
  };
  for (const Request& r : requests) {
    PIXELFORMATDESCRIPTOR want = {};
    want.nSize = sizeof want;
    want.nVersion = 1;
    want.dwFlags = r.flags;
    want.iPixelType = PFD_TYPE_RGBA;
    want.cColorBits = r.color;
    want.cAlphaBits = r.alpha;
    want.cDepthBits = r.depth;
    want.cStencilBits = r.stencil;
    const int format = glx::choose_pixel_format(hdc, want);
    SCOPED_TRACE(testing::Message() << "flags " << r.flags << " depth " << int(r.depth));
    EXPECT_EQ(format, ChoosePixelFormat(hdc, &want));
    PIXELFORMATDESCRIPTOR have = {};
    ASSERT_TRUE(DescribePixelFormat(hdc, format, sizeof have, &have));
    EXPECT_EQ(glx::matches_exactly(want, have), r.exact);
  }
  ReleaseDC(hwnd, hdc);
  DestroyWindow(hwnd);
}

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
  ASSERT_TRUE(WaitForFrames(3));
  scene->Stop(5000);
  EXPECT_EQ(WaitForSingleObject(scene->ThreadHandle(), 0), WAIT_OBJECT_0);

  auto log = scene->Log();
  ASSERT_GE(log.size(), 6u);
  EXPECT_EQ(log[0], "InitGL");
  EXPECT_EQ(log[1], "Resize 64x48");
  EXPECT_EQ(log[2], "Advance");
  EXPECT_EQ(log[3], "Draw");
  EXPECT_EQ(log[log.size() - 2], "ThreadExit");
  EXPECT_EQ(log.back(), "ExitGL");
  EXPECT_EQ(scene->Count("Draw"), scene->Count("Advance"));
  // Single-buffered default: the red square and the black clear are on screen.
  EXPECT_EQ(scene->centers[0], (Rgb{255, 0, 0}));
  EXPECT_EQ(scene->corners[0], (Rgb{0, 0, 0}));
  EXPECT_EQ(scene->depths[0], 1);
}

TEST_F(AnimatorTest, TwoViewportsGetTheWholeSceneEachWithItsOwnAspect) {
  DestroyWindow(hwnd);
  hwnd = CreateTestWindow(96, 48);
  // A square monitor on the left, a wide one on the right.
  scene->SetViewports({{0, 0, 48, 48}, {48, 12, 48, 24}});
  ASSERT_TRUE(scene->AttachWindow(hwnd));
  scene->SetSize(96, 48);
  scene->StartAnimation();
  scene->gated = true;
  scene->Resume();
  ASSERT_EQ(WaitForSingleObject(scene->frameShown, 10000), WAIT_OBJECT_0);
  {
    std::lock_guard<std::mutex> g(scene->_m);
    ASSERT_EQ(scene->views.size(), 2u);  // two pictures in the first frame
    EXPECT_EQ(scene->views[0], (glx::gl_viewport{0, 0, 48, 48}));
    EXPECT_EQ(scene->views[1], (glx::gl_viewport{48, 12, 48, 24}));
    EXPECT_NEAR(scene->aspects[0], 1.0, 1e-6);
    EXPECT_NEAR(scene->aspects[1], 2.0, 1e-6);
    // Each picture has the square in its middle; between them the clear colour.
    EXPECT_EQ(scene->lefts[0], (Rgb{255, 0, 0}));
    EXPECT_EQ(scene->rights[0], (Rgb{255, 0, 0}));
    EXPECT_EQ(scene->centers[0], (Rgb{0, 0, 0}));
  }
  scene->gated = false;
  SetEvent(scene->mayGoOn);
  ASSERT_TRUE(WaitForFrames(3));
  scene->Stop(5000);
  EXPECT_EQ(scene->Count("Draw"), 2 * scene->Count("Advance"));
}

// The test holds the clock. On a software renderer (Mesa's llvmpipe here)
// frames keep the old pace of one per 31 ms; the first comes as soon as the
// set-up is done, and the scene is given the time between frames in 31 ms
// ticks: none for the first, at most a quarter of a second after a stall,
// and none for the time of a pause.
TEST_F(AnimatorTest, FramesKeepTheOldPaceAndTheSceneIsGivenTheTimeBetweenThem) {
  scene->fakeClock = 1000.0;
  Start();
  ASSERT_TRUE(WaitForFrames(1));
  EXPECT_EQ(scene->pacing, (glx::frame_pacing{0, 31.0, false}));
  // Several turns of the loop at that time, so its decision has been made.
  auto turnsAt = [&](double now) {
    scene->fakeClock = now;
    const int before = scene->steps;
    return WaitFor([&] { return scene->steps >= before + 3; });
  };
  ASSERT_TRUE(turnsAt(1030.0));
  EXPECT_EQ(scene->rendered.load(), 1) << "30 ms after the first frame";
  scene->fakeClock = 1031.0;
  ASSERT_TRUE(WaitForFrames(2));
  ASSERT_TRUE(turnsAt(1061.0));
  EXPECT_EQ(scene->rendered.load(), 2);
  scene->fakeClock = 1062.0;
  ASSERT_TRUE(WaitForFrames(3));
  scene->fakeClock = 6062.0;  // a stall of five seconds
  ASSERT_TRUE(WaitForFrames(4));
  scene->Suspend();
  scene->fakeClock = 60000.0;
  scene->Resume();
  ASSERT_TRUE(WaitForFrames(5));
  ASSERT_TRUE(turnsAt(60000.0));
  EXPECT_EQ(scene->rendered.load(), 5);
  std::lock_guard<std::mutex> g(scene->_m);
  EXPECT_EQ(scene->given, (std::vector<double>{0.0, 1.0, 1.0, 250.0 / 31.0, 0.0}));
}

TEST_F(AnimatorTest, RenderThreadWaitsBetweenFramesInsteadOfSpinning) {
  Start();
  ASSERT_TRUE(WaitForFrames(10));
  scene->Stop(5000);
  // A spinning loop turns thousands of times per frame; a waiting one a few.
  EXPECT_LT(scene->steps.load(), 10 * scene->rendered.load() + 20);
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
  EXPECT_TRUE(WaitForFrames(1));
}

TEST_F(AnimatorTest, SizeSetBeforeAttachIsAppliedBeforeTheFirstFrame) {
  scene->SetSize(50, 30);
  ASSERT_TRUE(scene->AttachWindow(hwnd));
  scene->StartAnimation();
  scene->Resume();
  ASSERT_TRUE(WaitForFrames(1));
  auto log = scene->Log();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[1], "Resize 50x30");
  EXPECT_EQ(log[3], "Draw");
}

TEST_F(AnimatorTest, ExceptionInDrawSkipsThatSwapAndTheLoopGoesOn) {
  scene->extraFlags |= PFD_DOUBLEBUFFER;
  scene->throwOnFrame = 2;
  scene->gated = true;
  Start();
  // What the screen shows after each frame, grabbed from outside the context.
  // The X server shows a swap a little after SwapBuffers returns, so a frame
  // that must appear is waited for; one that must not is read at once.
  const Rgb expected[4] = {{0, 0, 0}, {0, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  std::vector<Rgb> screen;
  HDC desktop = GetDC(nullptr);
  auto grab = [&] {
    COLORREF c = GetPixel(desktop, 2, 2);
    return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
  };
  for (int frame = 0; frame < 4; ++frame) {
    ASSERT_EQ(WaitForSingleObject(scene->frameShown, 5000), WAIT_OBJECT_0);
    if (frame >= 2) WaitFor([&] { return grab() == expected[frame]; }, 2000);
    screen.push_back(grab());
    SetEvent(scene->mayGoOn);
  }
  ReleaseDC(nullptr, desktop);
  scene->gated = false;
  SetEvent(scene->mayGoOn);
  scene->Stop(5000);
  // Frame 1 cleared to black. Frame 2 (blue) threw: nothing was swapped and
  // frame 1 is still shown. Frames 3 (green) and 4 (blue) were swapped.
  for (int frame = 0; frame < 4; ++frame) EXPECT_EQ(screen[frame], expected[frame]) << frame;
  for (int depth : scene->depths) EXPECT_EQ(depth, 1);
}

TEST_F(AnimatorTest, StopWithoutAttachReturnsAtOnce) {
  DWORD start = GetTickCount();
  scene->Stop(5000);
  EXPECT_LT(GetTickCount() - start, 1000u);
}

TEST_F(AnimatorTest, NoFrameIsDrawnOnceTheWindowIsDestroyed) {
  Start();
  ASSERT_TRUE(WaitForFrames(2));
  DestroyWindow(hwnd);
  Sleep(50);
  int frames = scene->rendered;
  Sleep(200);
  EXPECT_EQ(scene->rendered.load(), frames);
  DWORD start = GetTickCount();
  scene->Stop(5000);
  EXPECT_LT(GetTickCount() - start, 1000u);
  EXPECT_EQ(WaitForSingleObject(scene->ThreadHandle(), 0), WAIT_OBJECT_0);
}

TEST_F(AnimatorTest, AttachToANonWindowFailsAndChangesNothing) {
  EXPECT_FALSE(scene->AttachWindow(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x7654))));
  EXPECT_EQ(scene->AttachedWindow(), nullptr);
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

// A handle of the render thread that outlives the engine.
HANDLE CopyOfThreadHandle(RecordingScene* scene) {
  HANDLE copy = nullptr;
  DuplicateHandle(GetCurrentProcess(), scene->ThreadHandle(), GetCurrentProcess(), &copy, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  return copy;
}

DWORD WINAPI SuspendOnOtherThread(LPVOID scene) {
  static_cast<RecordingScene*>(scene)->Suspend();
  return 0;
}

TEST_F(AnimatorTest, PauseWaitsForTheFrameInProgressThenParksTheThreadUntilResume) {
  scene->gated = true;
  Start();
  ASSERT_EQ(WaitForSingleObject(scene->frameShown, 5000), WAIT_OBJECT_0);  // inside frame 1
  HANDLE caller = CreateThread(nullptr, 0, SuspendOnOtherThread, scene, 0, nullptr);
  ASSERT_NE(caller, nullptr);
  EXPECT_EQ(WaitForSingleObject(caller, 200), static_cast<DWORD>(WAIT_TIMEOUT))
      << "Suspend returned while a frame was being drawn";
  scene->gated = false;
  SetEvent(scene->mayGoOn);
  ASSERT_EQ(WaitForSingleObject(caller, 5000), WAIT_OBJECT_0);
  CloseHandle(caller);
  EXPECT_EQ(scene->rendered.load(), 1) << "the frame in progress ended, no other began";

  // Parked on an event, not frozen by the system wherever it happened to be.
  HANDLE thread = scene->ThreadHandle();
  EXPECT_EQ(SuspendThread(thread), 0u);
  ResumeThread(thread);
  scene->Suspend();  // a second pause is no deeper
  scene->SetSize(40, 30);
  EXPECT_EQ(WaitForSingleObject(thread, 200), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(scene->rendered.load(), 1);
  EXPECT_EQ(scene->Count("Resize 40x30"), 0u) << "a parked thread does nothing at all";

  scene->Resume();
  EXPECT_TRUE(WaitForFrames(3));
  EXPECT_EQ(scene->Count("Resize 40x30"), 1u);
  EXPECT_TRUE(scene->Stop(5000));
}

TEST_F(AnimatorTest, PausedThreadEndsOnStopAndRunsItsTearDown) {
  Start();
  ASSERT_TRUE(WaitForFrames(1));
  scene->Suspend();
  HANDLE thread = scene->ThreadHandle();
  EXPECT_TRUE(scene->Stop(5000));
  DWORD code = 99;
  GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, 1u) << "ended by itself through ThreadExit";
  EXPECT_EQ(scene->Log().back(), "ExitGL");
}

TEST_F(AnimatorTest, ThreadThatNeverRanEndsOnStopWithoutSettingUp) {
  ASSERT_TRUE(scene->AttachWindow(hwnd));
  EXPECT_TRUE(scene->Stop(5000));
  EXPECT_EQ(WaitForSingleObject(scene->ThreadHandle(), 0), WAIT_OBJECT_0);
  EXPECT_TRUE(scene->Log().empty());
}

// The render thread is never killed: an engine it still uses is left to it.
TEST_F(AnimatorTest, SlowSetUpOutlastingTheStopIsAbandonedToItsThreadNotKilled) {
  scene->slowInit = true;
  Start();
  ASSERT_EQ(WaitForSingleObject(scene->initEntered, 10000), WAIT_OBJECT_0);
  HANDLE thread = CopyOfThreadHandle(scene);
  HANDLE deleted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  scene->deletedSignal = deleted;
  HANDLE mayGoOn = scene->initMayGoOn;
  EXPECT_FALSE(scene->Stop(50)) << "the thread is still setting up";
  scene->Abandon();
  scene = nullptr;  // the thread's now
  EXPECT_EQ(WaitForSingleObject(deleted, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  SetEvent(mayGoOn);
  // It finishes its set-up, sees the stop, tears down and deletes the engine.
  EXPECT_EQ(WaitForSingleObject(deleted, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, 1u) << "ThreadExit ran";
  CloseHandle(thread);

  // Abandoning an engine whose thread has ended deletes it at once.
  auto* other = static_cast<RecordingScene*>(RUNTIME_CLASS(RecordingScene)->CreateObject());
  ResetEvent(deleted);
  other->deletedSignal = deleted;
  ASSERT_TRUE(other->AttachWindow(hwnd));
  other->SetSize(64, 48);
  other->Resume();
  ASSERT_TRUE(other->Stop(5000));
  other->Abandon();
  EXPECT_EQ(WaitForSingleObject(deleted, 0), WAIT_OBJECT_0);
  CloseHandle(deleted);
}

// A stop right after the start, before or during a long set-up, ends the
// thread at the set-up's next step instead of after the whole of it.
TEST_F(AnimatorTest, StopRightAfterTheStartDoesNotWaitForTheWholeSetUp) {
  scene->steppedInitMs = 5000;
  Start();
  const DWORD start = GetTickCount();
  EXPECT_TRUE(scene->Stop(5000));
  EXPECT_LT(GetTickCount() - start, 1500u);
  EXPECT_EQ(scene->Count("Draw"), 0u);
  EXPECT_EQ(scene->Count("ThreadExit"), 0u) << "a set-up that gave up has nothing to tear down";
}

// A render thread that needs the window's thread while that thread waits for
// it to stop is answered, and the stop does not run into its time limit.
TEST_F(AnimatorTest, StopAnswersWhatTheRenderThreadSendsMeanwhile) {
  scene->sendOnStop = true;
  Start();
  ASSERT_EQ(WaitForSingleObject(scene->initEntered, 10000), WAIT_OBJECT_0);
  const DWORD start = GetTickCount();
  EXPECT_TRUE(scene->Stop(5000));
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_EQ(scene->Count("answered"), 1u);
}

}  // namespace
