#include "scene/color_cycler.h"

#include "scene/zazozeru.h"

namespace {

bool ColorSetting(CyclerKind kind, const DrawingRecord* drawing) {
  if (!drawing || !drawing->owner) return false;
  const SceneSettings& s = drawing->owner->Settings();
  return kind == CyclerKind::SmallSphere ? s.smallColor : s.bigColor;
}

}  // namespace

ColorCycler::ColorCycler(CyclerKind kind, DrawingRecord* drawing_)
    : drawing(drawing_), _colorOn(ColorSetting(kind, drawing_)) {
  SetupChannels(kind, channels);
}

ColorCycler::~ColorCycler() { delete drawing; }

void ColorCycler::Advance() {
  for (int i = 0; i < 3; ++i) channels[i].Advance();
}

void ColorCycler::Draw() {
  if (_colorOn)
    glColor4f(channels[0].value.get(), channels[1].value.get(), channels[2].value.get(), 1.0f);
  else
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  if (!drawing) return;
  if (drawing->useList)
    glCallList(drawing->list);
  else if (drawing->owner && drawing->routine)
    (drawing->owner->*drawing->routine)();
}
