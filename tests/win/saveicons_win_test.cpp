// The icon file writer through the real pipeline: an icon in a library,
// ExtractIconA, SaveIconToFile; the file is read back by our own reader and
// by GDI (LoadImageA).
#include <windows.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "imaging/saveicons_win.h"
#include "tests/native/ico_reader.h"
#include "util/handles_win.h"
#include "win/win_test_support.h"

namespace imaging {
namespace {

using testing_support::FixturePath;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

// The fixture formulas (tests/fixtures/set_imaging.py), top-down (x, y).
const Pixel32 kStandard[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                               0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
Pixel32 Bw(int x, int y) { return (x + 2 * y) % 3 == 0 ? 0xFFFFFF : 0x000000; }
Pixel32 NewColor(int i) { return MakePixel(static_cast<uint8_t>(1 + i % 250), static_cast<uint8_t>(3 + i / 250), 7); }
Pixel32 WithNew(int count, int x, int y) {
  int index = (31 - y) * 32 + x;
  return index < count ? NewColor(index) : Bw(x, y);
}

struct FixtureIcon {
  const char* name;
  int bits;
  size_t file_size;
  std::function<Pixel32(int, int)> pixel;
  Pixel32 entry10;  // palette entry 10 at 8 bits
};

const FixtureIcon kIcons[] = {
    {"bw", 1, 326, Bw, 0},
    {"std16", 4, 766, [](int x, int y) { return kStandard[(x + y) % 16]; }, 0},
    {"one_new", 8, 2238,
     [](int x, int y) -> Pixel32 {
       if (x == 5 && y == 7) return 0x123456;
       if (x == 6 && y == 7) return 0xFF0000;
       return Bw(x, y);
     },
     0x123456},
    {"sys", 8, 2238, [](int x, int y) { return (x == 5 && y == 7) ? 0xC0DCC0 : Bw(x, y); }, 0xFFF0D4},
    {"n236", 8, 2238, [](int x, int y) { return WithNew(236, x, y); }, NewColor(0)},
    {"n238", 24, 3262, [](int x, int y) { return WithNew(238, x, y); }, 0},
    {"alpha", 32, 4286,
     [](int x, int y) {
       return (static_cast<Pixel32>((x * 8 + 7) & 0xFF) << 24) |
              MakePixel(static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 7), 0x40);
     },
     0},
    {"mono", 1, 326, [](int x, int y) { return (x * y) % 3 == 0 ? 0xFFFFFF : 0x000000; }, 0},
};

util::UniqueIcon Extract(int index) {
  return util::UniqueIcon(ExtractIconA(GetModuleHandleA(nullptr), FixturePath("imaging_depths.dll").c_str(), index));
}

// The RGB colour image of an icon handle, through GDI.
bool IconColors(HICON icon, Image32* image) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  util::UniqueBitmap mask(info.hbmMask), color(info.hbmColor);
  return color && CopyToDib32(color.get(), image);
}

// The icon's image part (DI_IMAGE) drawn on black, as 32-bit pixels.
Image32 DrawnImage(HICON icon) {
  Image32 image;
  util::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 32;
  info.bmiHeader.biHeight = 32;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  util::UniqueBitmap section(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section) return image;
  util::SelectGuard select(dc.get(), section.get());
  DrawIconEx(dc.get(), 0, 0, icon, 32, 32, 0, nullptr, DI_IMAGE);
  GdiFlush();
  image = Image32(32, 32);
  std::memcpy(image.pixels.data(), bits, 32 * 32 * 4);
  return image;
}

TEST(SaveIconToFile, FixtureIconsThroughExtractIcon) {
  TempDir dir;
  for (int i = 0; i < 8; ++i) {
    const FixtureIcon& want = kIcons[i];
    SCOPED_TRACE(want.name);
    util::UniqueIcon icon = Extract(i);
    ASSERT_TRUE(icon) << "ExtractIconA " << i;
    std::string path = dir.file(std::string(want.name) + ".ico");
    ASSERT_EQ(static_cast<int>(want.file_size), SaveIconToFile(path, icon.get()));
    std::vector<unsigned char> bytes = ReadFileBytes(path);
    ASSERT_EQ(want.file_size, bytes.size());
    testing_ico::DecodedIcon d = testing_ico::DecodeIco(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(32, d.entry_width);
    EXPECT_EQ(32, d.entry_height);
    EXPECT_EQ(want.bits, d.entry_colors);
    EXPECT_EQ(0, d.entry_planes);
    EXPECT_EQ(0, d.entry_bitcount);
    EXPECT_EQ(22u, d.offset);
    EXPECT_EQ(want.file_size - 22, d.bytes_in_res);
    EXPECT_EQ(64, d.stored_height);
    EXPECT_EQ(want.bits, d.bpp);
    if (want.bits == 8) {
      EXPECT_EQ(want.entry10, d.table[10]);
    }
    if (std::string(want.name) == "n236") {
      for (int c = 0; c < 236; ++c) ASSERT_EQ(NewColor(c), d.table[10 + c]) << c;
    }
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        Pixel32 p = want.pixel(x, y);
        ASSERT_EQ(want.bits == 32 ? p : (p & 0xFFFFFF), d.At(x, y)) << x << "," << y;
        bool transparent = std::string(want.name) == "mono" ? x < 4 : false;
        ASSERT_EQ(transparent, static_cast<bool>(d.mask[y * 32 + x])) << "mask " << x << "," << y;
      }
    // GDI reads the file back to the same colours as the icon it came from.
    util::UniqueIcon loaded(static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
    ASSERT_TRUE(loaded) << "LoadImageA";
    Image32 original, reread;
    bool colour_bitmaps = IconColors(icon.get(), &original) && IconColors(loaded.get(), &reread);
    if (!colour_bitmaps) {
      // A black-and-white file comes back as a monochrome icon: compare
      // the image parts as GDI draws them.
      original = DrawnImage(icon.get());
      reread = DrawnImage(loaded.get());
    }
    ASSERT_EQ(original.pixels.size(), reread.pixels.size());
    for (size_t k = 0; k < original.pixels.size(); ++k)
      ASSERT_EQ(original.pixels[k] & 0xFFFFFF, reread.pixels[k] & 0xFFFFFF) << k;
  }
}

TEST(SaveIconToFile, MonochromeIconHasNoColourBitmap) {
  util::UniqueIcon icon = Extract(7);
  ASSERT_TRUE(icon);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon.get(), &info));
  util::UniqueBitmap mask(info.hbmMask), color(info.hbmColor);
  EXPECT_FALSE(color);
  BITMAP bm{};
  ASSERT_TRUE(GetObjectA(mask.get(), sizeof bm, &bm));
  EXPECT_EQ(64, bm.bmHeight);
}

TEST(SaveIconToFile, ResultCodes) {
  TempDir dir;
  util::UniqueIcon icon = Extract(1);
  ASSERT_TRUE(icon);
  SetCurrentDirectoryA(dir.path().c_str());
  EXPECT_EQ(kIconNameTooShort, SaveIconToFile("a.i", icon.get()));
  EXPECT_FALSE(testing_support::FileExists(dir.file("a.i")));
  EXPECT_EQ(kIconNoInfo, SaveIconToFile(dir.file("x.ico"), nullptr));
  EXPECT_EQ(kIconCreateFailed, SaveIconToFile(dir.file("no\\such\\x.ico"), icon.get()));
  // Targets that cannot be replaced (held open, read-only): the old bytes
  // stay, no temporary file is left.
  std::string locked = dir.file("locked.ico");
  ASSERT_TRUE(testing_support::WriteFileBytes(locked, "old", 3));
  HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  EXPECT_EQ(kIconCreateFailed, SaveIconToFile(locked, icon.get()));
  CloseHandle(holder);
  std::vector<unsigned char> old = ReadFileBytes(locked);
  EXPECT_EQ(std::string("old"), std::string(old.begin(), old.end()));
  std::string read_only = dir.file("ro.ico");
  ASSERT_TRUE(testing_support::WriteFileBytes(read_only, "old", 3));
  ASSERT_TRUE(SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(kIconCreateFailed, SaveIconToFile(read_only, icon.get()));
  old = ReadFileBytes(read_only);
  EXPECT_EQ(std::string("old"), std::string(old.begin(), old.end()));
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA(dir.file("*.tmp").c_str(), &fd);
  EXPECT_EQ(INVALID_HANDLE_VALUE, find);
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  SetCurrentDirectoryA("C:\\");
  // A 256-pixel icon keeps its true size in the header; larger is refused.
  for (int side : {256, 300}) {
    std::vector<BYTE> and_bits(static_cast<size_t>(side) * side / 8, 0);
    std::vector<BYTE> xor_bits(static_cast<size_t>(side) * side * 4, 0x7F);
    util::UniqueIcon big(CreateIcon(nullptr, side, side, 1, 32, and_bits.data(), xor_bits.data()));
    ASSERT_TRUE(big);
    std::string path = dir.file("big" + std::to_string(side) + ".ico");
    int r = SaveIconToFile(path, big.get());
    if (side == 256) {
      ASSERT_GT(r, 0);
      std::vector<unsigned char> b = ReadFileBytes(path);
      EXPECT_EQ(0, b[6]);
      EXPECT_EQ(0, b[7]);
      EXPECT_EQ(512u, testing_ico::Le32(std::vector<uint8_t>(b.begin(), b.end()), 22 + 8));
    } else {
      EXPECT_EQ(kIconTooLarge, r);
      EXPECT_FALSE(testing_support::FileExists(path));
    }
  }
}

class RefusingSink : public util::ByteSink {
 public:
  bool Write(const void*, size_t) override { return false; }
};

// TMP pointed at a folder of the test's own for as long as the object lives.
class TempFolderSwitch {
 public:
  explicit TempFolderSwitch(const std::string& folder) {
    had_ = GetEnvironmentVariableA("TMP", old_, MAX_PATH) != 0;
    SetEnvironmentVariableA("TMP", folder.c_str());
  }
  ~TempFolderSwitch() { SetEnvironmentVariableA("TMP", had_ ? old_ : nullptr); }

 private:
  char old_[MAX_PATH] = {};
  bool had_ = false;
};

std::vector<std::string> TempFilesIn(const TempDir& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA(dir.file("*.tmp").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(fd.cFileName);
  while (FindNextFileA(find, &fd));
  FindClose(find);
  return names;
}

TEST(SaveIconToStream, SameBytesThroughTheTemporaryFile) {
  TempDir dir;
  TempFolderSwitch tmp(dir.path());
  util::UniqueIcon icon = Extract(2);
  ASSERT_TRUE(icon);
  util::MemorySink stream;
  stream.Write("memo", 4);
  EXPECT_EQ(2238, SaveIconToStream(stream, icon.get()));
  ASSERT_EQ(4u + 2238u, stream.bytes().size());
  ASSERT_GT(SaveIconToFile(dir.file("direct.ico"), icon.get()), 0);
  std::vector<unsigned char> direct = ReadFileBytes(dir.file("direct.ico"));
  EXPECT_TRUE(std::equal(direct.begin(), direct.end(), stream.bytes().begin() + 4));

  RefusingSink refusing;
  EXPECT_EQ(kIconWriteFailed, SaveIconToStream(refusing, icon.get()));
  util::MemorySink untouched;
  EXPECT_EQ(kIconNoInfo, SaveIconToStream(untouched, nullptr));
  EXPECT_TRUE(untouched.bytes().empty());
  EXPECT_TRUE(TempFilesIn(dir).empty());
}

// Exports running at once never share the temporary file: a zuiff.tmp that
// someone else made is skipped and keeps its bytes, and threads writing
// memos at the same time each get exactly their own icon's file.
TEST(SaveIconToStream, TemporaryFileIsNeverShared) {
  TempDir expected_dir;
  std::vector<util::UniqueIcon> icons;
  std::vector<std::vector<unsigned char>> expected;
  for (int i = 0; i < 7; ++i) {
    icons.push_back(Extract(i));
    ASSERT_TRUE(icons.back());
    const std::string path = expected_dir.file(std::to_string(i) + ".ico");
    ASSERT_GT(SaveIconToFile(path, icons.back().get()), 0);
    expected.push_back(ReadFileBytes(path));
  }

  TempDir dir;
  TempFolderSwitch tmp(dir.path());
  const std::string foreign = "another program's file";
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("zuiff.tmp"), foreign.data(), foreign.size()));
  constexpr int kRounds = 40;
  std::vector<int> wrong(icons.size(), 0);
  std::vector<std::thread> threads;
  for (size_t t = 0; t < icons.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        util::MemorySink stream;
        const int result = SaveIconToStream(stream, icons[t].get());
        if (result != static_cast<int>(expected[t].size()) ||
            !std::equal(expected[t].begin(), expected[t].end(), stream.bytes().begin(), stream.bytes().end())) {
          ++wrong[t];
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (size_t t = 0; t < icons.size(); ++t) EXPECT_EQ(0, wrong[t]) << kIcons[t].name << " of " << kRounds;
  const std::vector<unsigned char> kept = ReadFileBytes(dir.file("zuiff.tmp"));
  EXPECT_EQ(foreign, std::string(kept.begin(), kept.end()));
  EXPECT_EQ(std::vector<std::string>{"zuiff.tmp"}, TempFilesIn(dir));
}

// What the reader did before reading straight from the icon's bitmaps: the
// colour copied into a 32-bit DIB section, the mask read on a context of
// its own.
bool ReadIconImagesByCopy(HICON icon, Image32* color, MaskImage* mask) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  util::UniqueBitmap mask_bitmap(info.hbmMask), color_bitmap(info.hbmColor);
  BITMAP bm{};
  if (!GetObjectA(mask_bitmap.get(), sizeof bm, &bm)) return false;
  MaskImage rows(bm.bmWidth, bm.bmHeight);
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } bi{};
  bi.header.biSize = sizeof bi.header;
  bi.header.biWidth = bm.bmWidth;
  bi.header.biHeight = bm.bmHeight;
  bi.header.biPlanes = 1;
  bi.header.biBitCount = 1;
  util::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (GetDIBits(dc.get(), mask_bitmap.get(), 0, static_cast<UINT>(bm.bmHeight), rows.bits.data(),
                reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS) != bm.bmHeight) {
    return false;
  }
  if (!color_bitmap) return SplitMonochromeMask(rows, mask, color);
  *mask = rows;
  return CopyToDib32(color_bitmap.get(), color);
}

TEST(ReadIconImages, SamePixelsAndMaskAsACopyIntoADibSection) {
  // Every depth, PNG images, a monochrome icon, an NE file, and the
  // system's own icons.
  const std::string sources[] = {FixturePath("imaging_depths.dll"),
                                 FixturePath("few_icons.dll"),
                                 FixturePath("many_icons.dll"),
                                 FixturePath("sizes.dll"),
                                 FixturePath("export_8.dll"),
                                 FixturePath("grid_23.dll"),
                                 FixturePath("ne_icons.exe"),
                                 FixturePath("mono.ico"),
                                 FixturePath("png.ico"),
                                 FixturePath("alpha.ico"),
                                 "C:\\windows\\system32\\shell32.dll"};
  int compared = 0;
  for (const std::string& source : sources) {
    const UINT count = static_cast<UINT>(
        reinterpret_cast<UINT_PTR>(ExtractIconA(GetModuleHandleA(nullptr), source.c_str(), static_cast<UINT>(-1))));
    for (UINT i = 0; i < count; ++i) {
      util::UniqueIcon icon(ExtractIconA(GetModuleHandleA(nullptr), source.c_str(), i));
      if (!icon) continue;
      Image32 color, old_color;
      MaskImage mask, old_mask;
      ASSERT_EQ(0, ReadIconImages(icon.get(), &color, &mask)) << source << " " << i;
      ASSERT_TRUE(ReadIconImagesByCopy(icon.get(), &old_color, &old_mask)) << source << " " << i;
      ASSERT_EQ(old_color.width, color.width) << source << " " << i;
      ASSERT_EQ(old_color.height, color.height) << source << " " << i;
      ASSERT_TRUE(old_color.pixels == color.pixels) << source << " " << i;
      ASSERT_EQ(old_mask.width, mask.width) << source << " " << i;
      ASSERT_EQ(old_mask.height, mask.height) << source << " " << i;
      ASSERT_TRUE(old_mask.bits == mask.bits) << source << " " << i;
      ++compared;
    }
  }
  // Wine's shell32.dll alone holds well over a hundred icons.
  EXPECT_GT(compared, 200);
}

TEST(GetIconColorDepth, BitmapOfEachFixtureIcon) {
  const uint8_t codes[] = {kDepth1, kDepth4, kDepth8, kDepth8, kDepth8, kDepth24, kDepth32};
  for (int i = 0; i < 7; ++i) {
    util::UniqueIcon icon = Extract(i);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    util::UniqueBitmap mask(info.hbmMask), color(info.hbmColor);
    EXPECT_EQ(codes[i], GetIconColorDepth(color.get())) << kIcons[i].name;
  }
  EXPECT_EQ(kDepth4, GetIconColorDepth(static_cast<HBITMAP>(nullptr)));
}

// The status bar's route: the icon drawn onto a bitmap of its own size.
TEST(GetIconColorDepth, IconDrawnOntoABitmapObject) {
  const struct {
    int icon;
    imaging::PixelFormat format;
    uint8_t code;
  } cases[] = {
      {0, imaging::PixelFormat::pf24bit, kDepth1}, {1, imaging::PixelFormat::pf24bit, kDepth4},
      {2, imaging::PixelFormat::pf24bit, kDepth8}, {5, imaging::PixelFormat::pf24bit, kDepth24},
      {2, imaging::PixelFormat::pf32bit, kDepth8},
  };
  for (const auto& c : cases) {
    util::UniqueIcon icon = Extract(c.icon);
    imaging::TBitmap bitmap(32, 32, c.format);
    ASSERT_TRUE(DrawIconEx(bitmap.Canvas(), 0, 0, icon.get(), 32, 32, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(c.code, GetIconColorDepth(bitmap)) << kIcons[c.icon].name;
  }
  imaging::TBitmap empty;
  EXPECT_EQ(kDepth4, GetIconColorDepth(empty));
}

}  // namespace
}  // namespace imaging
