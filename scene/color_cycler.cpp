#include "scene/color_cycler.h"

#include "saver/saver_app.h"
#include "scene/zazozeru.h"

ColorCycler::ColorCycler(CyclerKind kind, DrawingRecord* drawing_)
    : drawing(drawing_), _kind(kind) {
  SetupChannels(kind, channels);
}

ColorCycler::~ColorCycler() { delete drawing; }

void ColorCycler::Advance() {
  for (int i = 0; i < 3; ++i) channels[i].Advance();
}

bool ColorCycler::ColorOn() const {
  const SceneSettings& s = SaverApp()->settings;
  return _kind == CyclerKind::SmallSphere ? s.smallColor : s.bigColor;
}

void ColorCycler::Draw() {
  if (ColorOn())
    glColor4f(channels[0].value.get(), channels[1].value.get(), channels[2].value.get(), 1.0f);
  else
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  if (!drawing) return;
  if (drawing->useList)
    glCallList(drawing->list);
  else if (drawing->owner && drawing->routine)
    (drawing->owner->*drawing->routine)();
}
