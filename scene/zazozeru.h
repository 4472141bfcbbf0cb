// The Verivir scene: a big sphere spinning about two axes, a small sphere on a
// tumbling figure eight, and a ring of outline text, each cycling its colour.
#pragma once
#include <windows.h>
#include <GL/gl.h>

#include <atomic>

#include "glx/animator.h"
#include "glx/quadric.h"
#include "scene/scene_settings.h"

class ColorCycler;
class TextRing;

// Posted to the scene's window when the scene has finished preparing itself
// (built or failed): from then on input counts.
#define WM_SCENEREADY (WM_APP + 1)

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

  // True while InitGL builds the scene; the saver window ignores input then.
  std::atomic<bool> _preparing{false};
  // View rotation, written by the user-interface thread between frames.
  float _viewAngle = 0.0f;
  float _viewAxisX = 0.0f, _viewAxisY = 0.0f, _viewAxisZ = 0.0f;

 protected:
  // A copy taken at construction: the render thread never reads a record that
  // another thread owns, and the record cannot change while the scene runs.
  const SceneSettings _settings;

  bool BuildText();
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
};
