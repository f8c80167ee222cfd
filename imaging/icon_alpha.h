// An icon's picture with its transparency as an alpha channel, as a PNG
// keeps it: not drawn over any background.
//
// An icon holds a colour picture and a 1-bit AND mask. A 32-bit picture
// carries its own alpha channel, which wins over the mask; a picture whose
// alpha bytes are all zero (every picture below 32 bits, and 32-bit ones
// made without alpha) is transparent exactly where the mask is set, and
// fully opaque elsewhere. Where the mask is set over a colour (the
// inverting pixels of old icons), the pixel is transparent too: a picture
// file has no way to invert what lies under it.
#pragma once

#include "imaging/pixels.h"

namespace imaging {

// The colour picture with alpha by the rule above. The mask must have the
// picture's size; any other mask counts as absent, and the picture without
// alpha is then opaque.
Image32 IconWithAlpha(const Image32& color, const MaskImage& mask);

// Grey colours by GrayValue, the alpha channel as it was.
void MakeGrayscaleKeepingAlpha(Image32& image);

// Copies the picture onto the canvas with its top left corner at
// (left, top), y from the top; what falls outside the canvas is cut off.
void PlaceImage(Image32& canvas, const Image32& image, int left, int top);

}  // namespace imaging
