// The bitmap object: a DIB section selected into its own memory DC.
//
// Exports and the grid draw icons onto it through Canvas(); the encoders
// read its rows through View(). The pixel format is 24 or 32 bits per pixel,
// or the display's format (32 bits on displays of 32 bits, 24 otherwise:
// the encoders take only these two). Rows are bottom-up.
#pragma once

#include <windows.h>

#include "imaging/pixels.h"
#include "util/handles_win.h"

namespace imaging {

enum PixelFormat { pfDevice, pf24bit, pf32bit };

class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(int width, int height, PixelFormat format = PixelFormat::pfDevice);
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  // Makes a fresh white picture; false (and an empty bitmap) on failure.
  bool SetSize(int width, int height, PixelFormat format);

  bool Empty() const { return !bitmap_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bpp_; }
  PixelFormat Format() const { return format_; }
  HBITMAP Handle() const { return bitmap_.get(); }
  HDC Canvas() const { return dc_.get(); }

  // Fills the whole picture with an RGB colour (0x00BBGGRR).
  void Fill(COLORREF color);

  // Whoever draws the picture leaves out the pixels of TransparentColor.
  bool Transparent = false;
  COLORREF TransparentColor = RGB(255, 255, 255);

  // The rows, after any pending GDI drawing has reached them.
  BitmapView View() const;

  // 0x00RRGGBB (with the alpha byte for 32 bits) of pixel (x, y), y from the top.
  Pixel32 PixelAt(int x, int y) const;

 private:
  void Release();

  util::UniqueBitmap bitmap_;
  util::UniqueMemoryDc dc_;
  HGDIOBJ old_bitmap_ = nullptr;
  void* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int bpp_ = 0;
  PixelFormat format_ = PixelFormat::pfDevice;
};

// Bits per pixel of the display (GetDeviceCaps BITSPIXEL of the screen).
int ScreenBitsPerPixel();

}  // namespace imaging
