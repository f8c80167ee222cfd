// Colour analysis of an icon: the smallest depth that holds its pixels.
//
// The scan visits the pixels in memory order (bottom row first) and stops at
// the first decisive pixel: any alpha gives 32 bits; black and white alone
// give 1 bit; the 16 standard colours give 4; other colours give 8 until 238
// new colours have been counted, then 24. The colours met on the way fill a
// copy of the fixed palette from entry 10 on, which becomes the colour table
// of an 8-bit image.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/pixels.h"

namespace imaging {

// The depth code shared by the status bar, the icon writer and the dBase export.
enum DepthCode : uint8_t {
  kDepth1 = 0,
  kDepth4 = 1,
  kDepth8 = 2,
  kDepth24 = 3,
  kDepth32 = 4,
};

using Palette256 = std::array<Pixel32, 256>;  // 0x00RRGGBB entries

// 1, 4, 8, 24 or 32; any unknown code counts as 24.
int BitsPerPixelOfDepth(int code);

// The fixed 256-colour palette: the 20 system colours at 0-9 and 246-255,
// 18 hues of 12 steps at 10-225 and a grey ramp at 226-245.
const Palette256& FixedPalette();

// The 16 standard colours in the order of a 16-colour colour table (black,
// maroon, green, olive, navy, purple, teal, silver, grey, red, lime, yellow,
// blue, fuchsia, aqua, white).
const std::array<Pixel32, 16>& StandardColors();

// Number of new colours that fit into the palette (entries 10 to 245) and the
// count at which the analysis gives up on 8 bits.
constexpr int kPaletteNewColorSlots = 236;
constexpr int kNewColorLimitFor8Bits = 238;

struct ColorAnalysis {
  uint8_t code = kDepth1;
  int new_colors = 0;    // the counter of new colours when the scan ended
  Palette256 palette{};  // colour table for an 8-bit image
};

ColorAnalysis AnalyseIconColors(const Image32& image);

// Only the depth code (the palette is built but dropped).
uint8_t GetIconColorDepth(const Image32& image);

// Index of the palette entry nearest to the colour (squared distance in
// red, green and blue; the first of equal candidates), exact when present.
template <size_t N>
int NearestColorIndex(const std::array<Pixel32, N>& table, Pixel32 color) {
  int r = PixelRed(color), g = PixelGreen(color), b = PixelBlue(color);
  int best = 0;
  int best_distance = 0x7FFFFFFF;
  for (size_t i = 0; i < N; ++i) {
    int dr = r - PixelRed(table[i]), dg = g - PixelGreen(table[i]), db = b - PixelBlue(table[i]);
    int distance = dr * dr + dg * dg + db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best = static_cast<int>(i);
      if (distance == 0) break;
    }
  }
  return best;
}

}  // namespace imaging
