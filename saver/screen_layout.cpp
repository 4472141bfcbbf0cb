#include "saver/screen_layout.h"

#include <windows.h>

namespace {

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) {
  reinterpret_cast<std::vector<glx::screen_rect>*>(data)->push_back(
      {rect->left, rect->top, rect->right, rect->bottom});
  return TRUE;
}

}  // namespace

std::vector<glx::screen_rect> MonitorRects() {
  std::vector<glx::screen_rect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

glx::monitor_layout ScreenLayout() {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const glx::screen_rect virtualScreen = {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                          y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  glx::monitor_layout layout = glx::lay_out_monitors(MonitorRects(), virtualScreen);
  if (layout.window.empty()) {
    // Systems without the virtual-screen metrics: the primary screen, as ever.
    const glx::screen_rect primary = {0, 0, GetSystemMetrics(SM_CXSCREEN),
                                      GetSystemMetrics(SM_CYSCREEN)};
    layout = glx::lay_out_monitors({primary}, primary);
  }
  return layout;
}
