// Input rules of the saver window, driven in-process with the scene not yet
// started, so that the busy state and the view can be set and read directly.
#include <windows.h>
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "saver/password_mgr.h"
#include "saver/saver_app.h"
#include "saver/saver_wnd.h"
#include "scene/zazozeru.h"
#include "test_support.h"

namespace {

// The saver window as the program makes it, seen from inside: which system
// commands reach default processing, and whether the picture stands still
// while the password is asked.
std::atomic<int> g_drawn{0};

class DrawCounter : public glx::CAnimator {
 public:
  int SetupPixelFormat(DWORD flags, BYTE colorBits, BYTE depthBits) override {
    return CAnimator::SetupPixelFormat(flags | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL, colorBits,
                                       depthBits);
  }
  void Draw() override { ++g_drawn; }
};

class WatchedSaverWnd : public CSaverWnd {
 public:
  bool CanClose() override {
    ++asked;
    const int before = g_drawn;
    const bool result = CSaverWnd::CanClose();  // the test double's prompt takes a while
    frozenWhileAsked = frozenWhileAsked && g_drawn == before;
    return result;
  }
  LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_SYSCOMMAND) defaultCommands.push_back(wParam);
    return CSaverWnd::DefWindowProc(msg, wParam, lParam);
  }
  int asked = 0;
  bool frozenWhileAsked = true;
  std::vector<WPARAM> defaultCommands;
};

class SaverInput : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = new WatchedSaverWnd;
    wnd->_animatorClass = RUNTIME_CLASS(ZAzozeru);
    ASSERT_TRUE(wnd->CreateFullScreen(nullptr));
    hwnd = wnd->m_hWnd;
    scene = static_cast<ZAzozeru*>(wnd->_animator);
    ASSERT_NE(scene, nullptr);
  }
  void TearDown() override {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    QuitPosted();
  }
  // Whether a close went through: it posts the quit message.
  bool QuitPosted() {
    MSG msg;
    bool posted = false;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) posted = true;
    return posted;
  }
  void Move(int x, int y) { SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
  void Key(UINT msg, WPARAM key) { SendMessageA(hwnd, msg, key, 0); }
  void ExpectView(float angle, float x, float y, float z) {
    const ViewRotation view = scene->View();
    EXPECT_EQ(view.angle, angle);
    EXPECT_EQ(view.x, x);
    EXPECT_EQ(view.y, y);
    EXPECT_EQ(view.z, z);
  }

  CSaverApp app;  // no main window: closing needs no password
  WatchedSaverWnd* wnd = nullptr;
  HWND hwnd = nullptr;
  ZAzozeru* scene = nullptr;
};

TEST_F(SaverInput, EveryInputIsIgnoredWhileTheSceneIsPreparing) {
  scene->_preparing = true;
  Move(100, 100);
  Move(400, 400);
  SendMessageA(hwnd, WM_LBUTTONDOWN, 0, 0);
  SendMessageA(hwnd, WM_RBUTTONDOWN, 0, 0);
  SendMessageA(hwnd, WM_MBUTTONDOWN, 0, 0);
  Key(WM_KEYDOWN, 'X');
  Key(WM_KEYDOWN, 'B');
  Key(WM_SYSKEYDOWN, VK_MENU);
  EXPECT_FALSE(QuitPosted());
  EXPECT_FALSE(wnd->_closing);
  EXPECT_EQ(wnd->_mousePos.x, -1);
  EXPECT_EQ(wnd->_animator, scene);
  ExpectView(0.0f, 0.0f, 0.0f, 0.0f);
  scene->_preparing = false;
  Key(WM_KEYDOWN, 'X');
  EXPECT_TRUE(QuitPosted());
}

TEST_F(SaverInput, SixViewKeysTurnTheSceneAndReleasesDoNothing) {
  Key(WM_KEYDOWN, 'B');
  ExpectView(180.0f, 0.0f, 1.0f, 0.0f);
  Key(WM_KEYDOWN, 'D');
  ExpectView(-90.0f, 1.0f, 0.0f, 0.0f);
  Key(WM_KEYDOWN, 'L');
  ExpectView(90.0f, 0.0f, 1.0f, 0.0f);
  Key(WM_KEYDOWN, 'R');
  ExpectView(-90.0f, 0.0f, 1.0f, 0.0f);
  Key(WM_KEYDOWN, 'T');
  ExpectView(90.0f, 1.0f, 0.0f, 0.0f);
  Key(WM_KEYDOWN, 'F');
  ExpectView(0.0f, 0.0f, 0.0f, 0.0f);
  Key(WM_KEYUP, 'X');
  Key(WM_KEYUP, VK_ESCAPE);
  EXPECT_FALSE(QuitPosted());
  EXPECT_FALSE(wnd->_closing);
  Key(WM_KEYDOWN, VK_SHIFT);
  EXPECT_TRUE(QuitPosted());
  EXPECT_TRUE(wnd->_closing);
  EXPECT_EQ(wnd->_animator, nullptr);
  // Closing: further keys are ignored.
  Key(WM_KEYDOWN, 'B');
  ExpectView(0.0f, 0.0f, 0.0f, 0.0f);
}

TEST_F(SaverInput, MouseClosesOnlyBeyondFivePixelsFromTheFirstPosition) {
  Move(200, 200);
  EXPECT_EQ(wnd->_mousePos.x, 200);
  Move(205, 205);
  Move(195, 195);
  EXPECT_FALSE(QuitPosted());
  EXPECT_EQ(wnd->_mousePos.x, 200);  // the reference does not follow the mouse
  Move(200, 206);
  EXPECT_TRUE(QuitPosted());
  EXPECT_TRUE(wnd->_closing);
  EXPECT_EQ(wnd->_mousePos.x, -1);
}

TEST_F(SaverInput, MouseClosesBeyondFivePixelsOnTheHorizontalAxisToo) {
  Move(200, 200);
  Move(205, 200);
  Move(195, 205);
  Move(195, 195);
  EXPECT_FALSE(QuitPosted());
  EXPECT_FALSE(wnd->_closing);
  Move(194, 200);
  EXPECT_TRUE(QuitPosted());
  EXPECT_TRUE(wnd->_closing);
  EXPECT_EQ(wnd->_mousePos.x, -1);
}

// The saver is the main window in its run mode; the commands reach it there.
// Handled, they are not passed on: the default would start a screen saver
// again (SC_SCREENSAVE) or close through WM_CLOSE a second time.
TEST_F(SaverInput, ScreenSaveCommandClosesAndIsNotPassedOn) {
  app.m_pMainWnd = wnd;
  SendMessageA(hwnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  EXPECT_TRUE(wnd->_closing);
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(wnd->_animator, nullptr);
  // Closing: every later command is swallowed too.
  SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(QuitPosted());
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_TRUE(wnd->defaultCommands.empty());
}

TEST_F(SaverInput, CloseCommandClosesAsACloseRequestAndIsNotPassedOn) {
  app.m_pMainWnd = wnd;
  SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(wnd->_closing) << "handled as a close request, not only as WM_CLOSE";
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(wnd->_animator, nullptr);
  EXPECT_TRUE(wnd->defaultCommands.empty());
}

TEST_F(SaverInput, AltAloneCloses) {
  Key(WM_SYSKEYDOWN, VK_MENU);
  EXPECT_TRUE(QuitPosted());
  EXPECT_TRUE(wnd->_closing);
}

// A password is required; the test double of PASSWORD.CPL beside the test
// program answers from VERIVIR_FAKE_VERIFY, one call after the other.
class SaverPasswordInput : public SaverInput {
 protected:
  void SetUp() override {
    DWORD on = 1;
    SHSetValueA(HKEY_CURRENT_USER, kDesktop, "ScreenSaveUsePassword", REG_DWORD, &on, sizeof on);
    SetEnvironmentVariableA("VERIVIR_FAKE_VERIFY", "01");  // wrong, then right
    SaverInput::SetUp();
    app.m_pMainWnd = wnd;
    ASSERT_TRUE(PasswordMgr::instance()->Prepare());
  }
  void TearDown() override {
    SaverInput::TearDown();
    PasswordMgr::instance()->Release();
    SHDeleteValueA(HKEY_CURRENT_USER, kDesktop, "ScreenSaveUsePassword");
    SetEnvironmentVariableA("VERIVIR_FAKE_VERIFY", nullptr);
  }
  static constexpr const char* kDesktop = "Control Panel\\Desktop";
};

TEST_F(SaverPasswordInput, AKeyAfterAWrongPasswordAsksAgain) {
  Key(WM_KEYDOWN, VK_SPACE);
  EXPECT_FALSE(QuitPosted()) << "wrong password";
  EXPECT_FALSE(wnd->_closing);
  EXPECT_EQ(wnd->_animator, scene);
  Key(WM_KEYDOWN, VK_SPACE);
  EXPECT_TRUE(QuitPosted()) << "asked again, right password";
  EXPECT_EQ(wnd->_animator, nullptr);
  EXPECT_FALSE(PasswordMgr::instance()->IsRequired()) << "released once it was right";
}

TEST_F(SaverPasswordInput, RefusedMouseCloseTakesANewReferenceARefusedKeyKeepsIt) {
  SetEnvironmentVariableA("VERIVIR_FAKE_VERIFY", "0");  // always wrong
  Move(100, 100);
  Move(100, 110);
  EXPECT_FALSE(QuitPosted());
  EXPECT_FALSE(wnd->_closing);
  EXPECT_EQ(wnd->_mousePos.x, -1);
  Move(300, 300);  // only a new reference
  EXPECT_EQ(wnd->_mousePos.x, 300);
  EXPECT_EQ(wnd->_mousePos.y, 300);
  Key(WM_KEYDOWN, VK_SPACE);
  EXPECT_FALSE(wnd->_closing);
  EXPECT_EQ(wnd->_mousePos.x, 300) << "a refused key leaves the reference";
  Move(306, 300);  // beyond it: asks again, refused again
  EXPECT_EQ(wnd->_mousePos.x, -1);
  SetEnvironmentVariableA("VERIVIR_FAKE_VERIFY", "1");
  SendMessageA(hwnd, WM_RBUTTONDOWN, 0, 0);
  EXPECT_TRUE(QuitPosted());
}

// Every way of closing asks once and holds the picture still while it asks;
// refused, the picture goes on.
TEST_F(SaverPasswordInput, EveryPromptPausesThePictureAndAsksOnce) {
  SetEnvironmentVariableA("VERIVIR_FAKE_VERIFY", "0");
  SetEnvironmentVariableA("VERIVIR_FAKE_PROMPT_MS", "150");
  DestroyWindow(hwnd);
  QuitPosted();
  wnd = new WatchedSaverWnd;
  wnd->_animatorFactory = [] { return new DrawCounter; };
  ASSERT_TRUE(wnd->CreateFullScreen(nullptr));
  hwnd = wnd->m_hWnd;
  app.m_pMainWnd = wnd;
  wnd->ShowAndAnimate();
  ASSERT_TRUE(testing_support::WaitFor([] { return g_drawn > 2; }));
  for (const char* way : {"key", "mouse", "close command"}) {
    SCOPED_TRACE(way);
    const int asked = wnd->asked;
    if (way[0] == 'k') Key(WM_KEYDOWN, VK_SPACE);
    if (way[0] == 'm') Move(100, 100), Move(100, 110);
    if (way[0] == 'c') SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(wnd->asked, asked + 1);
    EXPECT_TRUE(wnd->frozenWhileAsked);
    EXPECT_FALSE(QuitPosted());
    const int drawn = g_drawn;
    EXPECT_TRUE(testing_support::WaitFor([&] { return g_drawn > drawn + 2; })) << "still frozen";
  }
  SetEnvironmentVariableA("VERIVIR_FAKE_PROMPT_MS", nullptr);
}

// With a password the saver is the machine's lock: a quit from outside is
// swallowed; only a verified close or the end of the session ends it, and the
// session's end asks nobody.
TEST_F(SaverPasswordInput, OnlyAVerifiedCloseOrTheSessionsEndOpensTheLock) {
  SetEnvironmentVariableA("VERIVIR_FAKE_VERIFY", "0");
  EXPECT_TRUE(wnd->IsLocked());
  EXPECT_FALSE(app.QuitAllowed());
  SendMessageA(hwnd, WM_ENDSESSION, FALSE, 0);  // the session goes on after all
  EXPECT_FALSE(QuitPosted());
  EXPECT_EQ(wnd->_animator, scene);
  SendMessageA(hwnd, WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(QuitPosted()) << "closed; the double, had it been asked, would have refused";
  EXPECT_EQ(wnd->_animator, nullptr);
  EXPECT_FALSE(wnd->IsLocked());
  EXPECT_TRUE(app.QuitAllowed());
}

// The wait dialog takes the foreground while the scene prepares; once the scene
// is ready the saver takes it back, so keys reach it, and only then says so.
TEST_F(SaverInput, ReadySceneTakesTheForegroundBackAndSaysSo) {
  ShowWindow(hwnd, SW_SHOW);
  HWND other = testing_support::CreateTestWindow(100, 100);
  ASSERT_TRUE(SetForegroundWindow(other));
  ASSERT_EQ(GetForegroundWindow(), other);
  EXPECT_EQ(GetPropA(hwnd, CSaverWnd::ReadyProperty()), nullptr);
  SendMessageA(hwnd, WM_ANIMATORREADY, 0, 0);
  EXPECT_TRUE(testing_support::WaitFor([&] { return GetPropA(hwnd, CSaverWnd::ReadyProperty()); }));
  EXPECT_EQ(GetForegroundWindow(), hwnd);
  EXPECT_EQ(GetFocus(), hwnd);
  EXPECT_FALSE(QuitPosted());  // being ready closes nothing
  EXPECT_FALSE(wnd->_closing);
  DestroyWindow(other);
}

}  // namespace
