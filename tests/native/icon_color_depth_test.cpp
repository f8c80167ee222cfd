#include <gtest/gtest.h>

#include "imaging/color_depth.h"

namespace imaging {
namespace {

// Distinct colours outside the 20 system colours, none of them black or white.
Pixel32 NewColor(int i) { return MakePixel(static_cast<uint8_t>(1 + i % 250), static_cast<uint8_t>(3 + i / 250), 7); }

TEST(FixedPalette, SystemColoursGreyRampAndStandardOrder) {
  const Palette256& p = FixedPalette();
  const Pixel32 first_ten[10] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                 0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
  const Pixel32 last_ten[10] = {0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(first_ten[i], p[i]) << i;
    EXPECT_EQ(last_ten[i], p[246 + i]) << 246 + i;
  }
  for (int i = 0; i < 20; ++i) {
    uint8_t v = static_cast<uint8_t>(0xF2 - 0x0C * i);
    EXPECT_EQ(MakePixel(v, v, v), p[226 + i]) << 226 + i;
  }
  // 18 hues of 12 steps: the 7th step of each is the pure hue, with a
  // channel at FF (or FE) and none between 01 and 54.
  for (int hue = 0; hue < 18; ++hue) {
    Pixel32 pure = p[10 + 12 * hue + 6];
    int max = std::max({PixelRed(pure), PixelGreen(pure), PixelBlue(pure)});
    EXPECT_GE(max, 0xFE) << "hue " << hue;
  }
  EXPECT_EQ(0xFFAA00u, p[16]);
  EXPECT_EQ(0x505000u, p[225]);
  const Pixel32 standard[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(standard[i], StandardColors()[i]) << i;
  EXPECT_EQ(1, BitsPerPixelOfDepth(0));
  EXPECT_EQ(32, BitsPerPixelOfDepth(4));
  EXPECT_EQ(24, BitsPerPixelOfDepth(9));
}

struct DepthCase {
  const char* name;
  std::vector<Pixel32> pixels;  // memory order, bottom row first
  uint8_t code;
  int new_colors;
};

std::vector<Pixel32> Many(int count, int repeat = 1) {
  std::vector<Pixel32> v;
  for (int r = 0; r < repeat; ++r)
    for (int i = 0; i < count; ++i) v.push_back(NewColor(i));
  return v;
}

std::vector<Pixel32> Concat(std::vector<Pixel32> a, const std::vector<Pixel32>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(IconColorDepth, DecisionRules) {
  const DepthCase cases[] = {
      {"black and white only", {0x000000, 0xFFFFFF, 0x000000}, kDepth1, 0},
      {"nothing at all", {}, kDepth1, 0},
      {"standard colours", {0x000000, 0xFF0000, 0x808080, 0xC0C0C0, 0x800080}, kDepth4, 0},
      {"one new colour", {0xFF0000, 0x123456}, kDepth8, 1},
      {"other system colour is not new", {0xC0DCC0, 0xA6CAF0, 0xFFFBF0, 0xA0A0A4}, kDepth8, 0},
      {"repeated colour counts once", {0x123456, 0x123456, 0x654321}, kDepth8, 2},
      {"236 new colours", Many(236, 2), kDepth8, 236},
      {"237 new colours", Many(237), kDepth8, 237},
      {"238 new colours", Many(238), kDepth24, 238},
      // Colours past the palette's room are not remembered: a repeat of the
      // 237th counts again and reaches the limit.
      {"237 new colours, last repeated", Concat(Many(237), {NewColor(236)}), kDepth24, 238},
      {"alpha first", {0x01000000, 0x123456}, kDepth32, 0},
      {"alpha after colours", Concat(Many(10), {0xFF123456}), kDepth32, 10},
      {"24 bits decided before alpha", Concat(Many(238), {0x80FFFFFF}), kDepth24, 238},
      {"alpha on white is alpha", {0xFFFFFFFF}, kDepth32, 0},
  };
  for (const DepthCase& c : cases) {
    Image32 image(static_cast<int>(c.pixels.size()), c.pixels.empty() ? 0 : 1);
    image.pixels = c.pixels;
    ColorAnalysis a = AnalyseIconColors(image);
    EXPECT_EQ(c.code, a.code) << c.name;
    EXPECT_EQ(c.new_colors, a.new_colors) << c.name;
    EXPECT_EQ(c.code, GetIconColorDepth(image)) << c.name;
  }
}

TEST(IconColorDepth, PaletteCollectsNewColoursFromEntryTen) {
  Image32 one(2, 1);
  one.pixels = {0x123456, 0x000080};
  Palette256 p = AnalyseIconColors(one).palette;
  EXPECT_EQ(0x123456u, p[10]);
  for (int i = 0; i < 256; ++i) {
    if (i != 10) {
      EXPECT_EQ(FixedPalette()[i], p[i]) << i;
    }
  }

  Image32 system(1, 1);
  system.pixels = {0xC0DCC0};
  EXPECT_EQ(FixedPalette(), AnalyseIconColors(system).palette);

  Image32 many(236, 2);
  many.pixels = Many(236, 2);
  Palette256 full = AnalyseIconColors(many).palette;
  for (int i = 0; i < 236; ++i) EXPECT_EQ(NewColor(i), full[10 + i]) << i;
  for (int i = 0; i < 10; ++i) EXPECT_EQ(FixedPalette()[i], full[i]);
  for (int i = 246; i < 256; ++i) EXPECT_EQ(FixedPalette()[i], full[i]);
}

TEST(IconColorDepth, ScanRunsBottomRowFirst) {
  // 238 new colours fill the bottom rows; an alpha pixel sits in the top row
  // (met last) or in the bottom row (met first).
  Image32 image(238, 2);
  for (int x = 0; x < 238; ++x) image.At(x, 1) = NewColor(x);  // bottom row
  image.At(0, 0) = 0xFF000000;                                 // top row
  EXPECT_EQ(kDepth24, GetIconColorDepth(image));
  image.At(0, 0) = 0;
  image.At(237, 1) = 0x40102030;
  EXPECT_EQ(kDepth32, GetIconColorDepth(image));
}

TEST(NearestColor, ExactEntryElseNearest) {
  const auto& s = StandardColors();
  EXPECT_EQ(9, NearestColorIndex(s, 0xFF0000));
  EXPECT_EQ(9, NearestColorIndex(s, 0xF01010));
  EXPECT_EQ(7, NearestColorIndex(s, 0xB0B0B0));
  EXPECT_EQ(0, NearestColorIndex(s, 0x101010));
  Palette256 p = FixedPalette();
  EXPECT_EQ(255, NearestColorIndex(p, 0xFFFFFF));
  EXPECT_EQ(226, NearestColorIndex(p, 0xF3F3F3));
}

}  // namespace
}  // namespace imaging
