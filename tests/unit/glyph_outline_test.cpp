// Flattening the font engine's native outline records into contours.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "scene/glyph_outline.h"

namespace {

// Writes records by their layout: a polygon header {size, 24, start}, then
// curves {type, count, points}; points as two 16.16 fixed numbers.
struct Records {
  std::vector<unsigned char> bytes;
  size_t polygon = 0;

  void Put32(int32_t v) {
    const auto* p = reinterpret_cast<const unsigned char*>(&v);
    bytes.insert(bytes.end(), p, p + 4);
  }
  void Points(std::vector<OutlinePoint> points) {
    for (const OutlinePoint& p : points) {
      Put32(static_cast<int32_t>(std::lround(p.x * 65536)));
      Put32(static_cast<int32_t>(std::lround(p.y * 65536)));
    }
    const uint32_t size = static_cast<uint32_t>(bytes.size() - polygon);
    std::memcpy(&bytes[polygon], &size, 4);
  }
  void Polygon(OutlinePoint start) {
    polygon = bytes.size();
    Put32(0);
    Put32(24);
    Points({start});
  }
  void Curve(uint16_t type, std::vector<OutlinePoint> points) {
    Put32(type | static_cast<int32_t>(points.size()) << 16);
    Points(points);
  }
};

// A square with a negative, fractional corner, closed back on its start; an
// arch, one quadratic spline from (0,0) over (1,2) to (2,0); and a spline of
// three control points and a cubic.
Records Sample() {
  Records r;
  r.Polygon({-0.5, 0});
  r.Curve(1, {{1, 0}, {1, 1}});
  r.Curve(1, {{-0.5, 1}, {-0.5, 0}});
  r.Polygon({0, 0});
  r.Curve(2, {{1, 2}, {2, 0}});
  r.Polygon({0, 0});
  r.Curve(2, {{0, 1}, {2, 1}, {2, 0}});  // passes through (1,1), the middle of the controls
  r.Curve(3, {{2, -1}, {0, -1}, {0, -0.5}});
  return r;
}

}  // namespace

TEST(GlyphOutline, LinesKeepTheirCornersAndSplinesFollowTheirCurves) {
  Records r = Sample();
  const auto contours = FlattenOutline(r.bytes.data(), r.bytes.size(), 2.0, 0.01);
  ASSERT_EQ(contours.size(), 3u);
  // In ems of a font asked at 2 units: halved. The closing corner is implied.
  const OutlinePoint square[] = {{-0.25, 0}, {0.5, 0}, {0.5, 0.5}, {-0.25, 0.5}};
  ASSERT_EQ(contours[0].size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(contours[0][i].x, square[i].x);
    EXPECT_DOUBLE_EQ(contours[0][i].y, square[i].y);
  }
  // Every point of the arch lies on y = 2x(1 - x) (in ems), and no edge
  // strays from it by more than the deviation.
  const OutlineContour& arch = contours[1];
  ASSERT_GT(arch.size(), 4u);
  EXPECT_DOUBLE_EQ(arch.back().x, 1.0);
  for (size_t i = 0; i < arch.size(); ++i) {
    const OutlinePoint p = arch[i];
    EXPECT_NEAR(p.y, 2 * p.x * (1 - p.x), 1e-12);
    if (i + 1 == arch.size()) break;  // the closing edge is the arch's base
    const OutlinePoint q = arch[i + 1];
    const double mx = (p.x + q.x) / 2;
    EXPECT_LE(2 * mx * (1 - mx) - (p.y + q.y) / 2, 0.01 + 1e-12);
  }
  EXPECT_GT(FlattenOutline(r.bytes.data(), r.bytes.size(), 2.0, 0.001)[1].size(), arch.size());

  const OutlineContour& mixed = contours[2];
  bool throughMiddle = false, reachedCubicEnd = false;
  for (const OutlinePoint& p : mixed) {
    throughMiddle |= p.x == 0.5 && p.y == 0.5;
    reachedCubicEnd |= p.x == 0 && p.y == -0.25;
    EXPECT_GE(p.y, -0.5);  // the cubic stays within its control points
  }
  EXPECT_TRUE(throughMiddle);
  EXPECT_TRUE(reachedCubicEnd);
}

// The bytes come from a font: every cut, a wrong type, a count or size that
// overruns, ends the parse after the last whole polygon (ASan watches reads).
TEST(GlyphOutline, DamagedRecordsKeepTheWholePolygonsBeforeThem) {
  const std::vector<unsigned char> bytes = Sample().bytes;
  const size_t firstEnd = 56, secondEnd = 92;
  auto count = [](const std::vector<unsigned char>& b, size_t size) {
    return FlattenOutline(b.data(), size, 1.0, 0.01).size();
  };
  for (size_t size = 0; size < bytes.size(); ++size)
    EXPECT_EQ(count(bytes, size), size < firstEnd ? 0u : size < secondEnd ? 1u : 2u) << size;
  auto damaged = [&](size_t at, unsigned char value) {
    std::vector<unsigned char> b = bytes;
    b[at] = value;
    return count(b, b.size());
  };
  EXPECT_EQ(damaged(firstEnd + 16, 9), 1u);     // an unknown curve type
  EXPECT_EQ(damaged(firstEnd + 18, 0xFF), 1u);  // more points than the polygon holds
  EXPECT_EQ(damaged(0, 0xFF), 0u);              // a polygon larger than the data
  EXPECT_EQ(damaged(4, 0), 0u);                 // not a polygon header
  EXPECT_EQ(FlattenOutline(nullptr, 64, 1.0, 0.01).size(), 0u);
  EXPECT_EQ(FlattenOutline(bytes.data(), bytes.size(), 0.0, 0.01).size(), 0u);
}
