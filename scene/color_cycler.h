// The colour of one sphere, cycling per frame, and the drawing of its geometry.
#pragma once
#include <windows.h>
#include <GL/gl.h>

#include "scene/color_channel.h"

class ZAzozeru;

// How a sphere is drawn: by its compiled list, or by the scene's routine.
struct DrawingRecord {
  GLuint list = 0;
  bool (ZAzozeru::*routine)() = nullptr;
  ZAzozeru* owner = nullptr;
  bool useList = false;
};

class ColorCycler {
 public:
  // Takes over drawing; kind selects the channel set-up and the colour setting.
  ColorCycler(CyclerKind kind, DrawingRecord* drawing);
  ~ColorCycler();
  ColorCycler(const ColorCycler&) = delete;
  ColorCycler& operator=(const ColorCycler&) = delete;

  // Advances red, green and blue; alpha is never advanced.
  void Advance();
  // Sets the colour (white when cycling is off) and draws the geometry.
  void Draw();

  ColorChannel channels[4];
  DrawingRecord* drawing;  // owned

 private:
  bool _colorOn;  // the kind's colour setting, from the drawing's scene
};
