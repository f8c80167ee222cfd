// Pictures made smaller for previews: an area-weighted box filter over
// premultiplied colour.
//
// Each output pixel is the average of the source area it covers, partly
// covered source pixels counting by the part they cover. The colours are
// averaged premultiplied by their alpha and divided by the averaged alpha
// afterwards, so that the colour a transparent pixel happens to store does
// not bleed into its opaque neighbours.
#pragma once

#include "imaging/pixels.h"

namespace imaging {

struct TFitSize {
  int width = 0;
  int height = 0;
};

// The size of a width x height picture fitted into a square of `side`
// pixels with its aspect kept (each side rounded, at least 1); the size
// itself when it fits already.
TFitSize FitWithin(int width, int height, int side);

// The picture at width x height, neither larger than the picture's own
// (for a smaller one in either direction the filter would repeat pixels).
// An empty picture for a size of 0 or one larger than the picture's.
Image32 ScaleDown(const Image32& image, int width, int height);

}  // namespace imaging
