// Stored PNG streams read through libpng's simplified API: whether one
// decodes whole (every critical chunk's checksum, the zlib stream and every
// row, interlaced or not), and its picture. An icon file may hold a PNG
// image whose chunks are complete but whose data is not; nothing can show
// such an image, so it must not be written out as it is.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/pixels.h"

namespace imaging {

// The decoded picture is at most max_pixel_bytes (4 bytes a pixel); a
// larger one counts as not decoding.
bool PngDecodes(const uint8_t* data, size_t size, uint64_t max_pixel_bytes);

// The picture with its alpha as stored (not premultiplied), in the pixel
// model of imaging/pixels.h; false (out emptied) where PngDecodes is false.
bool DecodePng(const uint8_t* data, size_t size, uint64_t max_pixel_bytes, Image32* out);

}  // namespace imaging
