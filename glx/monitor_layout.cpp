#include "glx/monitor_layout.h"

#include <algorithm>
#include <cstddef>

namespace glx {

namespace {

screen_rect Union(const screen_rect& a, const screen_rect& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

bool Contains(const screen_rect& outer, const screen_rect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

// A second picture inside another monitor's would be drawn over that one's.
bool InsideAnother(const std::vector<screen_rect>& monitors, size_t i) {
  for (size_t j = 0; j < monitors.size(); ++j) {
    if (j == i || monitors[j].empty() || !Contains(monitors[j], monitors[i])) continue;
    // Of identical rectangles the first one keeps its picture.
    if (!(monitors[j] == monitors[i]) || j < i) return true;
  }
  return false;
}

}  // namespace

monitor_layout lay_out_monitors(const std::vector<screen_rect>& monitors,
                                const screen_rect& virtualScreen) {
  std::vector<screen_rect> used;
  for (size_t i = 0; i < monitors.size(); ++i)
    if (!monitors[i].empty() && !InsideAnother(monitors, i)) used.push_back(monitors[i]);
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
