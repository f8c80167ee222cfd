#include "imaging/icon_win.h"

#include <cstring>

namespace imaging {

SIZE IconSize(HICON icon) {
  SIZE size{0, 0};
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return size;
  util::UniqueBitmap mask(info.hbmMask);
  util::UniqueBitmap color(info.hbmColor);
  BITMAP bm{};
  if (color && GetObjectA(color.get(), sizeof bm, &bm)) {
    size = {bm.bmWidth, bm.bmHeight};
  } else if (mask && GetObjectA(mask.get(), sizeof bm, &bm)) {
    // A monochrome icon keeps image and mask one above the other.
    size = {bm.bmWidth, bm.bmHeight / 2};
  }
  return size;
}

HICON CreateIconFromImages(const Image32& color, const MaskImage& mask) {
  if (color.width <= 0 || color.height <= 0 || mask.width != color.width || mask.height != color.height) return nullptr;
  BITMAPINFO color_info{};
  color_info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  color_info.bmiHeader.biWidth = color.width;
  color_info.bmiHeader.biHeight = color.height;  // bottom-up, as the pixels are kept
  color_info.bmiHeader.biPlanes = 1;
  color_info.bmiHeader.biBitCount = 32;
  color_info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  util::UniqueBitmap color_bitmap(CreateDIBSection(nullptr, &color_info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!color_bitmap || !bits) return nullptr;
  std::memcpy(bits, color.pixels.data(), color.pixels.size() * sizeof(Pixel32));

  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } mask_info{};
  mask_info.header = color_info.bmiHeader;
  mask_info.header.biBitCount = 1;
  mask_info.colors[1] = RGBQUAD{255, 255, 255, 0};
  util::UniqueBitmap mask_bitmap(CreateBitmap(mask.width, mask.height, 1, 1, nullptr));
  util::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!mask_bitmap || !dc ||
      SetDIBits(dc.get(), mask_bitmap.get(), 0, static_cast<UINT>(mask.height), mask.bits.data(),
                reinterpret_cast<BITMAPINFO*>(&mask_info), DIB_RGB_COLORS) != mask.height)
    return nullptr;

  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask_bitmap.get();
  info.hbmColor = color_bitmap.get();
  // The icon takes copies; the two bitmaps go when this returns.
  return CreateIconIndirect(&info);
}

TIcon::TIcon(HICON handle) : handle_(handle) {
  SIZE size = IconSize(handle);
  width_ = size.cx;
  height_ = size.cy;
}

void TIcon::Draw(HDC dc, int x, int y) const {
  if (handle_) DrawIconEx(dc, x, y, handle_.get(), width_, height_, 0, nullptr, DI_NORMAL);
}

}  // namespace imaging
