// Picks a window's pixel format without describing every format the driver
// lists when one of the first matches the request exactly.
#pragma once
#include <windows.h>

namespace glx {

// True when `have` gives exactly what `want` asks for in everything
// ChoosePixelFormat weighs, and can draw OpenGL into a window.
bool matches_exactly(const PIXELFORMATDESCRIPTOR& want, const PIXELFORMATDESCRIPTOR& have);

// The first format that matches exactly; otherwise ChoosePixelFormat's pick.
// 0 when there is none.
int choose_pixel_format(HDC hdc, const PIXELFORMATDESCRIPTOR& want);

}  // namespace glx
