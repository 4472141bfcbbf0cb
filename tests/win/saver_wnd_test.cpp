// The saver window in this process: repeated start and close leave nothing behind.
#include <windows.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

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
