// The composite image: every icon of the grid drawn as one picture, in the
// grid's layout, on white, without selection, numbers or borders.
#pragma once

#include <windows.h>

#include "controls/icon_set_win.h"
#include "controls/image_box_layout.h"
#include "gui/bitmap.h"

namespace app {

// Width CellWidth x Columns + 2 and the grid's height for the icons laid
// out in a grid of grid_width pixels.
SIZE CompositeImageSize(const controls::TGridMetrics& metrics, int grid_width, int icon_count);

// Makes the bitmap (24 bits when grey is wanted) and draws every icon at its
// place in the grid. Raises gui::Error for an empty set or when the bitmap
// cannot be made.
void DrawCompositeImage(gui::TBitmap& bitmap, const controls::TIconSet& icons, int grid_width, bool gray_scale);

}  // namespace app
