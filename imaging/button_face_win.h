// Painting a button face with GDI: the plan of button_face.h carried out on
// a device context.
#pragma once

#include <windows.h>

#include "imaging/button_face.h"

namespace imaging {

// Paints the whole face of a button onto canvas, in the canvas's font.
// window is the one whose theme data gives the themed look (used only while
// visual styles are in use); glyph, which may be null, is a strip of
// params.glyph_count equal frames side by side and must not be selected
// into a device context. Every GDI object made here is freed before the
// return, and the canvas gets back its own pen, brush, text colour and
// background mode.
void DrawButtonFace(HDC canvas, HWND window, HBITMAP glyph, const ButtonFaceParams& params);

}  // namespace imaging
