// The icon object: owns one HICON and destroys it when it goes.
//
// An icon object made from a null handle is valid but empty: it reports a
// size of 0 x 0 and draws nothing, so that a failed extraction can keep its
// place in an icon set.
#pragma once

#include <windows.h>

#include "imaging/pixels.h"
#include "util/handles_win.h"

namespace imaging {

class TIcon {
 public:
  TIcon() = default;
  explicit TIcon(HICON handle);
  // Takes a handle whose size the caller already knows, sparing the bitmap
  // queries (the shell makes every extracted icon at one size).
  TIcon(HICON handle, SIZE size) : handle_(handle), width_(handle ? size.cx : 0), height_(handle ? size.cy : 0) {}

  HICON Handle() const { return handle_.get(); }
  bool Empty() const { return !handle_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Draws the icon with its transparency at (x, y) at its own size.
  void Draw(HDC dc, int x, int y) const;

 private:
  util::UniqueIcon handle_;
  int width_ = 0;
  int height_ = 0;
};

// A new icon object that takes ownership of the handle.
inline TIcon IconFromHandle(HICON handle) { return TIcon(handle); }

// Width and height of an icon handle, read from its bitmaps; 0 x 0 for null.
SIZE IconSize(HICON icon);

// A new icon handle (the caller's) from a colour picture and a mask of the
// same size, as ReadIconImages gives them back: drawn and read back, it is
// the icon they were read from. The colour picture becomes a 32-bit DIB, so
// an alpha channel is kept and a picture without one draws through its
// mask. Null when the sizes differ or GDI refuses.
HICON CreateIconFromImages(const Image32& color, const MaskImage& mask);

}  // namespace imaging
