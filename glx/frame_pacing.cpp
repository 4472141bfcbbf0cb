#include "glx/frame_pacing.h"

#include <cmath>
#include <cstring>

namespace glx {

namespace {
// With the swap interval pacing, the thread wakes this much before the
// refresh, so that its frame is ready for it; a driver that ignores the
// interval then still cannot make the thread spin.
constexpr double kSwapLeadMs = 2.0;
}  // namespace

double frame_clock::ticks(double nowMs) {
  double gap = nowMs - _last;
  _last = nowMs;
  if (!(gap > 0.0)) return 0.0;
  if (gap > kMaxGapMs) gap = kMaxGapMs;
  return gap / kTickMs;
}

bool is_software_renderer(const std::string& renderer) {
  return renderer.find("GDI Generic") != std::string::npos ||
         renderer.find("llvmpipe") != std::string::npos ||
         renderer.find("softpipe") != std::string::npos;
}

bool has_extension(const std::string& extensions, const char* name) {
  const std::size_t length = std::strlen(name);
  for (std::size_t at = extensions.find(name); at != std::string::npos;
       at = extensions.find(name, at + 1)) {
    const bool starts = at == 0 || extensions[at - 1] == ' ';
    const bool ends = at + length == extensions.size() || extensions[at + length] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

frame_pacing choose_pacing(bool software, bool swapControl, double refreshHz) {
  frame_pacing p;
  if (software) return p;  // the old pace
  if (!(refreshHz >= 24.0 && refreshHz <= 1000.0)) refreshHz = 60.0;
  // The tolerance takes 59.94 Hz as 60, not as a reason to halve it.
  const int n = static_cast<int>(std::ceil(refreshHz / kMaxFrameRate - 0.01));
  const double period = n * 1000.0 / refreshHz;
  if (swapControl) {
    p.swapInterval = n;
    p.periodMs = period - kSwapLeadMs;
  } else {
    p.periodMs = period;
    p.onGrid = true;
  }
  return p;
}

bool frame_schedule::take(double nowMs, const frame_pacing& pacing) {
  if (nowMs < _due) return false;
  _due = pacing.onGrid ? _due + pacing.periodMs : nowMs + pacing.periodMs;
  if (_due <= nowMs) _due = nowMs + pacing.periodMs;
  return true;
}

}  // namespace glx
