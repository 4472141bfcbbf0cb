#include "scene/zazozeru.h"

#include <GL/glu.h>

#include <cmath>
#include <string>

#include "glx/report_failure.h"
#include "scene/color_cycler.h"
#include "scene/indexed_glyph.h"
#include "scene/sphere_detail.h"
#include "scene/text_format.h"
#include "scene/text_ring.h"
#include "xtl/unicode.h"

IMPLEMENT_DYNCREATE(ZAzozeru, glx::CAnimator)

namespace {

constexpr GLsizei kListCount = 3;  // big, small, text ring; each glyph has a list of its own

void Enable(GLenum cap, bool on) {
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

// Angles reduced to one turn in double before they become floats, so a
// phase of days still rotates smoothly: the same rotation as the full angle.
GLfloat Degrees(double angle) { return static_cast<GLfloat>(std::fmod(angle, 360.0)); }

int CALLBACK NoteOutlines(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM found) {
  // Raster faces have no outlines; a vector face that has none fails the build.
  if (type & (RASTER_FONTTYPE | DEVICE_FONTTYPE)) return 1;
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// A face name as the wide font functions take it, cut to the field's size.
void SetFace(LOGFONTW& lf, const std::string& face) {
  lstrcpynW(lf.lfFaceName, xtl::unicode::wide_from_utf8(face).c_str(), LF_FACESIZE);
}

// Whether the face is installed with outlines. The font mapper would quietly
// give another face for one that is not (and some systems map raster faces to
// an outline font of their own choice).
bool HasOutlines(HDC dc, const std::string& face) {
  if (face.empty()) return false;
  LOGFONTW lf = {};
  lf.lfCharSet = DEFAULT_CHARSET;
  SetFace(lf, face);
  bool found = false;
  EnumFontFamiliesExW(dc, &lf, NoteOutlines, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// 12 tenths of a point at the device's vertical resolution; only the
// outlines matter, their size is scaled by the ring.
HFONT MakeFont(HDC dc, const std::string& face) {
  LOGFONTW lf = {};
  lf.lfHeight = -MulDiv(12, GetDeviceCaps(dc, LOGPIXELSY), 720);
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  SetFace(lf, face);
  return CreateFontIndirectW(&lf);
}

// Whether the font selected into dc has a glyph for the character.
bool HasGlyph(HDC dc, char32_t code) {
  WORD index = 0;
  if (code > 0xFFFF) return FindGlyphIndex(dc, code, index);
  const auto unit = static_cast<wchar_t>(code);
  if (GetGlyphIndicesW(dc, &unit, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) return true;
  return index != 0xFFFF;
}

// Faces that hold many scripts, on Windows and on the free systems that run
// it, tried in turn for a character the chosen face lacks.
const char* const kFallbackFaces[] = {
    "Segoe UI",  "Segoe UI Symbol", "Arial Unicode MS", "Microsoft YaHei",  "Meiryo",
    "MS Gothic", "Malgun Gothic",   "DejaVu Sans",      "Noto Sans CJK JP", "Droid Sans Fallback",
};

}  // namespace

ZAzozeru::ZAzozeru() = default;

ZAzozeru::ZAzozeru(const SceneSettings& settings) : _settings(settings) {}

ZAzozeru::~ZAzozeru() {
  delete _textRing;
  delete _bigCycler;
  delete _smallCycler;
}

int ZAzozeru::SetupPixelFormat(DWORD flags, BYTE colorBits, BYTE depthBits) {
  const SceneSettings& s = Settings();
  if (s.doubleBuffer) flags = (flags & ~static_cast<DWORD>(PFD_SUPPORT_GDI)) | PFD_DOUBLEBUFFER;
  if (s.genericAccel) flags |= PFD_GENERIC_ACCELERATED;
  return glx::CAnimator::SetupPixelFormat(flags, colorBits, depthBits);
}

// The build goes in steps and gives up at the first step after a stop
// request, so a preview whose parent closes mid-build ends at once.
bool ZAzozeru::InitGL() {
  try {
    if (!glx::CAnimator::InitGL()) return false;
    GLuint first = glGenLists(kListCount);
    _bigList = first;
    _smallList = first + 1;
    _textList = first + 2;
    if (!glIsList(first) || !glIsList(first + kListCount - 1)) return false;
    const SceneSettings& s = Settings();
    Enable(GL_BLEND, s.blend);
    Enable(GL_ALPHA_TEST, s.alpha);
    Enable(GL_DITHER, s.dither);
    ApplyLighting();
    ApplySmoothing();
    glEnable(GL_COLOR_MATERIAL);
    SetUpText();
    if (StopRequested()) return false;

    auto* big = new DrawingRecord{_bigList, &ZAzozeru::DrawBigSphere, this, s.displayLists};
    if (big->useList) {
      glNewList(_bigList, GL_COMPILE);
      DrawBigSphere();
      glEndList();
    }
    _bigCycler = new ColorCycler(CyclerKind::BigSphere, big);
    if (StopRequested()) return false;

    auto* small = new DrawingRecord{_smallList, &ZAzozeru::DrawSmallSphere, this, s.displayLists};
    if (small->useList) {
      glNewList(_smallList, GL_COMPILE);
      DrawSmallSphere();
      glEndList();
    }
    _smallCycler = new ColorCycler(CyclerKind::SmallSphere, small);
    return !StopRequested();
  } catch (...) {
    glx::log_failure("ZAzozeru::InitGL");
    return false;
  }
}

bool ZAzozeru::ExitGL() {
  DropGlyphs();
  ReleaseFont();
  if (_bigList) glDeleteLists(_bigList, kListCount);
  return glx::CAnimator::ExitGL();
}

void ZAzozeru::ApplyLighting() {
  bool on = Settings().lights;
  Enable(GL_LIGHTING, on);
  Enable(GL_LIGHT0, on);
  if (!on) return;
  static const GLfloat ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
  static const GLfloat specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  static const GLint position[4] = {-3, 2, -5, 30};
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
  glLightiv(GL_LIGHT0, GL_POSITION, position);
}

void ZAzozeru::ApplySmoothing() {
  if (Settings().smooth) {
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_POLYGON_SMOOTH);
    glShadeModel(GL_SMOOTH);
  } else {
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
    glShadeModel(GL_FLAT);
    glHint(GL_POINT_SMOOTH_HINT, GL_FASTEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_FASTEST);
  }
}

void ZAzozeru::SetUpText() {
  const SceneSettings& s = Settings();
  if (!s.textShow) return;
  // Only outlines make glyphs: a face without them gives way to the default.
  if (_face.empty()) _face = HasOutlines(_hdc, s.font) ? s.font : DefaultFace();
  delete _textRing;  // ApplySettings makes the ring again
  _textRing = new TextRing(
      _textList, s.displayLists, _glyphs, [this](char32_t code) { return BuildGlyph(code); }, s);
}

bool ZAzozeru::BuildGlyph(char32_t code) {
  for (;;) {
    if (SelectFont()) {
      if (!HasGlyph(_hdc, code)) {
        BuildFallbackGlyph(code);
        return true;
      }
      GlyphCache::Glyph glyph = {};
      if (MakeGlyphList(code, glyph)) {
        _glyphs.Add(code, glyph);
        return true;
      }
    }
    if (_face == DefaultFace()) return false;
    // Glyphs of two faces would not match: those of the first go.
    DropGlyphs();
    ReleaseFont();
    _face = DefaultFace();
  }
}

void ZAzozeru::BuildFallbackGlyph(char32_t code) {
  if (_fallbackFonts.empty()) {
    for (const char* face : kFallbackFaces)
      if (face != _face && HasOutlines(_hdc, face))
        if (HFONT font = MakeFont(_hdc, face)) _fallbackFonts.push_back(font);
  }
  GlyphCache::Glyph glyph = {0, 0.0f};  // none has it: drawn as nothing
  for (HFONT font : _fallbackFonts) {
    SelectObject(_hdc, font);
    if (HasGlyph(_hdc, code) && MakeGlyphList(code, glyph)) break;
  }
  SelectObject(_hdc, _font);
  _glyphs.Add(code, glyph);
}

bool ZAzozeru::MakeGlyphList(char32_t code, GlyphCache::Glyph& glyph) {
  GLYPHMETRICSFLOAT metrics = {};
  const GLuint list = glGenLists(1);
  if (list && MakeGlyph(code, list, metrics)) {
    glyph = {list, metrics.gmfCellIncX};
    return true;
  }
  if (list) glDeleteLists(list, 1);
  return false;
}

bool ZAzozeru::MakeGlyph(char32_t code, GLuint list, GLYPHMETRICSFLOAT& metrics) {
  const float deviation = sphere_detail::OutlineDeviation(Settings().textResolution);
  const float extrusion = 0.1f;
  // The outline call takes one UTF-16 unit: beyond U+FFFF it would build the
  // glyph of the code cut to 16 bits (U+10041 as 'A').
  WORD index = 0;
  if (code > 0xFFFF)
    return FindGlyphIndex(_hdc, code, index) &&
           MakeIndexedGlyph(_hdc, index, list, deviation, extrusion, metrics.gmfCellIncX);
  return wglUseFontOutlinesW(_hdc, code, 1, list, deviation, extrusion, WGL_FONT_POLYGONS,
                             &metrics);
}

bool ZAzozeru::SelectFont() {
  if (_font) return true;
  _font = MakeFont(_hdc, _face);
  if (!_font) return false;
  _previousFont = SelectObject(_hdc, _font);
  return true;
}

void ZAzozeru::ReleaseFont() {
  if (_font) {
    SelectObject(_hdc, _previousFont);
    DeleteObject(_font);
    _font = nullptr;
  }
  for (HFONT font : _fallbackFonts) DeleteObject(font);
  _fallbackFonts.clear();
}

void ZAzozeru::DropGlyphs() {
  for (const auto& glyph : _glyphs.All())
    if (glyph.second.list) glDeleteLists(glyph.second.list, 1);
  _glyphs.Clear();
}

bool ZAzozeru::DrawBigSphere() {
  const SceneSettings& s = Settings();
  int n = sphere_detail::BigSlices(s.bigDensity);
  _bigQuadric.DrawStyle(sphere_detail::BigStyle(s.bigGestalt));
  gluSphere(_bigQuadric.get(), 1.0, n, n);
  return true;
}

bool ZAzozeru::DrawSmallSphere() {
  const SceneSettings& s = Settings();
  int n = sphere_detail::SmallSlices(s.smallDensity);
  if (sphere_detail::SmallHasCore(s.smallGestalt)) {
    // A solid black core hides the far side of the points or lines.
    glPushAttrib(GL_CURRENT_BIT | GL_LIGHTING_BIT);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    _smallQuadric.DrawStyle(3);
    gluSphere(_smallQuadric.get(), 0.142, n, n);
    glPopAttrib();
  }
  _smallQuadric.DrawStyle(sphere_detail::SmallStyle(s.smallGestalt));
  gluSphere(_smallQuadric.get(), 0.15, n, n);
  return true;
}

bool ZAzozeru::SetProjection(double aspect) {
  gluPerspective(40.0, aspect, 1.0, 7.0);
  return true;
}

void ZAzozeru::SetView(const ViewRotation& view) {
  _viewLock.Lock();
  _view = view;
  _viewLock.Unlock();
}

ViewRotation ZAzozeru::View() const {
  _viewLock.Lock();
  const ViewRotation view = _view;
  _viewLock.Unlock();
  return view;
}

bool ZAzozeru::SetupView() {
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -3.5f);
  const ViewRotation view = View();
  if (view.angle != 0.0f) glRotatef(view.angle, view.x, view.y, view.z);
  return true;
}

void ZAzozeru::Draw() {
  const SceneSettings& s = Settings();
  const double p = _motion.Phase();
  bool pushed = false;
  try {
    if (s.smallShow) {
      double a = p * 6.283185307 * 0.05;
      double x = 0.8 * std::sin(a), y = 0.33 * std::sin(2.0 * a);
      glPushMatrix();
      pushed = true;
      glRotatef(Degrees(2.0 * p), 0.0f, 1.0f, 0.0f);
      glRotatef(Degrees(0.5 * p), 1.0f, 0.0f, 0.0f);
      glRotatef(Degrees(p), 0.0f, 0.0f, 1.0f);
      glTranslatef(static_cast<GLfloat>(x), static_cast<GLfloat>(y), 0.0f);
      glRotatef(Degrees(20.0 * p), 1.0f, 0.0f, 0.0f);
      if (_smallCycler) _smallCycler->Draw();
      glPopMatrix();
      pushed = false;
    }
    if (s.bigShow) {
      glPushMatrix();
      pushed = true;
      glRotatef(Degrees(2.5 * p), 0.0f, 0.0f, 1.0f);
      glRotatef(Degrees(30.0 * p), 1.0f, 0.0f, 0.0f);
      if (_bigCycler) _bigCycler->Draw();
      glPopMatrix();
      pushed = false;
    }
    if (s.textShow) DrawRing();
  } catch (...) {
    // The objects drawn before the failure are still worth the frame.
    glx::log_failure("ZAzozeru::Draw");
    if (pushed) glPopMatrix();
  }
}

// The spheres never wait for the text: a ring whose glyphs are still being
// made shows a frame or a few later, and one that gets none goes.
void ZAzozeru::DrawRing() {
  if (!_textRing) return;
  const TextRing::State state = _textRing->Prepare();
  if (state == TextRing::State::Failed) {
    delete _textRing;
    _textRing = nullptr;
    return;
  }
  if (state != TextRing::State::Ready) return;
  glPushMatrix();
  try {
    glRotatef(5.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(Degrees(text_format::RingTurn(Settings().textSpeed, _motion.Phase())), 0.0f, 1.0f,
              0.0f);
    _textRing->Draw();
  } catch (...) {
    glPopMatrix();
    throw;
  }
  glPopMatrix();
}

// Continuous motion follows the time; the colours walk their sequences a
// whole step at a time.
void ZAzozeru::Advance(double ticks) {
  const SceneSettings& s = Settings();
  for (int steps = _motion.Advance(ticks); steps > 0; --steps) {
    if (s.bigShow && s.bigColor && _bigCycler) _bigCycler->Advance();
    if (s.smallShow && s.smallColor && _smallCycler) _smallCycler->Advance();
    if (s.textShow && s.textColor && _textRing) _textRing->Advance();
  }
}

// Re-applies the rendering state of InitGL and redraws the geometry once.
void ZAzozeru::ApplySettings() {
  const SceneSettings& s = Settings();
  Enable(GL_BLEND, s.blend);
  Enable(GL_ALPHA_TEST, s.alpha);
  Enable(GL_DITHER, s.dither);
  ApplyLighting();
  ApplySmoothing();
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_CULL_FACE);
  DrawBigSphere();
  DrawSmallSphere();
  SetUpText();
}
