// One icon image as stored in a group, decoded to BGRA with alpha: a DIB of
// every bit count with its AND mask, a PNG stream handed back as it is, and
// damaged images that must fail cleanly.
#include "imaging/icon_image_decoder.h"
#include "imaging/icon_group_png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <functional>
#include <vector>

#include "imaging/png_writer.h"
#include "util/byte_sink.h"

namespace imaging {
namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

// The raw value of pixel (x, y), y from the top: a palette index, a 16-bit
// 5-5-5 value, or 0xAARRGGBB.
using RawPixel = std::function<uint32_t(int x, int y)>;

// A DIB as an icon group stores it, written here bit by bit from the format's
// description: the header with the doubled height, the palette, the colour
// rows and the AND mask rows, bottom-up, each row padded to 4 bytes.
Bytes BuildDib(int w, int h, int bpp, const std::vector<uint32_t>& palette, const RawPixel& raw,
               const std::function<bool(int, int)>& masked, bool with_mask = true) {
  Bytes b;
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(w));
  Put32(b, static_cast<uint32_t>(2 * h));
  Put16(b, 1);
  Put16(b, static_cast<uint32_t>(bpp));
  Put32(b, 0);  // BI_RGB
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, static_cast<uint32_t>(palette.size()));
  Put32(b, 0);
  for (uint32_t c : palette) Put32(b, c & 0xFFFFFF);
  const size_t stride = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
  for (int row = h - 1; row >= 0; --row) {
    Bytes line(stride, 0);
    for (int x = 0; x < w; ++x) {
      const uint32_t v = raw(x, row);
      if (bpp < 8) {
        const int bit = x * bpp;
        line[bit / 8] |= static_cast<uint8_t>(v << (8 - bpp - bit % 8));
      } else {
        for (int k = 0; k < bpp / 8; ++k)
          line[static_cast<size_t>(x) * (bpp / 8) + k] = static_cast<uint8_t>(v >> (8 * k));
      }
    }
    b.insert(b.end(), line.begin(), line.end());
  }
  if (!with_mask) return b;
  const size_t mask_stride = ((static_cast<size_t>(w) + 31) / 32) * 4;
  for (int row = h - 1; row >= 0; --row) {
    Bytes line(mask_stride, 0);
    for (int x = 0; x < w; ++x)
      if (masked(x, row)) line[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    b.insert(b.end(), line.begin(), line.end());
  }
  return b;
}

bool Corner(int x, int y) { return x < 2 && y < 2; }  // the top left 2 x 2 is masked

TEST(IconImageDecoder, EveryBitCountWithItsMask) {
  const int w = 7, h = 3;  // odd width: every row is padded
  const std::vector<uint32_t> palette16 = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                           0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                           0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  const struct {
    int bpp;
    std::vector<uint32_t> palette;
    RawPixel raw;
    std::function<uint32_t(int, int)> colour;  // the expected 0xRRGGBB
  } cases[] = {
      {1,
       {0x102030, 0xF0E0D0},
       [](int x, int y) { return static_cast<uint32_t>((x + y) & 1); },
       [](int x, int y) { return ((x + y) & 1) ? 0xF0E0D0u : 0x102030u; }},
      {4, palette16, [](int x, int y) { return static_cast<uint32_t>((x * 3 + y) % 16); },
       [&palette16](int x, int y) { return palette16[(x * 3 + y) % 16]; }},
      {8,
       {0x010203, 0x040506, 0x070809},
       [](int x, int y) { return static_cast<uint32_t>((x + y) % 3); },
       [](int x, int y) {
         return std::vector<uint32_t>{0x010203, 0x040506, 0x070809}[(x + y) % 3];
       }},
      // 5-5-5: red 31, green x, blue y; a channel of 31 reads 255.
      {16,
       {},
       [](int x, int y) { return static_cast<uint32_t>((31 << 10) | (x << 5) | y); },
       [](int x, int y) {
         auto e = [](uint32_t v) { return (v << 3) | (v >> 2); };
         return (0xFFu << 16) | (e(static_cast<uint32_t>(x)) << 8) | e(static_cast<uint32_t>(y));
       }},
      {24,
       {},
       [](int x, int y) { return static_cast<uint32_t>(0x112233 + x * 0x010000 + y); },
       [](int x, int y) { return static_cast<uint32_t>(0x112233 + x * 0x010000 + y); }},
      // 32 bits without alpha: the mask decides, as for the others.
      {32,
       {},
       [](int x, int y) { return static_cast<uint32_t>(0x00A0B0C0 + x + y * 0x100); },
       [](int x, int y) { return static_cast<uint32_t>(0xA0B0C0 + x + y * 0x100); }},
  };
  for (const auto& c : cases) {
    const Bytes dib = BuildDib(w, h, c.bpp, c.palette, c.raw, Corner);
    DecodedIconImage out;
    ASSERT_EQ(IconImageDecodeResult::kOk, DecodeIconImage(dib.data(), dib.size(), &out)) << c.bpp;
    ASSERT_FALSE(out.is_png);
    ASSERT_EQ(w, out.width);
    ASSERT_EQ(h, out.height);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ((Corner(x, y) ? 0u : 0xFF000000u) | c.colour(x, y), out.pixels.At(x, y))
            << c.bpp << " bits at " << x << "," << y;
  }
}

TEST(IconImageDecoder, ThirtyTwoBitAlphaIsKeptOverTheMask) {
  const RawPixel ramp = [](int x, int y) { return (static_cast<uint32_t>(x * 40 + 3) << 24) | (0x123456u + y); };
  // Without a colour table, and with one of two colours, which a DIB of
  // more than 8 bits may carry before its pixels all the same.
  for (const std::vector<uint32_t>& table : {std::vector<uint32_t>{}, std::vector<uint32_t>{0xABCDEF, 0x010203}}) {
    const Bytes dib = BuildDib(5, 2, 32, table, ramp, [](int, int) { return true; });
    DecodedIconImage out;
    ASSERT_EQ(IconImageDecodeResult::kOk, DecodeIconImage(dib.data(), dib.size(), &out));
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(ramp(x, y), out.pixels.At(x, y)) << table.size() << ": " << x << "," << y;
  }
}

TEST(IconImageDecoder, PngStreamIsHandedBackAsStored) {
  Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
               0,    0,   1,   0,   0,    0,    0,    48,   8, 6, 0, 0,  0,   1,   2,   3};
  DecodedIconImage out;
  ASSERT_EQ(IconImageDecodeResult::kOk, DecodeIconImage(png.data(), png.size(), &out));
  EXPECT_TRUE(out.is_png);
  EXPECT_EQ(256, out.width);
  EXPECT_EQ(48, out.height);
  EXPECT_EQ(png, out.png);
  EXPECT_TRUE(out.pixels.pixels.empty());
}

TEST(IconImageDecoder, DamagedImagesFailCleanly) {
  const RawPixel zero = [](int, int) { return 0u; };
  const auto none = [](int, int) { return false; };
  const Bytes good = BuildDib(4, 4, 8, {0x112233}, zero, none);
  auto with = [&](size_t at, uint8_t value) {
    Bytes b = good;
    b[at] = value;
    return b;
  };
  const Bytes png_cut = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0};
  const struct {
    const char* what;
    Bytes bytes;
    IconImageDecodeResult want;
  } cases[] = {
      {"empty", {}, IconImageDecodeResult::kTruncated},
      {"header cut", Bytes(good.begin(), good.begin() + 39), IconImageDecodeResult::kTruncated},
      {"palette cut", Bytes(good.begin(), good.begin() + 42), IconImageDecodeResult::kTruncated},
      {"colour rows cut", Bytes(good.begin(), good.begin() + 40 + 4 + 15), IconImageDecodeResult::kTruncated},
      {"header longer than the image", with(1, 1), IconImageDecodeResult::kTruncated},
      {"header too short", with(0, 12), IconImageDecodeResult::kUnsupported},
      {"2 bits per pixel", with(14, 2), IconImageDecodeResult::kUnsupported},
      {"run-length compressed", with(16, 1), IconImageDecodeResult::kUnsupported},
      {"width 0", with(4, 0), IconImageDecodeResult::kUnsupported},
      {"negative width", with(7, 0x80), IconImageDecodeResult::kUnsupported},
      {"height too large", with(10, 0x7F), IconImageDecodeResult::kUnsupported},
      {"png cut", png_cut, IconImageDecodeResult::kTruncated},
  };
  for (const auto& c : cases) {
    DecodedIconImage out;
    EXPECT_EQ(c.want, DecodeIconImage(c.bytes.data(), c.bytes.size(), &out)) << c.what;
  }
}

// Real icons leave out the mask now and then, and palettes may be short.
TEST(IconImageDecoder, MissingMaskIsOpaqueAndIndexBeyondThePaletteIsBlack) {
  const Bytes no_mask = BuildDib(
      3, 2, 24, {}, [](int, int) { return 0x445566u; }, nullptr, false);
  DecodedIconImage out;
  ASSERT_EQ(IconImageDecodeResult::kOk, DecodeIconImage(no_mask.data(), no_mask.size(), &out));
  EXPECT_EQ(0xFF445566u, out.pixels.At(2, 1));

  const Bytes short_palette = BuildDib(
      2, 1, 4, {0x00FF00}, [](int x, int) { return x == 0 ? 0u : 9u; }, [](int, int) { return false; });
  ASSERT_EQ(IconImageDecodeResult::kOk, DecodeIconImage(short_palette.data(), short_palette.size(), &out));
  EXPECT_EQ(0xFF00FF00u, out.pixels.At(0, 0));
  EXPECT_EQ(0xFF000000u, out.pixels.At(1, 0));
}

// An icon file of the given images, laid out as an icon group's file is.
Bytes IconFile(const std::vector<std::pair<int, Bytes>>& images) {
  Bytes b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, static_cast<uint32_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (const auto& [bits, image] : images) {
    Put32(b, 0);  // width, height, colours, reserved: the images say their size
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(bits));
    Put32(b, static_cast<uint32_t>(image.size()));
    Put32(b, offset);
    offset += static_cast<uint32_t>(image.size());
  }
  for (const auto& image : images) b.insert(b.end(), image.second.begin(), image.second.end());
  return b;
}

// A real PNG of w x h pixels, as the writer makes it.
Bytes WrittenPng(int w, int h) {
  Image32 image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.At(x, y) = MakePixel(static_cast<uint8_t>(x * 9), static_cast<uint8_t>(y * 5), 7);
  util::MemorySink sink;
  EXPECT_TRUE(WritePng(image, sink));
  return sink.take();
}

uint32_t Be32(const Bytes& b, size_t at) {
  return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}

// The PNG with the chunk of the given type changed by `change` (which may
// resize its data) and, unless told not to, its checksum made right again.
Bytes ChangeChunk(const Bytes& png, const char* type, const std::function<void(Bytes&)>& change,
                  bool fix_checksum = true) {
  Bytes out(png.begin(), png.begin() + 8);
  for (size_t pos = 8; pos + 12 <= png.size();) {
    const uint32_t length = Be32(png, pos);
    Bytes body(png.begin() + pos + 8, png.begin() + pos + 8 + length);
    uint32_t crc = Be32(png, pos + 8 + length);
    const bool chosen = std::memcmp(&png[pos + 4], type, 4) == 0;
    if (chosen) {
      change(body);
      Bytes typed(type, type + 4);
      typed.insert(typed.end(), body.begin(), body.end());
      crc = fix_checksum ? static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))) : crc ^ 1;
    }
    for (int k = 3; k >= 0; --k) out.push_back(static_cast<uint8_t>(body.size() >> (8 * k)));
    out.insert(out.end(), png.begin() + pos + 4, png.begin() + pos + 8);
    out.insert(out.end(), body.begin(), body.end());
    for (int k = 3; k >= 0; --k) out.push_back(static_cast<uint8_t>(crc >> (8 * k)));
    pos += 12 + length;
  }
  return out;
}

TEST(IconGroupPng, EveryImageOfAGroupBecomesAPngAndABrokenGroupNone) {
  const Bytes dib = BuildDib(
      4, 3, 8, {0x102030, 0x405060}, [](int x, int) { return x % 2; }, Corner);
  const Bytes png = WrittenPng(20, 10);
  std::vector<TGroupImagePng> out;
  const Bytes file = IconFile({{8, dib}, {32, png}});
  ASSERT_TRUE(GroupImagesAsPng(file.data(), file.size(), &out));
  ASSERT_TRUE(GroupPngImagesDecode(file.data(), file.size()));
  ASSERT_EQ(2u, out.size());
  EXPECT_EQ(4, out[0].width);
  EXPECT_EQ(3, out[0].height);
  EXPECT_EQ(8, out[0].bit_count);
  EXPECT_EQ(Bytes(png.begin(), png.begin() + 8), Bytes(out[0].png.begin(), out[0].png.begin() + 8)) << "written anew";
  EXPECT_EQ(png, out[1].png) << "a stored PNG stays as it is";
  EXPECT_EQ(20, out[1].width);

  // An image that lies past the end, or that cannot be decoded, spoils the group.
  Bytes cut = file;
  cut.resize(cut.size() - 1);
  EXPECT_FALSE(GroupImagesAsPng(cut.data(), cut.size(), &out));
  EXPECT_TRUE(out.empty());
  const Bytes short_dib(dib.begin(), dib.begin() + 44);
  const Bytes damaged = IconFile({{32, png}, {8, short_dib}});
  EXPECT_FALSE(GroupImagesAsPng(damaged.data(), damaged.size(), &out));
  EXPECT_TRUE(out.empty());
}

TEST(IconGroupPng, AStoredPngMustDecodeWhole) {
  const Bytes png = WrittenPng(20, 10);
  const std::pair<const char*, Bytes> broken[] = {
      {"bad checksum", ChangeChunk(
                           png, "IDAT", [](Bytes&) {}, false)},
      {"short image data", ChangeChunk(png, "IDAT", [](Bytes& d) { d.resize(d.size() / 2); })},
      {"broken zlib stream", ChangeChunk(png, "IDAT", [](Bytes& d) { d[0] ^= 0x01; })},
      {"interlaced rows missing", ChangeChunk(png, "IHDR", [](Bytes& d) { d[12] = 1; })},
  };
  for (const auto& [what, image] : broken) {
    const Bytes file = IconFile({{32, image}});
    std::vector<TGroupImagePng> out;
    EXPECT_FALSE(GroupImagesAsPng(file.data(), file.size(), &out)) << what;
    EXPECT_FALSE(GroupPngImagesDecode(file.data(), file.size())) << what;
  }
}

TEST(IconGroupPng, AnImageNamedAgainIsOneAndTheGroupIsBounded) {
  const Bytes png = WrittenPng(16, 16);
  Bytes file = IconFile({{32, png}, {32, png}, {32, png}});
  // Every entry names the first image.
  for (int i = 1; i < 3; ++i) std::memcpy(&file[6 + 16 * i + 12], &file[6 + 12], 4);
  std::vector<TGroupImagePng> out;
  ASSERT_TRUE(GroupImagesAsPng(file.data(), file.size(), &out));
  EXPECT_EQ(1u, out.size());

  // A header that claims 4096 x 4096 pixels beside a real image: together
  // more than a group may decode to, refused before anything is decoded.
  Bytes huge = png;
  const uint8_t side[4] = {0, 0, 0x10, 0};
  std::memcpy(&huge[16], side, 4);
  std::memcpy(&huge[20], side, 4);
  const Bytes big = IconFile({{32, png}, {32, huge}});
  EXPECT_FALSE(GroupImagesAsPng(big.data(), big.size(), &out));
}

}  // namespace
}  // namespace imaging
