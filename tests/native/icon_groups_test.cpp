#include "imaging/icon_groups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "icon_file_builder.h"
#include "imaging/icon_file_check.h"

namespace {

using icon_builder::Bytes;
using icon_builder::Put16;
using icon_builder::Put32;

uint32_t Le16(const Bytes& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t Le32(const Bytes& b, size_t at) { return Le16(b, at) | (Le16(b, at + 2) << 16); }

// Builds from a copy of exactly the file's size, so that the sanitizer
// catches any read past its end.
const char* Build(const Bytes& file, uint32_t index, Bytes* out) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[file.size() ? file.size() : 1]);
  if (!file.empty()) std::memcpy(copy.get(), file.data(), file.size());
  return imaging::BuildIconGroupFile(copy.get(), file.size(), index, out);
}

// An icon file read independently: every entry's description, size and
// offset checked against the file, and the images in directory order.
struct IcoFile {
  std::string error;
  uint32_t type = 0;
  std::vector<Bytes> descriptions;  // the first 8 bytes of each entry
  std::vector<Bytes> images;
};

IcoFile ReadIco(const Bytes& b) {
  IcoFile f;
  if (b.size() < 6 || Le16(b, 0) != 0) {
    f.error = "bad header";
    return f;
  }
  f.type = Le16(b, 2);
  const size_t count = Le16(b, 4);
  size_t expected_offset = 6 + 16 * count;
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = 6 + 16 * i;
    const uint32_t size = Le32(b, entry + 8), offset = Le32(b, entry + 12);
    if (offset != expected_offset || offset + size > b.size()) {
      f.error = "entry " + std::to_string(i) + " does not follow the one before";
      return f;
    }
    f.descriptions.emplace_back(b.begin() + entry, b.begin() + entry + 8);
    f.images.emplace_back(b.begin() + offset, b.begin() + offset + size);
    expected_offset += size;
  }
  if (expected_offset != b.size()) f.error = "bytes after the last image";
  return f;
}

// What the group's entry k describes, as GroupOf made it from the id.
Bytes Description(uint16_t id) { return {uint8_t(id * 3), uint8_t(id * 5), uint8_t(id), 0, 1, 0, 32, 0}; }

// A 16-bit executable stores each image padded to its alignment (16 bytes).
Bytes Padded(Bytes b) {
  icon_builder::PadTo(b, 16);
  return b;
}

std::vector<Bytes> FourImages() {
  return {icon_builder::Dib(16, 16, 1), icon_builder::Dib(32, 32, 2), icon_builder::Png(48, 48),
          icon_builder::Dib(8, 8, 3)};
}

// Group 0: 16, 32 and the PNG; group 1: the 8-pixel image alone; group 2:
// the PNG before the 32-pixel image, as a group may order them.
const std::vector<std::vector<uint16_t>> kGroups = {{1, 2, 3}, {4}, {3, 2}};

TEST(IconGroups, EachGroupIsItsImagesAsStoredInTheShellsOrder) {
  struct Case {
    const char* name;
    Bytes file;
    bool padded;
  };
  const Case cases[] = {
      {"PE32", icon_builder::Pe(FourImages(), false, kGroups).bytes, false},
      {"PE32+", icon_builder::Pe(FourImages(), true, kGroups).bytes, false},
      {"NE", icon_builder::Ne(FourImages(), kGroups).bytes, true},
  };
  const std::vector<Bytes> images = FourImages();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The groups are the icons the check counts.
    ASSERT_EQ(kGroups.size(), imaging::CheckIconFile(c.file.data(), c.file.size()).icon_count);
    for (size_t g = 0; g < kGroups.size(); ++g) {
      SCOPED_TRACE("group " + std::to_string(g));
      Bytes out;
      ASSERT_EQ(nullptr, Build(c.file, static_cast<uint32_t>(g), &out));
      const IcoFile ico = ReadIco(out);
      ASSERT_EQ("", ico.error);
      EXPECT_EQ(1u, ico.type);
      ASSERT_EQ(kGroups[g].size(), ico.images.size());
      for (size_t k = 0; k < kGroups[g].size(); ++k) {
        const uint16_t id = kGroups[g][k];
        EXPECT_EQ(Description(id), ico.descriptions[k]) << k;
        EXPECT_EQ(c.padded ? Padded(images[id - 1]) : images[id - 1], ico.images[k]) << k;
      }
    }
    Bytes out;
    EXPECT_NE(nullptr, Build(c.file, static_cast<uint32_t>(kGroups.size()), &out));
    EXPECT_TRUE(out.empty());
  }

  // An icon file is its own single group, returned as it is.
  const Bytes ico = icon_builder::Ico(images).bytes;
  Bytes out;
  ASSERT_EQ(nullptr, Build(ico, 0, &out));
  EXPECT_EQ(ico, out);
  EXPECT_NE(nullptr, Build(ico, 1, &out));
}

// A group whose images cannot all be read is refused as a whole; the other
// groups of the same file are still read.
TEST(IconGroups, GroupsThatCannotBeReadWholeAreRefused) {
  using PL = icon_builder::PeLayout;
  struct Case {
    const char* name;
    std::function<void(PL&)> damage;
    std::vector<uint32_t> broken;  // the groups that can no longer be read
  };
  auto group_entry = [](PL& L, size_t group, size_t k) { return L.group_data[group] + 6 + 14 * k; };
  const Case cases[] = {
      {"an image id the file lacks", [&](PL& L) { Put16(L.bytes, group_entry(L, 0, 0) + 12, 99); }, {0}},
      {"an image past the end of the file", [](PL& L) { Put32(L.bytes, L.icon_data_entries[3] + 4, 0x7FFFFFF0); }, {1}},
      {"an image's data outside every section", [](PL& L) { Put32(L.bytes, L.icon_data_entries[3], 0x7FFFFFF0); }, {1}},
      {"a PNG image cut short", [](PL& L) { Put32(L.bytes, L.icon_data_entries[2] + 4, 60); }, {0, 2}},
      {"a bitmap image cut short", [](PL& L) { Put32(L.bytes, L.icon_data_entries[1] + 4, 100); }, {0, 2}},
      {"a cursor's group header", [](PL& L) { Put16(L.bytes, L.group_data[2] + 2, 2); }, {2}},
      {"a group header's reserved word set", [](PL& L) { Put16(L.bytes, L.group_data[0], 1); }, {0}},
      {"a group without images", [](PL& L) { Put16(L.bytes, L.group_data[1] + 4, 0); }, {1}},
      {"a group claiming more entries than it holds", [](PL& L) { Put16(L.bytes, L.group_data[1] + 4, 200); }, {1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PL L = icon_builder::Pe(FourImages(), false, kGroups);
    c.damage(L);
    for (uint32_t g = 0; g < kGroups.size(); ++g) {
      Bytes out;
      const char* problem = Build(L.bytes, g, &out);
      if (std::find(c.broken.begin(), c.broken.end(), g) != c.broken.end()) {
        EXPECT_NE(nullptr, problem);
        EXPECT_TRUE(out.empty());
      } else {
        EXPECT_EQ(nullptr, problem) << "group " << g << ": " << problem;
      }
    }
  }

  // One image named over and over: the file stays small, its icon file
  // would not. The limit refuses it before anything is built.
  const Bytes big = icon_builder::Dib(256, 128);
  const size_t repeats = imaging::kMaxIconGroupFileSize / big.size() + 1;
  const Bytes file = icon_builder::Pe({big}, false, {std::vector<uint16_t>(repeats, 1)}).bytes;
  Bytes out;
  EXPECT_NE(nullptr, Build(file, 0, &out));
  EXPECT_TRUE(out.empty());
}

TEST(IconGroups, FilesWithoutGroupsHaveNone) {
  const Bytes cases[] = {
      {},
      {'M', 'Z'},
      Bytes(200, 0x20),
      icon_builder::Ico({}).bytes,
      [] {  // a damaged icon file
        Bytes b = icon_builder::Ico({icon_builder::Png(16, 16)}).bytes;
        b.resize(6 + 16 + 40);
        return b;
      }(),
  };
  for (const Bytes& file : cases) {
    Bytes out;
    EXPECT_NE(nullptr, Build(file, 0, &out)) << file.size() << " bytes";
  }
}

// Random damage: the reader never reads outside the buffer (the sanitizers
// watch), and whatever it builds is a consistent icon file of sound images.
TEST(IconGroups, RandomDamageNeverEscapesTheBuffer) {
  const Bytes seeds[] = {icon_builder::Pe(FourImages(), false, kGroups).bytes,
                         icon_builder::Pe(FourImages(), true, kGroups).bytes,
                         icon_builder::Ne(FourImages(), kGroups).bytes};
  std::mt19937 rng(4711);
  int built = 0, refused = 0;
  for (const Bytes& seed : seeds) {
    for (int round = 0; round < 2000; ++round) {
      const Bytes b = icon_builder::RandomlyDamaged(seed, rng);
      for (uint32_t g = 0; g < 4; ++g) {
        Bytes out;
        if (Build(b, g, &out)) {
          ++refused;
          continue;
        }
        ++built;
        const IcoFile ico = ReadIco(out);
        ASSERT_EQ("", ico.error);
        for (const Bytes& image : ico.images) EXPECT_EQ(nullptr, imaging::CheckIconImage(image.data(), image.size()));
      }
    }
  }
  EXPECT_GT(built, 0);
  EXPECT_GT(refused, 0);
}

}  // namespace
