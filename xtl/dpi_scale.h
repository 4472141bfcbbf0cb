// Lengths made in pixels at 96 dpi (pens, offsets, fonts), brought to another
// display scaling. Exact at 96 dpi, so an unscaled display sees no change.
#pragma once

namespace xtl {

constexpr unsigned base_dpi = 96;

// Rounded to the nearest pixel, halves away from zero; a non-zero length never
// shrinks to nothing, so a one-pixel line stays visible at any scaling.
constexpr int scale_to_dpi(int pixels, unsigned dpi) {
  if (pixels == 0 || dpi == 0) return pixels;
  const long long magnitude = pixels < 0 ? -static_cast<long long>(pixels) : pixels;
  long long scaled = (magnitude * dpi + base_dpi / 2) / base_dpi;
  if (scaled == 0) scaled = 1;
  return static_cast<int>(pixels < 0 ? -scaled : scaled);
}

}  // namespace xtl
