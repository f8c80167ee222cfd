// PNG files through libpng: 8 bits per channel, red, green, blue and alpha
// (colour type 6), not interlaced, each row filtered by "sub" or "up" and
// compressed at zlib's level 3.
//
// The alpha channel is written as the picture holds it, not premultiplied,
// which is what both PNG and a 32-bit icon mean by alpha. libpng reports
// errors by a long jump; this writer catches it in one frame, so every
// library error and every failed write to the sink comes back as false with
// the library's message.
#pragma once

#include <string>

#include "imaging/pixels.h"
#include "util/byte_sink.h"

namespace imaging {

// False for an empty picture, a library error or a failed write.
bool WritePng(const Image32& image, util::ByteSink& sink, std::string* error = nullptr);

// The rows of a 24- or 32-bit view as an opaque picture: such a view holds
// a picture drawn on a background, whose fourth byte is no alpha.
Image32 OpaqueImage(const BitmapView& view);

}  // namespace imaging
