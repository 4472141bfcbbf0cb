// The OpenGL window: sizes, the close sequence, class registration, destruction.
#include <gtest/gtest.h>

#include <atomic>

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
// whether the render thread is frozen while it is asked.
class TestWnd : public glx::COpenGLWnd {
 public:
  ~TestWnd() override { ++g_windowsDeleted; }
  bool CanClose() override {
    ++asked;
    int before = g_frames;
    Sleep(120);
    frozenWhileAsked = g_frames == before;
    return allow;
  }
  bool allow = true;
  int asked = 0;
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
};

TEST_F(OpenGLWndTest, ZeroSizesAreNotPassedOn) {
  TestWnd* wnd = Open(false);
  ASSERT_NE(wnd, nullptr);
  auto* animator = static_cast<CountingAnimator*>(wnd->Animator());
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
  EXPECT_EQ(wnd->Animator(), nullptr);
  EXPECT_EQ(g_exited.load(), 1) << "the render thread ended";
  EXPECT_EQ(g_deleted.load(), 1);
  EXPECT_TRUE(QuitPosted());
  EXPECT_TRUE(IsWindow(hwnd));
  DestroyWindow(hwnd);
  EXPECT_EQ(g_windowsDeleted.load(), 1);
}

TEST_F(OpenGLWndTest, RefusedClosesKeepTheAnimatorAndTheLastCloseIsNotDelayed) {
  TestWnd* wnd = Open();
  ASSERT_NE(wnd, nullptr);
  HWND hwnd = wnd->m_hWnd;
  wnd->allow = false;
  EXPECT_EQ(SendMessageA(hwnd, WM_REQUESTCLOSE, 0, 0), -1);
  EXPECT_FALSE(wnd->frozenWhileAsked) << "a close request alone does not suspend";
  EXPECT_NE(wnd->Animator(), nullptr);
  EXPECT_FALSE(QuitPosted());
  // Two refused WM_CLOSE: the picture freezes, the suspensions do not stack.
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(wnd->frozenWhileAsked);
  EXPECT_NE(wnd->Animator(), nullptr);
  EXPECT_FALSE(QuitPosted());
  wnd->allow = true;
  DWORD start = GetTickCount();
  EXPECT_EQ(SendMessageA(hwnd, WM_REQUESTCLOSE, 0, 0), 0);
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_EQ(g_exited.load(), 1);
  EXPECT_EQ(wnd->Animator(), nullptr);
  EXPECT_TRUE(QuitPosted());
  DestroyWindow(hwnd);
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
  // A thread that never ran is started only to see the stop request.
  TestWnd* idle = Open(false);
  ASSERT_NE(idle, nullptr);
  DWORD start = GetTickCount();
  DestroyWindow(idle->m_hWnd);
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_EQ(g_deleted.load(), 2);
  EXPECT_EQ(g_exited.load(), 2);
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

TEST_F(OpenGLWndTest, AnAnimatorClassThatCannotBeCreatedFailsCreation) {
  auto* wnd = new TestWnd;
  wnd->_animatorClass = RUNTIME_CLASS(glx::COpenGLWnd);  // not an animator
  RECT r = {0, 0, 32, 32};
  EXPECT_FALSE(wnd->Create(0, WS_POPUP, r, nullptr));
  EXPECT_EQ(g_windowsDeleted.load(), 1) << "the failed window deleted its object";
}

}  // namespace
