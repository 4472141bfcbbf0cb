#include "scene/sphere_detail.h"

namespace sphere_detail {

int BigSlices(int density) { return density == 0 ? 20 : density == 1 ? 30 : 40; }

int SmallSlices(int density) {
  static const int slices[3] = {10, 15, 20};
  int level = density < 0 ? 0 : density > 2 ? 2 : density;
  return slices[level];
}

int BigStyle(int gestalt) { return gestalt == 0 ? 1 : 2; }

int SmallStyle(int gestalt) { return gestalt == 0 ? 1 : gestalt == 1 ? 2 : 3; }

bool SmallHasCore(int gestalt) { return gestalt <= 1; }

float OutlineDeviation(int resolution) {
  return resolution == 0 ? 0.75f : resolution == 1 ? 0.5f : 0.0f;
}

}  // namespace sphere_detail
