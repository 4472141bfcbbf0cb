// How the render thread measures the scene's time and paces its frames: the
// elapsed time in ticks of the step the animation was made for, and when the
// next frame is due. No windows here.
#pragma once
#include <string>

namespace glx {

// One tick is the old frame step: the scene moves as it did at one frame
// every 31 ms, whatever the frame rate.
constexpr double kTickMs = 31.0;
// A longer gap (a prompt, a debugger, a laptop that slept) counts as this
// much, so the scene never jumps.
constexpr double kMaxGapMs = 250.0;
// Frames beyond this rate show nothing new and cost power.
constexpr double kMaxFrameRate = 60.0;

// Turns clock readings in milliseconds into ticks.
class frame_clock {
 public:
  // Time before this reading (a build, a pause) does not count.
  void restart(double nowMs) { _last = nowMs; }
  // Ticks since the last reading, capped; a clock that went back gives 0.
  double ticks(double nowMs);

 private:
  double _last = 0.0;
};

struct frame_pacing {
  // The swap interval to ask the driver for: the frame waits for the n-th
  // refresh in SwapBuffers. 0 leaves it alone.
  int swapInterval = 0;
  // A frame is due this long after the previous one.
  double periodMs = kTickMs;
  // After the previous one was due, not drawn: frames keep to the display's
  // refresh steps however late the thread wakes. Otherwise late wake-ups
  // only lengthen the gap, as they always did.
  bool onGrid = false;
  bool operator==(const frame_pacing& o) const {
    return swapInterval == o.swapInterval && periodMs == o.periodMs && onGrid == o.onGrid;
  }
};

// Whether the renderer string names a software rasteriser (the system's
// generic GDI renderer, Mesa's llvmpipe or softpipe): there every frame costs
// processor time, so it keeps the old pace.
bool is_software_renderer(const std::string& renderer);
// Whether a space-separated extension list holds the name.
bool has_extension(const std::string& extensions, const char* name);

// Every n-th refresh of a refreshHz display, n the smallest that keeps the
// rate at or below kMaxFrameRate; 0 or an odd rate (some drivers report 0 or
// 1 for "the hardware's default") counts as 60 Hz. With swapControl (and a
// double-buffered format) the driver waits in SwapBuffers and the thread only
// sleeps until shortly before the refresh; otherwise it sleeps to the step.
frame_pacing choose_pacing(bool software, bool swapControl, double refreshHz);

// When frames are due. On a grid a frame that came more than a period late
// starts a new grid instead of rushing the ones it missed.
class frame_schedule {
 public:
  // The next frame is due at once.
  void restart(double nowMs) { _due = nowMs; }
  // Whether a frame is due; when it is, the one after it is scheduled.
  bool take(double nowMs, const frame_pacing& pacing);
  // Milliseconds until the next frame is due, 0 when it is.
  double wait(double nowMs) const { return _due > nowMs ? _due - nowMs : 0.0; }

 private:
  double _due = 0.0;
};

}  // namespace glx
