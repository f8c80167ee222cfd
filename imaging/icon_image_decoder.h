// One icon image as an icon group stores it (an entry of an .ico file, an
// RT_ICON resource), decoded to a 32-bit picture with alpha.
//
// The image is either a DIB (a BITMAPINFOHEADER or a later header of the
// same start, a colour table for 8 bits and less, the colour rows at 1, 4,
// 8, 16, 24 or 32 bits per pixel, then the 1-bit AND mask rows, both
// bottom-up and padded to 4 bytes, the height in the header counting both)
// or a PNG stream. A DIB becomes pixels with alpha by the rule of
// imaging/icon_alpha.h. A PNG stream is already what a PNG file holds and
// is handed back as it is, with the size its header gives.
//
// The image may come from a damaged file: every size is checked against
// the bytes there are, in 64-bit arithmetic. Colour rows that are cut short
// are an error; a mask that is missing altogether is not (the shell reads
// such images, opaque), and a colour index beyond the table gives black.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/pixels.h"

namespace imaging {

enum class IconImageDecodeResult {
  kOk,
  kTruncated,    // the bytes end before the header, the colour table or the colour rows
  kUnsupported,  // not a DIB or PNG an icon may hold: compressed rows, a bit count
                 // other than 1, 4, 8, 16, 24, 32, a size of 0 or beyond the limit
};

struct DecodedIconImage {
  bool is_png = false;
  int width = 0;
  int height = 0;
  Image32 pixels;            // a DIB's picture with alpha; empty for a PNG
  std::vector<uint8_t> png;  // a PNG stream as stored; empty for a DIB
};

// The largest width or height decoded: beyond what any icon format names,
// small enough that a forged header cannot ask for gigabytes.
constexpr int kMaxDecodedIconSide = 4096;

IconImageDecodeResult DecodeIconImage(const uint8_t* data, size_t size, DecodedIconImage* out);

}  // namespace imaging
