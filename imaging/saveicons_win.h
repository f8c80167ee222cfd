// The icon file writer's Win32 side: from an icon handle to the portable
// encoder (imaging/saveicons.h).
//
// The icon handle stays the caller's. Everything made here (the icon's own
// bitmaps from GetIconInfo, memory DCs, DIB sections) has an owner and is
// released on every path.
#pragma once

#include <windows.h>

#include <string>

#include "imaging/bitmap_win.h"
#include "imaging/saveicons.h"
#include "util/byte_sink.h"

namespace imaging {

// A 32-bit copy of any bitmap (BitBlt into a 32-bit DIB section).
bool CopyToDib32(HBITMAP bitmap, Image32* image);

// The colour analysis of a bitmap; 1 (4 bits) when no 32-bit copy can be made.
// The bitmap must not be selected into a device context.
uint8_t GetIconColorDepth(HBITMAP bitmap);

// The analysis of a picture drawn onto a bitmap object, whose own DC keeps
// its bitmap selected: the rows are read directly.
uint8_t GetIconColorDepth(const TBitmap& bitmap);

// The icon's colour picture and mask as the icon file stores them, read
// with GetDIBits straight from the bitmaps GetIconInfo hands out: the colour
// at 32 bits (the pixels CopyToDib32 would give), the mask at 1 bit; a
// monochrome icon split from its double-height mask. 0, or a negative
// IconResult when its bitmaps cannot be read.
int ReadIconImages(HICON icon, Image32* color, MaskImage* mask);

// Writes the icon as a single-image .ico file, replacing an existing file
// only once the new one is complete. Returns the file length or a negative
// IconResult.
int SaveIconToFile(const std::string& file_name, HICON icon);

// Appends the icon file's bytes to the sink. They pass through a file in
// the temporary folder, the first of "zuiff.tmp", "zuiff1.tmp", ... that can
// be created anew (so a file of that name, another process's or not, is
// never touched), written and read back through the handle that made it, and
// always removed. Returns the byte count, or a negative IconResult
// (kIconCreateFailed when no temporary file could be made, kIconWriteFailed
// when it or the sink failed); nothing is appended on failure.
int SaveIconToStream(util::ByteSink& stream, HICON icon);

}  // namespace imaging
