#include "gui/icon.h"

namespace gui {

SIZE IconSize(HICON icon) {
  SIZE size{0, 0};
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return size;
  UniqueBitmap mask(info.hbmMask);
  UniqueBitmap color(info.hbmColor);
  BITMAP bm{};
  if (color && GetObjectA(color.get(), sizeof bm, &bm)) {
    size = {bm.bmWidth, bm.bmHeight};
  } else if (mask && GetObjectA(mask.get(), sizeof bm, &bm)) {
    // A monochrome icon keeps image and mask one above the other.
    size = {bm.bmWidth, bm.bmHeight / 2};
  }
  return size;
}

TIcon::TIcon(HICON handle) : handle_(handle) {
  SIZE size = IconSize(handle);
  width_ = size.cx;
  height_ = size.cy;
}

void TIcon::Draw(HDC dc, int x, int y) const {
  if (handle_) DrawIconEx(dc, x, y, handle_.get(), width_, height_, 0, nullptr, DI_NORMAL);
}

}  // namespace gui
