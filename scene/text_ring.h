// A line of outline glyphs on a circle about the y-axis; a timed pattern is
// reformatted with the local time at most once per second.
#pragma once
#include <windows.h>
#include <GL/gl.h>

#include <ctime>
#include <string>
#include <vector>

#include "scene/color_channel.h"
#include "scene/scene_settings.h"

class TextRing {
 public:
  // Takes text, textSize and textColor from settings; compiles the ring into
  // list when useList is set and the text is not timed. metrics: characters 32
  // to 255, not owned.
  TextRing(GLuint list, GLuint glyphBase, bool useList, const GLYPHMETRICSFLOAT* metrics,
           const SceneSettings& settings);
  TextRing(const TextRing&) = delete;
  TextRing& operator=(const TextRing&) = delete;

  void Draw();
  // Advances red, green and blue; alpha stays 0.5.
  void Advance();

  GLuint list;
  GLuint glyphBase;
  bool useList;
  ColorChannel channels[4];
  std::string shown;
  std::string pattern;
  std::vector<float> angles;
  const GLYPHMETRICSFLOAT* metrics;
  float scale;
  float radius;
  bool timed;
  std::time_t lastTime;
  bool textColor;  // colour cycling and translucency

 private:
  void Reformat(bool force);
  void ComputeAngles();
  void DrawGlyphs();
};
