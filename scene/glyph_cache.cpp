#include "scene/glyph_cache.h"

const GlyphCache::Glyph* GlyphCache::Find(char32_t code) const {
  auto it = _glyphs.find(code);
  return it == _glyphs.end() ? nullptr : &it->second;
}

void GlyphCache::Add(char32_t code, Glyph glyph) { _glyphs[code] = glyph; }

std::u32string GlyphCache::Missing(const std::u32string& text) const {
  std::u32string missing;
  for (char32_t c : text)
    if (!Find(c) && missing.find(c) == std::u32string::npos) missing += c;
  return missing;
}
