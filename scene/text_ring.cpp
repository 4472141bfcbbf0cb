#include "scene/text_ring.h"

#include "scene/scene_options.h"
#include "scene/text_format.h"

TextRing::TextRing(GLuint list_, GLuint glyphBase_, bool useList_,
                   const GLYPHMETRICSFLOAT* metrics_, const SceneSettings& s)
    : list(list_),
      glyphBase(glyphBase_),
      useList(useList_),
      metrics(metrics_),
      textColor(s.textColor) {
  SetupChannels(CyclerKind::TextRing, channels);
  radius = 1.2f;
  scale =
      static_cast<float>(scene_options::Clamped(&SceneSettings::textSize, s.textSize) + 1) * 0.05f;
  lastTime = text_format::Now();
  pattern = s.text;
  timed = text_format::IsTimed(pattern);
  if (timed) {
    Reformat(true);
    useList = false;  // the geometry changes every second
  } else {
    shown = text_format::Drawn(pattern);
    ComputeAngles();
  }
  if (useList) {
    glNewList(list, GL_COMPILE);
    DrawGlyphs();
    glEndList();
  }
}

void TextRing::Reformat(bool force) {
  std::time_t now = text_format::Now();
  if (!force && now == lastTime) return;
  lastTime = now;
  shown = text_format::Drawn(text_format::Format(pattern, now));
  ComputeAngles();
}

void TextRing::ComputeAngles() {
  float advance[text_format::kGlyphCount];
  for (int i = 0; i < text_format::kGlyphCount; ++i) advance[i] = metrics[i].gmfCellIncX;
  angles = text_format::RingAngles(shown, advance, scale, radius);
}

void TextRing::DrawGlyphs() {
  glScalef(scale, scale, scale);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    unsigned code = static_cast<unsigned char>(shown[i]);
    glRotatef(angles[i], 0.0f, 1.0f, 0.0f);
    glCallList(glyphBase + code - text_format::kFirstGlyph);
  }
}

void TextRing::Draw() {
  if (timed) Reformat(false);
  glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
  glTranslatef(0.0f, 0.0f, radius);
  glDisable(GL_COLOR_MATERIAL);
  GLfloat colour[4];
  if (textColor) {
    colour[0] = channels[0].value.get() * scale;
    colour[1] = channels[1].value.get() * scale;
    colour[2] = channels[2].value.get() * scale;
    colour[3] = channels[3].value.get();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  } else {
    colour[0] = 0.8f * scale;
    colour[1] = 0.7f * scale;
    colour[2] = 0.4f * scale;
    colour[3] = scale;
  }
  glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, colour);
  if (useList)
    glCallList(list);
  else
    DrawGlyphs();
  glPopAttrib();
}

void TextRing::Advance() {
  for (int i = 0; i < 3; ++i) channels[i].Advance();
}
