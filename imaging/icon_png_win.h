// An icon handle as a PNG: the icon's own colours and transparency (its
// alpha channel, or else its mask), not drawn over any background.
//
// The icon handle stays the caller's; the bitmaps read from it are
// released before these return (imaging/saveicons_win.h).
#pragma once

#include <windows.h>

#include <string>

#include "imaging/image_formats.h"
#include "imaging/pixels.h"
#include "util/byte_sink.h"

namespace imaging {

// The icon's picture with alpha (imaging/icon_alpha.h), grey when asked.
// False when its bitmaps cannot be read.
bool ReadIconWithAlpha(HICON icon, bool gray_scale, Image32* image);

// The PNG file's bytes of the icon, appended to the sink. kUnsupportedBitmap
// when the icon's bitmaps cannot be read.
ImageWriteResult EncodeIconPng(HICON icon, bool gray_scale, util::ByteSink& sink, std::string* error = nullptr);

}  // namespace imaging
