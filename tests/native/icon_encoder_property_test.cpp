// Property test of the icon encoder over random pictures: whatever depth the
// analysis chooses, the file parses and gives back the pixels at that depth.
// Bounded by a fixed number of seeds and a time budget.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "imaging/saveicons.h"
#include "tests/native/ico_reader.h"
#include "tests/native/test_files.h"

namespace imaging {
namespace {

Image32 RandomPicture(std::mt19937& rng, int* kind_out) {
  int kind = static_cast<int>(rng() % 6);
  // Pictures that are to pass the 238-colour mark need the pixels for it.
  std::uniform_int_distribution<int> side(kind == 3 || kind == 4 ? 16 : 1, 48);
  int w = side(rng), h = side(rng);
  Image32 image(w, h);
  *kind_out = kind;
  std::vector<Pixel32> colors;
  switch (kind) {
    case 0: colors = {0x000000, 0xFFFFFF}; break;
    case 1: colors.assign(StandardColors().begin(), StandardColors().end()); break;
    case 2:  // a few colours, some of them system colours
      colors = {0xC0DCC0, 0xA6CAF0, 0xFF0000};
      for (int i = 0; i < 20; ++i) colors.push_back(rng() & 0xFFFFFF);
      break;
    case 3:  // around the 236..238 boundary
      for (int i = 0; i < 230 + static_cast<int>(rng() % 12); ++i) colors.push_back(rng() & 0xFFFFFF);
      break;
    case 4:  // any colour, no alpha
      for (int i = 0; i < 300; ++i) colors.push_back(rng() & 0xFFFFFF);
      break;
    case 5:  // alpha somewhere
      colors = {0x000000, 0x80FF0000, 0xFF00FF00, 0x00123456};
      break;
  }
  for (Pixel32& p : image.pixels) {
    p = colors.empty() ? static_cast<Pixel32>(rng()) : colors[rng() % colors.size()];
  }
  return image;
}

TEST(IconEncoderProperty, RandomPicturesRoundTripAtTheirDepth) {
  std::mt19937 rng(20261207);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  int runs = 0;
  int seen[5] = {};
  for (; runs < 600 && std::chrono::steady_clock::now() < deadline; ++runs) {
    int kind = 0;
    Image32 image = RandomPicture(rng, &kind);
    MaskImage mask(image.width, image.height);
    for (uint8_t& byte : mask.bits) byte = static_cast<uint8_t>(rng());
    util::MemorySink sink;
    int result = SaveIconImageToSink(sink, image, mask);
    ASSERT_GT(result, 0) << "run " << runs;
    ASSERT_EQ(static_cast<size_t>(result), sink.bytes().size());
    testing_ico::DecodedIcon d = testing_ico::DecodeIco(sink.bytes());
    ASSERT_TRUE(d.ok) << d.error << " run " << runs;
    ColorAnalysis analysis = AnalyseIconColors(image);
    ASSERT_EQ(BitsPerPixelOfDepth(analysis.code), d.bpp) << "run " << runs;
    ++seen[analysis.code];
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        Pixel32 src = image.At(x, y);
        Pixel32 want;
        switch (d.bpp) {
          case 32: want = src; break;
          case 24: want = src & 0xFFFFFF; break;
          case 8: want = analysis.palette[NearestColorIndex(analysis.palette, src)]; break;
          default: want = src & 0xFFFFFF; break;  // 1 and 4 bits hold their colours exactly
        }
        ASSERT_EQ(want, d.At(x, y)) << "run " << runs << " at " << x << "," << y;
        ASSERT_EQ(mask.Get(x, y), d.mask[static_cast<size_t>(y) * image.width + x]);
      }
    }
    if (d.bpp == 8 && analysis.new_colors <= kPaletteNewColorSlots) {
      // Every colour met is in the table, so nothing was approximated.
      for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) ASSERT_EQ(image.At(x, y) & 0xFFFFFF, d.At(x, y));
    }
  }
  EXPECT_GE(runs, 50);
  for (int code = 0; code < 5; ++code) EXPECT_GT(seen[code], 0) << "depth code " << code << " never chosen";
}

// ImageMagick reads every depth back with the same colours.
TEST(IconEncoderProperty, ImageMagickReadsEveryDepth) {
  const std::string convert = "/usr/bin/convert";
  if (!testing_files::ToolAvailable(convert)) GTEST_SKIP() << "ImageMagick is not installed";
  testing_files::ScratchDir dir;
  std::mt19937 rng(7);
  const Pixel32 extra[5] = {0x000000, 0xFF0000, 0x123456, 0, 0x80654321};
  for (int code = 0; code < 5; ++code) {
    Image32 image(19, 13);
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 19; ++x) image.At(x, y) = ((x ^ y) & 1) ? 0xFFFFFF : 0x000000;
    image.At(3, 2) = extra[code];
    if (code == 3) {
      for (int i = 0; i < 240; ++i) image.pixels[i] = 0x010000 * (i + 1) + 0x0305;
    }
    if (code == 4) {
      // Opaque pixels so that the decoder's alpha does not hide the colours.
      for (Pixel32& p : image.pixels) p |= 0xFF000000;
    }
    MaskImage mask(19, 13);
    std::string path = dir.file("d" + std::to_string(code) + ".ico");
    ASSERT_GT(SaveIconImageToFile(path, image, mask), 0);
    int status = 0;
    std::vector<uint8_t> rgb =
        testing_files::RunCapture(convert + " '" + path + "' -alpha off -depth 8 rgb:- 2>/dev/null", &status);
    ASSERT_EQ(0, status) << code;
    ASSERT_EQ(19u * 13 * 3, rgb.size()) << code;
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 19; ++x) {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * 19 + x) * 3];
        Pixel32 got = MakePixel(p[0], p[1], p[2]);
        ASSERT_EQ(image.At(x, y) & 0xFFFFFF, got) << "depth code " << code << " at " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace imaging
