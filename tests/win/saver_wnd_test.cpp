// The saver window in this process: repeated start and close leave nothing behind.
#include <windows.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "saver/saver_app.h"
#include "saver/saver_wnd.h"
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

}  // namespace
