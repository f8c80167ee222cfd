// Windows bitmap files: a 14-byte file header ("BM", file size, two zero
// words, offset of the rows), a BITMAPINFOHEADER and the rows bottom-up,
// uncompressed, at the picture's own 24 or 32 bits per pixel (neither needs
// a colour table).
#pragma once

#include "imaging/pixels.h"
#include "util/byte_sink.h"

namespace imaging {

constexpr size_t kBmpFileHeaderSize = 14;

// False for a view that is not 24 or 32 bits, or when the sink fails.
bool WriteBmp(const BitmapView& view, util::ByteSink& sink);

}  // namespace imaging
