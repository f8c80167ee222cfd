// The shell's icon made without the shell: which image it takes, what it
// makes of an image, how it stretches and how it draws. The comparison
// with tamsel.exe under Wine (tests/cli/compare_with_window.sh) checks the
// same against the real shell on every file with icons; these cases pin the
// rules on images made for them.
#include "imaging/shell_icon.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "icon_file_builder.h"
#include "imaging/icon_file_check.h"
#include "imaging/image_stretch.h"

namespace imaging {
namespace {

using icon_builder::Append16;
using icon_builder::Append32;
using icon_builder::Bytes;

TEST(ShellIconChoice, NearestSizeFirstThenNearestDepthThenFirst) {
  struct Case {
    std::vector<ShellIconEntry> entries;
    int chosen;
  } cases[] = {
      {{}, -1},
      {{{16, 16, 32}, {32, 32, 4}, {48, 48, 32}}, 1},  // the size wins over the depth
      {{{32, 32, 4}, {32, 32, 8}, {32, 32, 24}}, 2},   // then the depth nearest the screen's
      {{{32, 32, 8}, {32, 32, 8}}, 0},                 // then the first
      {{{48, 48, 8}, {16, 16, 32}}, 1},                // 16 and 48 are as far off: the depth decides
      {{{48, 48, 32}, {16, 16, 32}}, 0},
      {{{256, 256, 32}, {20, 20, 4}}, 1},
      // Only entries off by the same amount in each side compete: 32 x 16
      // comes first and sets the sides, 24 x 24 is as far off in sum but not
      // in each side.
      {{{32, 16, 4}, {24, 24, 32}}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.chosen, ShellIconChoice(c.entries)) << c.entries.size();
}

// A stored DIB of w x h pixels at `bits` with the given palette, rows
// (top row first, one value per pixel) and mask (1 = transparent).
Bytes Dib(int w, int h, int bits, const std::vector<uint32_t>& palette, const std::vector<uint32_t>& pixels,
          const std::vector<int>& mask) {
  Bytes b;
  Append32(b, 40);
  Append32(b, w);
  Append32(b, 2 * h);
  Append16(b, 1);
  Append16(b, static_cast<uint16_t>(bits));
  Append32(b, 0);
  Append32(b, 0);
  Append32(b, 0);
  Append32(b, 0);
  Append32(b, static_cast<uint32_t>(palette.size()));
  Append32(b, 0);
  for (uint32_t c : palette) Append32(b, c);
  const size_t stride = ((w * bits + 31) / 32) * 4;
  for (int y = h - 1; y >= 0; --y) {
    Bytes row(stride, 0);
    for (int x = 0; x < w; ++x) {
      const uint32_t v = pixels[static_cast<size_t>(y * w + x)];
      if (bits >= 24) {
        for (int k = 0; k < bits / 8; ++k) row[bits / 8 * x + k] = static_cast<uint8_t>(v >> (8 * k));
      } else {
        row[x * bits / 8] |= static_cast<uint8_t>(v << (8 - bits - (x * bits) % 8));
      }
    }
    icon_builder::Append(b, row);
  }
  const size_t mask_stride = ((w + 31) / 32) * 4;
  for (int y = h - 1; y >= 0; --y) {
    Bytes row(mask_stride, 0);
    for (int x = 0; x < w; ++x)
      if (mask[static_cast<size_t>(y * w + x)]) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    icon_builder::Append(b, row);
  }
  return b;
}

Pixel32 DrawnOnWhite(const ShellIcon& icon, int x, int y, int bits = 32) {
  return ShellIconOnWhite(icon, bits).Get(x, y) & 0xFFFFFF;
}

TEST(MakeShellIcon, PaletteImageThroughItsMaskAndColours) {
  // 2 x 1 at 4 bits, a palette of two: red, and an index past the table.
  const Bytes image = Dib(2, 1, 4, {0x00FF0000, 0x000000FF}, {0, 5}, {0, 1});
  ShellIcon icon;
  ASSERT_EQ(nullptr, MakeShellIcon(image.data(), image.size(), &icon, 2));
  ASSERT_FALSE(icon.Monochrome());
  EXPECT_TRUE(icon.blend.pixels.empty());
  EXPECT_EQ(0xFF0000u, icon.color.At(0, 0));
  EXPECT_EQ(0u, icon.color.At(1, 0));  // no colour there: black
  EXPECT_EQ(0xFF0000u, DrawnOnWhite(icon, 0, 0));
  EXPECT_EQ(0xFFFFFFu, DrawnOnWhite(icon, 1, 0));  // transparent: the white stays
}

TEST(MakeShellIcon, BlackAndWhiteImagesStayMonochromeAndInvert) {
  // Picture white on a set mask inverts what lies below; black on a set
  // mask is transparent.
  const Bytes image = Dib(3, 1, 1, {0x000000, 0xFFFFFF}, {1, 0, 1}, {1, 1, 0});
  ShellIcon icon;
  ASSERT_EQ(nullptr, MakeShellIcon(image.data(), image.size(), &icon, 3));
  ASSERT_TRUE(icon.Monochrome());
  EXPECT_EQ(2 * icon.height, icon.mask.height);
  EXPECT_EQ(0x000000u, DrawnOnWhite(icon, 0, 0, 24));
  EXPECT_EQ(0xFFFFFFu, DrawnOnWhite(icon, 1, 0, 24));
  EXPECT_EQ(0xFFFFFFu, DrawnOnWhite(icon, 2, 0, 24));
  Image32 color;
  MaskImage mask;
  ShellIconImages(icon, &color, &mask);
  EXPECT_EQ(0xFFFFFFu, color.At(0, 0));
  EXPECT_TRUE(mask.Get(0, 0));
  EXPECT_FALSE(mask.Get(2, 0));
}

TEST(MakeShellIcon, AlphaIsBlendedPremultipliedAndMakesAMissingMask) {
  // Half-transparent red, opaque green; the image ends before its mask.
  Bytes image = Dib(2, 1, 32, {}, {0x80C80000, 0xFF00FF00}, {0, 0});
  image.resize(image.size() - 4);
  ShellIcon icon;
  ASSERT_EQ(nullptr, MakeShellIcon(image.data(), image.size(), &icon, 2));
  ASSERT_FALSE(icon.blend.pixels.empty());
  // 200 * 128 / 255 rounds to 100; white keeps 127 of 255.
  EXPECT_EQ(MakePixel(227, 127, 127), DrawnOnWhite(icon, 0, 0));
  EXPECT_EQ(0x00FF00u, DrawnOnWhite(icon, 1, 0));
  EXPECT_TRUE(icon.mask.Get(0, 0));
  EXPECT_FALSE(icon.mask.Get(1, 0));
}

TEST(MakeShellIcon, PngImagesAndRefusals) {
  const Bytes png = icon_builder::Png(4, 4);
  ShellIcon icon;
  ASSERT_EQ(nullptr, MakeShellIcon(png.data(), png.size(), &icon, 4));
  EXPECT_FALSE(icon.blend.pixels.empty());  // RGBA: blended
  EXPECT_EQ(MakePixel(8, 0, 0x40, 0xFF), icon.color.At(1, 0));

  const Bytes cut = Dib(2, 2, 24, {}, {0, 0, 0, 0}, {0, 0, 0, 0});
  EXPECT_NE(nullptr, MakeShellIcon(cut.data(), 40 + 4, &icon));  // colour rows cut short
  Bytes compressed = cut;
  compressed[16] = 1;  // run-length encoded
  EXPECT_NE(nullptr, MakeShellIcon(compressed.data(), compressed.size(), &icon));
}

TEST(StretchColors, RepeatsWhenEnlargingAndAndsWhenReducing) {
  Image32 row(3, 1);
  row.At(0, 0) = 0xF0F0F0;
  row.At(1, 0) = 0x3C3C3C;
  row.At(2, 0) = 0x123456;
  // Three to two: the first two fall on one pixel.
  const Image32 reduced = StretchColors(row, 2, 1);
  EXPECT_EQ(0xF0F0F0u & 0x3C3C3Cu, reduced.At(0, 0));
  EXPECT_EQ(0x123456u, reduced.At(1, 0));
  // Doubling repeats each pixel, row by row from the top.
  Image32 square(2, 2);
  square.At(0, 0) = 1;
  square.At(1, 0) = 2;
  square.At(0, 1) = 3;
  square.At(1, 1) = 4;
  const Image32 doubled = StretchColors(square, 4, 4);
  const uint32_t expected[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(expected[y][x], doubled.At(x, y)) << x << "," << y;
  // A mask reduced keeps a pixel transparent only where all its sources are.
  MaskImage mask(2, 1);
  mask.Set(0, 0, true);
  EXPECT_FALSE(StretchMask(mask, 1, 1).Get(0, 0));
  mask.Set(1, 0, true);
  EXPECT_TRUE(StretchMask(mask, 1, 1).Get(0, 0));
}

TEST(ExtractShellIcon, TheDirectoryChoosesAndTheImageIsStretched) {
  const Bytes small = Dib(16, 16, 24, {}, std::vector<uint32_t>(256, 0x0000FF), std::vector<int>(256, 0));
  const Bytes large = Dib(32, 32, 24, {}, std::vector<uint32_t>(1024, 0x00FF00), std::vector<int>(1024, 0));
  icon_builder::IcoLayout ico = icon_builder::Ico({small, large});
  // Both entries say 16 x 16: the first is taken and doubled.
  ShellIcon icon;
  ASSERT_EQ(nullptr, ExtractShellIcon(ico.bytes.data(), ico.bytes.size(), 0, &icon));
  EXPECT_EQ(32, icon.width);
  EXPECT_EQ(0x0000FFu, icon.color.At(31, 31));
  // The second entry telling its true size is taken as it is.
  ico.bytes[ico.entries[1]] = ico.bytes[ico.entries[1] + 1] = 32;
  ASSERT_EQ(nullptr, ExtractShellIcon(ico.bytes.data(), ico.bytes.size(), 0, &icon));
  EXPECT_EQ(0x00FF00u, icon.color.At(31, 31));
  EXPECT_NE(nullptr, ExtractShellIcon(ico.bytes.data(), ico.bytes.size(), 1, &icon));
}

TEST(ExtractShellIcon, DamagedImagesThatPassTheCheckAreReadWithinThemselves) {
  // Images of every kind the shell converts, in an executable and an icon
  // file, damaged at random. Whatever passes the structural check reaches
  // the shell's reading, which must stay inside the image (the sanitizers
  // watch) and either make a 32-pixel icon or say why not.
  const std::vector<Bytes> images = {
      Dib(4, 4, 1, {0x000000, 0xFFFFFF}, std::vector<uint32_t>(16, 1), std::vector<int>(16, 0)),
      Dib(5, 3, 4, {0xFF0000, 0x00FF00, 0x0000FF}, std::vector<uint32_t>(15, 2), std::vector<int>(15, 1)),
      Dib(3, 3, 8, {0x123456}, std::vector<uint32_t>(9, 0), std::vector<int>(9, 0)),
      Dib(48, 48, 24, {}, std::vector<uint32_t>(48 * 48, 0x808080), std::vector<int>(48 * 48, 0)),
      Dib(16, 16, 32, {}, std::vector<uint32_t>(256, 0x80FF8000), std::vector<int>(256, 0)),
      icon_builder::Png(20, 20),
  };
  const Bytes files[] = {icon_builder::Pe(images, false, {{1, 2}, {3, 4}, {5, 6}}).bytes,
                         icon_builder::Ico(images).bytes};
  std::mt19937 rng(20261208);
  int made = 0, refused = 0;
  for (int round = 0; round < 3000; ++round) {
    const Bytes& sound = files[round % 2];
    const Bytes damaged = icon_builder::RandomlyDamaged(sound, rng);
    const IconFileCheck check = CheckIconFile(damaged.data(), damaged.size());
    if (!check.HoldsIconStructure()) continue;
    for (uint32_t index = 0; index < check.icon_count; ++index) {
      ShellIcon icon;
      if (ExtractShellIcon(damaged.data(), damaged.size(), index, &icon) != nullptr) {
        ++refused;
        continue;
      }
      ++made;
      ASSERT_EQ(kShellIconSide, icon.width);
      ASSERT_EQ(icon.Monochrome() ? 2 * kShellIconSide : kShellIconSide, icon.mask.height);
      EXPECT_TRUE(DrawShellIcon(icon, ShellIconOnWhite(icon, 24).view()));
    }
  }
  // Both outcomes occur, so neither path went untried.
  EXPECT_GT(made, 100);
  EXPECT_GT(refused, 10);
}

}  // namespace
}  // namespace imaging
