// The saver window in this process: repeated start and close leave nothing behind.
#include <windows.h>
#include <GL/gl.h>
#include <shlwapi.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "saver/resource.h"
#include "saver/saver_app.h"
#include "saver/saver_wnd.h"
#include "saver/screen_layout.h"
#include "scene/zazozeru.h"
#include "test_support.h"

namespace {

int ThreadCount() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 te = {};
  te.dwSize = sizeof te;
  int n = 0;
  for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
    if (te.th32OwnerProcessID == GetCurrentProcessId()) ++n;
  CloseHandle(snap);
  return n;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Wine answers 0 for GetGuiResources and the handle count, so threads and
// windows are counted instead; GDI objects cannot be counted here.
struct Counts {
  int threads, windows;
};

Counts Now() {
  Counts c = {ThreadCount(), 0};
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&c.windows));
  return c;
}

Counts g_running = {};

// One run: create, animate a little, close as the application does at exit.
void Cycle(CSaverApp& app) {
  auto* wnd = new CSaverWnd;
  wnd->_animatorClass = RUNTIME_CLASS(ZAzozeru);
  ASSERT_TRUE(wnd->CreateFullScreen(nullptr));
  app.m_pMainWnd = wnd;
  wnd->ShowAndAnimate();
  Sleep(150);
  testing_support::PumpMessages();
  g_running = Now();
  EXPECT_EQ(wnd->SendMessage(WM_REQUESTCLOSE), 0);
  wnd->DestroyWindow();  // deletes the object and clears the main window
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

TEST(SaverWindow, ThirtyCyclesLeaveNoThreadOrWindow) {
  CSaverApp app;
  Cycle(app);  // first use registers classes and loads the GL driver
  Sleep(300);
  const Counts before = Now();
  for (int i = 0; i < 30; ++i) Cycle(app);
  Sleep(300);
  const Counts after = Now();
  EXPECT_EQ(after.threads, before.threads);
  EXPECT_EQ(after.windows, before.windows);
  // The counts do see a running saver: its render thread and its window.
  EXPECT_GT(g_running.threads, before.threads);
  EXPECT_GT(g_running.windows, before.windows);
}

// Whatever monitors this display gives, none is left uncovered and each gets
// its own picture; a single monitor gets exactly the one full-window picture.
TEST(SaverWindow, CoversTheVirtualScreenWithOnePicturePerMonitor) {
  CSaverApp app;
  auto* wnd = new CSaverWnd;
  wnd->_animatorClass = RUNTIME_CLASS(ZAzozeru);
  ASSERT_TRUE(wnd->CreateFullScreen(nullptr));
  RECT r = {};
  GetWindowRect(wnd->m_hWnd, &r);
  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  EXPECT_EQ(vx, r.left);
  EXPECT_EQ(vy, r.top);
  EXPECT_EQ(vx + GetSystemMetrics(SM_CXVIRTUALSCREEN), r.right);
  EXPECT_EQ(vy + GetSystemMetrics(SM_CYVIRTUALSCREEN), r.bottom);
  // Every monitor lies within the window and within one of the pictures, and
  // every picture is exactly one monitor (a clone within another has none).
  const std::vector<glx::screen_rect> monitors = MonitorRects();
  const std::vector<glx::gl_viewport>& views = wnd->_animator->Viewports();
  ASSERT_FALSE(monitors.empty());
  ASSERT_FALSE(views.empty());
  std::vector<glx::screen_rect> pictures;
  for (const glx::gl_viewport& v : views)
    pictures.push_back(
        {r.left + v.x, r.bottom - v.y - v.height, r.left + v.x + v.width, r.bottom - v.y});
  for (const glx::screen_rect& p : pictures)
    EXPECT_NE(monitors.end(), std::find(monitors.begin(), monitors.end(), p))
        << p.left << "," << p.top;
  for (const glx::screen_rect& m : monitors) {
    SCOPED_TRACE(std::to_string(m.left) + "," + std::to_string(m.top));
    EXPECT_TRUE(m.left >= r.left && m.top >= r.top && m.right <= r.right && m.bottom <= r.bottom);
    EXPECT_TRUE(std::any_of(pictures.begin(), pictures.end(), [&](const glx::screen_rect& p) {
      return p.left <= m.left && p.top <= m.top && p.right >= m.right && p.bottom >= m.bottom;
    }));
  }
  if (monitors.size() == 1) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), r.right - r.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), r.bottom - r.top);
  }
  wnd->DestroyWindow();
  MSG quit;
  while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

// Records where each frame's pictures went.
class ViewportRecorder : public glx::CAnimator {
 public:
  int SetupPixelFormat(DWORD flags, BYTE colorBits, BYTE depthBits) override {
    return CAnimator::SetupPixelFormat(flags | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL, colorBits,
                                       depthBits);
  }
  void Draw() override {
    GLint v[4] = {};
    glGetIntegerv(GL_VIEWPORT, v);
    _drawing.push_back({v[0], v[1], v[2], v[3]});
  }
  void RenderFrame() override {
    CAnimator::RenderFrame();
    std::lock_guard<std::mutex> g(lock);
    frames.push_back(std::move(_drawing));
    _drawing.clear();
  }
  std::mutex lock;
  std::vector<std::vector<glx::gl_viewport>> frames;

 private:
  std::vector<glx::gl_viewport> _drawing;  // render thread
};

// A monitor plugged in, and taken away again, while the saver runs: the
// window moves over the monitors as they are now, and every frame draws the
// pictures of one layout, the old or the new, never a mix of both.
TEST(SaverWindow, FollowsMonitorsThatChangeWhileItRuns) {
  CSaverApp app;
  const glx::monitor_layout one = glx::lay_out_monitors({{0, 0, 200, 120}}, {0, 0, 200, 120});
  const glx::monitor_layout two =
      glx::lay_out_monitors({{0, 0, 200, 120}, {200, 20, 320, 120}}, {0, 0, 320, 120});
  const std::vector<glx::gl_viewport> whole = {{0, 0, 200, 120}};  // one picture: the client area
  glx::monitor_layout now = one;
  ViewportRecorder* recorder = nullptr;
  auto* wnd = new CSaverWnd;
  wnd->_animatorFactory = [&] { return recorder = new ViewportRecorder; };
  wnd->_layoutReader = [&] { return now; };
  ASSERT_TRUE(wnd->CreateFullScreen(nullptr));
  wnd->ShowAndAnimate();
  // Waits for a frame with these pictures; then the window must lie over them.
  auto shows = [&](const glx::monitor_layout& layout, const std::vector<glx::gl_viewport>& seen) {
    RECT r = {};
    GetWindowRect(wnd->m_hWnd, &r);
    EXPECT_EQ(layout.window, (glx::screen_rect{r.left, r.top, r.right, r.bottom}));
    EXPECT_TRUE(testing_support::WaitFor(
        [&] {
          std::lock_guard<std::mutex> g(recorder->lock);
          return !recorder->frames.empty() && recorder->frames.back() == seen;
        },
        30000));
  };
  shows(one, whole);
  now = two;
  SendMessageA(wnd->m_hWnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(320, 120));
  shows(two, two.viewports);
  now = one;  // the work area changes with the monitors
  SendMessageA(wnd->m_hWnd, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  shows(one, whole);
  {
    std::lock_guard<std::mutex> g(recorder->lock);
    for (const auto& pictures : recorder->frames)
      EXPECT_TRUE(pictures == whole || pictures == two.viewports) << pictures.size() << " pictures";
  }
  EXPECT_EQ(wnd->SendMessage(WM_REQUESTCLOSE), 0);
  wnd->DestroyWindow();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

const char kPreviewKey[] = "Software\\Morvel Software Development\\Screen Savers\\Verivir\\1.1";

// "MutePreview" is honoured as a number or a string of digits too, not only
// as the byte that the black-box run stores.
TEST(SaverApp, AMutedPreviewCreatesNoWindowWhateverTypeTheFlagHas) {
  CSaverApp app;
  app.m_pszAppName = "Verivir";
  app.SetRegistryKey(IDS_REGISTRY_KEY);
  const HWND parent = testing_support::CreateTestWindow(120, 90, false);
  const DWORD number = 1;
  const struct {
    DWORD type;
    const void* data;
    DWORD size;
  } stored[] = {{REG_DWORD, &number, 4}, {REG_SZ, "1", 2}};
  for (const auto& value : stored) {
    SCOPED_TRACE(value.type);
    SHSetValueA(HKEY_CURRENT_USER, kPreviewKey, "MutePreview", value.type, value.data, value.size);
    EXPECT_FALSE(app.RunPreview(parent));
    EXPECT_EQ(FindWindowExA(parent, nullptr, nullptr, nullptr), nullptr);
  }
  SHDeleteValueA(HKEY_CURRENT_USER, kPreviewKey, "MutePreview");
  DestroyWindow(parent);
}

// Set-up that never ends, as in a hung driver: it does not look at the stop.
HANDLE g_hungEntered = CreateEventA(nullptr, TRUE, FALSE, nullptr);

class HungSetUp : public glx::CAnimator {
 public:
  bool InitGL() override {
    SetEvent(g_hungEntered);
    Sleep(INFINITE);
    return false;
  }
};

// The program's end after a preview whose set-up hung.
void EndWithARenderThreadLeftRunning() {
  CSaverApp app;
  app.m_pszAppName = "Verivir";
  app.SetRegistryKey(IDS_REGISTRY_KEY);
  app.LoadSettings();
  app.settings.text = "Saved at the end";
  auto* wnd = new glx::COpenGLWnd;
  wnd->_animatorFactory = [] { return new HungSetUp; };
  RECT r = {0, 0, 64, 48};
  if (!wnd->Create(0, WS_POPUP, r, nullptr)) std::exit(3);
  wnd->ShowAndAnimate();
  WaitForSingleObject(g_hungEntered, 30000);
  app.m_pMainWnd = wnd;
  app.ExitInstance();
  std::exit(4);  // returned: the static destructors would run next
}

// A render thread that did not stop in time still uses its engine: the
// program ends right after saving its settings, and not through its static
// destructors, which would tear down what that thread may still touch.
TEST(SaverAppDeathTest, EndsItselfAfterSavingWhenARenderThreadWasLeftRunning) {
  const char kText[] = "Software\\Morvel Software Development\\Screen Savers\\Verivir\\1.1\\Text";
  SHDeleteValueA(HKEY_CURRENT_USER, kText, "Text");
  EXPECT_EXIT(EndWithARenderThreadLeftRunning(), ::testing::ExitedWithCode(0), "");
  char text[64] = {};
  DWORD size = sizeof text;
  EXPECT_EQ(SHGetValueA(HKEY_CURRENT_USER, kText, "Text", nullptr, text, &size), ERROR_SUCCESS);
  EXPECT_STREQ(text, "Saved at the end");
}

// The saver window fails half-way, as when its engine cannot be attached:
// the window exists, but creation reports failure.
HHOOK g_cbt = nullptr;
WNDPROC g_frameworkProc = nullptr;

LRESULT CALLBACK DropTheEngine(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = CallWindowProcA(g_frameworkProc, hwnd, msg, wp, lp);
  if (msg == WM_CREATE && result == 0) {
    auto* wnd = static_cast<glx::COpenGLWnd*>(CWnd::FromHandlePermanent(hwnd));
    delete wnd->_animator;  // not attached yet: no thread
    wnd->_animator = nullptr;
  }
  return result;
}

LRESULT CALLBACK FailTheSaverWindow(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lp)->lpcs;
    // The framework's own hook, installed later, has attached the window already.
    if (cs->lpszName && std::strcmp(cs->lpszName, "ZOV Verivir") == 0)
      g_frameworkProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
          reinterpret_cast<HWND>(wp), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DropTheEngine)));
  }
  return CallNextHookEx(g_cbt, code, wp, lp);
}

BOOL CALLBACK FindCannotCreate(HWND hwnd, LPARAM found) {
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (!IsWindowVisible(hwnd) || std::strcmp(cls, "#32770") != 0) return TRUE;
  for (HWND text = FindWindowExA(hwnd, nullptr, "Static", nullptr); text;
       text = FindWindowExA(hwnd, text, "Static", nullptr)) {
    if (testing_support::WindowText(text).find("Cannot create main window!") == 0) {
      *reinterpret_cast<HWND*>(found) = hwnd;
      return FALSE;
    }
  }
  return TRUE;
}

int g_ticksShown = 0;
bool g_answered = false;

// Runs inside the message box's loop: answers only after it has stayed up.
void CALLBACK WatchTheBox(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindCannotCreate, reinterpret_cast<LPARAM>(&box));
  if (!box || g_answered) return;
  if (++g_ticksShown == 3) {
    g_answered = true;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
}

TEST(SaverApp, CannotCreateMessageStaysUntilItIsAnswered) {
  CSaverApp app;
  g_cbt = SetWindowsHookExA(WH_CBT, FailTheSaverWindow, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_cbt, nullptr);
  UINT_PTR timer = SetTimer(nullptr, 0, 50, WatchTheBox);
  EXPECT_FALSE(app.RunSaver());
  KillTimer(nullptr, timer);
  UnhookWindowsHookEx(g_cbt);
  EXPECT_NE(g_frameworkProc, nullptr) << "the saver window failed half-way";
  EXPECT_EQ(g_ticksShown, 3) << "the box closed before it was answered";
  EXPECT_TRUE(g_answered);
  HWND left = nullptr;  // other test programs may show windows of that title
  while ((left = FindWindowExA(nullptr, left, nullptr, "ZOV Verivir")) != nullptr)
    EXPECT_NE(GetWindowThreadProcessId(left, nullptr), GetCurrentThreadId())
        << "what was left is destroyed";
  MSG quit;
  while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

// The real scene tells the window when it has prepared itself: the window says
// it is ready only then, with input counting and the foreground its own.
TEST(SaverWindow, SaysItIsReadyOnlyOnceTheSceneHasPrepared) {
  CSaverApp app;
  auto* wnd = new CSaverWnd;
  wnd->_animatorClass = RUNTIME_CLASS(ZAzozeru);
  ASSERT_TRUE(wnd->CreateFullScreen(nullptr));
  const HWND hwnd = wnd->m_hWnd;
  app.m_pMainWnd = wnd;
  wnd->ShowAndAnimate();
  // Nothing has been dispatched yet, so the scene's word cannot have arrived.
  EXPECT_EQ(GetPropA(hwnd, CSaverWnd::ReadyProperty()), nullptr);
  bool busyWhenReady = true;
  EXPECT_TRUE(testing_support::WaitFor(
      [&] {
        if (!GetPropA(hwnd, CSaverWnd::ReadyProperty())) return false;
        busyWhenReady = wnd->IsSceneBusy();
        return true;
      },
      60000));
  EXPECT_FALSE(busyWhenReady);
  EXPECT_EQ(GetForegroundWindow(), hwnd);
  EXPECT_EQ(wnd->SendMessage(WM_REQUESTCLOSE), 0);
  wnd->DestroyWindow();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace
