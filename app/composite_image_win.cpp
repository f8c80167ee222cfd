#include "app/composite_image_win.h"

#include "gui/error.h"

namespace app {

SIZE CompositeImageSize(const controls::TGridMetrics& metrics, int grid_width, int icon_count) {
  const controls::TGridLayout layout = controls::ComputeLayout(metrics, grid_width, icon_count);
  return SIZE{metrics.CellWidth() * layout.Columns + 2, layout.Height};
}

void DrawCompositeImage(gui::TBitmap& bitmap, const controls::TIconSet& icons, int grid_width, bool gray_scale) {
  if (icons.IconCount() == 0) throw gui::Error(L"There are no icons to save as one image; nothing was written.");
  const controls::TGridMetrics metrics;
  const controls::TGridLayout layout = controls::ComputeLayout(metrics, grid_width, icons.IconCount());
  const SIZE size = CompositeImageSize(metrics, grid_width, icons.IconCount());
  if (!bitmap.SetSize(size.cx, size.cy, gray_scale ? gui::PixelFormat::pf24bit : gui::PixelFormat::pfDevice))
    throw gui::Error(L"A picture of " + std::to_wstring(size.cx) + L" x " + std::to_wstring(size.cy) +
                     L" pixels could not be made; nothing was written.");
  for (int i = 0; i < icons.IconCount(); ++i) {
    const controls::TGridPoint at = controls::IconOrigin(metrics, layout.Columns, i);
    icons.Icons(i).Draw(bitmap.Canvas(), at.X, at.Y);
  }
}

}  // namespace app
