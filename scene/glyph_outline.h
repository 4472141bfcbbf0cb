// A glyph's outline in the font engine's native form (polygon headers, each
// followed by lines and quadratic or cubic splines, points in 16.16 fixed
// point), flattened into closed contours of straight edges. No windows here:
// the bytes are parsed by their documented layout.
#pragma once
#include <cstddef>
#include <vector>

struct OutlinePoint {
  double x, y;
};
using OutlineContour = std::vector<OutlinePoint>;

// The contours of `size` bytes of outline, in units of `emSize` (the font's
// height the outline was asked at). A spline is cut into edges until none
// strays more than `deviation` ems from it. A malformed record ends the
// parse; the contours read before it are kept.
std::vector<OutlineContour> FlattenOutline(const unsigned char* data, size_t size, double emSize,
                                           double deviation);
