// A line of outline glyphs on a circle about the y-axis; a timed pattern is
// reformatted with the local time at most once per second.
#pragma once
#include <windows.h>
#include <GL/gl.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "scene/color_channel.h"
#include "scene/glyph_cache.h"
#include "scene/scene_settings.h"

class TextRing {
 public:
  // Builds the glyph of one code point into the cache; false when the font
  // gives no outlines.
  using GlyphBuilder = std::function<bool(char32_t code)>;

  // Takes text, textSize and textColor from settings; compiles the ring into
  // list, once its glyphs are there, when useList is set and the text is not
  // timed. glyphs: the scene's, shared with the rings it makes after this one.
  TextRing(GLuint list, bool useList, GlyphCache& glyphs, GlyphBuilder build,
           const SceneSettings& settings);
  TextRing(const TextRing&) = delete;
  TextRing& operator=(const TextRing&) = delete;

  enum class State { Pending, Ready, Failed };
  // Brings the ring up to the current second and builds the glyphs it lacks,
  // a few per call so that the spheres never wait long for the text: Ready
  // when it can be drawn, Failed when no glyph can be made.
  State Prepare();
  // Draws the ring as last prepared; nothing before it was ready.
  void Draw();
  // Advances red, green and blue; alpha stays 0.5.
  void Advance();

  GLuint list;
  bool useList;
  ColorChannel channels[4];
  std::string shown;
  std::u32string codes;  // what is drawn of shown, by code point
  std::string pattern;
  std::vector<float> angles;  // one per code, once its glyphs are there
  float scale;
  float radius;
  bool timed;
  std::time_t lastTime;
  bool textColor;  // colour cycling and translucency

 private:
  void Reformat(bool force);
  void SetShown(const std::string& text);
  void DrawGlyphs();

  GlyphCache& _glyphs;
  GlyphBuilder _build;
  bool _ready = false;     // angles (and the list) belong to codes
  bool _compiled = false;  // list holds the ring
};
