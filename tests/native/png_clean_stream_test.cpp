// The quick PNG verdict against libpng's full decode (DecodePng): it must
// take the plain streams icon writers make, leave everything unusual or
// damaged to libpng, and never call a stream sound that libpng rejects.
#include "imaging/png_clean_stream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "imaging/png_reader.h"
#include "imaging/png_writer.h"
#include "util/byte_sink.h"

namespace imaging {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint64_t kRoomy = uint64_t{1} << 24;

void Put32(Bytes* out, uint32_t v) {
  for (int k = 3; k >= 0; --k) out->push_back(static_cast<uint8_t>(v >> (8 * k)));
}

void PutChunk(Bytes* out, const char* type, const Bytes& data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  Bytes typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out->insert(out->end(), typed.begin(), typed.end());
  Put32(out, static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

// What a PNG stream is made of; Build() writes it with every checksum right.
struct Recipe {
  uint32_t width = 5;
  uint32_t height = 4;
  uint8_t bit_depth = 8;
  uint8_t color_type = 6;
  uint8_t interlace = 0;
  int channels = 4;
  std::function<uint8_t(uint32_t row)> filter = [](uint32_t row) { return static_cast<uint8_t>(row % 5); };
  size_t idat_piece = 0;                              // 0: one IDAT chunk
  std::vector<std::pair<std::string, Bytes>> before;  // chunks between IHDR and the image data
  std::vector<std::pair<std::string, Bytes>> after;   // chunks between the image data and IEND
  Bytes palette;                                      // a PLTE chunk, if not empty
  int extra_rows = 0;                                 // rows compressed beyond (or, negative, short of) the height
  bool bad_adler = false;                             // the zlib stream's own checksum spoiled
  Bytes after_stream;                                 // bytes in the last IDAT after the zlib stream
  bool end_chunk = true;
  Bytes after_end;

  Bytes Rows() const {
    const size_t row_bytes = (size_t{width} * channels * bit_depth + 7) / 8;
    Bytes rows;
    const int count = static_cast<int>(height) + extra_rows;
    for (int y = 0; y < count; ++y) {
      rows.push_back(filter(static_cast<uint32_t>(y)));
      for (size_t x = 0; x < row_bytes; ++x) rows.push_back(static_cast<uint8_t>(x * 37 + y * 11));
    }
    return rows;
  }

  Bytes Build() const {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    Put32(&header, width);
    Put32(&header, height);
    header.insert(header.end(), {bit_depth, color_type, 0, 0, interlace});
    PutChunk(&png, "IHDR", header);
    if (!palette.empty()) PutChunk(&png, "PLTE", palette);
    for (const auto& [type, data] : before) PutChunk(&png, type.c_str(), data);
    const Bytes rows = Rows();
    uLongf packed_size = compressBound(static_cast<uLong>(rows.size()));
    Bytes packed(packed_size);
    EXPECT_EQ(Z_OK, compress(packed.data(), &packed_size, rows.data(), static_cast<uLong>(rows.size())));
    packed.resize(packed_size);
    if (bad_adler) packed.back() ^= 0x01;
    packed.insert(packed.end(), after_stream.begin(), after_stream.end());
    const size_t piece = idat_piece ? idat_piece : packed.size();
    for (size_t at = 0; at < packed.size(); at += piece) {
      PutChunk(&png, "IDAT", Bytes(packed.begin() + at, packed.begin() + std::min(packed.size(), at + piece)));
      if (idat_piece == 1 && at == 2) PutChunk(&png, "IDAT", {});  // an empty chunk among them
    }
    for (const auto& [type, data] : after) PutChunk(&png, type.c_str(), data);
    if (end_chunk) PutChunk(&png, "IEND", {});
    png.insert(png.end(), after_end.begin(), after_end.end());
    return png;
  }
};

bool LibpngDecodes(const Bytes& png, uint64_t max_pixel_bytes = kRoomy) {
  Image32 picture;
  return DecodePng(png.data(), png.size(), max_pixel_bytes, &picture);
}

bool Clean(const Bytes& png, uint64_t max_pixel_bytes = kRoomy) {
  return PngStreamIsClean(png.data(), png.size(), max_pixel_bytes);
}

TEST(PngCleanStream, PlainStreamsAreTakenAndLibpngReadsThem) {
  std::vector<std::pair<std::string, Recipe>> plain;
  plain.emplace_back("RGBA, every filter type", Recipe{});
  Recipe grey;
  grey.color_type = 0, grey.channels = 1, grey.width = 17;
  plain.emplace_back("grey, odd width", grey);
  Recipe grey_alpha;
  grey_alpha.color_type = 4, grey_alpha.channels = 2, grey_alpha.height = 1;
  plain.emplace_back("grey and alpha, one row", grey_alpha);
  Recipe rgb;
  rgb.color_type = 2, rgb.channels = 3, rgb.width = 1, rgb.height = 33;
  plain.emplace_back("RGB, one column", rgb);
  Recipe split;
  split.idat_piece = 1;
  plain.emplace_back("one byte an IDAT, one of them empty", split);
  Recipe one_bit;
  one_bit.color_type = 0, one_bit.channels = 1, one_bit.bit_depth = 1, one_bit.width = 13;
  plain.emplace_back("1-bit grey", one_bit);
  Recipe deep;
  deep.bit_depth = 16;
  plain.emplace_back("16 bits a sample", deep);
  // What icon writers put before the image data, known to libpng or not.
  Recipe described;
  described.before = {{"gAMA", {0, 0, 0xB1, 0x8F}},
                      {"cHRM", Bytes(32, 0x10)},
                      {"bKGD", {0, 0, 0, 0, 0, 0}},
                      {"tEXt", {'a', 0, 'b'}},
                      {"caNv", Bytes(16, 0)}};
  plain.emplace_back("ancillary chunks", described);
  for (const auto& [what, recipe] : plain) {
    const Bytes png = recipe.Build();
    EXPECT_TRUE(Clean(png)) << what;
    EXPECT_TRUE(LibpngDecodes(png)) << what;
  }

  // What our own writer makes, at the size of the largest icon image.
  Image32 image(256, 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x)
      image.At(x, y) = MakePixel(static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(x ^ y),
                                 static_cast<uint8_t>(x + y));
  util::MemorySink sink;
  ASSERT_TRUE(WritePng(image, sink));
  EXPECT_TRUE(Clean(sink.bytes()));
  EXPECT_TRUE(Clean(sink.bytes(), uint64_t{256} * 256 * 4));
  EXPECT_FALSE(Clean(sink.bytes(), uint64_t{256} * 256 * 4 - 1)) << "the pixel bound holds";
}

TEST(PngCleanStream, UnusualOrDamagedStreamsAreLeftToLibpng) {
  struct Case {
    const char* what;
    std::function<void(Recipe&)> change;
    bool libpng_decodes;
  };
  const Case cases[] = {
      {"a palette", [](Recipe& s) { s.color_type = 3, s.channels = 1, s.palette = {0, 0, 0, 255, 255, 255}; }, true},
      {"interlaced", [](Recipe& s) { s.interlace = 1, s.width = 1, s.height = 1; }, true},
      {"a critical chunk libpng does not know",
       [](Recipe& s) {
         s.before = {{"ABCD", {}}};
       },
       false},
      {"a chunk type that is not letters",
       [](Recipe& s) {
         s.before = {{"ab1d", {}}};
       },
       false},
      {"a chunk between the image data and IEND",
       [](Recipe& s) {
         s.after = {{"tEXt", {'a', 0, 'b'}}};
       },
       true},
      {"grey of 3 bits", [](Recipe& s) { s.color_type = 0, s.channels = 1, s.bit_depth = 3; }, false},
      {"a filter type libpng does not know",
       [](Recipe& s) { s.filter = [](uint32_t row) { return row == 2 ? 5 : 0; }; }, false},
      {"the zlib checksum wrong", [](Recipe& s) { s.bad_adler = true; }, false},
      {"a row short", [](Recipe& s) { s.extra_rows = -1; }, false},
      {"a row too many", [](Recipe& s) { s.extra_rows = 1; }, true},
      {"bytes after the zlib stream",
       [](Recipe& s) {
         s.after_stream = {1, 2, 3};
       },
       true},
      {"no IEND", [](Recipe& s) { s.end_chunk = false; }, true},
      {"bytes after IEND", [](Recipe& s) { s.after_end = {0}; }, true},
  };
  for (const Case& c : cases) {
    Recipe recipe;
    c.change(recipe);
    const Bytes png = recipe.Build();
    EXPECT_FALSE(Clean(png)) << c.what;
    EXPECT_EQ(c.libpng_decodes, LibpngDecodes(png)) << c.what;
  }

  const Bytes sound = Recipe{}.Build();
  ASSERT_TRUE(Clean(sound));
  Bytes bad_crc = sound;
  bad_crc[8 + 25 + 8] ^= 0x01;  // the first byte of IDAT's data
  EXPECT_FALSE(Clean(bad_crc));
  EXPECT_FALSE(LibpngDecodes(bad_crc));
  for (size_t cut = 0; cut < sound.size(); ++cut) EXPECT_FALSE(Clean(Bytes(sound.begin(), sound.begin() + cut))) << cut;
}

// Random damage to sound streams, with the chunk checksums made right again
// so that it reaches the header, the zlib stream and the filter types.
TEST(PngCleanStream, NeverTakesAStreamLibpngRejects) {
  std::mt19937 random(20261210);
  int taken = 0;
  int rejected_by_libpng = 0;
  for (int round = 0; round < 3000; ++round) {
    Recipe recipe;
    recipe.width = 1 + random() % 9;
    recipe.height = 1 + random() % 6;
    recipe.idat_piece = random() % 3 == 0 ? 1 + random() % 12 : 0;
    const int mode = static_cast<int>(random() % 4);
    if (mode == 0) {
      // Filter types drawn from 0 to 5 over the rows.
      const uint32_t seed = random();
      recipe.filter = [seed](uint32_t row) { return static_cast<uint8_t>((seed >> (row * 3)) % 6 == 5 ? 5 : row % 5); };
    }
    if (mode == 3) {
      // Ancillary chunks libpng reads, with whatever they hold.
      static const char* const kTypes[] = {"gAMA", "cHRM", "sRGB", "tRNS", "bKGD",
                                           "sBIT", "pHYs", "iCCP", "zTXt", "iTXt"};
      for (int k = 1 + static_cast<int>(random() % 3); k > 0; --k) {
        Bytes data(random() % 40);
        for (uint8_t& b : data) b = static_cast<uint8_t>(random() % 4 == 0 ? random() : random() % 3);
        recipe.before.emplace_back(kTypes[random() % std::size(kTypes)], data);
      }
    }
    Bytes png = recipe.Build();
    if (mode == 1 || mode == 2) {
      // Flip bits in the header's fields or anywhere in the image data,
      // then rewrite every chunk with its checksum right.
      const int flips = 1 + static_cast<int>(random() % 3);
      for (int k = 0; k < flips; ++k) {
        const size_t at = mode == 1 ? 16 + random() % 13 : 41 + random() % (png.size() - 41 - 12);
        png[at] ^= static_cast<uint8_t>(1u << (random() % 8));
      }
      Bytes rewritten(png.begin(), png.begin() + 8);
      for (size_t pos = 8; pos + 12 <= png.size();) {
        const uint32_t length =
            (uint32_t{png[pos]} << 24) | (uint32_t{png[pos + 1]} << 16) | (uint32_t{png[pos + 2]} << 8) | png[pos + 3];
        if (length > png.size() - pos - 12) break;
        const std::string type(png.begin() + pos + 4, png.begin() + pos + 8);
        PutChunk(&rewritten, type.c_str(), Bytes(png.begin() + pos + 8, png.begin() + pos + 8 + length));
        pos += 12 + length;
      }
      png = rewritten;
    }
    const bool decodes = LibpngDecodes(png);
    if (Clean(png)) {
      ++taken;
      ASSERT_TRUE(decodes) << "round " << round;
    }
    if (!decodes) ++rejected_by_libpng;
  }
  // Both kinds must have come up for the rounds to show anything.
  EXPECT_GT(taken, 300);
  EXPECT_GT(rejected_by_libpng, 300);
}

}  // namespace
}  // namespace imaging
