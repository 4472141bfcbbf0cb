// The text ring's glyphs by code point: each built once, when a text first
// needs it. No windows here; the scene builds the display lists.
#pragma once
#include <map>
#include <string>

class GlyphCache {
 public:
  struct Glyph {
    unsigned list;  // the display list that draws it and moves on by its advance; 0: no face has it
    float advance;  // in ems
  };

  const Glyph* Find(char32_t code) const;
  void Add(char32_t code, Glyph glyph);
  // The code points of text without a glyph yet, each once, in the order of
  // their first appearance.
  std::u32string Missing(const std::u32string& text) const;
  // Forgets every glyph; the caller deletes their lists first.
  void Clear() { _glyphs.clear(); }
  const std::map<char32_t, Glyph>& All() const { return _glyphs; }

 private:
  std::map<char32_t, Glyph> _glyphs;
};
