#include "scene/glyph_outline.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// The record layout: a polygon header is {uint32 bytes, uint32 type, point
// start}; a curve is {uint16 type, uint16 count, point[count]}; a point is
// two 16.16 fixed numbers.
constexpr size_t kHeaderSize = 16;
constexpr size_t kCurveHeadSize = 4;
constexpr size_t kPointSize = 8;
constexpr uint32_t kPolygonType = 24;  // TT_POLYGON_TYPE
constexpr uint16_t kLine = 1, kQuadratic = 2, kCubic = 3;
constexpr int kMaxDepth = 12;  // at most 4096 edges per spline piece

uint32_t Read32(const unsigned char* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);  // the records are little-endian, as every host of them
  return v;
}

uint16_t Read16(const unsigned char* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

OutlinePoint ReadPoint(const unsigned char* p, double em) {
  return {static_cast<int32_t>(Read32(p)) / 65536.0 / em,
          static_cast<int32_t>(Read32(p + 4)) / 65536.0 / em};
}

OutlinePoint Mid(OutlinePoint a, OutlinePoint b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

double DistanceToChord(OutlinePoint p, OutlinePoint a, OutlinePoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = std::hypot(dx, dy);
  if (length == 0) return std::hypot(p.x - a.x, p.y - a.y);
  return std::fabs((p.x - a.x) * dy - (p.y - a.y) * dx) / length;
}

// Control points stray at least as far as the curve, so a curve whose control
// points lie within the deviation of its chord is flat enough.
void AddQuadratic(OutlineContour& out, OutlinePoint a, OutlinePoint c, OutlinePoint b,
                  double deviation, int depth) {
  if (depth >= kMaxDepth || DistanceToChord(c, a, b) <= deviation) {
    out.push_back(b);
    return;
  }
  const OutlinePoint ac = Mid(a, c), cb = Mid(c, b), m = Mid(ac, cb);
  AddQuadratic(out, a, ac, m, deviation, depth + 1);
  AddQuadratic(out, m, cb, b, deviation, depth + 1);
}

void AddCubic(OutlineContour& out, OutlinePoint a, OutlinePoint c1, OutlinePoint c2, OutlinePoint b,
              double deviation, int depth) {
  if (depth >= kMaxDepth ||
      (DistanceToChord(c1, a, b) <= deviation && DistanceToChord(c2, a, b) <= deviation)) {
    out.push_back(b);
    return;
  }
  const OutlinePoint p1 = Mid(a, c1), p2 = Mid(c1, c2), p3 = Mid(c2, b);
  const OutlinePoint q1 = Mid(p1, p2), q2 = Mid(p2, p3), m = Mid(q1, q2);
  AddCubic(out, a, p1, q1, m, deviation, depth + 1);
  AddCubic(out, m, q2, p3, b, deviation, depth + 1);
}

// One curve record's points after `from`; false when the type is unknown.
bool AddCurve(OutlineContour& out, uint16_t type, const std::vector<OutlinePoint>& points,
              double deviation) {
  switch (type) {
    case kLine:
      out.insert(out.end(), points.begin(), points.end());
      return true;
    case kQuadratic:
      // Between two control points lies an implied on-curve point, their middle.
      for (size_t i = 0; i + 1 < points.size(); ++i) {
        const OutlinePoint end =
            i + 2 < points.size() ? Mid(points[i], points[i + 1]) : points[i + 1];
        AddQuadratic(out, out.back(), points[i], end, deviation, 0);
      }
      return true;
    case kCubic:
      for (size_t i = 0; i + 2 < points.size(); i += 3)
        AddCubic(out, out.back(), points[i], points[i + 1], points[i + 2], deviation, 0);
      return true;
    default:
      return false;
  }
}

// The closing edge back to the start is implied: a last point on the start,
// and any point repeating the one before it, would only make empty edges.
void Tidy(OutlineContour& contour) {
  OutlineContour tidy;
  for (const OutlinePoint& p : contour)
    if (tidy.empty() || p.x != tidy.back().x || p.y != tidy.back().y) tidy.push_back(p);
  while (tidy.size() > 1 && tidy.back().x == tidy.front().x && tidy.back().y == tidy.front().y)
    tidy.pop_back();
  contour.swap(tidy);
}

}  // namespace

std::vector<OutlineContour> FlattenOutline(const unsigned char* data, size_t size, double emSize,
                                           double deviation) {
  std::vector<OutlineContour> contours;
  if (!data || !(emSize > 0)) return contours;
  if (!(deviation > 1e-4)) deviation = 1e-4;
  size_t at = 0;
  while (size - at >= kHeaderSize) {
    const uint32_t bytes = Read32(data + at);
    if (bytes < kHeaderSize || bytes > size - at || Read32(data + at + 4) != kPolygonType) break;
    const unsigned char* polygon = data + at;
    OutlineContour contour{ReadPoint(polygon + 8, emSize)};
    size_t curve = kHeaderSize;
    bool intact = true;
    while (intact && bytes - curve >= kCurveHeadSize) {
      const uint16_t type = Read16(polygon + curve);
      const size_t count = Read16(polygon + curve + 2);
      if (count == 0 || count > (bytes - curve - kCurveHeadSize) / kPointSize) {
        intact = false;
        break;
      }
      std::vector<OutlinePoint> points;
      for (size_t i = 0; i < count; ++i)
        points.push_back(ReadPoint(polygon + curve + kCurveHeadSize + i * kPointSize, emSize));
      intact = AddCurve(contour, type, points, deviation);
      curve += kCurveHeadSize + count * kPointSize;
    }
    if (!intact || curve != bytes) break;
    Tidy(contour);
    if (contour.size() >= 3) contours.push_back(std::move(contour));
    at += bytes;
  }
  return contours;
}
