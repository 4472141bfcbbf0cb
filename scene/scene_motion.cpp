#include "scene/scene_motion.h"

#include <cmath>

namespace {
// Ticks that add up to a whole in exact arithmetic (31 steps of 7/31) may
// fall short of it in floating point by a few units of the last place.
constexpr double kTickSlack = 1e-9;
}  // namespace

int SceneMotion::Advance(double ticks) {
  if (!(ticks > 0.0)) return 0;
  _phase += 0.1 * ticks;
  _pending += ticks;
  const double whole = std::floor(_pending + kTickSlack);
  _pending -= whole;
  return static_cast<int>(whole);
}
