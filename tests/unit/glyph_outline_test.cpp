// Flattening the font engine's native outline records into contours.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "scene/glyph_outline.h"

namespace {

// Writes outline records by their layout: polygons of curves of points.
class Records {
 public:
  void Polygon(double x, double y) {
    _polygon = _bytes.size();
    Put32(0);  // its size, set as curves follow
    Put32(24);
    Point(x, y);
    Close();
  }
  void Curve(uint16_t type, std::vector<OutlinePoint> points) {
    Put16(type);
    Put16(static_cast<uint16_t>(points.size()));
    for (const OutlinePoint& p : points) Point(p.x, p.y);
    Close();
  }
  std::vector<unsigned char>& Bytes() { return _bytes; }

 private:
  void Put16(uint16_t v) { Put(&v, 2); }
  void Put32(uint32_t v) { Put(&v, 4); }
  void Put(const void* v, size_t n) {
    const auto* p = static_cast<const unsigned char*>(v);
    _bytes.insert(_bytes.end(), p, p + n);
  }
  void Point(double x, double y) {
    Put32(static_cast<uint32_t>(static_cast<int32_t>(std::lround(x * 65536))));
    Put32(static_cast<uint32_t>(static_cast<int32_t>(std::lround(y * 65536))));
  }
  void Close() {
    const uint32_t size = static_cast<uint32_t>(_bytes.size() - _polygon);
    std::memcpy(&_bytes[_polygon], &size, 4);
  }
  std::vector<unsigned char> _bytes;
  size_t _polygon = 0;
};

std::vector<OutlineContour> Flatten(const std::vector<unsigned char>& bytes, size_t size,
                                    double em = 1.0, double deviation = 0.01) {
  return FlattenOutline(bytes.data(), size, em, deviation);
}

// A square with a negative, fractional corner, closed back on its start, and
// an arch: one quadratic spline from (0,0) over (1,2) to (2,0).
Records SquareAndArch() {
  Records r;
  r.Polygon(-0.5, 0);
  r.Curve(1, {{1, 0}, {1, 1}});
  r.Curve(1, {{-0.5, 1}, {-0.5, 0}});
  r.Polygon(0, 0);
  r.Curve(2, {{1, 2}, {2, 0}});
  return r;
}

}  // namespace

TEST(GlyphOutline, LinesKeepTheirCornersAndSplinesFollowTheirCurve) {
  Records r = SquareAndArch();
  const auto contours = Flatten(r.Bytes(), r.Bytes().size(), 2.0);
  ASSERT_EQ(contours.size(), 2u);
  // In ems of a font asked at 2 units: halved. The closing corner is implied.
  const std::vector<std::pair<double, double>> square = {
      {-0.25, 0}, {0.5, 0}, {0.5, 0.5}, {-0.25, 0.5}};
  ASSERT_EQ(contours[0].size(), square.size());
  for (size_t i = 0; i < square.size(); ++i) {
    EXPECT_DOUBLE_EQ(contours[0][i].x, square[i].first);
    EXPECT_DOUBLE_EQ(contours[0][i].y, square[i].second);
  }
  // Every point lies on the arch y = 2x(1 - x) (in ems), and no chord between
  // two of them strays from it by more than the deviation.
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
  // A finer deviation gives more edges.
  EXPECT_GT(Flatten(r.Bytes(), r.Bytes().size(), 2.0, 0.001)[1].size(), arch.size());
}

TEST(GlyphOutline, SplinePointsImplyTheOnCurvePointsBetweenThemAndCubicsReachTheirEnd) {
  Records r;
  r.Polygon(0, 0);
  r.Curve(2, {{0, 1}, {2, 1}, {2, 0}});  // passes through (1,1), the middle of the controls
  r.Polygon(0, 0);
  r.Curve(3, {{0, 1}, {1, 1}, {1, 0}});
  const auto contours = Flatten(r.Bytes(), r.Bytes().size());
  ASSERT_EQ(contours.size(), 2u);
  bool throughMiddle = false;
  for (const OutlinePoint& p : contours[0]) throughMiddle |= p.x == 1.0 && p.y == 1.0;
  EXPECT_TRUE(throughMiddle);
  EXPECT_EQ(contours[0].back().x, 2.0);
  EXPECT_EQ(contours[1].back().x, 1.0);
  EXPECT_EQ(contours[1].back().y, 0.0);
  for (const OutlinePoint& p : contours[1]) EXPECT_LE(p.y, 0.75 + 1e-12);  // a cubic's peak
}

// The bytes come from a font: every cut, a wrong type, a count or size that
// overruns, ends the parse after the last whole polygon (ASan watches reads).
TEST(GlyphOutline, DamagedRecordsKeepTheWholePolygonsBeforeThem) {
  Records r = SquareAndArch();
  std::vector<unsigned char>& bytes = r.Bytes();
  const size_t firstEnd = 16 + 4 + 16 + 4 + 16;
  for (size_t size = 0; size < bytes.size(); ++size)
    EXPECT_EQ(Flatten(bytes, size).size(), size < firstEnd ? 0u : 1u) << "cut at " << size;

  std::vector<unsigned char> bad = bytes;
  bad[firstEnd + 16] = 9;  // an unknown curve type in the second polygon
  EXPECT_EQ(Flatten(bad, bad.size()).size(), 1u);
  bad = bytes;
  bad[firstEnd + 18] = 0xFF;  // more points than the polygon holds
  EXPECT_EQ(Flatten(bad, bad.size()).size(), 1u);
  bad = bytes;
  bad[0] = 0xFF;  // a first polygon larger than the data
  EXPECT_TRUE(Flatten(bad, bad.size()).empty());
  bad = bytes;
  bad[4] = 0;  // not a polygon header
  EXPECT_TRUE(Flatten(bad, bad.size()).empty());
  EXPECT_TRUE(FlattenOutline(nullptr, 64, 1.0, 0.01).empty());
  EXPECT_TRUE(FlattenOutline(bytes.data(), bytes.size(), 0.0, 0.01).empty());
}
