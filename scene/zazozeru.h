// The Verivir scene: a big sphere spinning about two axes, a small sphere on a
// tumbling figure eight, and a ring of outline text, each cycling its colour.
//
// Failures in the scene follow the engine's (glx/animator.h): a hook that
// fails returns false or draws what it can, logging what it caught; the
// window-free rules (options, text, spheres, colour channels) return values
// and bring a stored number into range instead of failing.
#pragma once
#include <windows.h>
#include <GL/gl.h>

#include <string>
#include <vector>

#include "framework/sync.h"
#include "glx/animator.h"
#include "glx/quadric.h"
#include "scene/glyph_cache.h"
#include "scene/scene_motion.h"
#include "scene/scene_settings.h"

class ColorCycler;
class TextRing;

// The rotation the whole scene is seen with: angle in degrees about an axis.
struct ViewRotation {
  float angle = 0.0f;
  float x = 0.0f, y = 0.0f, z = 0.0f;
};

class ZAzozeru : public glx::CAnimator {
  DECLARE_DYNCREATE(ZAzozeru)
 public:
  // The initial settings; the program hands every scene a copy of its own.
  ZAzozeru();
  explicit ZAzozeru(const SceneSettings& settings);
  ~ZAzozeru() override;

  const SceneSettings& Settings() const { return _settings; }

  void ApplySettings() override;
  bool InitGL() override;
  bool ExitGL() override;
  int SetupPixelFormat(DWORD flags, BYTE colorBits, BYTE depthBits) override;
  bool SetProjection(double aspect) override;
  bool SetupView() override;
  void Advance(double ticks) override;
  void Draw() override;

  // The view, set by the user-interface thread and applied by the render
  // thread from its next frame; handed over whole, never half-written.
  void SetView(const ViewRotation& view);
  ViewRotation View() const;

  // The face used when the chosen one has no outlines.
  static const char* DefaultFace() { return "Times New Roman"; }

 protected:
  // A copy taken at construction: the render thread never reads a record that
  // another thread owns, and the record cannot change while the scene runs.
  const SceneSettings _settings;

  // Chooses the face and makes the ring; its glyphs come with the first
  // frames that draw it, each when the text first needs it.
  void SetUpText();
  // Builds one glyph into _glyphs with the chosen face, or with the default
  // face once the chosen one gives none; false when neither gives any (the
  // scene then runs without text).
  bool BuildGlyph(char32_t code);
  // A character the chosen face lacks, from the first fallback face that has
  // it; from none, it is drawn as nothing.
  void BuildFallbackGlyph(char32_t code);
  // A display list of its own for the character, with the selected font;
  // false (and no list) when the font gives none.
  bool MakeGlyphList(char32_t code, GlyphCache::Glyph& glyph);
  // The outline of one character as a display list, with the selected font.
  virtual bool MakeGlyph(char32_t code, GLuint list, GLYPHMETRICSFLOAT& metrics);
  // The font of _face, made and selected on first use and kept selected for
  // the glyphs still to come.
  bool SelectFont();
  void ReleaseFont();
  void DropGlyphs();
  void DrawRing();
  void ApplyLighting();
  void ApplySmoothing();
  bool DrawBigSphere();
  bool DrawSmallSphere();

  TextRing* _textRing = nullptr;
  ColorCycler* _bigCycler = nullptr;
  ColorCycler* _smallCycler = nullptr;
  SceneMotion _motion;
  GLuint _bigList = 0;
  GLuint _smallList = 0;
  GLuint _textList = 0;
  GlyphCache _glyphs;
  std::string _face;  // the face the glyphs are made from
  HFONT _font = nullptr;
  HGDIOBJ _previousFont = nullptr;
  std::vector<HFONT> _fallbackFonts;  // installed fallback faces, made on first need
  glx::basic_quadric _bigQuadric;
  glx::basic_quadric _smallQuadric;

 private:
  mutable CCriticalSection _viewLock;
  ViewRotation _view;  // under _viewLock
};
