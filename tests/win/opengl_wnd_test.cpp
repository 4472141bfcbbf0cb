// The OpenGL window: sizes, the close sequence, class registration, destruction.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <new>

#include "glx/opengl_wnd.h"
#include "tests/win/test_support.h"

using testing_support::WaitFor;

namespace {

std::atomic<int> g_frames{0};
std::atomic<int> g_deleted{0};
std::atomic<int> g_exited{0};
std::atomic<int> g_windowsDeleted{0};

class CountingAnimator : public glx::CAnimator {
  DECLARE_DYNCREATE(CountingAnimator)
 public:
  ~CountingAnimator() override { ++g_deleted; }
  void Draw() override { ++g_frames; }
  bool ExitGL() override {
    ++g_exited;
    return true;
  }
  int Width() const { return _cx; }
  int Height() const { return _cy; }
};
IMPLEMENT_DYNCREATE(CountingAnimator, glx::CAnimator)

// Set-up that lasts until the test lets it go on, like a slow glyph build.
HANDLE g_setUpEntered = CreateEventA(nullptr, FALSE, FALSE, nullptr);
HANDLE g_setUpMayEnd = CreateEventA(nullptr, TRUE, FALSE, nullptr);

class SlowAnimator : public CountingAnimator {
  DECLARE_DYNCREATE(SlowAnimator)
 public:
  bool InitGL() override {
    SetEvent(g_setUpEntered);
    WaitForSingleObject(g_setUpMayEnd, 30000);
    return CountingAnimator::InitGL();
  }
};
IMPLEMENT_DYNCREATE(SlowAnimator, CountingAnimator)

// A window whose close permission the test decides; CanClose also checks
// whether the render thread is frozen while it is asked, and may send another
// close request meanwhile, as a click during a prompt would.
class TestWnd : public glx::COpenGLWnd {
 public:
  ~TestWnd() override { ++g_windowsDeleted; }
  bool CanClose() override {
    ++asked;
    int before = g_frames;
    if (duringAsk) duringAsk();
    Sleep(120);
    frozenWhileAsked = g_frames == before;
    if (requestMeanwhile) nestedAnswer = ::SendMessageA(m_hWnd, WM_REQUESTCLOSE, 0, 0);
    return allow;
  }
  void OnAnimatorReady() override { ++readies; }
  bool allow = true;
  bool requestMeanwhile = false;
  std::function<void()> duringAsk;
  int asked = 0;
  int readies = 0;
  LRESULT nestedAnswer = 0;
  bool frozenWhileAsked = false;
};

class OpenGLWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_frames = g_deleted = g_exited = g_windowsDeleted = 0;
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  TestWnd* Open(bool animate = true) {
    auto* wnd = new TestWnd;
    wnd->_animatorClass = RUNTIME_CLASS(CountingAnimator);
    RECT r = {0, 0, 96, 64};
    if (!wnd->Create(0, WS_POPUP, r, nullptr)) return nullptr;
    if (animate) {
      wnd->ShowAndAnimate();
      EXPECT_TRUE(WaitFor([] { return g_frames >= 2; }));
    }
    return wnd;
  }
  static bool QuitPosted() {
    MSG m;
    return PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
  }
  // Whether no frame is drawn for a while; the pause was confirmed before
  // the message that asked for it returned.
  static bool Still() {
    const int frames = g_frames;
    Sleep(150);
    return g_frames == frames;
  }
  static bool Moving() {
    const int frames = g_frames;
    return WaitFor([&] { return g_frames > frames + 2; });
  }
};

// The displays' power state as the system sends it: 0 off, 1 on, 2 dimmed.
const GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
const GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

LRESULT SendDisplayPower(HWND hwnd, DWORD state, const GUID& setting = kConsoleDisplayState) {
  struct {
    GUID setting;
    DWORD length;
    DWORD data;
  } note = {setting, sizeof(DWORD), state};  // POWERBROADCAST_SETTING
  return SendMessageA(hwnd, WM_POWERBROADCAST, 0x8013 /* PBT_POWERSETTINGCHANGE */,
                      reinterpret_cast<LPARAM>(&note));
}

TEST_F(OpenGLWndTest, ZeroSizesAreNotPassedOn) {
  TestWnd* wnd = Open(false);
  ASSERT_NE(wnd, nullptr);
  auto* animator = static_cast<CountingAnimator*>(wnd->_animator);
  EXPECT_EQ(animator->Width(), 96);  // from creation
  SendMessageA(wnd->m_hWnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
  SendMessageA(wnd->m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(50, 0));
  SendMessageA(wnd->m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(0, 40));
  EXPECT_EQ(animator->Width(), 96);
  EXPECT_EQ(animator->Height(), 64);
  SendMessageA(wnd->m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(50, 40));
  EXPECT_EQ(animator->Width(), 50);
  EXPECT_EQ(animator->Height(), 40);
  DestroyWindow(wnd->m_hWnd);
}

TEST_F(OpenGLWndTest, CloseSuspendsUnhooksPostsQuitAndLeavesTheWindow) {
  TestWnd* wnd = Open();
  ASSERT_NE(wnd, nullptr);
  HWND hwnd = wnd->m_hWnd;
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(wnd->asked, 1);
  EXPECT_TRUE(wnd->frozenWhileAsked);
  EXPECT_EQ(wnd->_animator, nullptr);
  EXPECT_EQ(g_exited.load(), 1) << "the render thread ended";
  EXPECT_EQ(g_deleted.load(), 1);
  EXPECT_TRUE(QuitPosted());
  EXPECT_TRUE(IsWindow(hwnd));
  DestroyWindow(hwnd);
  EXPECT_EQ(g_windowsDeleted.load(), 1);
}

// Every close request holds the picture still while the user is asked, asks
// once, and lets the picture go on when refused.
TEST_F(OpenGLWndTest, EveryRefusedCloseFreezesWhileAskedThenTheAnimationGoesOn) {
  TestWnd* wnd = Open();
  ASSERT_NE(wnd, nullptr);
  HWND hwnd = wnd->m_hWnd;
  wnd->allow = false;
  wnd->requestMeanwhile = true;
  EXPECT_EQ(SendMessageA(hwnd, WM_REQUESTCLOSE, 0, 0), -1);
  EXPECT_TRUE(wnd->frozenWhileAsked) << "a close request pauses too";
  EXPECT_EQ(wnd->nestedAnswer, -1) << "refused while the first is asked";
  EXPECT_EQ(wnd->asked, 1) << "and not asked again";
  wnd->requestMeanwhile = false;
  EXPECT_TRUE(Moving()) << "frozen after a refusal";
  for (int i = 0; i < 2; ++i) {
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(wnd->frozenWhileAsked);
    EXPECT_TRUE(Moving()) << "frozen after WM_CLOSE " << i;
  }
  EXPECT_NE(wnd->_animator, nullptr);
  EXPECT_FALSE(QuitPosted());
  wnd->allow = true;
  DWORD start = GetTickCount();
  EXPECT_EQ(SendMessageA(hwnd, WM_REQUESTCLOSE, 0, 0), 0);
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_EQ(g_exited.load(), 1);
  EXPECT_EQ(wnd->_animator, nullptr);
  EXPECT_TRUE(QuitPosted());
  DestroyWindow(hwnd);
}

// No frames are drawn for nobody: the render thread parks while the monitors
// sleep and goes on when they wake, or only dim. Neither a close that is
// refused nor the display waking while the user is asked lets the picture go
// on before both allow it.
TEST_F(OpenGLWndTest, TheAnimationParksWhileTheDisplaySleeps) {
  TestWnd* wnd = Open();
  ASSERT_NE(wnd, nullptr);
  HWND hwnd = wnd->m_hWnd;
  for (const GUID* setting : {&kConsoleDisplayState, &kMonitorPowerOn}) {
    EXPECT_EQ(SendDisplayPower(hwnd, 0, *setting), TRUE);
    EXPECT_TRUE(Still()) << "drawn while the display sleeps";
    SendDisplayPower(hwnd, 2, *setting);
    EXPECT_TRUE(Moving()) << "a dimmed display is still seen";
  }

  wnd->allow = false;
  SendDisplayPower(hwnd, 0);
  EXPECT_EQ(SendMessageA(hwnd, WM_REQUESTCLOSE, 0, 0), -1);
  EXPECT_TRUE(Still()) << "a refused close woke the sleeping display's animation";
  wnd->duringAsk = [&] { SendDisplayPower(hwnd, 1); };
  EXPECT_EQ(SendMessageA(hwnd, WM_REQUESTCLOSE, 0, 0), -1);
  EXPECT_TRUE(wnd->frozenWhileAsked) << "the display woke while the user was asked";
  EXPECT_TRUE(Moving()) << "and the close was refused";

  wnd->duringAsk = nullptr;
  SendDisplayPower(hwnd, 0);
  wnd->allow = true;
  EXPECT_EQ(SendMessageA(hwnd, WM_REQUESTCLOSE, 0, 0), 0);
  EXPECT_EQ(g_exited.load(), 1) << "a parked thread ends as it should";
  EXPECT_TRUE(QuitPosted());
  DestroyWindow(hwnd);

  // Asleep before the start: the thread sets up, then waits for the display.
  TestWnd* late = Open(false);
  ASSERT_NE(late, nullptr);
  SendDisplayPower(late->m_hWnd, 0);
  g_frames = 0;
  late->ShowAndAnimate();
  EXPECT_TRUE(WaitFor([&] { return late->readies == 1; }));
  EXPECT_TRUE(Still());
  EXPECT_EQ(g_frames.load(), 0);
  SendDisplayPower(late->m_hWnd, 1);
  EXPECT_TRUE(Moving());
  DestroyWindow(late->m_hWnd);
}

// Until the render thread has drawn (its set-up's black at least) the window
// erases itself black, so it never shows what lay beneath it; afterwards it
// leaves its picture to the render thread.
TEST_F(OpenGLWndTest, TheWindowErasesItselfBlackUntilTheRenderThreadDraws) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 96, 64);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  auto erasedBlack = [&](HWND hwnd) {
    RECT all = {0, 0, 96, 64};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
    return (GetPixel(memory, 40, 30) & 0xFFFFFF) == 0;
  };
  ResetEvent(g_setUpMayEnd);
  auto* wnd = new TestWnd;
  wnd->_animatorClass = RUNTIME_CLASS(SlowAnimator);
  RECT r = {0, 0, 96, 64};
  ASSERT_TRUE(wnd->Create(0, WS_POPUP, r, nullptr));
  EXPECT_TRUE(erasedBlack(wnd->m_hWnd)) << "before the start";
  wnd->ShowAndAnimate();
  ASSERT_EQ(WaitForSingleObject(g_setUpEntered, 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(erasedBlack(wnd->m_hWnd)) << "while the thread sets up";
  SetEvent(g_setUpMayEnd);
  ASSERT_TRUE(WaitFor([] { return g_frames >= 1; }));
  EXPECT_FALSE(erasedBlack(wnd->m_hWnd)) << "over the render thread's picture";
  DestroyWindow(wnd->m_hWnd);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

TEST_F(OpenGLWndTest, TwoWindowsShareOneClass) {
  TestWnd* a = Open(false);
  TestWnd* b = Open(false);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  char ca[128] = {}, cb[128] = {};
  GetClassNameA(a->m_hWnd, ca, sizeof ca);
  GetClassNameA(b->m_hWnd, cb, sizeof cb);
  EXPECT_STREQ(ca, cb);
  EXPECT_STREQ(ca, glx::COpenGLWnd::ClassName());
  EXPECT_EQ(GetClassLongPtrA(a->m_hWnd, GCL_STYLE),
            static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(GetClassLongPtrA(a->m_hWnd, GCLP_HCURSOR), 0u);
  EXPECT_EQ(GetClassLongPtrA(a->m_hWnd, GCLP_HBRBACKGROUND), 0u);
  EXPECT_EQ(testing_support::WindowText(a->m_hWnd), "ZOV Verivir");
  LONG_PTR style = GetWindowLongPtrA(a->m_hWnd, GWL_STYLE);
  EXPECT_EQ(style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN), WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  DestroyWindow(a->m_hWnd);
  DestroyWindow(b->m_hWnd);
  EXPECT_EQ(g_windowsDeleted.load(), 2);
}

TEST_F(OpenGLWndTest, DestroyingWithoutCloseStopsAndDeletesTheAnimator) {
  TestWnd* running = Open();
  ASSERT_NE(running, nullptr);
  DestroyWindow(running->m_hWnd);
  EXPECT_EQ(g_exited.load(), 1);
  EXPECT_EQ(g_deleted.load(), 1);
  EXPECT_EQ(g_windowsDeleted.load(), 1);
  EXPECT_FALSE(QuitPosted());
  // A thread that never ran ends without setting anything up first.
  TestWnd* idle = Open(false);
  ASSERT_NE(idle, nullptr);
  DWORD start = GetTickCount();
  DestroyWindow(idle->m_hWnd);
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_EQ(g_deleted.load(), 2);
  EXPECT_EQ(g_exited.load(), 1) << "no set-up, so no tear-down";
}

TEST_F(OpenGLWndTest, AnEngineStillSettingUpAfterTheWaitIsLeftToItsThread) {
  ResetEvent(g_setUpMayEnd);
  auto* wnd = new TestWnd;
  wnd->_animatorClass = RUNTIME_CLASS(SlowAnimator);
  RECT r = {0, 0, 96, 64};
  ASSERT_TRUE(wnd->Create(0, WS_POPUP, r, nullptr));
  wnd->ShowAndAnimate();
  ASSERT_EQ(WaitForSingleObject(g_setUpEntered, 10000), WAIT_OBJECT_0);
  DestroyWindow(wnd->m_hWnd);  // waits its 5 s for the thread, then goes on
  EXPECT_EQ(g_windowsDeleted.load(), 1);
  EXPECT_EQ(g_deleted.load(), 0) << "not deleted under its running thread";
  SetEvent(g_setUpMayEnd);
  // Its window is gone, so the set-up fails; the thread ends by itself and
  // takes the engine with it.
  EXPECT_TRUE(WaitFor([] { return g_deleted == 1; }, 10000));
  EXPECT_EQ(g_frames.load(), 0);
}

// The wait dialog is the window's: made on its thread once the set-up has
// taken longer than the delay, gone as soon as the set-up ends; a quick set-up
// shows none at all.
TEST_F(OpenGLWndTest, AWaitDialogShowsOnlyWhileASlowSetUpRuns) {
  int made = 0;
  DWORD madeAt = 0;
  HWND dialog = nullptr;
  auto factory = [&]() -> std::unique_ptr<CWnd> {
    ++made;
    madeAt = GetTickCount();
    auto w = std::make_unique<CWnd>();
    w->CreateEx(0, nullptr, "wait", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr);
    dialog = w->m_hWnd;
    return w;
  };
  RECT r = {0, 0, 96, 64};

  ResetEvent(g_setUpMayEnd);
  auto* slow = new TestWnd;
  slow->_animatorClass = RUNTIME_CLASS(SlowAnimator);
  slow->_waitDialogFactory = factory;
  ASSERT_TRUE(slow->Create(0, WS_POPUP, r, nullptr));
  slow->ShowAndAnimate();
  ASSERT_EQ(WaitForSingleObject(g_setUpEntered, 10000), WAIT_OBJECT_0);
  const DWORD entered = GetTickCount();
  ASSERT_TRUE(WaitFor([&] { return made == 1; }));
  EXPECT_GE(madeAt - entered, 250u) << "shown before the set-up took its time";
  EXPECT_EQ(GetWindowThreadProcessId(dialog, nullptr), GetCurrentThreadId());
  EXPECT_TRUE(slow->_animator->_preparing);
  SetEvent(g_setUpMayEnd);
  EXPECT_TRUE(WaitFor([&] { return slow->readies == 1; }));
  EXPECT_FALSE(IsWindow(dialog)) << "gone with the set-up";
  EXPECT_FALSE(slow->_animator->_preparing);
  DestroyWindow(slow->m_hWnd);

  // Nothing is dispatched until the quick set-up has ended: its end is then
  // handled before the delay could ever run out.
  auto* quick = new TestWnd;
  quick->_animatorClass = RUNTIME_CLASS(CountingAnimator);
  quick->_waitDialogFactory = factory;
  ASSERT_TRUE(quick->Create(0, WS_POPUP, r, nullptr));
  quick->ShowAndAnimate();
  const DWORD start = GetTickCount();
  while (quick->_animator->_preparing && GetTickCount() - start < 10000) Sleep(1);
  EXPECT_TRUE(WaitFor([&] { return quick->readies == 1; }));
  EXPECT_EQ(made, 1) << "no dialog for a quick set-up";
  DestroyWindow(quick->m_hWnd);
}

TEST_F(OpenGLWndTest, AnAnimatorClassThatCannotBeCreatedFailsCreation) {
  auto* wnd = new TestWnd;
  wnd->_animatorClass = RUNTIME_CLASS(glx::COpenGLWnd);  // not an animator
  RECT r = {0, 0, 32, 32};
  EXPECT_FALSE(wnd->Create(0, WS_POPUP, r, nullptr));
  EXPECT_EQ(g_windowsDeleted.load(), 1) << "the failed window deleted its object";
}

// What the creator hands over at construction (a scene's settings) arrives:
// the factory wins over the class, and a factory that makes nothing, or runs
// out of memory, fails the creation quietly as a class that cannot be made does.
TEST_F(OpenGLWndTest, AFactoryMakesTheAnimatorInsteadOfTheClass) {
  CountingAnimator* made = nullptr;
  auto* wnd = new TestWnd;
  wnd->_animatorClass = RUNTIME_CLASS(glx::COpenGLWnd);  // would fail
  wnd->_animatorFactory = [&made] { return made = new CountingAnimator; };
  RECT r = {0, 0, 48, 32};
  ASSERT_TRUE(wnd->Create(0, WS_POPUP, r, nullptr));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(wnd->_animator, made);
  wnd->ShowAndAnimate();
  EXPECT_TRUE(WaitFor([] { return g_frames >= 2; }));
  DestroyWindow(wnd->m_hWnd);
  EXPECT_EQ(g_deleted.load(), 1);

  for (bool outOfMemory : {false, true}) {
    SCOPED_TRACE(outOfMemory ? "out of memory" : "nothing made");
    auto* failing = new TestWnd;
    failing->_animatorClass = RUNTIME_CLASS(CountingAnimator);  // would work
    failing->_animatorFactory = [outOfMemory]() -> glx::CAnimator* {
      if (outOfMemory) throw std::bad_alloc();
      return nullptr;
    };
    EXPECT_FALSE(failing->Create(0, WS_POPUP, r, nullptr));
  }
  EXPECT_EQ(g_windowsDeleted.load(), 3) << "the failed windows deleted their objects";
  EXPECT_EQ(g_deleted.load(), 1) << "the class was not used";
}

}  // namespace
