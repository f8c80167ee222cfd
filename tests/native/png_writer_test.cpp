// The PNG writer read back by libpng's own reader (its simplified API,
// which shares nothing with the writer's code here), the reader of
// imaging/png_reader.h against the same, and the icon picture's alpha rule
// that decides what the PNG holds.
#include "imaging/png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

#include "imaging/export_types.h"
#include "imaging/icon_alpha.h"
#include "imaging/image_formats.h"
#include "imaging/png_reader.h"
#include "imaging/zu_graphic_utils.h"

namespace imaging {
namespace {

struct Decoded {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // top-down, R G B A
};

bool DecodePng(const std::vector<uint8_t>& bytes, Decoded* out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  image.format = PNG_FORMAT_RGBA;
  out->width = static_cast<int>(image.width);
  out->height = static_cast<int>(image.height);
  out->rgba.assign(PNG_IMAGE_SIZE(image), 0);
  return png_image_finish_read(&image, nullptr, out->rgba.data(), 0, nullptr) != 0;
}

// Distinct red, green and blue and an alpha ramp, so that a swapped channel,
// a flipped row or a lost alpha byte shows.
Pixel32 Sample(int x, int y) {
  return MakePixel(static_cast<uint8_t>(10 + x * 7), static_cast<uint8_t>(200 - y * 5), static_cast<uint8_t>(x * 3 + y),
                   static_cast<uint8_t>((x * 31 + y * 17) & 0xFF));
}

TEST(PngWriter, RoundTripKeepsEveryChannelAndRowOrder) {
  const struct { int w, h; } sizes[] = {{1, 1}, {3, 2}, {33, 17}, {256, 1}};
  for (const auto& s : sizes) {
    Image32 image(s.w, s.h);
    for (int y = 0; y < s.h; ++y)
      for (int x = 0; x < s.w; ++x) image.At(x, y) = Sample(x, y);
    util::MemorySink sink;
    std::string error;
    ASSERT_TRUE(WritePng(image, sink, &error)) << error;
    Decoded back;
    ASSERT_TRUE(DecodePng(sink.bytes(), &back)) << s.w << "x" << s.h;
    ASSERT_EQ(s.w, back.width);
    ASSERT_EQ(s.h, back.height);
    for (int y = 0; y < s.h; ++y) {
      for (int x = 0; x < s.w; ++x) {
        const uint8_t* p = &back.rgba[(static_cast<size_t>(y) * s.w + x) * 4];
        const Pixel32 want = Sample(x, y);
        ASSERT_EQ(MakePixel(p[0], p[1], p[2], p[3]), want) << s.w << "x" << s.h << " at " << x << "," << y;
      }
    }
    // Our reader gives the picture back in the pixel model, rows bottom-up,
    // and refuses a picture beyond the bound it is given.
    Image32 read;
    const std::vector<uint8_t>& png = sink.bytes();
    ASSERT_TRUE(imaging::DecodePng(png.data(), png.size(), uint64_t{4} * s.w * s.h, &read));
    EXPECT_EQ(s.w, read.width);
    EXPECT_EQ(image.pixels, read.pixels);
    EXPECT_FALSE(imaging::DecodePng(png.data(), png.size(), uint64_t{4} * s.w * s.h - 1, &read));
    EXPECT_TRUE(read.pixels.empty());
  }
}

TEST(PngWriter, EveryFailedWriteAndEmptyPictureIsReported) {
  Image32 image(9, 5, MakePixel(1, 2, 3, 4));
  util::MemorySink whole;
  ASSERT_TRUE(WritePng(image, whole));
  for (size_t limit = 0; limit < whole.bytes().size(); ++limit) {
    util::FailingSink sink(limit);
    std::string error;
    EXPECT_FALSE(WritePng(image, sink, &error)) << limit;
    EXPECT_FALSE(error.empty()) << limit;
  }
  util::MemorySink sink;
  EXPECT_FALSE(WritePng(Image32(), sink));
  EXPECT_EQ(ImageWriteResult::kUnsupportedBitmap, EncodePng(Image32(0, 4), sink));
  util::FailingSink failing(10);
  EXPECT_EQ(ImageWriteResult::kWriteFailed, EncodePng(image, failing));
}

// A drawn bitmap has no alpha: its fourth byte must not make it transparent.
TEST(PngWriter, BitmapViewsBecomeOpaquePictures) {
  for (int bpp : {24, 32}) {
    PixelBuffer buffer(5, 3, bpp);
    buffer.Set(0, 0, MakePixel(0xFF, 0x00, 0x10, 0x00));
    buffer.Set(4, 2, MakePixel(0x01, 0x80, 0xFE, 0x00));
    util::MemorySink sink;
    ASSERT_EQ(ImageWriteResult::kOk, EncodeBitmap(buffer.view(), sink, etPNG)) << bpp;
    Decoded back;
    ASSERT_TRUE(DecodePng(sink.bytes(), &back));
    const uint8_t* first = &back.rgba[0];
    const uint8_t* last = &back.rgba[(2 * 5 + 4) * 4];
    EXPECT_EQ(MakePixel(first[0], first[1], first[2], first[3]), MakePixel(0xFF, 0x00, 0x10, 0xFF)) << bpp;
    EXPECT_EQ(MakePixel(last[0], last[1], last[2], last[3]), MakePixel(0x01, 0x80, 0xFE, 0xFF)) << bpp;
  }
}

TEST(IconAlpha, OwnAlphaWinsElseTheMaskDecides) {
  // 2 x 2: the mask marks the top left pixel transparent.
  MaskImage mask(2, 2);
  mask.Set(0, 0, true);
  const struct {
    const char* what;
    Pixel32 top_left, top_right;    // the colour picture's pixels
    Pixel32 want_left, want_right;  // with alpha
    bool mask_fits;
  } cases[] = {
      {"own alpha, mask ignored", MakePixel(1, 2, 3, 0x00), MakePixel(4, 5, 6, 0x80), MakePixel(1, 2, 3, 0x00),
       MakePixel(4, 5, 6, 0x80), true},
      {"no alpha: the mask", MakePixel(1, 2, 3, 0), MakePixel(4, 5, 6, 0), MakePixel(1, 2, 3, 0x00),
       MakePixel(4, 5, 6, 0xFF), true},
      {"inverting pixel is transparent", MakePixel(0xFF, 0xFF, 0xFF, 0), MakePixel(0, 0, 0, 0),
       MakePixel(0xFF, 0xFF, 0xFF, 0x00), MakePixel(0, 0, 0, 0xFF), true},
      {"mask of another size: opaque", MakePixel(1, 2, 3, 0), MakePixel(4, 5, 6, 0), MakePixel(1, 2, 3, 0xFF),
       MakePixel(4, 5, 6, 0xFF), false},
  };
  for (const auto& c : cases) {
    Image32 color(2, 2, MakePixel(7, 7, 7, 0));
    color.At(0, 0) = c.top_left;
    color.At(1, 0) = c.top_right;
    const Image32 out = IconWithAlpha(color, c.mask_fits ? mask : MaskImage(3, 2));
    EXPECT_EQ(c.want_left, out.At(0, 0)) << c.what;
    EXPECT_EQ(c.want_right, out.At(1, 0)) << c.what;
  }
}

TEST(IconAlpha, GreyKeepsAlphaAndPlacingCutsAtTheEdges) {
  Image32 image(1, 1, MakePixel(200, 100, 50, 0x42));
  MakeGrayscaleKeepingAlpha(image);
  const uint8_t grey = GrayValue(200, 100, 50);
  EXPECT_EQ(MakePixel(grey, grey, grey, 0x42), image.At(0, 0));

  Image32 canvas(3, 3, 0);
  Image32 stamp(2, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) stamp.At(x, y) = MakePixel(0, 0, static_cast<uint8_t>(1 + x + 2 * y), 0xFF);
  PlaceImage(canvas, stamp, 2, -1);  // only the stamp's bottom left pixel lands, at (2, 0)
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ((x == 2 && y == 0) ? stamp.At(0, 1) : 0u, canvas.At(x, y)) << x << "," << y;
}

}  // namespace
}  // namespace imaging
