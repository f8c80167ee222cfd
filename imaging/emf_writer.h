// Enhanced metafiles holding one bitmap at its own size.
//
// The file has three records: the header (EMR_HEADER), one
// EMR_STRETCHDIBITS that draws the rows at (0, 0) at their own size with
// SRCCOPY, and EMR_EOF. The reference device is a screen of 96 pixels per
// inch; the header's frame (in 0.01 mm) encloses exactly the picture, so a
// player that maps the frame onto a rectangle of the picture's size draws
// every pixel one to one.
#pragma once

#include "imaging/pixels.h"
#include "util/byte_sink.h"

namespace imaging {

// False for a view that is not 24 or 32 bits, or when the sink fails.
bool WriteEmf(const BitmapView& view, util::ByteSink& sink);

}  // namespace imaging
