#include "imaging/icon_file_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "damaged_icon_files.h"
#include "icon_file_builder.h"

namespace {

using icon_builder::Append16;
using icon_builder::Append32;
using icon_builder::Bytes;
using icon_builder::Put16;
using icon_builder::Put32;
using icon_cases::DamageCase;
using icon_cases::DamagedIconFiles;
using icon_cases::GoodIco;
using icon_cases::GoodNe;
using icon_cases::GoodPe;
using icon_cases::ThreeImages;
using imaging::CheckIconFile;
using imaging::IconFileFormat;

// Checks a copy of exactly the file's size, so that the sanitizer catches
// any read past its end.
imaging::IconFileCheck Check(const Bytes& b) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[b.size() ? b.size() : 1]);
  if (!b.empty()) std::memcpy(copy.get(), b.data(), b.size());
  return CheckIconFile(copy.get(), b.size());
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

struct SoundCase {
  const char* name;
  std::function<Bytes()> make;
  IconFileFormat format;
  uint32_t count;
};

TEST(IconFileCheck, SoundFilesPassWithTheShellsCount) {
  const SoundCase cases[] = {
      {"PE32 with three groups", [] { return icon_builder::Pe(ThreeImages()).bytes; }, IconFileFormat::kPe, 3},
      {"PE32+ with three groups", [] { return icon_builder::Pe(ThreeImages(), true).bytes; }, IconFileFormat::kPe, 3},
      {"PE with one group", [] { return icon_builder::Pe({icon_builder::Dib(32, 32)}).bytes; }, IconFileFormat::kPe, 1},
      {"PE without resources",
       [] {
         Bytes b = icon_builder::Pe(ThreeImages()).bytes;
         Put32(b, icon_builder::Pe(ThreeImages()).resource_directory_field, 0);
         return b;
       },
       IconFileFormat::kPe, 0},
      {"PE whose resources lie in no section",
       [] {
         auto L = icon_builder::Pe(ThreeImages());
         Put32(L.bytes, L.resource_directory_field, 0x900000);
         return L.bytes;
       },
       IconFileFormat::kPe, 0},
      {"PE with unknown optional header",
       [] {
         auto L = icon_builder::Pe(ThreeImages());
         Put16(L.bytes, L.optional_header, 0x107);
         return L.bytes;
       },
       IconFileFormat::kPe, 0},
      {"NE with two groups",
       [] {
         return icon_builder::Ne({icon_builder::Dib(16, 16), icon_builder::Dib(32, 32)}).bytes;
       },
       IconFileFormat::kNe, 2},
      {"NE without resources",
       [] {
         auto L = icon_builder::Ne({icon_builder::Dib(16, 16)});
         Put16(L.bytes, 64 + 0x26, 64 + 4);  // resident names right behind the table start
         return L.bytes;
       },
       IconFileFormat::kNe, 0},
      {"icon file with three images", [] { return icon_builder::Ico(ThreeImages()).bytes; }, IconFileFormat::kIco, 1},
      {"icon file with a PNG", [] { return icon_builder::Ico({icon_builder::Png(48, 48)}).bytes; },
       IconFileFormat::kIco, 1},
      {"icon file without images", [] { return icon_builder::Ico({}).bytes; }, IconFileFormat::kIco, 0},
      {"text", [] { return Text("Just some text.\r\n"); }, IconFileFormat::kOther, 0},
      {"empty", [] { return Bytes(); }, IconFileFormat::kOther, 0},
      {"one byte", [] { return Bytes{0}; }, IconFileFormat::kOther, 0},
      {"cursor file",
       [] {
         Bytes b = icon_builder::Ico({icon_builder::Dib(16, 16)}).bytes;
         Put16(b, 2, 2);
         return b;
       },
       IconFileFormat::kOther, 0},
      {"second word 1 after a nonzero word", [] { return Bytes{7, 0, 1, 0, 0xFF, 0xFF}; }, IconFileFormat::kOther, 0},
      {"DOS program",
       [] {
         Bytes b(200, 0x90);
         Put16(b, 0, 0x5A4D);
         Put32(b, 0x3C, 0x1000);
         return b;
       },
       IconFileFormat::kOther, 0},
      {"MZ with an unknown new header",
       [] {
         Bytes b(200, 0);
         Put16(b, 0, 0x5A4D);
         Put32(b, 0x3C, 64);
         Put16(b, 64, 0x454C);  // "LE"
         return b;
       },
       IconFileFormat::kOther, 0},
  };
  for (const SoundCase& c : cases) {
    SCOPED_TRACE(c.name);
    imaging::IconFileCheck r = Check(c.make());
    EXPECT_FALSE(r.damaged) << r.problem;
    EXPECT_EQ(c.format, r.format);
    EXPECT_EQ(c.count, r.icon_count);
  }
}

TEST(IconFileCheck, DamagedFilesAreKeptFromTheShell) {
  for (const DamageCase& c : DamagedIconFiles()) {
    SCOPED_TRACE(c.name);
    imaging::IconFileCheck r = Check(c.make());
    EXPECT_TRUE(r.damaged);
    EXPECT_EQ(c.format, r.format);
    EXPECT_STRNE("", r.problem);
    EXPECT_EQ(0u, r.icon_count);
  }
}

// Every strict prefix of a sound file cuts into data the shell would read;
// only a cut right at the new header leaves what the shell takes for a
// plain DOS program, which it does not read further.
TEST(IconFileCheck, EveryTruncationIsCaught) {
  const std::pair<const char*, Bytes> files[] = {
      {"PE", GoodPe().bytes},
      {"PE32+", icon_builder::Pe(ThreeImages(), true).bytes},
      {"NE", GoodNe().bytes},
      {"icon file", GoodIco().bytes},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.first);
    ASSERT_FALSE(Check(f.second).damaged);
    for (size_t n = 4; n < f.second.size(); ++n) {
      Bytes cut(f.second.begin(), f.second.begin() + n);
      imaging::IconFileCheck r = Check(cut);
      if (f.second[0] == 'M' && n == 64) {
        EXPECT_EQ(IconFileFormat::kOther, r.format);
        EXPECT_EQ(0u, r.icon_count);
      } else {
        ASSERT_TRUE(r.damaged) << "prefix of " << n << " bytes passed";
      }
    }
  }
}

TEST(IconFileCheck, PngImagesMustBeComplete) {
  const Bytes png = icon_builder::Png(20, 12);
  EXPECT_EQ(nullptr, imaging::CheckIconImage(png.data(), png.size()));
  for (size_t n = 4; n < png.size(); ++n) EXPECT_NE(nullptr, imaging::CheckIconImage(png.data(), n)) << n;

  auto without = [&](const char* type) {
    Bytes out(png.begin(), png.begin() + 8);
    size_t pos = 8;
    while (pos < png.size()) {
      const size_t len = (size_t{png[pos]} << 24) | (png[pos + 1] << 16) | (png[pos + 2] << 8) | png[pos + 3];
      if (std::memcmp(&png[pos + 4], type, 4) != 0)
        out.insert(out.end(), png.begin() + pos, png.begin() + pos + 12 + len);
      pos += 12 + len;
    }
    return out;
  };
  for (const char* type : {"IHDR", "IDAT", "IEND"}) {
    Bytes b = without(type);
    EXPECT_NE(nullptr, imaging::CheckIconImage(b.data(), b.size())) << "without " << type;
  }
}

TEST(IconFileCheck, AnImageNamedOverAndOverIsWalkedOnce) {
  // A PNG of 5,000 chunks, and an icon file naming it 4,000 times.
  const Bytes png = icon_builder::Png(16, 16);
  Bytes many(png.begin(), png.begin() + 8 + 25);
  constexpr int kChunks = 5000;
  for (int i = 0; i < kChunks; ++i) icon_builder::AppendChunk(many, "teXt", {});
  many.insert(many.end(), png.begin() + 8 + 25, png.end());
  constexpr uint16_t kEntries = 4000;
  Bytes ico;
  icon_builder::Append16(ico, 0);
  icon_builder::Append16(ico, 1);
  icon_builder::Append16(ico, kEntries);
  for (int i = 0; i < kEntries; ++i) {
    ico.insert(ico.end(), {16, 16, 0, 0});
    icon_builder::Append16(ico, 1);
    icon_builder::Append16(ico, 32);
    icon_builder::Append32(ico, static_cast<uint32_t>(many.size()));
    icon_builder::Append32(ico, 6 + 16 * uint32_t{kEntries});
  }
  icon_builder::Append(ico, many);

  const imaging::IconFileCheck check = imaging::CheckIconFile(ico.data(), ico.size());
  EXPECT_FALSE(check.damaged) << check.problem;
  EXPECT_EQ(1u, check.icon_count);
  EXPECT_LE(check.png_chunk_visits, uint64_t{8} * (kChunks + 2)) << "work bound by the file, not by the entries";

  // Named once more with a size that cuts the stream: the same walk, refused.
  icon_builder::Put32(ico, 6 + 16 * (kEntries - 1) + 8, static_cast<uint32_t>(many.size() - 1));
  EXPECT_TRUE(imaging::CheckIconFile(ico.data(), ico.size()).damaged);
}

TEST(IconFileCheck, BitmapImagesMustHoldTheirBits) {
  struct Case {
    const char* name;
    std::function<void(Bytes&)> edit;
    bool sound;
  };
  const Case cases[] = {
      {"as built", [](Bytes&) {}, true},
      {"mask missing", [](Bytes& b) { b.resize(b.size() - 4 * 16); }, true},
      {"last mask byte missing", [](Bytes& b) { b.pop_back(); }, true},
      {"mask and last colour byte missing", [](Bytes& b) { b.resize(b.size() - 4 * 16 - 1); }, false},
      {"width with a high byte set", [](Bytes& b) { b[7] = 2; }, false},
      {"width 0", [](Bytes& b) { Put32(b, 4, 0); }, false},
      {"negative width", [](Bytes& b) { Put32(b, 4, 0xFFFFFFF0u); }, false},
      {"top-down height", [](Bytes& b) { Put32(b, 8, static_cast<uint32_t>(-32)); }, true},
      {"height huge", [](Bytes& b) { Put32(b, 8, 0x7FFFFFFE); }, false},
      {"depth 7", [](Bytes& b) { Put16(b, 14, 7); }, false},
      {"run-length compressed", [](Bytes& b) { Put32(b, 16, 1); }, false},
      {"bit fields without room for the masks",
       [](Bytes& b) {
         Put32(b, 16, 3);
         b.resize(b.size() - 4 * 16);
       },
       false},
      {"header size beyond the image", [](Bytes& b) { Put32(b, 0, 0x10000); }, false},
      {"header size below the core header", [](Bytes& b) { Put32(b, 0, 8); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes b = icon_builder::Dib(16, 16);
    c.edit(b);
    const char* problem = imaging::CheckIconImage(b.data(), b.size());
    EXPECT_EQ(c.sound, problem == nullptr) << (problem ? problem : "");
  }
  // An 8-bit image needs its colour table: 256 entries unless it says fewer.
  Bytes b = icon_builder::Dib(16, 16);
  Put16(b, 14, 8);
  b.resize(40 + 16 * 16 + 2 * 16 * 4);
  EXPECT_NE(nullptr, imaging::CheckIconImage(b.data(), b.size()));
  Put32(b, 32, 16);  // 16 colours used
  b.resize(40 + 16 * 4 + 16 * 16 + 16 * 4);
  EXPECT_EQ(nullptr, imaging::CheckIconImage(b.data(), b.size()));
}

// Real icons store images without the AND mask; the shell reads the colour
// rows of any depth alone. The colour rows themselves must be complete.
TEST(IconFileCheck, BitmapImagesMayLackTheirMask) {
  struct Size {
    int w, h;
  };
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    for (Size size : {Size{32, 32}, Size{16, 16}, Size{5, 3}}) {
      SCOPED_TRACE(std::to_string(bits) + " bits, " + std::to_string(size.w) + " x " + std::to_string(size.h));
      Bytes b;
      Append32(b, 40);
      Append32(b, size.w);
      Append32(b, 2 * size.h);
      Append16(b, 1);
      Append16(b, bits);
      for (int i = 0; i < 6; ++i) Append32(b, 0);
      const size_t colour_table = bits <= 8 ? size_t{4} << bits : 0;
      const size_t colour_rows = size_t((size.w * bits + 31) / 32 * 4) * size.h;
      b.resize(b.size() + colour_table + colour_rows, 0x5A);
      if (bits == 32 && size.w == 32) {
        ASSERT_EQ(40u + 4096u, b.size());  // the site icon's image
      }

      EXPECT_EQ(nullptr, imaging::CheckIconImage(b.data(), b.size()));
      EXPECT_NE(nullptr, imaging::CheckIconImage(b.data(), b.size() - 1));
      b.resize(b.size() + size_t((size.w + 31) / 32 * 4) * size.h);
      EXPECT_EQ(nullptr, imaging::CheckIconImage(b.data(), b.size()));
    }
  }
}

// The shell works out the decoded size of a PNG in 32 bits; beyond 64 MiB
// of pixels (4096 x 4096) the check refuses the image, well before the size
// wraps.
TEST(IconFileCheck, PngImagesAreBoundedInDecodedSize) {
  struct Case {
    uint32_t w, h;
    bool sound;
  };
  const Case cases[] = {
      {256, 256, true},
      {4096, 4096, true},
      {4096, 4097, false},
      {4097, 4096, false},
      {16384, 1024, true},
      {16384, 1025, false},
      {1, 16777216, true},
      {1, 16777217, false},
      {16777216, 1, true},
      {16777217, 1, false},
      {23171, 23171, false},
      {32768, 32768, false},
      {46341, 46341, false},
      {65536, 65536, false},
      {65536, 65537, false},
      {1000000, 4295, false},
      {0x7FFFFFFF, 0x7FFFFFFF, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    // A small sound PNG whose header is made to claim the size.
    Bytes png = icon_builder::Png(2, 2);
    for (int i = 0; i < 4; ++i) {
      png[16 + i] = static_cast<uint8_t>(c.w >> (24 - 8 * i));
      png[20 + i] = static_cast<uint8_t>(c.h >> (24 - 8 * i));
    }
    const char* problem = imaging::CheckIconImage(png.data(), png.size());
    EXPECT_EQ(c.sound, problem == nullptr) << (problem ? problem : "");
    const Bytes ico = icon_builder::Ico({icon_builder::Dib(16, 16), png}).bytes;
    EXPECT_EQ(!c.sound, Check(ico).damaged);
  }
}

// Random damage to sound files: the check must never read outside the
// buffer (the sanitizers watch), and whatever it lets through must have a
// count the data can back.
TEST(IconFileCheck, RandomDamageNeverEscapesTheBuffer) {
  const Bytes seeds[] = {GoodPe().bytes, icon_builder::Pe(ThreeImages(), true).bytes, GoodNe().bytes, GoodIco().bytes};
  std::mt19937 rng(12345);
  int passed = 0, damaged = 0;
  for (const Bytes& seed : seeds) {
    for (int round = 0; round < 3000; ++round) {
      const Bytes b = icon_builder::RandomlyDamaged(seed, rng);
      imaging::IconFileCheck r = Check(b);
      if (r.damaged) {
        ++damaged;
        EXPECT_EQ(0u, r.icon_count);
      } else {
        ++passed;
        // Each counted group needs at least one 8-byte directory entry.
        EXPECT_LE(uint64_t{r.icon_count} * 8, b.size());
      }
    }
  }
  EXPECT_GT(passed, 0);
  EXPECT_GT(damaged, 0);
}

// The images' bytes as a file on disk serves them: each request copied into
// a buffer of just its length, so that the sanitizer catches the check
// reading past what it asked for.
class CopyingImages : public imaging::IconImageSource {
 public:
  CopyingImages(const icon_builder::Bytes& file, bool fail) : file_(file), fail_(fail) {}
  const uint8_t* Bytes(uint64_t offset, size_t length) override {
    EXPECT_LE(length, 40u);
    EXPECT_LE(offset + length, file_.size());
    if (fail_ || offset + length > file_.size()) return nullptr;
    last_.reset(new uint8_t[length ? length : 1]);
    std::memcpy(last_.get(), file_.data() + offset, length);
    ++requests;
    return last_.get();
  }
  int requests = 0;

 private:
  const icon_builder::Bytes& file_;
  bool fail_;
  std::unique_ptr<uint8_t[]> last_;
};

TEST(IconFileCheck, ImagesReadThroughASourceGetTheSameVerdict) {
  std::vector<Bytes> files = {GoodPe().bytes, icon_builder::Pe(ThreeImages(), true).bytes, GoodNe().bytes,
                              GoodIco().bytes};
  for (const DamageCase& c : DamagedIconFiles()) files.push_back(c.make());
  std::mt19937 rng(777);
  for (int round = 0; round < 500; ++round) files.push_back(icon_builder::RandomlyDamaged(files[round % 4], rng));
  for (size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(i);
    const imaging::IconFileCheck in_memory = Check(files[i]);
    CopyingImages images(files[i], false);
    const imaging::IconFileCheck read = CheckIconFile(files[i].data(), files[i].size(), &images);
    EXPECT_EQ(in_memory.damaged, read.damaged);
    EXPECT_STREQ(in_memory.problem, read.problem);
    EXPECT_EQ(in_memory.icon_count, read.icon_count);
    EXPECT_EQ(in_memory.png_chunk_visits, read.png_chunk_visits);
    if (i < 4) {
      EXPECT_GT(images.requests, 0);
    }
  }
  // A file whose images cannot be read is not let through.
  CopyingImages unreadable(files[0], true);
  const imaging::IconFileCheck r = CheckIconFile(files[0].data(), files[0].size(), &unreadable);
  EXPECT_TRUE(r.damaged);
  EXPECT_STREQ("icon image could not be read", r.problem);
}

}  // namespace
