#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "imaging/export_types.h"
#include "imaging/image_formats.h"
#include "imaging/saveicons.h"
#include "tests/native/ico_reader.h"
#include "tests/native/test_files.h"
#include "util/atomic_file.h"

namespace imaging {
namespace {

using testing_files::ReadAll;
using testing_files::RunCapture;

const char kConvert[] = "/usr/bin/convert";
const char kDjpeg[] = "/usr/bin/djpeg";

// An awkward picture: odd width, distinct red and blue, a ramp, an
// asymmetric corner mark.
PixelBuffer TestPicture(int w, int h, int bpp) {
  PixelBuffer b(w, h, bpp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Pixel32 p = MakePixel(static_cast<uint8_t>(255 * x / (w - 1)), static_cast<uint8_t>(40 + 150 * y / (h - 1)),
                            static_cast<uint8_t>(255 - 255 * x / (w - 1)));
      if (x < w / 4 && y < h / 4) p = 0xFF0000;
      if (x >= 3 * w / 4 && y >= 3 * h / 4) p = 0x0000FF;
      b.Set(x, y, p);
    }
  return b;
}

// Pixels as decoded into top-down RGB triples by an independent decoder.
std::vector<uint8_t> ExpectedRgb(const PixelBuffer& b, int w, int h) {
  std::vector<uint8_t> rgb;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Pixel32 p = b.Get(x, y);
      rgb.push_back(PixelRed(p));
      rgb.push_back(PixelGreen(p));
      rgb.push_back(PixelBlue(p));
    }
  return rgb;
}

// Strips a binary PPM (P6) header.
std::vector<uint8_t> PpmPixels(const std::vector<uint8_t>& ppm, int* w, int* h) {
  std::string head(ppm.begin(), ppm.begin() + std::min<size_t>(ppm.size(), 64));
  int maxval = 0, consumed = 0;
  if (std::sscanf(head.c_str(), "P6 %d %d %d%n", w, h, &maxval, &consumed) != 3) return {};
  return std::vector<uint8_t>(ppm.begin() + consumed + 1, ppm.end());
}

TEST(BitmapFiles, ReadBackByImageMagick) {
  if (!testing_files::ToolAvailable(kConvert)) GTEST_SKIP() << "ImageMagick is not installed";
  testing_files::ScratchDir dir;
  for (int bpp : {24, 32}) {
    PixelBuffer picture = TestPicture(13, 7, bpp);
    std::string path = dir.file("p" + std::to_string(bpp) + ".bmp");
    ASSERT_EQ(ImageWriteResult::kOk, SaveBitmapViewToFile(picture.view(), path, imaging::etBitmap));
    std::vector<uint8_t> bytes = ReadAll(path);
    uint64_t stride = DibStride(13, bpp);
    ASSERT_EQ(54 + stride * 7, bytes.size());
    EXPECT_EQ('B', bytes[0]);
    EXPECT_EQ(bytes.size(), testing_ico::Le32(bytes, 2));
    EXPECT_EQ(54u, testing_ico::Le32(bytes, 10));
    EXPECT_EQ(static_cast<uint32_t>(bpp), testing_ico::Le16(bytes, 28));
    EXPECT_EQ(7u, testing_ico::Le32(bytes, 22));  // positive height: bottom-up rows
    int status = 0;
    std::vector<uint8_t> rgb =
        RunCapture(std::string(kConvert) + " '" + path + "' -alpha off rgb:- 2>/dev/null", &status);
    ASSERT_EQ(0, status);
    EXPECT_EQ(ExpectedRgb(picture, 13, 7), rgb) << bpp;
  }
}

TEST(JpegFiles, BaselineQualityNinetyReadBackByDjpeg) {
  if (!testing_files::ToolAvailable(kDjpeg)) GTEST_SKIP() << "djpeg is not installed";
  testing_files::ScratchDir dir;
  for (int bpp : {24, 32}) {
    PixelBuffer picture = TestPicture(41, 23, bpp);
    std::string path = dir.file("p.jpg");
    std::string error;
    ASSERT_EQ(ImageWriteResult::kOk, SaveBitmapViewToFile(picture.view(), path, imaging::etJPEG, &error)) << error;
    std::vector<uint8_t> bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 4u);
    // Markers: a baseline frame (SOF0), no progressive one (SOF2), three
    // components, and a luminance table scaled for quality 90 (16 -> 3).
    bool sof0 = false, sof2 = false;
    int first_q = -1, components = 0;
    for (size_t i = 2; i + 4 < bytes.size() && bytes[i] == 0xFF;) {
      uint8_t marker = bytes[i + 1];
      size_t len = (bytes[i + 2] << 8) | bytes[i + 3];
      if (marker == 0xC0) {
        sof0 = true;
        components = bytes[i + 9];
      }
      if (marker == 0xC2) sof2 = true;
      if (marker == 0xDB && first_q < 0) first_q = bytes[i + 5];
      if (marker == 0xDA) break;
      i += 2 + len;
    }
    EXPECT_TRUE(sof0);
    EXPECT_FALSE(sof2);
    EXPECT_EQ(3, components);
    EXPECT_EQ(3, first_q);
    int status = 0, w = 0, h = 0;
    std::vector<uint8_t> ppm = RunCapture(std::string(kDjpeg) + " -pnm '" + path + "'", &status);
    ASSERT_EQ(0, status);
    std::vector<uint8_t> rgb = PpmPixels(ppm, &w, &h);
    ASSERT_EQ(41, w);
    ASSERT_EQ(23, h);
    std::vector<uint8_t> want = ExpectedRgb(picture, 41, 23);
    ASSERT_EQ(want.size(), rgb.size());
    double total = 0;
    for (size_t i = 0; i < want.size(); ++i) total += std::abs(int(want[i]) - int(rgb[i]));
    // 4:2:0 chroma subsampling blurs the sharp colour edges a little.
    EXPECT_LT(total / want.size(), 8.0) << bpp;
    // The corner marks keep their colour: red top left, blue bottom right.
    EXPECT_GT(rgb[0], 200);
    EXPECT_LT(rgb[2], 60);
    size_t last = want.size() - 3;
    EXPECT_GT(rgb[last + 2], 200);
    EXPECT_LT(rgb[last], 60);
  }
}

TEST(MetafileBytes, HeaderNamesTheReferenceDevice) {
  // A 1280 x 1024 screen of 339 x 271 mm, as GDI reports one, and the
  // default device for one that reports nothing usable.
  struct Case {
    EmfReferenceDevice device;
    uint32_t pixels_x, pixels_y, mm_x, mm_y, frame_right, frame_bottom;
  } cases[] = {
      {{1280, 1024, 339, 271}, 1280, 1024, 339, 271, 237, 131}, {{1024, 768, 271, 203}, 1024, 768, 271, 203, 237, 131},
      {{0, 1024, 339, 271}, 1024, 768, 271, 203, 237, 131},     {{1280, 1024, -1, 271}, 1024, 768, 271, 203, 237, 131},
      {{800, 600, 400, 300}, 800, 600, 400, 300, 449, 249},  // half a millimetre a pixel
  };
  PixelBuffer picture = TestPicture(9, 5, 32);
  for (const Case& c : cases) {
    util::MemorySink sink;
    ASSERT_EQ(ImageWriteResult::kOk, EncodeBitmap(picture.view(), sink, imaging::etMetafile, nullptr, c.device));
    const std::vector<uint8_t>& b = sink.bytes();
    EXPECT_EQ(c.pixels_x, testing_ico::Le32(b, 72));
    EXPECT_EQ(c.pixels_y, testing_ico::Le32(b, 76));
    EXPECT_EQ(c.mm_x, testing_ico::Le32(b, 80));
    EXPECT_EQ(c.mm_y, testing_ico::Le32(b, 84));
    EXPECT_EQ(c.mm_x * 1000, testing_ico::Le32(b, 100));
    EXPECT_EQ(c.mm_y * 1000, testing_ico::Le32(b, 104));
    // The frame in 0.01 mm: 9 x 5 pixels at the device's pixel size, inclusive.
    EXPECT_EQ(c.frame_right, testing_ico::Le32(b, 32));
    EXPECT_EQ(c.frame_bottom, testing_ico::Le32(b, 36));
  }
}

TEST(MetafileBytes, RecordsAddUpAndHoldTheRows) {
  PixelBuffer picture = TestPicture(9, 5, 24);
  util::MemorySink sink;
  ASSERT_EQ(ImageWriteResult::kOk, EncodeBitmap(picture.view(), sink, imaging::etMetafile));
  const std::vector<uint8_t>& b = sink.bytes();
  ASSERT_GE(b.size(), 108u);
  EXPECT_EQ(1u, testing_ico::Le32(b, 0));
  EXPECT_EQ(0x464D4520u, testing_ico::Le32(b, 40));
  EXPECT_EQ(b.size(), testing_ico::Le32(b, 48));
  EXPECT_EQ(3u, testing_ico::Le32(b, 52));
  EXPECT_EQ(8u, testing_ico::Le32(b, 16));  // bounds right: 9 pixels, inclusive
  // Walk the records.
  size_t at = 0;
  std::vector<uint32_t> types;
  while (at + 8 <= b.size()) {
    uint32_t size = testing_ico::Le32(b, at);
    types.push_back(testing_ico::Le32(b, at));
    uint32_t len = testing_ico::Le32(b, at + 4);
    ASSERT_EQ(0u, len % 4);
    ASSERT_GT(len, 0u);
    (void)size;
    at += len;
  }
  EXPECT_EQ(b.size(), at);
  EXPECT_EQ((std::vector<uint32_t>{1, 81, 14}), types);
  size_t bits_at = 108 + testing_ico::Le32(b, 108 + 56);
  EXPECT_EQ(0, std::memcmp(b.data() + bits_at, picture.data().data(), picture.data().size()));
}

TEST(ImageWriters, EveryFailedWriteIsReported) {
  for (int type : {imaging::etBitmap, imaging::etJPEG, imaging::etMetafile}) {
    for (int bpp : {24, 32}) {
      PixelBuffer picture = TestPicture(17, 11, bpp);
      util::MemorySink whole;
      ASSERT_EQ(ImageWriteResult::kOk, EncodeBitmap(picture.view(), whole, type));
      size_t size = whole.bytes().size();
      for (size_t limit = 0; limit < size; limit += 1 + limit / 3) {
        util::FailingSink failing(limit);
        std::string error;
        EXPECT_EQ(ImageWriteResult::kWriteFailed, EncodeBitmap(picture.view(), failing, type, &error))
            << "type " << type << " limit " << limit;
        if (type == imaging::etJPEG) {
          EXPECT_FALSE(error.empty());
        }
      }
    }
  }
  PixelBuffer odd(4, 4, 16);
  util::MemorySink sink;
  EXPECT_EQ(ImageWriteResult::kUnsupportedBitmap, EncodeBitmap(odd.view(), sink, imaging::etBitmap));
}

// A write that fails after N bytes, through the real file writer: the old
// file stays byte for byte, and no temporary file is left.
TEST(ImageWriters, FailedFileWriteKeepsThePreviousFile) {
  testing_files::ScratchDir dir;
  std::string target = dir.file("old.out");
  const std::vector<uint8_t> previous(3000, 0x5C);
  PixelBuffer picture = TestPicture(17, 11, 24);
  Image32 icon(16, 16, 0x123456);
  MaskImage mask(16, 16);
  for (int type : {imaging::etIcon, imaging::etBitmap, imaging::etJPEG, imaging::etMetafile}) {
    util::MemorySink whole;
    if (type == imaging::etIcon) {
      ASSERT_GT(SaveIconImageToSink(whole, icon, mask), 0);
    } else {
      ASSERT_EQ(ImageWriteResult::kOk, EncodeBitmap(picture.view(), whole, type));
    }
    size_t size = whole.bytes().size();
    for (size_t limit : {size_t{0}, size_t{1}, size_t{21}, size_t{100}, size / 2, size - 1}) {
      ASSERT_TRUE(testing_files::WriteAll(target, previous));
      util::FileWriteResult r = util::WriteFileAtomically(target, [&](util::ByteSink& file) {
        util::FailingSink failing(limit, &file);
        if (type == imaging::etIcon) return SaveIconImageToSink(failing, icon, mask) > 0;
        return EncodeBitmap(picture.view(), failing, type) == ImageWriteResult::kOk;
      });
      EXPECT_EQ(util::FileWriteResult::kWriteFailed, r) << type << " " << limit;
      EXPECT_EQ(previous, ReadAll(target)) << type << " " << limit;
      EXPECT_EQ(std::vector<std::string>{"old.out"}, testing_files::ListDir(dir.path()));
    }
  }
}

// The real writers on a volume that is full: each reports the failure, the
// previous file is unchanged, nothing else is left. A read-only volume
// refuses the file at creation.
TEST(ImageWriters, FullAndReadOnlyVolume) {
  testing_files::SmallVolume volume(64);
  if (!volume.mounted()) GTEST_SKIP() << volume.reason();
  const std::vector<uint8_t> previous(100, 0x11);
  PixelBuffer picture = TestPicture(64, 64, 32);  // 16 KB of rows
  Image32 icon(32, 32, 0x40123456);
  MaskImage mask(32, 32);
  struct Case {
    const char* name;
    int type;
  } cases[] = {{"a.ico", imaging::etIcon},
               {"a.bmp", imaging::etBitmap},
               {"a.jpg", imaging::etJPEG},
               {"a.emf", imaging::etMetafile}};
  for (const Case& c : cases) ASSERT_TRUE(testing_files::WriteAll(volume.file(c.name), previous));
  volume.Fill();
  for (const Case& c : cases) {
    std::string path = volume.file(c.name);
    if (c.type == imaging::etIcon) {
      EXPECT_EQ(kIconWriteFailed, SaveIconImageToFile(path, icon, mask));
    } else {
      std::string error;
      EXPECT_EQ(ImageWriteResult::kWriteFailed, SaveBitmapViewToFile(picture.view(), path, c.type, &error)) << c.name;
    }
    EXPECT_EQ(previous, ReadAll(path)) << c.name;
  }
  EXPECT_EQ(5u, testing_files::ListDir(volume.path()).size());

  ASSERT_TRUE(volume.RemountReadOnly()) << "remount read-only";
  EXPECT_EQ(kIconCreateFailed, SaveIconImageToFile(volume.file("new.ico"), icon, mask));
  EXPECT_EQ(ImageWriteResult::kCreateFailed, SaveBitmapViewToFile(picture.view(), volume.file("new.bmp"), 1));
  EXPECT_FALSE(testing_files::Exists(volume.file("new.ico")));
  EXPECT_FALSE(testing_files::Exists(volume.file("new.bmp")));
}

}  // namespace
}  // namespace imaging
