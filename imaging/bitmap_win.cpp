#include "imaging/bitmap_win.h"

namespace imaging {

int ScreenBitsPerPixel() {
  util::WindowDc screen(nullptr);
  return screen ? GetDeviceCaps(screen.get(), BITSPIXEL) : 0;
}

TBitmap::TBitmap(int width, int height, PixelFormat format) { SetSize(width, height, format); }

TBitmap::~TBitmap() { Release(); }

void TBitmap::Release() {
  if (dc_ && old_bitmap_) SelectObject(dc_.get(), old_bitmap_);
  old_bitmap_ = nullptr;
  dc_.reset();
  bitmap_.reset();
  bits_ = nullptr;
  width_ = height_ = bpp_ = 0;
}

bool TBitmap::SetSize(int width, int height, PixelFormat format) {
  Release();
  if (width <= 0 || height <= 0) return false;
  int bpp = 24;
  if (format == PixelFormat::pf32bit || (format == PixelFormat::pfDevice && ScreenBitsPerPixel() >= 32)) bpp = 32;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
  info.bmiHeader.biCompression = BI_RGB;
  util::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dc) return false;
  void* bits = nullptr;
  util::UniqueBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return false;
  HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
  if (!old || old == HGDI_ERROR) return false;
  dc_ = std::move(dc);
  bitmap_ = std::move(bitmap);
  old_bitmap_ = old;
  bits_ = bits;
  width_ = width;
  height_ = height;
  bpp_ = bpp;
  format_ = format;
  Fill(RGB(255, 255, 255));
  return true;
}

void TBitmap::Fill(COLORREF color) {
  if (!dc_) return;
  RECT all{0, 0, width_, height_};
  util::UniqueBrush brush(CreateSolidBrush(color));
  if (brush) FillRect(dc_.get(), &all, brush.get());
}

BitmapView TBitmap::View() const {
  BitmapView view;
  if (!bitmap_) return view;
  GdiFlush();
  view.width = width_;
  view.height = height_;
  view.bits_per_pixel = bpp_;
  view.stride = static_cast<size_t>(imaging::DibStride(width_, bpp_));
  view.bits = static_cast<uint8_t*>(bits_);
  return view;
}

Pixel32 TBitmap::PixelAt(int x, int y) const {
  BitmapView view = View();
  if (!view.Valid() || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* p = view.Row(height_ - 1 - y) + static_cast<size_t>(x) * (bpp_ / 8);
  return imaging::MakePixel(p[2], p[1], p[0], bpp_ == 32 ? p[3] : 0);
}

}  // namespace imaging
