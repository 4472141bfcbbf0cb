#include "glx/monitor_layout.h"

#include <algorithm>

namespace glx {

namespace {

screen_rect Union(const screen_rect& a, const screen_rect& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

}  // namespace

monitor_layout lay_out_monitors(const std::vector<screen_rect>& monitors,
                                const screen_rect& virtualScreen) {
  std::vector<screen_rect> used;
  for (const screen_rect& m : monitors) {
    if (m.empty() || std::find(used.begin(), used.end(), m) != used.end()) continue;
    used.push_back(m);
  }
  monitor_layout layout;
  layout.window = virtualScreen.empty() ? screen_rect{0, 0, 0, 0} : virtualScreen;
  for (const screen_rect& m : used) layout.window = Union(layout.window, m);
  if (layout.window.empty()) return {};
  if (used.empty()) used.push_back(layout.window);
  // GL counts rows from the bottom of the window, the screen from its top.
  for (const screen_rect& m : used)
    layout.viewports.push_back(
        {m.left - layout.window.left, layout.window.bottom - m.bottom, m.width(), m.height()});
  return layout;
}

}  // namespace glx
