// JPEG files through libjpeg: quality 90, baseline, colour (YCbCr with the
// library's default chroma subsampling), from 24- or 32-bit rows.
//
// libjpeg's own error handler ends the process. This writer installs one
// that jumps back here, so every library error and every failed write to the
// sink comes back to the caller as false with the library's message.
#pragma once

#include <string>

#include "imaging/pixels.h"
#include "util/byte_sink.h"

namespace imaging {

constexpr int kJpegQuality = 90;

bool WriteJpeg(const BitmapView& view, util::ByteSink& sink, std::string* error = nullptr, int quality = kJpegQuality);

}  // namespace imaging
