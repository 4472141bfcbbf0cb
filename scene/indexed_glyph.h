// Glyphs the outline call cannot name: it takes a character as one UTF-16
// unit, so one beyond U+FFFF (a surrogate pair) is found by its glyph index
// and built from its outline here, the way that call builds the others.
#pragma once
#include <windows.h>
#include <GL/gl.h>

// The glyph index of `code` in the font selected into hdc; false when the
// font lacks it.
bool FindGlyphIndex(HDC hdc, char32_t code, WORD& index);

// Compiles the glyph into `list` in ems, as wglUseFontOutlines does: the
// face at z = 0 towards +z, extruded by `extrusion` towards -z, and a move on
// by its advance, which `advance` receives.
bool MakeIndexedGlyph(HDC hdc, WORD index, GLuint list, float deviation, float extrusion,
                      float& advance);
