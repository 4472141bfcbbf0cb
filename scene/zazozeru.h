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

#include "framework/sync.h"
#include "glx/animator.h"
#include "glx/quadric.h"
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
  void Advance() override;
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

  // The glyph lists and the ring; false when no face gave outlines (the scene
  // then runs without text) or a stop was requested.
  bool BuildText();
  // The 224 glyph lists of a face, in steps that give up on a stop request.
  virtual bool BuildGlyphs(const std::string& face);
  void ApplyLighting();
  void ApplySmoothing();
  bool DrawBigSphere();
  bool DrawSmallSphere();

  TextRing* _textRing = nullptr;
  ColorCycler* _bigCycler = nullptr;
  ColorCycler* _smallCycler = nullptr;
  // Kept wider than float so that 0.1 per frame still moves it after months.
  double _phase = 0.0;
  GLuint _bigList = 0;
  GLuint _smallList = 0;
  GLuint _glyphBase = 0;
  GLuint _textList = 0;
  GLYPHMETRICSFLOAT _glyphMetrics[224] = {};
  glx::basic_quadric _bigQuadric;
  glx::basic_quadric _smallQuadric;

 private:
  mutable CCriticalSection _viewLock;
  ViewRotation _view;  // under _viewLock
};
