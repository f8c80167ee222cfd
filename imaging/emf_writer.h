// Enhanced metafiles holding one bitmap at its own size.
//
// The file has three records: the header (EMR_HEADER), one
// EMR_STRETCHDIBITS that draws the rows at (0, 0) at their own size with
// SRCCOPY, and EMR_EOF. The header names the reference device the way GDI's
// own recording does: the screen's size in pixels and in millimetres (and
// in micrometres, the millimetres times 1000). The frame (in 0.01 mm)
// encloses exactly the picture at that device's pixel size, so a player
// that maps the frame onto a rectangle of the picture's size draws every
// pixel one to one.
#pragma once

#include <cstdint>

#include "imaging/pixels.h"
#include "util/byte_sink.h"

namespace imaging {

struct EmfReferenceDevice {
  int32_t pixels_x = 1024;
  int32_t pixels_y = 768;
  int32_t millimetres_x = 271;
  int32_t millimetres_y = 203;

  static constexpr int32_t kMaxPixels = 1 << 20;
  static constexpr int32_t kMaxMillimetres = 1000000;  // a kilometre; its micrometres still fit 32 bits

  // A device that could not report one of its sizes stands for nothing.
  bool Valid() const {
    return pixels_x > 0 && pixels_y > 0 && pixels_x <= kMaxPixels && pixels_y <= kMaxPixels && millimetres_x > 0 &&
           millimetres_y > 0 && millimetres_x <= kMaxMillimetres && millimetres_y <= kMaxMillimetres;
  }
};

// False for a view that is not 24 or 32 bits, or when the sink fails. An
// invalid device is replaced by the default one (a 96 dpi screen of
// 1024 x 768 pixels).
bool WriteEmf(const BitmapView& view, util::ByteSink& sink, const EmfReferenceDevice& device = {});

}  // namespace imaging
