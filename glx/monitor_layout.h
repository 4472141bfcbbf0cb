// Where the full-screen window goes and where each monitor's picture lies in
// it: monitor rectangles in virtual-screen coordinates in, the window's
// rectangle and one OpenGL viewport per monitor out. No windows here.
#pragma once
#include <vector>

namespace glx {

// Left, top inclusive; right, bottom exclusive; y grows downwards.
struct screen_rect {
  int left, top, right, bottom;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool operator==(const screen_rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// In the window's client area, with OpenGL's origin at its bottom-left corner.
struct gl_viewport {
  int x, y, width, height;
  double aspect() const { return static_cast<double>(width) / height; }
  bool operator==(const gl_viewport& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

struct monitor_layout {
  screen_rect window;
  std::vector<gl_viewport> viewports;
};

// The window covers the virtual screen and every monitor, even one the virtual
// screen does not include yet. Empty monitors are skipped, and a monitor that
// lies wholly within another (a cloned display, perhaps at a lower resolution)
// gets no viewport of its own: the other's picture covers it. Without any usable
// monitor the window is the virtual screen with one viewport over all of it;
// when that is empty too, the layout is empty.
monitor_layout lay_out_monitors(const std::vector<screen_rect>& monitors,
                                const screen_rect& virtualScreen);

}  // namespace glx
