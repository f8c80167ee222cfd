// The composite image: every icon of the grid drawn as one picture, in the
// grid's current layout, on white, without selection, numbers or borders.
#pragma once

#include "controls/zu_image_box_win.h"
#include "imaging/bitmap_win.h"
#include "imaging/pixels.h"

namespace app {

// Makes the bitmap (24 bits when grey is wanted), CellWidth x Columns + 2
// wide and as high as the grid control, and lets the grid draw all its
// icons onto it. Raises gui::Error for an empty grid or when the bitmap
// cannot be made.
void DrawCompositeImage(imaging::TBitmap& bitmap, const controls::TZuImageBox& grid, bool gray_scale);

// The same picture with every icon's own pixels and alpha on a transparent
// background, for PNG: each icon at its place in the grid, at its own size
// and cut to its cell, grey when asked. Raises gui::Error for an empty grid.
imaging::Image32 CompositeImageWithAlpha(const controls::TZuImageBox& grid, bool gray_scale);

}  // namespace app
