#include "app/composite_image_win.h"

#include "gui/error.h"

namespace app {

void DrawCompositeImage(imaging::TBitmap& bitmap, const controls::TZuImageBox& grid, bool gray_scale) {
  // DrawAllIcons needs at least one icon; an empty grid has no picture.
  if (grid.IconCount() == 0) throw gui::Error(L"There are no icons to save as one image; nothing was written.");
  const int width = grid.CellWidth() * grid.Columns() + 2;
  const int height = grid.Height();
  if (!bitmap.SetSize(width, height, gray_scale ? imaging::PixelFormat::pf24bit : imaging::PixelFormat::pfDevice))
    throw gui::Error(L"A picture of " + std::to_wstring(width) + L" x " + std::to_wstring(height) +
                     L" pixels could not be made; nothing was written.");
  grid.DrawAllIcons(bitmap.Canvas());
}

}  // namespace app
