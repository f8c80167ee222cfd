// The bitmap helpers on real GDI objects: files read back by GDI (BMP by
// LoadImageA, EMF played back), grey scale on the bitmap object, system
// colours, text measuring and the printer path on a stand-in DC.
#include <windows.h>
#include <gtest/gtest.h>

#include "imaging/export_types.h"
#include "imaging/zu_graphic_utils_win.h"
#include "win/win_test_support.h"

namespace imaging {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;

// Distinct red and blue, a ramp and an asymmetric mark, drawn through GDI.
void Paint(imaging::TBitmap& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      SetPixel(b.Canvas(), x, y, RGB(x * 255 / (b.Width() - 1), 30 + y * 4, 255 - x * 9 % 256));
  RECT red{0, 0, 3, 2};
  util::UniqueBrush brush(CreateSolidBrush(RGB(255, 0, 0)));
  FillRect(b.Canvas(), &red, brush.get());
}

void ExpectSamePixels(const imaging::TBitmap& want, const imaging::TBitmap& got, const char* what) {
  ASSERT_EQ(want.Width(), got.Width());
  ASSERT_EQ(want.Height(), got.Height());
  for (int y = 0; y < want.Height(); ++y)
    for (int x = 0; x < want.Width(); ++x)
      ASSERT_EQ(want.PixelAt(x, y) & 0xFFFFFF, got.PixelAt(x, y) & 0xFFFFFF) << what << " at " << x << "," << y;
}

TEST(SaveBitmapToFile, BmpReadBackByGdi) {
  TempDir dir;
  for (imaging::PixelFormat format : {imaging::PixelFormat::pf24bit, imaging::PixelFormat::pf32bit}) {
    imaging::TBitmap picture(13, 7, format);
    ASSERT_FALSE(picture.Empty());
    Paint(picture);
    std::string path = dir.file("p.bmp");
    ASSERT_EQ(ImageWriteResult::kOk, SaveBitmapToFile(picture, path, imaging::etBitmap));
    util::UniqueBitmap loaded(static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    ASSERT_TRUE(loaded);
    imaging::TBitmap copy(13, 7, imaging::PixelFormat::pf32bit);
    util::UniqueMemoryDc source(CreateCompatibleDC(nullptr));
    util::SelectGuard select(source.get(), loaded.get());
    ASSERT_TRUE(BitBlt(copy.Canvas(), 0, 0, 13, 7, source.get(), 0, 0, SRCCOPY));
    ExpectSamePixels(picture, copy, "bmp");
    std::vector<unsigned char> bytes = ReadFileBytes(path);
    EXPECT_EQ(picture.BitsPerPixel(), bytes[28]);
  }
}

TEST(SaveBitmapToFile, MetafilePlaysBackToTheSamePixels) {
  TempDir dir;
  imaging::TBitmap picture(21, 9, imaging::PixelFormat::pf24bit);
  Paint(picture);
  std::string path = dir.file("p.emf");
  ASSERT_EQ(ImageWriteResult::kOk, SaveBitmapToFile(picture, path, imaging::etMetafile));
  HENHMETAFILE emf = GetEnhMetaFileA(path.c_str());
  ASSERT_NE(nullptr, emf);
  ENHMETAHEADER header{};
  ASSERT_TRUE(GetEnhMetaFileHeader(emf, sizeof header, &header));
  EXPECT_EQ(3u, header.nRecords);
  imaging::TBitmap played(21, 9, imaging::PixelFormat::pf32bit);
  played.Fill(RGB(0, 0, 0));
  // Play into the frame's own size in device pixels.
  RECT frame{0, 0, 21, 9};
  ASSERT_TRUE(PlayEnhMetaFile(played.Canvas(), emf, &frame));
  DeleteEnhMetaFile(emf);
  ExpectSamePixels(picture, played, "emf file");

  util::MemorySink stream;
  ASSERT_EQ(ImageWriteResult::kOk, SaveBitmapToStream(picture, stream, imaging::etMetafile));
  EXPECT_EQ(ReadFileBytes(path).size(), stream.bytes().size());
  HENHMETAFILE from_bytes = SetEnhMetaFileBits(static_cast<UINT>(stream.bytes().size()), stream.bytes().data());
  ASSERT_NE(nullptr, from_bytes);
  imaging::TBitmap replayed(21, 9, imaging::PixelFormat::pf32bit);
  ASSERT_TRUE(PlayEnhMetaFile(replayed.Canvas(), from_bytes, &frame));
  DeleteEnhMetaFile(from_bytes);
  ExpectSamePixels(picture, replayed, "emf stream");
}

TEST(SaveBitmapToFile, MetafileNamesTheScreenAsGdiRecordingDoes) {
  // The test display is 1280 x 1024, not the 1024 x 768 a fixed header
  // would name.
  HDC recording = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, recording);
  PatBlt(recording, 0, 0, 4, 4, BLACKNESS);
  HENHMETAFILE gdi = CloseEnhMetaFile(recording);
  ASSERT_NE(nullptr, gdi);
  ENHMETAHEADER want{};
  ASSERT_TRUE(GetEnhMetaFileHeader(gdi, sizeof want, &want));
  DeleteEnhMetaFile(gdi);
  ASSERT_NE(1024, want.szlDevice.cx) << "the display should not be 1024 pixels wide for this test";

  imaging::TBitmap picture(21, 9, imaging::PixelFormat::pf24bit);
  Paint(picture);
  util::MemorySink stream;
  ASSERT_EQ(ImageWriteResult::kOk, SaveBitmapToStream(picture, stream, imaging::etMetafile));
  HENHMETAFILE ours = SetEnhMetaFileBits(static_cast<UINT>(stream.bytes().size()), stream.bytes().data());
  ASSERT_NE(nullptr, ours);
  ENHMETAHEADER got{};
  ASSERT_TRUE(GetEnhMetaFileHeader(ours, sizeof got, &got));
  DeleteEnhMetaFile(ours);
  EXPECT_EQ(want.szlDevice.cx, got.szlDevice.cx);
  EXPECT_EQ(want.szlDevice.cy, got.szlDevice.cy);
  EXPECT_EQ(want.szlMillimeters.cx, got.szlMillimeters.cx);
  EXPECT_EQ(want.szlMillimeters.cy, got.szlMillimeters.cy);
  EXPECT_EQ(want.szlMicrometers.cx, got.szlMicrometers.cx);
  EXPECT_EQ(want.szlMicrometers.cy, got.szlMicrometers.cy);
}

TEST(SaveBitmapToFile, JpegAndFailuresReachTheCaller) {
  TempDir dir;
  imaging::TBitmap picture(16, 16, imaging::PixelFormat::pfDevice);
  Paint(picture);
  std::string path = dir.file("p.jpg");
  ASSERT_EQ(ImageWriteResult::kOk, SaveBitmapToFile(picture, path, imaging::etJPEG));
  std::vector<unsigned char> bytes = ReadFileBytes(path);
  ASSERT_GT(bytes.size(), 100u);
  EXPECT_EQ(0xFF, bytes[0]);
  EXPECT_EQ(0xD8, bytes[1]);

  // A target held open without sharing cannot be replaced: every format
  // reports it, and the old bytes stay.
  for (int type : {imaging::etBitmap, imaging::etJPEG, imaging::etMetafile}) {
    std::string locked = dir.file("locked" + std::to_string(type));
    ASSERT_TRUE(testing_support::WriteFileBytes(locked, "old", 3));
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_EQ(ImageWriteResult::kCreateFailed, SaveBitmapToFile(picture, locked, type)) << type;
    CloseHandle(holder);
    std::vector<unsigned char> old = ReadFileBytes(locked);
    EXPECT_EQ(std::string("old"), std::string(old.begin(), old.end())) << type;
  }
  EXPECT_EQ(ImageWriteResult::kCreateFailed, SaveBitmapToFile(picture, dir.file("no\\such\\p.bmp"), imaging::etBitmap));
  imaging::TBitmap empty;
  EXPECT_EQ(ImageWriteResult::kUnsupportedBitmap, SaveBitmapToFile(empty, dir.file("e.bmp"), imaging::etBitmap));
  EXPECT_FALSE(testing_support::FileExists(dir.file("e.bmp")));
}

TEST(MakeGrayscale, OnlyTwentyFourBitBitmapsChange) {
  imaging::TBitmap grey(3, 1, imaging::PixelFormat::pf24bit);
  SetPixel(grey.Canvas(), 0, 0, RGB(255, 0, 0));
  SetPixel(grey.Canvas(), 1, 0, RGB(0, 255, 0));
  SetPixel(grey.Canvas(), 2, 0, RGB(0, 0, 255));
  ASSERT_TRUE(MakeGrayscale(grey));
  EXPECT_EQ(MakePixel(76, 76, 76), grey.PixelAt(0, 0));
  EXPECT_EQ(MakePixel(150, 150, 150), grey.PixelAt(1, 0));
  EXPECT_EQ(MakePixel(27, 27, 27), grey.PixelAt(2, 0));
  imaging::TBitmap colour(1, 1, imaging::PixelFormat::pf32bit);
  SetPixel(colour.Canvas(), 0, 0, RGB(255, 0, 0));
  EXPECT_FALSE(MakeGrayscale(colour));
  EXPECT_EQ(0xFF0000u, colour.PixelAt(0, 0) & 0xFFFFFF);
}

TEST(GraphicUtilsWin, SystemColoursScreenAndText) {
  ColorRef face = GetSysColor(COLOR_BTNFACE);
  ColorRef expected = LightenColor(static_cast<TColor>(face), 30);
  EXPECT_EQ(expected, LightenColor(static_cast<TColor>(0x80000000 | COLOR_BTNFACE), 30));
  EXPECT_EQ(DarkenColor(static_cast<TColor>(face), 30),
            DarkenColor(static_cast<TColor>(0x80000000 | COLOR_BTNFACE), 30));
  EXPECT_GT(ScreenBitsPerPixel(), 0);

  imaging::TBitmap canvas(10, 10);
  HDC dc = canvas.Canvas();
  SIZE whole{};
  std::string text = "A rather long caption";
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &whole);
  EXPECT_EQ(text, FitTextToWidth(text, dc, whole.cx));
  std::string fitted = FitTextToWidth(text, dc, whole.cx / 2);
  ASSERT_GT(fitted.size(), 3u);
  EXPECT_EQ("...", fitted.substr(fitted.size() - 3));
  SIZE part{};
  GetTextExtentPoint32A(dc, fitted.c_str(), static_cast<int>(fitted.size()), &part);
  EXPECT_LE(part.cx, whole.cx / 2);
  EXPECT_EQ(text.substr(0, fitted.size() - 3), fitted.substr(0, fitted.size() - 3));
}

TEST(PrintBitmap, ModeZeroAtScreenSizeOnAStandInPage) {
  // A memory DC has the screen's resolution, so mode 0 draws 1:1 at (0, 0).
  imaging::TBitmap picture(12, 5, imaging::PixelFormat::pf24bit);
  Paint(picture);
  imaging::TBitmap page(40, 40, imaging::PixelFormat::pf32bit);
  page.Fill(RGB(0, 0, 0));
  ASSERT_TRUE(PrintBitmap(picture, page.Canvas(), 0));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(picture.PixelAt(x, y) & 0xFFFFFF, page.PixelAt(x, y) & 0xFFFFFF);
  EXPECT_EQ(0u, page.PixelAt(12, 0) & 0xFFFFFF);
  EXPECT_EQ(0u, page.PixelAt(0, 5) & 0xFFFFFF);
  EXPECT_FALSE(PrintBitmap(picture, nullptr, 0));
}

TEST(IconFromHandle, TakesOwnership) {
  HICON copy = CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
  ASSERT_NE(nullptr, copy);
  {
    imaging::TIcon icon = IconFromHandle(copy);
    EXPECT_EQ(copy, icon.Handle());
    EXPECT_GT(icon.Width(), 0);
  }
  ICONINFO info{};
  EXPECT_FALSE(GetIconInfo(copy, &info));
}

}  // namespace
}  // namespace imaging
