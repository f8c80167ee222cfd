// The export engine under Wine, in-process: per-icon files of every type,
// the HTML document byte for byte, the dBase files byte for byte, the
// overwrite answers, sources without icons and failures part-way.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/export/dbase_export_win.h"
#include "app/export/export_engine_win.h"
#include "app/globals.h"
#include "gui/error.h"
#include "gui/text.h"
#include "win/export_fixtures.h"
#include "win/win_test_support.h"

namespace app {
namespace {

using testing_support::FixturePath;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using Bytes = std::vector<unsigned char>;
using export_fixtures::ExportLeft;
using export_fixtures::ExportRight;
using export_fixtures::FilesIn;
using export_fixtures::LE16;
using export_fixtures::LE32;

// 0x00RRGGBB of pixel (x, y), y from the top, of a picture played or drawn
// into a 32-bit DIB of w x h.
class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < w * h; ++i) bits_[i] = 0x123456;
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  uint32_t At(int x, int y) const {
    GdiFlush();
    return bits_[y * w_ + x] & 0xFFFFFF;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

// What an exported picture of export icon i must show: its two halves and
// white under the transparent corner.
void ExpectExportPicture(const Canvas& c, int i, const std::string& what) {
  EXPECT_EQ(ExportLeft(i), c.At(3, 3)) << what;
  EXPECT_EQ(ExportRight(i), c.At(20, 10)) << what;
  EXPECT_EQ(0xFFFFFFu, c.At(30, 30)) << what;
}

class ExportEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BatchMode = false;
    CurrentFileName.clear();
    HTMLColumnCount = 4;
  }
  void TearDown() override { BatchMode = false; }

  // ExportIcons with a question that must not be asked.
  int Run(const TExportRequest& request, int grid_count = 0) {
    int count = 0;
    TExportWork work;
    ExportIcons(work, count, request, grid_count, [](const std::string& path) {
      ADD_FAILURE() << "asked about " << path;
      return TOverwriteAnswer::kNo;
    });
    return count;
  }

  TempDir dir_;
};

TEST_F(ExportEngineTest, PerIconFilesOfEveryTypeAreNamedCountedAndDecodable) {
  const struct {
    imaging::TExportType type;
    const char* ext;
  } cases[] = {{imaging::etIcon, ".ico"},
               {imaging::etBitmap, ".bmp"},
               {imaging::etJPEG, ".jpg"},
               {imaging::etMetafile, ".emf"},
               {imaging::TExportType(7), ".ico"}};
  for (const auto& c : cases) {
    const std::string folder = dir_.file(std::string("out") + c.ext + std::to_string(c.type));
    TExportRequest request;
    request.Type = c.type;
    request.DestFolder = folder;  // missing: created
    request.Source = FixturePath("export_5.dll");
    ASSERT_EQ(5, Run(request)) << c.ext;
    std::vector<std::string> expected;
    for (int i = 1; i <= 5; ++i) expected.push_back("ico_export_5000" + std::to_string(i) + c.ext);
    EXPECT_EQ(expected, FilesIn(folder)) << c.ext;

    for (int i = 0; i < 5; ++i) {
      const std::string file = folder + "\\" + expected[static_cast<size_t>(i)];
      const Bytes bytes = ReadFileBytes(file);
      ASSERT_FALSE(bytes.empty()) << file;
      if (std::string(c.ext) == ".ico") {
        // One 32 x 32 image of 4 bits: header, entry, info header, 16
        // colours, colour rows, mask rows.
        ASSERT_EQ(766u, bytes.size()) << file;
        EXPECT_EQ(0u, LE16(bytes, 0));
        EXPECT_EQ(1u, LE16(bytes, 2));
        EXPECT_EQ(1u, LE16(bytes, 4));
        EXPECT_EQ(32, bytes[6]);
        EXPECT_EQ(32, bytes[7]);
        EXPECT_EQ(744u, LE32(bytes, 14));
        EXPECT_EQ(22u, LE32(bytes, 18));
        EXPECT_EQ(40u, LE32(bytes, 22));
        EXPECT_EQ(64u, LE32(bytes, 30));  // twice the height
        EXPECT_EQ(4u, LE16(bytes, 36));
        HICON icon = static_cast<HICON>(LoadImageA(nullptr, file.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE));
        ASSERT_NE(nullptr, icon);
        Canvas canvas(32, 32);
        RECT all{0, 0, 32, 32};
        FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawIconEx(canvas.dc(), 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
        ExpectExportPicture(canvas, i, file);
      } else if (std::string(c.ext) == ".bmp") {
        HBITMAP bmp = static_cast<HBITMAP>(
            LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        ASSERT_NE(nullptr, bmp) << file;
        Canvas canvas(32, 32);
        HDC src = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(src, bmp);
        BitBlt(canvas.dc(), 0, 0, 32, 32, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
        DeleteDC(src);
        DeleteObject(bmp);
        ExpectExportPicture(canvas, i, file);
      } else if (std::string(c.ext) == ".emf") {
        HENHMETAFILE emf = GetEnhMetaFileA(file.c_str());
        ASSERT_NE(nullptr, emf) << file;
        Canvas canvas(32, 32);
        RECT all{0, 0, 32, 32};
        PlayEnhMetaFile(canvas.dc(), emf, &all);
        DeleteEnhMetaFile(emf);
        ExpectExportPicture(canvas, i, file);
      } else {
        ASSERT_GT(bytes.size(), 4u);
        EXPECT_EQ(0xFF, bytes[0]);
        EXPECT_EQ(0xD8, bytes[1]);
        EXPECT_EQ(0xD9, bytes.back());
      }
    }
  }
}

// The document for T icons of export_*.dll exported with K columns, built
// here piece by piece.
std::string ExpectedDocument(const std::string& source, int total, int k, bool border, bool numbers,
                             const std::vector<int>& written) {
  std::string base = source.substr(source.find_last_of('\\') + 1);
  base = base.substr(0, base.find('.'));
  std::string r;
  for (size_t j = 0; j < written.size(); ++j) {
    const int n = written[j];
    if (j == 0) r = "<TR>";
    char number[8];
    std::snprintf(number, sizeof number, "%04d", n);
    r += "<TD ALIGN=\"CENTER\"><img src=\"page_files/ico_" + base + number + ".jpg\" width=\"32\" height=\"32\"ALT=\"" +
         std::to_string(n) + "\">";
    if (numbers) r += "<BR>" + std::to_string(n);
    r += "</TD>";
    if (n % k == 0) {
      r += "</TR>";
      if (n < total) r += "<TR>";
    }
  }
  if (!written.empty() && r.substr(r.size() - 5) != "</TR>") {
    int m = static_cast<int>(written.size());
    while (m % k != 0) {
      r += "<TD>&nbsp;</TD>";
      ++m;
    }
    r += "</TR>";
  }
  return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n<HTML>\r\n<HEAD><TITLE>Icons from " + source +
         "</TITLE></HEAD>\r\n<TABLE" + (border ? " BORDER=\"1\"" : "") + ">" + r + "</TABLE>\r\n</BODY>\r\n</HTML>";
}

TEST_F(ExportEngineTest, HtmlDocumentByteForByte) {
  const struct {
    const char* dll;
    int total;
    int k;
    bool border, numbers;
  } cases[] = {{"export_5.dll", 5, 4, false, false},
               {"export_8.dll", 8, 4, true, true},
               {"export_5.dll", 5, 7, true, false},
               {"export_5.dll", 5, 0, false, true}};
  for (const auto& c : cases) {
    TempDir dir;
    CurrentFileName = FixturePath(c.dll);
    HTMLColumnCount = c.k;
    TExportRequest request;
    request.Type = imaging::etHTML;
    request.Target = dir.file("page.HTML");
    request.Extension = ".HTML";
    request.DestFolder = dir.file("page_files");
    request.DrawBorder = c.border;
    request.IncludeNumbers = c.numbers;
    ASSERT_EQ(c.total, Run(request, c.total)) << c.dll;
    std::vector<int> all;
    for (int n = 1; n <= c.total; ++n) all.push_back(n);
    const Bytes doc = ReadFileBytes(dir.file("page.html"));
    // A column count of 0 is taken as 1.
    EXPECT_EQ(ExpectedDocument(CurrentFileName, c.total, c.k < 1 ? 1 : c.k, c.border, c.numbers, all),
              std::string(doc.begin(), doc.end()))
        << c.dll << " K=" << c.k;
    EXPECT_EQ(static_cast<size_t>(c.total), FilesIn(dir.file("page_files")).size());
  }
  // The two documents the must-have list names, spelled out.
  EXPECT_NE(std::string::npos, ExpectedDocument("x\\export_5.dll", 5, 4, false, false, {1, 2, 3, 4, 5})
                                   .find("ALT=\"5\"></TD><TD>&nbsp;</TD><TD>&nbsp;</TD><TD>&nbsp;</TD></TR></TABLE>"));
}

TEST_F(ExportEngineTest, HtmlSkippedIconsAndEmptySource) {
  // Icons 2 and 3 exist and are kept: rows still break after multiples of K.
  CurrentFileName = FixturePath("export_5.dll");
  HTMLColumnCount = 2;
  CreateDirectoryA(dir_.file("page_files").c_str(), nullptr);
  for (int n : {2, 3}) {
    const std::string name = dir_.file("page_files\\ico_export_5000" + std::to_string(n) + ".jpg");
    ASSERT_TRUE(testing_support::WriteFileBytes(name, "old", 3));
  }
  TExportRequest request;
  request.Type = imaging::etHTML;
  request.Target = dir_.file("page.htm");
  request.DestFolder = dir_.file("page_files");
  int count = 0;
  TExportWork work;
  int asked = 0;
  ExportIcons(work, count, request, 5, [&](const std::string&) {
    ++asked;
    return TOverwriteAnswer::kNo;
  });
  EXPECT_EQ(3, count);
  EXPECT_EQ(2, asked);
  const Bytes doc = ReadFileBytes(dir_.file("page.htm"));
  EXPECT_EQ(ExpectedDocument(CurrentFileName, 5, 2, false, false, {1, 4, 5}), std::string(doc.begin(), doc.end()));

  // A file that is no icon file: a valid document with an empty table.
  CurrentFileName = FixturePath("text.txt");
  request.Source = CurrentFileName;
  request.Target = dir_.file("empty.htm");
  request.DestFolder = dir_.file("empty_files");
  EXPECT_EQ(0, Run(request));
  const Bytes empty = ReadFileBytes(dir_.file("empty.htm"));
  EXPECT_EQ(ExpectedDocument(CurrentFileName, 0, 2, false, false, {}), std::string(empty.begin(), empty.end()));
}

// Reads a memo's data from the .dbt at a block.
Bytes MemoAt(const Bytes& dbt, uint32_t block) {
  const size_t at = static_cast<size_t>(block) * 1024;
  EXPECT_EQ(0xFFu, dbt.at(at));
  EXPECT_EQ(0xFFu, dbt.at(at + 1));
  EXPECT_EQ(0x08u, dbt.at(at + 2));
  EXPECT_EQ(0x00u, dbt.at(at + 3));
  const uint32_t length = LE32(dbt, at + 4);
  return Bytes(dbt.begin() + static_cast<long>(at + 8), dbt.begin() + static_cast<long>(at + length));
}

TEST_F(ExportEngineTest, DBaseOneIconOf766Bytes) {
  TExportRequest request;
  request.Type = imaging::etDBase;
  request.Source = FixturePath("bpp4.ico");
  request.Target = dir_.file("icons");
  request.DestFolder = dir_.path();
  request.FieldName = "";
  ASSERT_EQ(1, Run(request));
  const Bytes dbf = ReadFileBytes(dir_.file("icons.dbf"));
  const Bytes dbt = ReadFileBytes(dir_.file("icons.dbt"));
  ASSERT_EQ(77u, dbf.size());
  ASSERT_EQ(2048u, dbt.size());
  EXPECT_EQ(0x8B, dbf[0]);
  EXPECT_EQ(1u, LE32(dbf, 4));
  EXPECT_EQ(65u, LE16(dbf, 8));
  EXPECT_EQ(11u, LE16(dbf, 10));
  EXPECT_EQ(0x1B, dbf[29]);
  EXPECT_EQ(std::string("ICON\0\0\0\0\0\0\0B", 12), std::string(dbf.begin() + 32, dbf.begin() + 44));
  EXPECT_EQ(0x0D, dbf[64]);
  EXPECT_EQ(std::string(" 1\0\0\0\0\0\0\0\0\0", 11), std::string(dbf.begin() + 65, dbf.begin() + 76));
  EXPECT_EQ(0x1A, dbf[76]);
  EXPECT_EQ(2u, LE32(dbt, 0));
  EXPECT_EQ(std::string("ICONS\0\0\0", 8), std::string(dbt.begin() + 8, dbt.begin() + 16));
  EXPECT_EQ(1024u, LE16(dbt, 20));
  EXPECT_EQ(774u, LE32(dbt, 1028));
  const Bytes memo = MemoAt(dbt, 1);
  EXPECT_EQ(766u, memo.size());
  // A 16-colour icon file of the icon.
  EXPECT_EQ(4u, LE16(memo, 36));
  for (size_t i = 1024 + 774; i < 2048; ++i) ASSERT_EQ(0, dbt[i]) << i;
}

TEST_F(ExportEngineTest, DBaseMemoTypesHoldThePerIconFiles) {
  // Memo types 1..3 hold exactly what the per-icon export writes; type 0
  // the icon file; every record points at the block after the previous memo.
  for (int memo_type = 0; memo_type <= 3; ++memo_type) {
    TempDir dir;
    TExportRequest per_icon;
    per_icon.Type = memo_type == 0 ? imaging::etIcon : static_cast<imaging::TExportType>(memo_type);
    per_icon.Source = FixturePath("few_icons.dll");
    per_icon.DestFolder = dir.file("files");
    ASSERT_EQ(6, Run(per_icon));
    const std::vector<std::string> files = FilesIn(dir.file("files"));
    ASSERT_EQ(6u, files.size());

    TExportRequest request;
    request.Type = imaging::etDBase;
    request.MemoType = memo_type;
    request.Source = per_icon.Source;
    request.Target = dir.file("my_icon_table.tbl");
    request.DestFolder = dir.path();
    request.FieldName = "IconPictureField";
    ASSERT_EQ(6, Run(request));
    const Bytes dbf = ReadFileBytes(dir.file("my_icon_table.tbl"));
    const Bytes dbt = ReadFileBytes(dir.file("my_icon_table.dbt"));
    ASSERT_EQ(65u + 6 * 11 + 1, dbf.size());
    EXPECT_EQ(6u, LE32(dbf, 4));
    EXPECT_EQ(std::string("IconPictur\0B", 12), std::string(dbf.begin() + 32, dbf.begin() + 44));
    EXPECT_EQ(std::string("MY_ICON_"), std::string(dbt.begin() + 8, dbt.begin() + 16));
    EXPECT_EQ(dbt.size() / 1024, LE32(dbt, 0));
    uint32_t block = 1;
    for (size_t i = 0; i < 6; ++i) {
      const std::string digits(dbf.begin() + 65 + 11 * i + 1, dbf.begin() + 65 + 11 * i + 11);
      ASSERT_EQ(std::to_string(block), std::string(digits.c_str())) << memo_type << " record " << i;
      const Bytes memo = MemoAt(dbt, block);
      if (memo_type == 0 && i >= 2) {
        // From 8 bits up the icon file itself.
        EXPECT_EQ(ReadFileBytes(dir.file("files\\" + files[i])), memo) << i;
      } else if (memo_type == 0) {
        EXPECT_EQ(4u, LE16(memo, 36)) << i;  // 16 colours
      } else {
        EXPECT_EQ(ReadFileBytes(dir.file("files\\" + files[i])), memo) << memo_type << " " << i;
      }
      block += static_cast<uint32_t>((memo.size() + 8 + 1023) / 1024);
    }
    EXPECT_EQ(static_cast<size_t>(block) * 1024, dbt.size());
  }
}

TEST_F(ExportEngineTest, DBaseEdgeNames) {
  // A target named only by its extension still gives a complete block 0;
  // a source without icons writes nothing and leaves files of the table's
  // names as they were.
  TExportRequest request;
  request.Type = imaging::etDBase;
  request.Source = FixturePath("bpp4.ico");
  request.Target = dir_.file(".dbf");
  request.DestFolder = dir_.path();
  ASSERT_EQ(1, Run(request));
  const Bytes dbt = ReadFileBytes(dir_.file(".dbt"));
  ASSERT_EQ(2048u, dbt.size());
  EXPECT_EQ(std::string(8, '\0'), std::string(dbt.begin() + 8, dbt.begin() + 16));
  EXPECT_EQ(1024u, LE16(dbt, 20));
  EXPECT_EQ(77u, ReadFileBytes(dir_.file(".dbf")).size());

  for (const char* source : {"damaged\\ico_offset_huge.ico", "no_icons.exe"}) {
    TempDir dir;
    request.Source = FixturePath(source);
    request.DestFolder = dir.path();
    request.Target = dir.file("none");
    EXPECT_EQ(0, Run(request)) << source;
    EXPECT_TRUE(FilesIn(dir.path()).empty()) << source;
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("old.dbf"), "old table", 9));
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("old.dbt"), "old memo", 8));
    request.Target = dir.file("old.dbf");
    EXPECT_EQ(0, Run(request)) << source;
    EXPECT_EQ(Bytes({'o', 'l', 'd', ' ', 't', 'a', 'b', 'l', 'e'}), ReadFileBytes(dir.file("old.dbf"))) << source;
    EXPECT_EQ(Bytes({'o', 'l', 'd', ' ', 'm', 'e', 'm', 'o'}), ReadFileBytes(dir.file("old.dbt"))) << source;
    EXPECT_EQ((std::vector<std::string>{"old.dbf", "old.dbt"}), FilesIn(dir.path())) << source;
  }
}

// A dBase export that fails part-way (here the second icon, too large for
// an icon file) keeps a table and memo file of the target's names byte for
// byte and leaves nothing of its own behind; where there were none, the
// records written stay readable in a completed table. A read-only table or
// memo file ends the export before anything is written.
TEST_F(ExportEngineTest, DBaseFailureKeepsTheOldPair) {
  const struct {
    const char* what;
    bool old_pair;
    const char* read_only;  // the old file made read-only, if any
    const char* named;      // the file the error names
  } cases[] = {
      {"old pair", true, nullptr, "t.dbt"},
      {"no old pair", false, nullptr, "t.dbt"},
      {"read-only table", true, "t.dbf", "t.dbf"},
      {"read-only memo file", true, "t.dbt", "t.dbt"},
  };
  TExportWork good;
  good.Icon = imaging::TIcon(ExtractIconA(GetModuleHandleA(nullptr), FixturePath("bpp4.ico").c_str(), 0));
  ASSERT_FALSE(good.Icon.Empty());
  std::vector<BYTE> and_bits(300 * 300 / 8, 0), xor_bits(300 * 300 * 4, 0x7F);
  TExportWork huge;
  huge.Icon = imaging::TIcon(CreateIcon(nullptr, 300, 300, 1, 32, and_bits.data(), xor_bits.data()));
  ASSERT_FALSE(huge.Icon.Empty());
  const Bytes old_table(100, 'T'), old_memo(2048, 'M');

  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const TDBasePaths paths{dir.file("t.dbf"), dir.file("t.dbt")};
    if (c.old_pair) {
      ASSERT_TRUE(testing_support::WriteFileBytes(paths.Table, old_table.data(), old_table.size()));
      ASSERT_TRUE(testing_support::WriteFileBytes(paths.Memo, old_memo.data(), old_memo.size()));
    }
    if (c.read_only) {
      ASSERT_TRUE(SetFileAttributesA(dir.file(c.read_only).c_str(), FILE_ATTRIBUTE_READONLY));
    }
    std::wstring error;
    try {
      TDBaseExport dbase(paths, "ICON");
      dbase.AddIcon(good, 0);
      dbase.AddIcon(huge, 0);
      dbase.Finish();
    } catch (const gui::Error& e) {
      error = e.message();
    }
    EXPECT_NE(std::wstring::npos, error.find(L"'" + gui::AnsiToWide(dir.file(c.named)) + L"'"))
        << gui::WideToAnsi(error);
    EXPECT_EQ((std::vector<std::string>{"t.dbf", "t.dbt"}), FilesIn(dir.path()));
    if (c.old_pair) {
      EXPECT_EQ(old_table, ReadFileBytes(paths.Table));
      EXPECT_EQ(old_memo, ReadFileBytes(paths.Memo));
    } else {
      const Bytes dbf = ReadFileBytes(paths.Table);
      ASSERT_EQ(65u + 11u + 1u, dbf.size());
      EXPECT_EQ(1u, LE32(dbf, 4));
      EXPECT_EQ(0x1A, dbf.back());
      // Block 0 and the first memo; the next free block follows it.
      const Bytes dbt = ReadFileBytes(paths.Memo);
      ASSERT_GE(dbt.size(), 2048u);
      EXPECT_EQ(2u, LE32(dbt, 0));
      EXPECT_EQ(774u, LE32(dbt, 1028));
    }
    if (c.read_only) SetFileAttributesA(dir.file(c.read_only).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST_F(ExportEngineTest, OverwriteAnswers) {
  const std::string folder = dir_.file("out");
  CreateDirectoryA(folder.c_str(), nullptr);
  auto name = [&](int n) { return folder + "\\ico_export_5000" + std::to_string(n) + ".ico"; };
  auto old_files = [&](std::initializer_list<int> ns) {
    for (int n : ns) ASSERT_TRUE(testing_support::WriteFileBytes(name(n), "old", 3));
  };
  auto is_old = [&](int n) { return ReadFileBytes(name(n)).size() == 3; };
  TExportRequest request;
  request.Source = FixturePath("export_5.dll");
  request.DestFolder = folder;

  struct Case {
    std::vector<TOverwriteAnswer> answers;
    int asked;
    int count;
    std::vector<bool> kept;  // icons 2, 3, 4
  } cases[] = {
      {{TOverwriteAnswer::kNo, TOverwriteAnswer::kNoToAll}, 2, 2, {true, true, true}},
      {{TOverwriteAnswer::kNo, TOverwriteAnswer::kYes, TOverwriteAnswer::kNo}, 3, 3, {true, false, true}},
      {{TOverwriteAnswer::kYesToAll}, 1, 5, {false, false, false}},
  };
  for (const Case& c : cases) {
    for (int n = 1; n <= 5; ++n) DeleteFileA(name(n).c_str());
    old_files({2, 3, 4});
    std::vector<std::string> asked;
    int count = 0;
    TExportWork work;
    ExportIcons(work, count, request, 0, [&](const std::string& path) {
      asked.push_back(path);
      return c.answers[asked.size() - 1];
    });
    EXPECT_EQ(c.count, count);
    ASSERT_EQ(static_cast<size_t>(c.asked), asked.size());
    EXPECT_EQ(name(2), asked[0]);
    for (int n = 2; n <= 4; ++n) EXPECT_EQ(c.kept[n - 2], is_old(n)) << n;
    EXPECT_FALSE(is_old(1));
    EXPECT_FALSE(is_old(5));
  }
  // In batch mode nothing is asked and everything is replaced.
  old_files({1, 2, 3, 4, 5});
  BatchMode = true;
  EXPECT_EQ(5, Run(request));
  for (int n = 1; n <= 5; ++n) EXPECT_FALSE(is_old(n)) << n;
}

TEST_F(ExportEngineTest, WriteFailurePartWayKeepsWhatWasWritten) {
  // Icon 3's name is taken by a folder: the export ends there with an error
  // naming it; icons 1 and 2 stay.
  for (imaging::TExportType type : {imaging::etIcon, imaging::etBitmap, imaging::etJPEG}) {
    TempDir dir;
    const std::string folder = dir.file("out");
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string ext = type == imaging::etIcon ? ".ico" : type == imaging::etBitmap ? ".bmp" : ".jpg";
    const std::string blocked = folder + "\\ico_export_50003" + ext;
    CreateDirectoryA(blocked.c_str(), nullptr);
    TExportRequest request;
    request.Type = type;
    request.Source = FixturePath("export_5.dll");
    request.DestFolder = folder;
    BatchMode = true;
    int count = 0;
    TExportWork work;
    try {
      ExportIcons(work, count, request, 0);
      ADD_FAILURE() << "no error for " << ext;
    } catch (const gui::Error& e) {
      EXPECT_NE(std::wstring::npos, e.message().find(gui::AnsiToWide(blocked))) << gui::WideToAnsi(e.message());
    }
    EXPECT_EQ(2, count);
    const std::vector<std::string> files = FilesIn(folder);
    EXPECT_EQ(3u, files.size()) << ext;  // icons 1, 2 and the folder
    EXPECT_FALSE(ReadFileBytes(folder + "\\ico_export_50002" + ext).empty());
  }

  // HTML: an image that cannot be written ends the export before the
  // document; a document that cannot be written is an error of its own.
  {
    TempDir dir;
    CurrentFileName = FixturePath("export_5.dll");
    TExportRequest html;
    html.Type = imaging::etHTML;
    html.Target = dir.file("page.htm");
    html.DestFolder = dir.file("page_files");
    CreateDirectoryA(html.DestFolder.c_str(), nullptr);
    CreateDirectoryA(dir.file("page_files\\ico_export_50004.jpg").c_str(), nullptr);
    BatchMode = true;
    int written = 0;
    TExportWork html_work;
    EXPECT_THROW(ExportIcons(html_work, written, html, 5), gui::Error);
    EXPECT_EQ(3, written);
    EXPECT_FALSE(testing_support::FileExists(dir.file("page.htm")));
    RemoveDirectoryA(dir.file("page_files\\ico_export_50004.jpg").c_str());
    CreateDirectoryA(dir.file("page.htm").c_str(), nullptr);
    written = 0;
    EXPECT_THROW(ExportIcons(html_work, written, html, 5), gui::Error);
    EXPECT_EQ(5, written);
  }

  // The memo file's name is taken by a folder: an error naming it, before
  // anything is written.
  CreateDirectoryA(dir_.file("icons.dbt").c_str(), nullptr);
  TExportRequest request;
  request.Type = imaging::etDBase;
  request.Source = FixturePath("export_5.dll");
  request.Target = dir_.file("icons.dbf");
  request.DestFolder = dir_.path();
  int count = 0;
  TExportWork work;
  try {
    ExportIcons(work, count, request, 0);
    ADD_FAILURE() << "no error for the memo file";
  } catch (const gui::Error& e) {
    EXPECT_NE(std::wstring::npos, e.message().find(gui::AnsiToWide(dir_.file("icons.dbt"))));
  }
  EXPECT_EQ(0, count);
  EXPECT_EQ(std::vector<std::string>{"icons.dbt"}, FilesIn(dir_.path()));
}

TEST_F(ExportEngineTest, DamagedAndIconlessSourcesWriteNothing) {
  // The structural check keeps damaged files away from the shell.
  const char* sources[] = {"damaged\\ico_offset_huge.ico", "damaged\\ne_group_65535.exe", "text.txt", "no_icons.exe",
                           "missing.dll"};
  for (const char* source : sources) {
    TExportRequest request;
    request.Type = imaging::etBitmap;
    request.Source = FixturePath(source);
    request.DestFolder = dir_.file("out");
    EXPECT_EQ(0, Run(request)) << source;
    EXPECT_TRUE(FilesIn(dir_.file("out")).empty()) << source;
  }
}

TEST_F(ExportEngineTest, GrayScaleAndColorDepth) {
  TExportRequest request;
  request.Type = imaging::etBitmap;
  request.GrayScale = true;
  request.Source = FixturePath("export_5.dll");
  request.DestFolder = dir_.file("grey");
  ASSERT_EQ(5, Run(request));
  const Bytes bmp = ReadFileBytes(dir_.file("grey\\ico_export_50001.bmp"));
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(24u, LE16(bmp, 28));
  // Every pixel grey.
  for (size_t at = LE32(bmp, 10); at + 2 < bmp.size(); at += 3) {
    ASSERT_EQ(bmp[at], bmp[at + 1]) << at;
    ASSERT_EQ(bmp[at], bmp[at + 2]) << at;
  }
  // The depth of the icon as drawn on white: red and blue are standard
  // colours; 256 colours of 8 bits give 24 bits once drawn.
  const struct {
    const char* file;
    UINT index;
    uint8_t depth;
  } depths[] = {{"mono.ico", 0, 0},      {"few_icons.dll", 0, 1}, {"few_icons.dll", 1, 1},
                {"few_icons.dll", 2, 3}, {"few_icons.dll", 3, 3}, {"few_icons.dll", 4, 4}};
  for (const auto& d : depths) {
    imaging::TIcon icon(ExtractIconA(GetModuleHandleA(nullptr), FixturePath(d.file).c_str(), d.index));
    EXPECT_EQ(d.depth, GetGraphicColorDepth(icon)) << d.file << " " << d.index;
  }
}

}  // namespace
}  // namespace app
