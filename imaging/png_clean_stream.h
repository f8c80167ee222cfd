// A quick answer to "does this PNG decode?" for the PNG images icon files
// store, without decoding them.
//
// Deciding whether a stored PNG decodes is what the batch spends most of
// its time on: libpng inflates every row, then undoes each row's filter
// and converts the pixels, only for the picture to be thrown away. A
// stream in the plain form icon writers produce can be judged from less:
//
//   - the signature, IHDR, ancillary chunks only, one or more IDAT chunks
//     in a row and IEND, nothing after it; every chunk's checksum right;
//   - a header libpng accepts: grey, grey with alpha, RGB or RGBA at a
//     depth PNG allows them, not interlaced, at most 65,535 pixels a side,
//     at most max_pixel_bytes once decoded to 4 bytes a pixel;
//   - a zlib stream that zlib itself (the library libpng inflates with,
//     opened the way libpng opens it) inflates to exactly the image's
//     filtered rows, ending its stream, checksum included, at the last
//     byte of the last IDAT;
//   - a filter type libpng knows (0 to 4) at the start of every row.
//
// Such a stream is well formed throughout, so libpng, which feeds the same
// bytes to the same inflater in other pieces, reads every row of it: none
// of its errors can arise. Anything else, a damaged stream or merely an
// unusual one (a palette, interlacing, a critical chunk it does not know), is
// not judged here and goes to libpng.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging {

// True only where libpng is certain to decode the stream whole; false
// says nothing either way.
bool PngStreamIsClean(const uint8_t* data, size_t size, uint64_t max_pixel_bytes);

}  // namespace imaging
