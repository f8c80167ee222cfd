#include "imaging/group_image_choice.h"

#include <gtest/gtest.h>

#include <vector>

#include "icon_file_builder.h"

namespace {

using icon_builder::Bytes;
using imaging::TGroupImageSize;

TEST(NearestGroupImage, NearestThenLargerThenDeepestThenFirst) {
  struct Case {
    const char* what;
    std::vector<TGroupImageSize> images;
    int pixels;
    size_t chosen;
  } cases[] = {
      {"exact size", {{16, 16, 32}, {32, 32, 32}, {48, 48, 32}}, 32, 1},
      {"nearest below", {{16, 16, 32}, {48, 48, 32}}, 20, 0},
      {"nearest above", {{16, 16, 32}, {48, 48, 32}}, 40, 1},
      {"a tie takes the larger", {{16, 16, 32}, {32, 32, 32}}, 24, 1},
      {"a tie takes the larger, stored first", {{32, 32, 4}, {16, 16, 32}}, 24, 0},
      {"deepest colour of the size", {{32, 32, 4}, {32, 32, 32}, {32, 32, 8}}, 32, 1},
      {"depth only among the nearest", {{16, 16, 32}, {32, 32, 4}}, 30, 1},
      {"alike: the first stored", {{32, 32, 8}, {32, 32, 8}}, 32, 0},
      {"the larger side counts", {{16, 48, 32}, {32, 32, 32}}, 48, 0},
      {"beyond every image", {{256, 256, 32}, {16, 16, 32}}, 4096, 0},
      {"below every image", {{256, 256, 32}, {16, 16, 32}}, 1, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(c.chosen, imaging::NearestGroupImage(c.images, c.pixels)) << c.what;
}

// A DIB's header depth, for an entry that leaves it 0.
Bytes WithHeaderDepth(Bytes dib, uint16_t bits) {
  icon_builder::Put16(dib, 14, bits);
  return dib;
}

TEST(GroupImageSizes, FromTheImagesHeadersAndTheEntriesDepth) {
  icon_builder::IcoLayout ico = icon_builder::Ico(
      {icon_builder::Dib(16, 16), icon_builder::Png(48, 40), WithHeaderDepth(icon_builder::Dib(24, 24), 8)});
  // The third entry leaves its depth to the header; the first one's entry
  // claims 4 bits, which wins over the header.
  icon_builder::Put16(ico.bytes, ico.entries[0] + 6, 4);
  icon_builder::Put16(ico.bytes, ico.entries[2] + 6, 0);
  std::vector<TGroupImageSize> sizes;
  ASSERT_TRUE(imaging::GroupImageSizes(ico.bytes.data(), ico.bytes.size(), &sizes));
  ASSERT_EQ(3u, sizes.size());
  const int expected[3][3] = {{16, 16, 4}, {48, 40, 32}, {24, 24, 8}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(expected[i][0], sizes[i].width) << i;
    EXPECT_EQ(expected[i][1], sizes[i].height) << i;
    EXPECT_EQ(expected[i][2], sizes[i].bit_count) << i;
  }

  Bytes cut = ico.bytes;
  cut.resize(cut.size() - 1);
  EXPECT_FALSE(imaging::GroupImageSizes(cut.data(), cut.size(), &sizes));
  EXPECT_TRUE(sizes.empty());
}

TEST(SingleImageIconFile, OneEntryAsStoredAndItsImage) {
  const std::vector<Bytes> images = {icon_builder::Dib(16, 16, 1), icon_builder::Png(32, 32), icon_builder::Dib(8, 8)};
  const icon_builder::IcoLayout ico = icon_builder::Ico(images);
  for (size_t k = 0; k < images.size(); ++k) {
    Bytes out;
    ASSERT_TRUE(imaging::SingleImageIconFile(ico.bytes.data(), ico.bytes.size(), k, &out));
    Bytes expected = {0, 0, 1, 0, 1, 0};
    expected.insert(expected.end(), ico.bytes.begin() + ico.entries[k], ico.bytes.begin() + ico.entries[k] + 12);
    icon_builder::Append32(expected, 22);
    icon_builder::Append(expected, images[k]);
    EXPECT_EQ(expected, out) << k;
  }
  Bytes out;
  EXPECT_FALSE(imaging::SingleImageIconFile(ico.bytes.data(), ico.bytes.size(), images.size(), &out));
}

}  // namespace
