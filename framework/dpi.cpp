#include "framework/dpi.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn LookUpGetDpiForWindow() {
  HMODULE user = GetModuleHandleA("user32.dll");
  FARPROC proc = user ? GetProcAddress(user, "GetDpiForWindow") : nullptr;
  // Through a generic function pointer: the types differ only in their arguments.
  return reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

UINT AfxGetDpiForWindow(HWND hwnd) {
  static const GetDpiForWindowFn getDpiForWindow = LookUpGetDpiForWindow();
  if (hwnd && getDpiForWindow) {
    const UINT dpi = getDpiForWindow(hwnd);
    if (dpi != 0) return dpi;
  }
  HDC dc = GetDC(hwnd);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
  if (dc) ReleaseDC(hwnd, dc);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}
