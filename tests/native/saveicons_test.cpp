#include <gtest/gtest.h>

#include "imaging/saveicons.h"
#include "tests/native/ico_reader.h"
#include "tests/native/test_files.h"

namespace imaging {
namespace {

using testing_files::ReadAll;
using testing_ico::DecodeIco;

Pixel32 NewColor(int i) { return MakePixel(static_cast<uint8_t>(1 + i % 250), static_cast<uint8_t>(3 + i / 250), 7); }

// A 32 x 32 picture that the analysis puts at the given depth code, with a
// diagonal black-and-white pattern so that rows and columns are distinguishable.
Image32 PictureAtDepth(uint8_t code, int w = 32, int h = 32) {
  Image32 image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.At(x, y) = ((x + 2 * y) % 3 == 0) ? 0xFFFFFF : 0x000000;
  switch (code) {
    case kDepth4:
      image.At(1, 0) = 0xFF0000;
      image.At(0, h - 1) = 0x0000FF;
      break;
    case kDepth8:
      image.At(1, 0) = 0xFF0000;
      image.At(2, 1) = 0x123456;
      image.At(w - 1, h - 1) = 0xC0DCC0;
      break;
    case kDepth24:
      for (int i = 0; i < 240 && i < w * h; ++i) image.pixels[i] = NewColor(i);
      break;
    case kDepth32:
      for (int x = 0; x < w; ++x)
        image.At(x, h / 2) = MakePixel(200, 10, static_cast<uint8_t>(x), static_cast<uint8_t>(x * 7));
      break;
  }
  return image;
}

MaskImage MaskPattern(int w, int h) {
  MaskImage mask(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) mask.Set(x, y, (x * y) % 5 == 1);
  return mask;
}

TEST(InitBitmapInfoHeader, FieldsAndSizes) {
  struct Case {
    int code, bits, used;
    size_t info_size;
    uint32_t image_size;  // for 33 x 5
  } cases[] = {
      {0, 1, 2, 48, 8 * 5},    {1, 4, 16, 104, 20 * 5}, {2, 8, 256, 1064, 36 * 5},
      {3, 24, 0, 40, 100 * 5}, {4, 32, 0, 40, 132 * 5}, {7, 24, 0, 40, 100 * 5},
  };
  for (const Case& c : cases) {
    BitmapInfoHeader h;
    EXPECT_EQ(c.info_size, InitBitmapInfoHeader(&h, 33, -5, c.code)) << c.code;
    EXPECT_EQ(40u, h.size);
    EXPECT_EQ(33, h.width);
    EXPECT_EQ(-5, h.height);
    EXPECT_EQ(1, h.planes);
    EXPECT_EQ(c.bits, h.bit_count) << c.code;
    EXPECT_EQ(0u, h.compression);
    EXPECT_EQ(c.image_size, h.size_image) << c.code;
    EXPECT_EQ(static_cast<uint32_t>(c.used), h.clr_used);
    EXPECT_EQ(h.clr_used, h.clr_important);
  }
}

// The five depths of a 32 x 32 icon: lengths, directory entry, stored
// header, colour table, and the pixels read back by an independent reader.
TEST(IconFileLayout, ThirtyTwoPixelIconAtEveryDepth) {
  struct Case {
    uint8_t code;
    int bits;
    uint32_t in_resource;
    size_t file_size;
  } cases[] = {
      {kDepth1, 1, 304, 326},     {kDepth4, 4, 744, 766},     {kDepth8, 8, 2216, 2238},
      {kDepth24, 24, 3240, 3262}, {kDepth32, 32, 4264, 4286},
  };
  for (const Case& c : cases) {
    Image32 image = PictureAtDepth(c.code);
    MaskImage mask = MaskPattern(32, 32);
    util::MemorySink sink;
    ASSERT_EQ(static_cast<int>(c.file_size), SaveIconImageToSink(sink, image, mask)) << c.bits;
    const std::vector<uint8_t>& b = sink.bytes();
    ASSERT_EQ(c.file_size, b.size());
    testing_ico::DecodedIcon d = DecodeIco(b);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(32, d.entry_width);
    EXPECT_EQ(32, d.entry_height);
    EXPECT_EQ(c.bits, d.entry_colors);
    EXPECT_EQ(0, d.entry_planes);
    EXPECT_EQ(0, d.entry_bitcount);
    EXPECT_EQ(22u, d.offset);
    EXPECT_EQ(c.in_resource, d.bytes_in_res);
    EXPECT_EQ(64, d.stored_height);
    EXPECT_EQ(c.bits, d.bpp);
    uint32_t expected_used = c.bits <= 8 ? (1u << c.bits) : 0;
    EXPECT_EQ(expected_used, d.clr_used);
    EXPECT_EQ(expected_used, d.clr_important);
    EXPECT_EQ(static_cast<uint32_t>(((32 * c.bits + 31) / 32) * 4 * 32), d.size_image);
    if (c.bits == 1) {
      EXPECT_EQ((std::vector<uint32_t>{0x000000, 0xFFFFFF}), d.table);
    }
    if (c.bits == 4) {
      EXPECT_EQ(std::vector<uint32_t>(StandardColors().begin(), StandardColors().end()), d.table);
    }
    if (c.bits == 8) {
      EXPECT_EQ(0x123456u, d.table[10]);
      EXPECT_EQ(FixedPalette()[11], d.table[11]);
    }
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        Pixel32 want = c.bits == 32 ? image.At(x, y) : (image.At(x, y) & 0xFFFFFF);
        ASSERT_EQ(want, d.At(x, y)) << c.bits << " bits at " << x << "," << y;
        ASSERT_EQ(mask.Get(x, y), d.mask[y * 32 + x]) << x << "," << y;
      }
  }
}

TEST(IconFileLayout, EightBitPixelsTakeExactElseNearestEntry) {
  // 237 new colours: the last one has no palette slot and maps to its nearest
  // neighbour; every collected colour maps to itself.
  Image32 image(237, 1);
  for (int i = 0; i < 236; ++i) image.pixels[i] = NewColor(i);
  image.pixels[236] = MakePixel(0x10, 0x10, 0xF0);
  IconBits bits;
  ASSERT_TRUE(GetColorImageBits(image, &bits));
  ASSERT_EQ(kDepth8, bits.code);
  for (int i = 0; i < 236; ++i) EXPECT_EQ(10 + i, bits.color_rows[i]) << i;
  int last = bits.color_rows[236];
  EXPECT_EQ(NearestColorIndex(AnalyseIconColors(image).palette, image.pixels[236]), last);
  EXPECT_EQ(252, last);  // pure blue (0000FF) is the nearest entry
}

TEST(IconFileLayout, OddSizesAndTheByteForTwoHundredFiftySix) {
  struct Case {
    int w, h;
    int result;
    int entry_w, entry_h;
  } cases[] = {
      {1, 1, 0, 1, 1},
      {7, 3, 0, 7, 3},
      {255, 2, 0, 255, 2},
      {256, 256, 0, 0, 0},
      {257, 16, kIconTooLarge, 0, 0},
      {16, 300, kIconTooLarge, 0, 0},
  };
  for (const Case& c : cases) {
    Image32 image = PictureAtDepth(kDepth24, c.w, c.h);
    util::MemorySink sink;
    int r = SaveIconImageToSink(sink, image, MaskPattern(c.w, c.h));
    if (c.result < 0) {
      EXPECT_EQ(c.result, r) << c.w << "x" << c.h;
      EXPECT_TRUE(sink.bytes().empty());
      continue;
    }
    ASSERT_GT(r, 0) << c.w << "x" << c.h;
    testing_ico::DecodedIcon d = DecodeIco(sink.bytes());
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(c.entry_w, d.entry_width);
    EXPECT_EQ(c.entry_h, d.entry_height);
    EXPECT_EQ(c.w, d.width);
    EXPECT_EQ(2 * c.h, d.stored_height);
    EXPECT_EQ(image.At(c.w - 1, 0) & 0xFFFFFF, d.At(c.w - 1, 0));
  }
}

TEST(SplitMonochromeMask, UpperHalfIsMaskLowerHalfIsImage) {
  MaskImage doubled(9, 6);
  for (int x = 0; x < 9; ++x) {
    doubled.Set(x, 0, x % 2 == 0);  // top row of the mask half
    doubled.Set(x, 3, x < 3);       // top row of the image half
    doubled.Set(x, 5, x == 8);      // bottom row of the image half
  }
  MaskImage mask;
  Image32 color;
  ASSERT_TRUE(SplitMonochromeMask(doubled, &mask, &color));
  ASSERT_EQ(9, mask.width);
  ASSERT_EQ(3, mask.height);
  ASSERT_EQ(3, color.height);
  for (int x = 0; x < 9; ++x) {
    EXPECT_EQ(x % 2 == 0, mask.Get(x, 0)) << x;
    EXPECT_FALSE(mask.Get(x, 2));
    EXPECT_EQ(x < 3 ? 0xFFFFFFu : 0u, color.At(x, 0)) << x;
    EXPECT_EQ(x == 8 ? 0xFFFFFFu : 0u, color.At(x, 2)) << x;
  }
  EXPECT_EQ(kDepth1, GetIconColorDepth(color));
  MaskImage empty;
  EXPECT_FALSE(SplitMonochromeMask(MaskImage(4, 1), &empty, &color));
}

TEST(WriteIconToSink, MissingBlocksAndFailingWrites) {
  IconBits bits;
  util::MemorySink memory;
  EXPECT_EQ(kIconBufferMissing, WriteIconToSink(bits, memory));
  ASSERT_TRUE(GetColorImageBits(PictureAtDepth(kDepth8), &bits));
  EXPECT_EQ(kIconBufferMissing, WriteIconToSink(bits, memory));
  ASSERT_TRUE(GetMaskBits(MaskPattern(32, 32), &bits));
  EXPECT_FALSE(GetMaskBits(MaskPattern(31, 32), &bits));
  ASSERT_EQ(2238, WriteIconToSink(bits, memory));
  for (size_t limit = 0; limit < 2238; limit += (limit < 80 ? 1 : 97)) {
    util::FailingSink failing(limit);
    EXPECT_EQ(kIconWriteFailed, WriteIconToSink(bits, failing)) << limit;
  }
}

TEST(SaveIconImageToFile, ResultCodesAndNothingLeftBehind) {
  testing_files::ScratchDir dir;
  Image32 image = PictureAtDepth(kDepth4);
  MaskImage mask = MaskPattern(32, 32);
  EXPECT_EQ(kIconNameTooShort, SaveIconImageToFile("a.i", image, mask));
  EXPECT_FALSE(testing_files::Exists("a.i"));
  EXPECT_EQ(kIconCreateFailed, SaveIconImageToFile(dir.file("missing/x.ico"), image, mask));
  EXPECT_EQ(kIconTooLarge,
            SaveIconImageToFile(dir.file("big.ico"), PictureAtDepth(kDepth1, 300, 8), MaskPattern(300, 8)));
  EXPECT_EQ(kIconConversionFailed, SaveIconImageToFile(dir.file("bad.ico"), image, MaskPattern(16, 16)));
  EXPECT_EQ(kIconConversionFailed, SaveIconImageToFile(dir.file("none.ico"), Image32(), MaskImage()));
  EXPECT_TRUE(testing_files::ListDir(dir.path()).empty());

  std::string target = dir.file("x.ico");
  ASSERT_TRUE(testing_files::WriteAll(target, std::vector<uint8_t>(9000, 0xAB)));
  ASSERT_EQ(766, SaveIconImageToFile(target, image, mask));
  std::vector<uint8_t> written = ReadAll(target);
  EXPECT_EQ(766u, written.size());
  EXPECT_TRUE(DecodeIco(written).ok);
  EXPECT_EQ(std::vector<std::string>{"x.ico"}, testing_files::ListDir(dir.path()));
}

}  // namespace
}  // namespace imaging
