#include "tests/win/test_support.h"

#include <GL/gl.h>

namespace testing_support {

namespace {

LRESULT CALLBACK TestWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) return 1;
  return DefWindowProcA(hwnd, msg, wp, lp);
}

const char* TestClass() {
  static ATOM atom = [] {
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = TestWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VerivirTestWindow";
    return RegisterClassA(&wc);
  }();
  return atom ? "VerivirTestWindow" : nullptr;
}

}  // namespace

HWND CreateTestWindow(int cx, int cy, bool visible, int x, int y) {
  RECT r = {0, 0, cx, cy};
  AdjustWindowRectEx(&r, WS_POPUP, FALSE, 0);
  HWND hwnd = CreateWindowExA(0, TestClass(), "test", WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                              x, y, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (hwnd && visible) {
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
  }
  PumpMessages();
  return hwnd;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool WaitFor(const std::function<bool()>& pred, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!pred()) {
    if (GetTickCount() - start > timeoutMs) return pred();
    PumpMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

HWND FindTopWindow(const char* className, const char* caption) {
  return FindWindowA(className, caption);
}

namespace {

struct Search {
  DWORD pid;
  const std::function<bool(HWND)>* match;
  HWND found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if ((search->pid && pid != search->pid) || !IsWindowVisible(hwnd)) return TRUE;
  if (!(*search->match)(hwnd)) return TRUE;
  search->found = hwnd;  // windows come in z-order: the first is the front one
  return FALSE;
}

}  // namespace

HWND FindTopWindow(DWORD pid, const std::function<bool(HWND)>& match) {
  Search search{pid, &match, nullptr};
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string WindowText(HWND hwnd) {
  char buffer[4096] = {};
  GetWindowTextA(hwnd, buffer, sizeof buffer);
  return buffer;
}

Rgb ReadFrontPixel(int x, int y) {
  unsigned char px[4] = {};
  glReadBuffer(GL_FRONT);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, px);
  return {px[0], px[1], px[2]};
}

}  // namespace testing_support
