#include "scene/text_ring.h"

#include "scene/scene_options.h"
#include "scene/text_format.h"

namespace {

// Glyphs built per frame at most: a text of many different characters shows
// a few frames later, the spheres move from the first frame on.
constexpr int kGlyphsPerFrame = 32;

// A clock shows every digit within seconds: built together with its first
// text, not one new digit per second.
const char32_t kDigits[] = U"0123456789";

}  // namespace

TextRing::TextRing(GLuint list_, bool useList_, GlyphCache& glyphs, GlyphBuilder build,
                   const SceneSettings& s)
    : list(list_), useList(useList_), textColor(s.textColor), _glyphs(glyphs), _build(build) {
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
    SetShown(text_format::Drawn(pattern));
  }
}

void TextRing::SetShown(const std::string& text) {
  shown = text;
  codes = text_format::CodePoints(shown);
  _ready = false;
}

void TextRing::Reformat(bool force) {
  std::time_t now = text_format::Now();
  if (!force && now == lastTime) return;
  lastTime = now;
  SetShown(text_format::Drawn(text_format::Format(pattern, now)));
}

TextRing::State TextRing::Prepare() {
  if (timed) Reformat(false);
  if (_ready) return State::Ready;
  const std::u32string missing = _glyphs.Missing(timed ? codes + kDigits : codes);
  for (std::size_t i = 0; i < missing.size(); ++i) {
    if (i == kGlyphsPerFrame) return State::Pending;
    if (!_build(missing[i])) return State::Failed;
  }
  // A face that gave way to another drops what the first one built.
  if (!_glyphs.Missing(codes).empty()) return State::Pending;
  angles = text_format::RingAngles(codes, _glyphs, scale, radius);
  _ready = true;
  if (useList && !_compiled) {
    glNewList(list, GL_COMPILE);
    DrawGlyphs();
    glEndList();
    _compiled = true;
  }
  return State::Ready;
}

void TextRing::DrawGlyphs() {
  glScalef(scale, scale, scale);
  for (std::size_t i = 0; i < codes.size(); ++i) {
    glRotatef(angles[i], 0.0f, 1.0f, 0.0f);
    const GlyphCache::Glyph* glyph = _glyphs.Find(codes[i]);
    if (glyph && glyph->list) glCallList(glyph->list);
  }
}

void TextRing::Draw() {
  if (!_ready) return;
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
