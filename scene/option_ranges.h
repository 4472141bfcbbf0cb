// What the scene can show of its settings. Stored values are kept as they are
// (an edited registry, an older version); where a setting is used, a value
// outside its range is taken as the nearest value inside it.
#pragma once
#include <cstddef>

namespace option_ranges {

struct int_range {
  int low, high;
  constexpr int clamp(int value) const { return value < low ? low : value > high ? high : value; }
};

constexpr int_range kTextSize = {0, 3};    // Tiny .. Big
constexpr int_range kTextSpeed = {0, 10};  // slow .. fast
// Characters of the text that the ring draws; more would only overlap.
constexpr std::size_t kTextDrawnChars = 1000;

}  // namespace option_ranges
