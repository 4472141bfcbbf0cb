#include "scene/indexed_glyph.h"

#include <GL/glu.h>
#include <usp10.h>

#include <array>
#include <cmath>
#include <deque>
#include <string>
#include <vector>

#include "scene/glyph_outline.h"
#include "xtl/unicode.h"

namespace {

// The outline is asked at this height so that its units divide into ems
// exactly, as the outline call does.
constexpr int kEmSize = 1024;

using Vertex = std::array<GLdouble, 3>;

// The tessellator keeps pointers to its vertices until the polygon ends, and
// hands back the ones it makes where contours cross.
struct TessVertices {
  std::deque<Vertex> all;
  GLdouble* Add(double x, double y, double z) {
    all.push_back({x, y, z});
    return all.back().data();
  }
};

void CALLBACK Combine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* polygon) {
  *out = static_cast<TessVertices*>(polygon)->Add(coords[0], coords[1], coords[2]);
}

void CALLBACK Begin(GLenum mode) { glBegin(mode); }
void CALLBACK AddVertex(void* v) { glVertex3dv(static_cast<GLdouble*>(v)); }
void CALLBACK End() { glEnd(); }

// One flat face of the glyph at depth z, turned towards `facing` (+1 or -1).
void Face(GLUtesselator* tess, const std::vector<OutlineContour>& contours, double z,
          double facing) {
  TessVertices vertices;
  glNormal3d(0.0, 0.0, facing);
  gluTessNormal(tess, 0.0, 0.0, facing);
  gluTessBeginPolygon(tess, &vertices);
  for (const OutlineContour& contour : contours) {
    gluTessBeginContour(tess);
    for (const OutlinePoint& p : contour) {
      GLdouble* v = vertices.Add(p.x, p.y, z);
      gluTessVertex(tess, v, v);
    }
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
}

// The walls between the faces. Outer contours run clockwise, so the outward
// normal of an edge (dx, dy) is (-dy, dx).
void Sides(const std::vector<OutlineContour>& contours, double depth) {
  glBegin(GL_QUADS);
  for (const OutlineContour& contour : contours) {
    for (size_t i = 0; i < contour.size(); ++i) {
      const OutlinePoint a = contour[i], b = contour[(i + 1) % contour.size()];
      const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
      glNormal3d(-dy / length, dx / length, 0.0);
      glVertex3d(a.x, a.y, 0.0);
      glVertex3d(a.x, a.y, -depth);
      glVertex3d(b.x, b.y, -depth);
      glVertex3d(b.x, b.y, 0.0);
    }
  }
  glEnd();
}

// The outline of the glyph with the selected face at the em size; false when
// the font engine has none for it.
bool Outline(HDC hdc, WORD index, GLYPHMETRICS& metrics, std::vector<unsigned char>& bytes) {
  LOGFONTW lf = {};
  if (!GetObjectW(GetCurrentObject(hdc, OBJ_FONT), sizeof lf, &lf)) return false;
  lf.lfHeight = -kEmSize;
  lf.lfWidth = 0;
  lf.lfEscapement = lf.lfOrientation = 0;
  HFONT em = CreateFontIndirectW(&lf);
  if (!em) return false;
  HGDIOBJ previous = SelectObject(hdc, em);
  static const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  const UINT format = GGO_NATIVE | GGO_GLYPH_INDEX;
  const DWORD size = GetGlyphOutlineW(hdc, index, format, &metrics, 0, nullptr, &identity);
  bool ok = size != GDI_ERROR;
  if (ok && size > 0) {  // a blank glyph (a space) has no outline but is still a glyph
    bytes.resize(size);
    ok = GetGlyphOutlineW(hdc, index, format, &metrics, size, bytes.data(), &identity) != GDI_ERROR;
  }
  SelectObject(hdc, previous);
  DeleteObject(em);
  return ok;
}

}  // namespace

bool FindGlyphIndex(HDC hdc, char32_t code, WORD& index) {
  const std::u16string pair = xtl::unicode::encode_utf16(std::u32string(1, code));
  if (pair.size() != 2) return false;  // in the 16-bit range, or no character
  const auto* units = reinterpret_cast<const wchar_t*>(pair.c_str());
  SCRIPT_ITEM items[3] = {};
  int itemCount = 0;
  if (FAILED(ScriptItemize(units, 2, 2, nullptr, nullptr, items, &itemCount)) || itemCount != 1)
    return false;
  SCRIPT_CACHE cache = nullptr;
  WORD glyphs[4] = {};
  WORD clusters[2] = {};
  SCRIPT_VISATTR attributes[4] = {};
  int glyphCount = 0;
  SCRIPT_FONTPROPERTIES properties = {};
  properties.cBytes = sizeof properties;
  const bool shaped = SUCCEEDED(ScriptShape(hdc, &cache, units, 2, 4, &items[0].a, glyphs, clusters,
                                            attributes, &glyphCount)) &&
                      glyphCount == 1 &&
                      SUCCEEDED(ScriptGetFontProperties(hdc, &cache, &properties));
  ScriptFreeCache(&cache);
  if (!shaped || glyphs[0] == 0 || glyphs[0] == properties.wgDefault) return false;
  index = glyphs[0];
  return true;
}

bool MakeIndexedGlyph(HDC hdc, WORD index, GLuint list, float deviation, float extrusion,
                      float& advance) {
  GLYPHMETRICS metrics = {};
  std::vector<unsigned char> bytes;
  if (!Outline(hdc, index, metrics, bytes)) return false;
  // The outline call measures its deviation in ems and takes none as 1/em.
  const double tolerance = deviation > 0 ? deviation : 1.0 / kEmSize;
  const auto contours = FlattenOutline(bytes.data(), bytes.size(), kEmSize, tolerance);
  GLUtesselator* tess = gluNewTess();
  if (!tess) return false;
  using Callback = void(CALLBACK*)();
  gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<Callback>(Begin));
  gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<Callback>(AddVertex));
  gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<Callback>(End));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<Callback>(Combine));
  advance = static_cast<float>(metrics.gmCellIncX) / kEmSize;
  glNewList(list, GL_COMPILE);
  glFrontFace(GL_CCW);
  if (!contours.empty()) {
    Face(tess, contours, 0.0, 1.0);
    if (extrusion > 0) {
      Face(tess, contours, -extrusion, -1.0);
      Sides(contours, extrusion);
    }
  }
  glTranslated(advance, static_cast<double>(metrics.gmCellIncY) / kEmSize, 0.0);
  glEndList();
  gluDeleteTess(tess);
  return true;
}
