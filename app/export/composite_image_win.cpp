#include "app/export/composite_image_win.h"

#include <algorithm>

#include "controls/image_box_layout.h"
#include "gui/error.h"
#include "imaging/icon_alpha.h"
#include "imaging/icon_png_win.h"

namespace app {

namespace {

struct TCompositeSize {
  int Width;
  int Height;
};

// An empty grid has no picture (DrawAllIcons needs at least one icon).
TCompositeSize CompositeSize(const controls::TZuImageBox& grid) {
  if (grid.IconCount() == 0) throw gui::Error(L"There are no icons to save as one image; nothing was written.");
  return {grid.CellWidth() * grid.Columns() + 2, grid.Height()};
}

}  // namespace

void DrawCompositeImage(imaging::TBitmap& bitmap, const controls::TZuImageBox& grid, bool gray_scale) {
  const auto [width, height] = CompositeSize(grid);
  if (!bitmap.SetSize(width, height, gray_scale ? imaging::PixelFormat::pf24bit : imaging::PixelFormat::pfDevice))
    throw gui::Error(L"A picture of " + std::to_wstring(width) + L" x " + std::to_wstring(height) +
                     L" pixels could not be made; nothing was written.");
  grid.DrawAllIcons(bitmap.Canvas());
}

imaging::Image32 CompositeImageWithAlpha(const controls::TZuImageBox& grid, bool gray_scale) {
  const auto [width, height] = CompositeSize(grid);
  imaging::Image32 canvas(width, height, imaging::MakePixel(0, 0, 0, 0));
  const controls::TGridMetrics& metrics = grid.Metrics();
  imaging::Image32 icon;
  grid.IconSet().VisitIcons(0, grid.IconCount(), [&](int index, const imaging::TIcon& entry) {
    // An icon the shell gave no picture for, or whose bitmaps cannot be
    // read, leaves its cell empty, as it does on screen.
    if (entry.Empty() || !imaging::ReadIconWithAlpha(entry.Handle(), gray_scale, &icon)) return;
    const controls::TGridPoint origin = controls::IconOrigin(metrics, grid.Columns(), index);
    imaging::Image32 cell(std::min(icon.width, metrics.ItemWidth()), std::min(icon.height, metrics.ItemHeight()));
    imaging::PlaceImage(cell, icon, 0, 0);
    imaging::PlaceImage(canvas, cell, origin.X, origin.Y);
  });
  return canvas;
}

}  // namespace app
