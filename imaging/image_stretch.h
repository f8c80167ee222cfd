// Stretching a picture or a mask to another size the way a device context
// does by default: an enlarged side repeats pixels, a reduced side combines
// the pixels that fall on one with AND, which keeps black (and a mask's
// visible pixels) at the cost of white.
//
// Which source pixels fall on which destination pixel follows the midpoint
// rule of a line from (0, 0) to (source length, destination length), taken
// from the top row and the left column; a pixel no source pixel reaches
// stays 0.
#pragma once
#include "imaging/pixels.h"

namespace imaging {

Image32 StretchColors(const Image32& image, int width, int height);
MaskImage StretchMask(const MaskImage& mask, int width, int height);

}  // namespace imaging
