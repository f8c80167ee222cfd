// The command-line batch for real: tamsel.exe -e ... under Wine, with the
// results read back byte by byte here and by independent decoders on the
// Unix side (ImageMagick for bitmaps and icons, djpeg for JPEG, dbfread for
// the dBase table), which Wine starts through /bin/sh.
#include <windows.h>
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "e2e/e2e_main.h"
#include "e2e/unix_dir.h"
#include "win/export_fixtures.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace {

using testing_support::FixturePath;
using testing_support::MessageBoxText;
using testing_support::Process;
using testing_support::Quote;
using testing_support::ReadFileBytes;
using testing_support::WaitForWindow;
using testing_support::WindowText;
using Bytes = std::vector<unsigned char>;
using e2e::UnixDir;
using export_fixtures::ExportLeft;
using export_fixtures::ExportRight;
using export_fixtures::FilesIn;
using export_fixtures::LE16;
using export_fixtures::LE32;

constexpr DWORD kTimeout = 30000;

// Runs a batch that must close by itself; fails with the text of any box.
void RunBatch(const std::string& arguments) {
  Process p(e2e::TamselPath(), arguments);
  ASSERT_TRUE(p.started());
  if (p.WaitForExit(kTimeout)) return;
  HWND box = WaitForWindow(p.id(), L"#32770", 100);
  ADD_FAILURE() << "tamsel.exe " << arguments << " did not close"
                << (box ? " and shows a box of " + std::to_string(MessageBoxText(box).size()) + " characters" : "");
}

// Runs a batch that ends with a message box; returns its text and closes the program.
std::wstring RunBatchExpectingBox(const std::string& arguments, bool* closed_after_ok = nullptr) {
  Process p(e2e::TamselPath(), arguments);
  EXPECT_TRUE(p.started());
  HWND box = WaitForWindow(p.id(), L"#32770", kTimeout);
  if (!box) {
    ADD_FAILURE() << "no message box for " << arguments;
    return L"";
  }
  EXPECT_EQ(L"Tamsel", WindowText(box));
  const std::wstring text = MessageBoxText(box);
  testing_support::PressButton(box, IDOK);
  // The program stays open afterwards.
  if (closed_after_ok)
    *closed_after_ok = p.WaitForExit(500);
  else
    EXPECT_FALSE(p.WaitForExit(500)) << arguments;
  HWND main_window = WaitForWindow(p.id(), L"TForm1", kTimeout);
  if (main_window) PostMessageW(main_window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitForExit(kTimeout)) << "tamsel.exe did not end after WM_CLOSE";
  return text;
}

// The pixels (3,3), (20,10) and (30,30) of a picture file as ImageMagick
// reads it, as 0xRRGGBB values.
std::vector<uint32_t> ProbePixels(const UnixDir& dir, const std::string& unix_file) {
  const std::string out = dir.Run("/usr/bin/convert '" + unix_file +
                                  "' -background white -flatten -depth 8 txt:- | grep -E '^(3,3|20,10|30,30):'");
  std::vector<uint32_t> pixels;
  for (const char* key : {"3,3:", "20,10:", "30,30:"}) {
    size_t at = out.find(key);
    size_t hash = at == std::string::npos ? at : out.find('#', at);
    pixels.push_back(hash == std::string::npos
                         ? 0xDEADBEEF
                         : static_cast<uint32_t>(std::stoul(out.substr(hash + 1, 6), nullptr, 16)));
  }
  return pixels;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (d < -tolerance || d > tolerance) return false;
  }
  return true;
}

// Pixel (x, y) of a binary PPM (djpeg's output).
uint32_t PpmPixel(const Bytes& ppm, int x, int y) {
  // "P6\n<w> <h>\n255\n"
  int fields = 0;
  size_t at = 0;
  int width = 0;
  while (at < ppm.size() && fields < 4) {
    while (at < ppm.size() && isspace(ppm[at])) ++at;
    size_t start = at;
    while (at < ppm.size() && !isspace(ppm[at])) ++at;
    if (fields == 1) width = std::stoi(std::string(ppm.begin() + start, ppm.begin() + at));
    ++fields;
  }
  ++at;
  const size_t p = at + (static_cast<size_t>(y) * width + x) * 3;
  if (p + 2 >= ppm.size()) return 0xDEADBEEF;
  return (ppm[p] << 16) | (ppm[p + 1] << 8) | ppm[p + 2];
}

TEST(BatchExport, ShellIconsAsPerIconFiles) {
  // Every icon of Wine's own shell32.dll, named and counted as the shell counts them.
  UnixDir dir;
  const std::string shell32 = "C:\\windows\\system32\\shell32.dll";
  const UINT total = static_cast<UINT>(
      reinterpret_cast<UINT_PTR>(ExtractIconA(GetModuleHandleA(nullptr), shell32.c_str(), static_cast<UINT>(-1))));
  ASSERT_GT(total, 100u);
  RunBatch("-e " + shell32 + " " + Quote(dir.win("out")) + " -iconindex=0 -closewhendone");
  const std::vector<std::string> files = FilesIn(dir.win("out"));
  ASSERT_EQ(total, files.size());
  for (UINT i = 0; i < total; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "ico_shell32%04u.ico", i + 1);
    ASSERT_EQ(name, files[i]);
    // One image: header, one entry at offset 22 holding the rest of the file.
    const Bytes ico = ReadFileBytes(dir.win("out\\" + files[i]));
    ASSERT_GT(ico.size(), 62u) << name;
    EXPECT_EQ(0u, LE16(ico, 0));
    EXPECT_EQ(1u, LE16(ico, 2));
    EXPECT_EQ(1u, LE16(ico, 4));
    EXPECT_EQ(ico.size() - 22, LE32(ico, 14)) << name;
    EXPECT_EQ(22u, LE32(ico, 18));
    EXPECT_EQ(40u, LE32(ico, 22));
    EXPECT_EQ(2 * (ico[7] == 0 ? 256 : ico[7]), static_cast<int>(LE32(ico, 30))) << name;
  }
  // ImageMagick reads every one of them.
  const std::string out =
      dir.Run("for f in " + dir.unix("out") +
              "/*.ico; do /usr/bin/identify \"$f\" >/dev/null 2>&1 || echo BAD $f; done; echo done");
  EXPECT_EQ("done\n", out);
}

TEST(BatchExport, PictureTypesDecodeIndependently) {
  UnixDir dir;
  const std::string source = FixturePath("export_5.dll");
  const char* types[] = {"ico", "bmp", "jpg", "emf"};
  for (const char* type : types) {
    RunBatch("-e " + Quote(source) + " " + Quote(dir.win(type)) + " -iconindex=0 -desttype=" + type +
             " -closewhendone");
    const std::vector<std::string> files = FilesIn(dir.win(type));
    ASSERT_EQ(5u, files.size()) << type;
    for (int i = 0; i < 5; ++i) {
      char name[64];
      std::snprintf(name, sizeof name, "ico_export_5%04d.%s", i + 1, type);
      ASSERT_EQ(name, files[static_cast<size_t>(i)]);
      const std::vector<uint32_t> expected = {ExportLeft(i), ExportRight(i), 0xFFFFFF};
      const std::string unix_file = dir.unix(std::string(type) + "/" + name);
      if (std::string(type) == "jpg") {
        const std::string ppm = dir.unix(std::string(name) + ".ppm");
        dir.Run("/usr/bin/djpeg -pnm -outfile " + ppm + " '" + unix_file + "'");
        const Bytes bytes = ReadFileBytes(testing_support::ToWindowsPath(ppm));
        ASSERT_FALSE(bytes.empty()) << name;
        // Lossy: close, not equal; away from the edges between colours.
        EXPECT_TRUE(Near(expected[0], PpmPixel(bytes, 3, 3), 24)) << name;
        EXPECT_TRUE(Near(expected[1], PpmPixel(bytes, 24, 10), 24)) << name;
        EXPECT_TRUE(Near(expected[2], PpmPixel(bytes, 31, 31), 24)) << name;
      } else if (std::string(type) == "emf") {
        // No Unix reader knows enhanced metafiles: GDI plays it here.
        HENHMETAFILE emf = GetEnhMetaFileA(dir.win(std::string(type) + "\\" + name).c_str());
        ASSERT_NE(nullptr, emf) << name;
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 32);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bmp);
        RECT all{0, 0, 32, 32};
        PlayEnhMetaFile(dc, emf, &all);
        auto rgb = [](COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); };
        EXPECT_EQ(expected[0], static_cast<uint32_t>(rgb(GetPixel(dc, 3, 3)))) << name;
        EXPECT_EQ(expected[1], static_cast<uint32_t>(rgb(GetPixel(dc, 20, 10)))) << name;
        EXPECT_EQ(expected[2], static_cast<uint32_t>(rgb(GetPixel(dc, 30, 30)))) << name;
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
        DeleteEnhMetaFile(emf);
      } else {
        EXPECT_EQ(expected, ProbePixels(dir, unix_file)) << name;
      }
    }
  }
}

// The document for T icons with K columns, built here piece by piece.
std::string ExpectedDocument(const std::string& source, const std::string& folder, int total, int k) {
  std::string base = source.substr(source.find_last_of('\\') + 1);
  base = base.substr(0, base.find('.'));
  std::string r;
  for (int n = 1; n <= total; ++n) {
    if (n == 1) r = "<TR>";
    char number[8];
    std::snprintf(number, sizeof number, "%04d", n);
    r += "<TD ALIGN=\"CENTER\"><img src=\"" + folder + "/ico_" + base + number +
         ".jpg\" width=\"32\" height=\"32\"ALT=\"" + std::to_string(n) + "\"><BR>" + std::to_string(n) + "</TD>";
    if (n % k == 0) {
      r += "</TR>";
      if (n < total) r += "<TR>";
    }
  }
  if (total > 0 && total % k != 0) {
    for (int m = total; m % k != 0; ++m) r += "<TD>&nbsp;</TD>";
    r += "</TR>";
  }
  return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n<HTML>\r\n<HEAD><TITLE>Icons from " + source +
         "</TITLE></HEAD>\r\n<TABLE BORDER=\"1\">" + r + "</TABLE>\r\n</BODY>\r\n</HTML>";
}

TEST(BatchExport, HtmlDocumentAndImageFolder) {
  // The target "page" gives page.html and page_files. The column count is
  // the main window's (the icon count or the grid's columns, whichever is
  // smaller); the document must be exactly the one for that count.
  for (const char* dll : {"export_5.dll", "export_8.dll"}) {
    UnixDir dir;
    const std::string source = FixturePath(dll);
    RunBatch("-e " + Quote(source) + " " + Quote(dir.win("page")) +
             " -desttype=html -includenumbers -drawborders -closewhendone");
    const int total = dll[7] - '0';
    EXPECT_EQ(static_cast<size_t>(total), FilesIn(dir.win("page_files")).size());
    const Bytes bytes = ReadFileBytes(dir.win("page.html"));
    const std::string doc(bytes.begin(), bytes.end());
    const size_t first_row_end = doc.find("</TR>");
    ASSERT_NE(std::string::npos, first_row_end) << doc;
    int k = 0;
    for (size_t at = doc.find("<TD ALIGN"); at < first_row_end; at = doc.find("<TD ALIGN", at + 1)) ++k;
    ASSERT_GE(k, 1);
    EXPECT_EQ(ExpectedDocument(source, "page_files", total, k), doc) << "K = " << k;
    EXPECT_FALSE(testing_support::FileExists(dir.win("page")));
  }
}

const char kDbfReader[] = R"PY(
import sys, struct
import dbfread, dbfread.dbf
from dbfread.field_parser import FieldParser
from dbfread.memo import MemoFile, DB4MemoHeader

class Memo(MemoFile):
    def _init(self):
        self._seek(20)
        self.block = struct.unpack('<H', self._read(2))[0]
    def __getitem__(self, index):
        self._seek(index * self.block)
        head = DB4MemoHeader.read(self.file)
        assert head.reserved == 0x0008FFFF, hex(head.reserved)
        return self._read(head.length - 8)

class Parser(FieldParser):
    def _parse_memo_index(self, data):
        return int(data.rstrip(b'\0'))

dbfread.dbf.open_memofile = lambda name, version: Memo(name)
table, field = sys.argv[1], sys.argv[2]
dbf = dbfread.DBF(table, parserclass=Parser, ignorecase=False)
print(dbf.header.numrecords, [(f.name, f.type) for f in dbf.fields])
for record in dbf:
    print(len(record[field]), record[field].hex())
)PY";

TEST(BatchExport, DBaseTablesOpenInDbfread) {
  UnixDir dir;
  testing_support::WriteFileBytes(dir.win("read.py"), kDbfReader, sizeof kDbfReader - 1);
  const struct {
    const char* source;
    const char* target;
    const char* table;
    int icons;
  } cases[] = {{"bpp4.ico", "icons", "icons.dbf", 1},
               {"export_2.dll", "two.tbl", "two.tbl", 2},
               {"export_5.dll", "my_icon_table", "my_icon_table.dbf", 5}};
  for (const auto& c : cases) {
    const std::string source = FixturePath(c.source);
    // The icon files of the same icons, to compare with the memos.
    const std::string icons_folder = std::string(c.table) + "_icons";
    RunBatch("-e " + Quote(source) + " " + Quote(dir.win(icons_folder)) + " -iconindex=0 -closewhendone");
    RunBatch("-e " + Quote(source) + " " + Quote(dir.win(c.target)) +
             " -desttype=DBASE -dbasefieldname=My_Icons_Field -closewhendone");
    const std::string memo_name = std::string(c.table).substr(0, std::string(c.table).find('.')) + ".dbt";
    const Bytes dbf = ReadFileBytes(dir.win(c.table));
    const Bytes dbt = ReadFileBytes(dir.win(memo_name));
    ASSERT_EQ(65u + 11u * c.icons + 1u, dbf.size()) << c.table;
    ASSERT_EQ(1024u * (c.icons + 1), dbt.size()) << memo_name;
    EXPECT_EQ(static_cast<uint32_t>(c.icons), LE32(dbf, 4));
    EXPECT_EQ(static_cast<uint32_t>(c.icons + 1), LE32(dbt, 0));
    if (c.icons == 1) {
      EXPECT_EQ(774u, LE32(dbt, 1028));
    }
    if (std::string(c.target) == "my_icon_table") {
      EXPECT_EQ("MY_ICON_", std::string(dbt.begin() + 8, dbt.begin() + 16));
    }
    const std::string out =
        dir.Run("/usr/bin/python3 " + dir.unix("read.py") + " " + dir.unix(c.table) + " My_Icons_F");
    std::string expected = std::to_string(c.icons) + " [('My_Icons_F', 'B')]\n";
    const std::vector<std::string> icon_files = FilesIn(dir.win(icons_folder));
    ASSERT_EQ(static_cast<size_t>(c.icons), icon_files.size());
    for (const std::string& f : icon_files) {
      const Bytes ico = ReadFileBytes(dir.win(icons_folder + "\\" + f));
      EXPECT_EQ(766u, ico.size());
      char hex[3];
      expected += std::to_string(ico.size()) + " ";
      for (unsigned char b : ico) {
        std::snprintf(hex, sizeof hex, "%02x", b);
        expected += hex;
      }
      expected += "\n";
    }
    EXPECT_EQ(expected, out) << c.table;
  }
}

// A PNG reader in Python's zlib and struct alone, independent of libpng:
// prints the width and height, then one line per row (top first) with the
// alpha bytes in hex. Only what the exports write is read: 8-bit RGBA.
const char kPngAlphaScript[] = R"(import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'no PNG signature'
pos, idat = 8, b''
while pos < len(data):
    n, kind = struct.unpack('>I4s', data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + n]
    pos += 12 + n
    if kind == b'IHDR':
        w, h, depth, ctype = struct.unpack('>IIBB', body[:10])
    elif kind == b'IDAT':
        idat += body
assert (depth, ctype) == (8, 6), 'not 8-bit RGBA'
raw = zlib.decompress(idat)
stride = w * 4
prev = bytearray(stride)
print(w, h)
for y in range(h):
    f = raw[y * (stride + 1)]
    line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a = line[i - 4] if i >= 4 else 0
        b = prev[i]
        c = prev[i - 4] if i >= 4 else 0
        if f == 1: line[i] = (line[i] + a) & 255
        elif f == 2: line[i] = (line[i] + b) & 255
        elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
        elif f == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    print(bytes(line[3::4]).hex())
    prev = line
)";

struct AlphaPlane {
  int width = 0;
  int height = 0;
  std::vector<std::vector<uint8_t>> rows;  // top row first
};

AlphaPlane ReadPngAlpha(const UnixDir& dir, const std::string& unix_file) {
  const std::string script = dir.win("png_alpha.py");
  testing_support::WriteFileBytes(script, kPngAlphaScript, sizeof kPngAlphaScript - 1);
  const std::string out = dir.Run("python3 " + dir.unix("png_alpha.py") + " '" + unix_file + "'");
  AlphaPlane plane;
  size_t at = out.find('\n');
  if (at == std::string::npos || std::sscanf(out.c_str(), "%d %d", &plane.width, &plane.height) != 2) {
    ADD_FAILURE() << unix_file << ": " << out;
    return plane;
  }
  while (at != std::string::npos && at + 1 < out.size()) {
    const size_t end = out.find('\n', at + 1);
    const std::string hex = out.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    std::vector<uint8_t> row;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
      row.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    plane.rows.push_back(row);
    at = end;
  }
  EXPECT_EQ(static_cast<size_t>(plane.height), plane.rows.size()) << unix_file << ": " << out.substr(0, 200);
  return plane;
}

// The alpha ramp of imaging_depths.dll's 32-bit icon (tests/fixtures/set_imaging.py).
uint8_t RampAlpha(int x) { return static_cast<uint8_t>((x * 8 + 7) & 0xFF); }

// PNG as the destination word, by the target's extension and for all icons
// as one image: the 32-bit icon's alpha to the byte, the 1-bit icon
// transparent where its mask is set, the composite's background transparent.
TEST(BatchExport, PngKeepsTheIconsAlpha) {
  UnixDir dir;
  const std::string source = FixturePath("imaging_depths.dll");
  RunBatch("-e " + Quote(source) + " " + Quote(dir.win("png")) + " -iconindex=0 -desttype=PNG -closewhendone");
  const std::vector<std::string> files = FilesIn(dir.win("png"));
  ASSERT_EQ(8u, files.size());
  EXPECT_EQ("ico_imaging_depths0007.png", files[6]);

  const AlphaPlane ramp = ReadPngAlpha(dir, dir.unix("png/" + files[6]));
  ASSERT_EQ(32, ramp.width);
  ASSERT_EQ(32u, ramp.rows.size());
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) ASSERT_EQ(RampAlpha(x), ramp.rows[y].at(x)) << x << "," << y;

  const AlphaPlane mono = ReadPngAlpha(dir, dir.unix("png/" + files[7]));
  ASSERT_EQ(32u, mono.rows.size());
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) ASSERT_EQ(x < 4 ? 0 : 255, mono.rows[y].at(x)) << x << "," << y;

  RunBatch("-e " + Quote(source) + " " + Quote(dir.win("one.png")) + " -iconindex=7 -closewhendone");
  EXPECT_EQ(ramp.rows, ReadPngAlpha(dir, dir.unix("one.png")).rows);

  RunBatch("-e " + Quote(source) + " " + Quote(dir.win("all.png")) + " -alliconsasoneimage -closewhendone");
  const AlphaPlane all = ReadPngAlpha(dir, dir.unix("all.png"));
  ASSERT_FALSE(all.rows.empty());
  EXPECT_EQ(0, all.rows[0].at(0));  // the background
  // Only the ramp icon has alpha 7, in its first column of 32 pixels.
  int sevens = 0;
  for (const auto& row : all.rows) sevens += static_cast<int>(std::count(row.begin(), row.end(), 7));
  EXPECT_EQ(32, sevens);
}

TEST(BatchExport, SingleIconCompositeAndCountMessage) {
  UnixDir dir;
  const std::string source = FixturePath("export_5.dll");
  // Without -iconindex= the first icon, with the type's extension appended.
  RunBatch("-e " + Quote(source) + " " + Quote(dir.win("one")) + " -closewhendone");
  EXPECT_EQ(766u, ReadFileBytes(dir.win("one.ico")).size());
  RunBatch("-e " + Quote(source) + " " + Quote(dir.win("three.bmp")) + " -iconindex=3 -closewhendone");
  EXPECT_EQ((std::vector<uint32_t>{ExportLeft(2), ExportRight(2), 0xFFFFFF}), ProbePixels(dir, dir.unix("three.bmp")));

  // Grey scale: every probed pixel grey, the white corner still white.
  RunBatch("-e " + Quote(source) + " " + Quote(dir.win("grey.bmp")) + " -iconindex=3 -grayscale -closewhendone");
  const std::vector<uint32_t> grey = ProbePixels(dir, dir.unix("grey.bmp"));
  for (uint32_t p : grey) EXPECT_TRUE((p >> 16) == (p & 0xFF) && ((p >> 8) & 0xFF) == (p & 0xFF)) << std::hex << p;
  EXPECT_EQ(0xFFFFFFu, grey[2]);
  EXPECT_NE(grey[0], grey[1]);

  // The count message, and no message after a composite image.
  EXPECT_EQ(L"Icons exported: 5",
            RunBatchExpectingBox("-e " + Quote(source) + " " + Quote(dir.win("all")) + " -iconindex=0"));
  EXPECT_EQ(L"Icons exported: 1", RunBatchExpectingBox("-e " + Quote(source) + " " + Quote(dir.win("x.jpg"))));
  {
    Process p(e2e::TamselPath(), "-e " + Quote(source) + " " + Quote(dir.win("grid")) + " -alliconsasoneimage");
    ASSERT_TRUE(p.started());
    HWND main_window = WaitForWindow(p.id(), L"TForm1", kTimeout);
    ASSERT_NE(nullptr, main_window);
    for (int i = 0; i < 500 && !testing_support::FileExists(dir.win("grid.bmp")); ++i) Sleep(20);
    EXPECT_EQ(nullptr, WaitForWindow(p.id(), L"#32770", 1000));
    PostMessageW(main_window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(p.WaitForExit(kTimeout));
  }
  const Bytes grid = ReadFileBytes(dir.win("grid.bmp"));
  ASSERT_GT(grid.size(), 54u);
  // Whole cells of 42 pixels plus 2, every icon in place.
  const int width = static_cast<int>(LE32(grid, 18));
  const int height = static_cast<int>(LE32(grid, 22));
  EXPECT_EQ(2, width % 42) << width;
  EXPECT_EQ(2, height % 42) << height;
  const int columns = width / 42;
  const int rows = height / 42;
  EXPECT_EQ((5 + columns - 1) / columns, rows);
  const std::vector<uint32_t> first = ProbePixels(dir, dir.unix("grid.bmp"));
  // Icon 0 is drawn at (6, 6): (3,3) is background, (20,10) its left half.
  EXPECT_EQ(0xFFFFFFu, first[0]);
  EXPECT_EQ(ExportLeft(0), first[1]);

  // The HTML table of the same file has as many columns as the grid, or
  // as icons when they are fewer.
  RunBatch("-e " + Quote(source) + " " + Quote(dir.win("page.htm")) + " -closewhendone");
  const Bytes page = ReadFileBytes(dir.win("page.htm"));
  const std::string doc(page.begin(), page.end());
  const size_t row_end = doc.find("</TR>");
  ASSERT_NE(std::string::npos, row_end);
  int k = 0;
  for (size_t at = doc.find("<TD"); at < row_end; at = doc.find("<TD", at + 1)) ++k;
  EXPECT_EQ(std::min(5, columns), k);
}

// Registers a program for files of one extension that copies the file it
// is given to `copy_to`, unless the extension has a program already; removed
// again when the object goes.
class CopyingAssociation {
 public:
  CopyingAssociation(const std::string& ext, const std::string& copy_to) : ext_(ext), progid_("TamselTest" + ext) {
    HKEY existing = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ext_.c_str(), 0, KEY_READ, &existing) == ERROR_SUCCESS) {
      RegCloseKey(existing);
      return;
    }
    const std::string command = "cmd.exe /c copy /y \"%1\" \"" + copy_to + "\"";
    ok_ = Set(ext_, progid_) && Set(progid_ + "\\shell\\open\\command", command);
  }
  ~CopyingAssociation() {
    if (!ok_) return;
    for (const std::string& key :
         {progid_ + "\\shell\\open\\command", progid_ + "\\shell\\open", progid_ + "\\shell", progid_, ext_})
      RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
  }
  bool ok() const { return ok_; }

 private:
  static bool Set(const std::string& key, const std::string& value) {
    HKEY h = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
      return false;
    const LONG r = RegSetValueExA(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>(value.size() + 1));
    RegCloseKey(h);
    return r == ERROR_SUCCESS;
  }
  std::string ext_;
  std::string progid_;
  bool ok_ = false;
};

Bytes WaitForBytes(const std::string& path) {
  for (int i = 0; i < 500 && !testing_support::FileExists(path); ++i) Sleep(20);
  Sleep(100);
  return ReadFileBytes(path);
}

TEST(BatchExport, OpenDestinationOpensTheWrittenFile) {
  // The written file is handed to the program registered for its type;
  // here one that copies it, so that the test sees what was opened.
  UnixDir dir;
  const std::string source = FixturePath("export_5.dll");
  {
    CopyingAssociation association(".tamselout", dir.win("opened.bin"));
    ASSERT_TRUE(association.ok());
    RunBatch("-e " + Quote(source) + " " + Quote(dir.win("one.tamselout")) +
             " -iconindex=2 -opendestination -closewhendone");
    const Bytes written = ReadFileBytes(dir.win("one.tamselout"));
    ASSERT_EQ(766u, written.size());
    EXPECT_EQ(written, WaitForBytes(dir.win("opened.bin")));
  }
  {
    // The target "icons" names no file: the table written as icons.dbf is
    // found through the destination word.
    CopyingAssociation association(".dbf", dir.win("opened.dbf"));
    if (!association.ok()) GTEST_SKIP() << ".dbf files have a program in this prefix already";
    RunBatch("-e " + Quote(source) + " " + Quote(dir.win("icons")) +
             " -desttype=dbase -opendestination -closewhendone");
    const Bytes table = ReadFileBytes(dir.win("icons.dbf"));
    ASSERT_EQ(65u + 5 * 11 + 1, table.size());
    EXPECT_EQ(table, WaitForBytes(dir.win("opened.dbf")));
  }
}

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lp) {
  auto* wanted = reinterpret_cast<std::pair<DWORD, std::wstring>*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != wanted->first || !IsWindowVisible(window)) return TRUE;
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  wanted->second = name;
  return FALSE;
}

// Runs a batch that must close by itself and returns the class of a window
// of it seen on the screen, empty when none ever was.
std::wstring RunBatchWatchingWindows(const std::string& arguments) {
  Process p(e2e::TamselPath(), arguments);
  EXPECT_TRUE(p.started());
  std::pair<DWORD, std::wstring> seen{p.id(), L""};
  for (DWORD waited = 0; !p.WaitForExit(2) && waited < kTimeout && seen.second.empty(); waited += 2)
    EnumWindows(&FindVisibleWindow, reinterpret_cast<LPARAM>(&seen));
  EXPECT_TRUE(p.WaitForExit(kTimeout)) << arguments;
  return seen.second;
}

// A batch that closes shows no window; the grid's layout it reads is the
// one the window shows. With the window stored maximized the composite
// picture and the HTML table come out as the shown window makes them, and
// the stored state stays.
TEST(BatchExport, AClosingBatchShowsNoWindowAndLaysOutAsTheWindowWould) {
  UnixDir dir;
  const char* placement = "Software\\Korvane\\Tamsel\\Placement";
  SHSetValueA(HKEY_CURRENT_USER, placement, "Maximized", REG_SZ, "1", 2);
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string source = std::string(system) + "\\shell32.dll";
  // The same names in two folders: the page names its image folder.
  CreateDirectoryA(dir.win("shown").c_str(), nullptr);
  CreateDirectoryA(dir.win("hidden").c_str(), nullptr);
  {
    Process p(e2e::TamselPath(),
              "-e " + Quote(source) + " " + Quote(dir.win("shown\\all.bmp")) + " -alliconsasoneimage");
    ASSERT_TRUE(p.started());
    HWND main_window = WaitForWindow(p.id(), L"TForm1", kTimeout);
    ASSERT_NE(nullptr, main_window);
    for (int i = 0; i < 500 && !testing_support::FileExists(dir.win("shown\\all.bmp")); ++i) Sleep(20);
    EXPECT_TRUE(IsZoomed(main_window));
    PostMessageW(main_window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(p.WaitForExit(kTimeout));
  }
  EXPECT_EQ(L"Icons exported: 184",
            RunBatchExpectingBox("-e " + Quote(source) + " " + Quote(dir.win("shown\\page.htm"))));

  EXPECT_EQ(L"", RunBatchWatchingWindows("-e " + Quote(source) + " " + Quote(dir.win("hidden\\all.bmp")) +
                                         " -alliconsasoneimage -closewhendone"));
  EXPECT_EQ(L"", RunBatchWatchingWindows("-e " + Quote(source) + " " + Quote(dir.win("hidden\\page.htm")) +
                                         " -closewhendone"));
  const Bytes shown = ReadFileBytes(dir.win("shown\\all.bmp"));
  ASSERT_GT(shown.size(), 54u);
  EXPECT_GT(LE32(shown, 18), 640u) << "as wide as the screen";
  EXPECT_TRUE(shown == ReadFileBytes(dir.win("hidden\\all.bmp")));
  const Bytes page = ReadFileBytes(dir.win("shown\\page.htm"));
  ASSERT_FALSE(page.empty());
  EXPECT_TRUE(page == ReadFileBytes(dir.win("hidden\\page.htm")));

  char value[8] = {};
  DWORD size = sizeof value;
  SHGetValueA(HKEY_CURRENT_USER, placement, "Maximized", nullptr, value, &size);
  EXPECT_STREQ("1", value);
  SHDeleteValueA(HKEY_CURRENT_USER, placement, "Maximized");
}

TEST(BatchExport, ErrorsEndTheBatchWithoutClosing) {
  UnixDir dir;
  const std::string source = FixturePath("export_5.dll");
  // An icon beyond the icons of the file.
  const std::wstring beyond =
      RunBatchExpectingBox("-e " + Quote(source) + " " + Quote(dir.win("x.ico")) + " -iconindex=9 -closewhendone");
  EXPECT_NE(std::wstring::npos, beyond.find(L"no icon number 9")) << beyond.size();
  EXPECT_FALSE(testing_support::FileExists(dir.win("x.ico")));

  // A damaged file never reaches the shell's extraction: nothing to export,
  // and the program lives to say so.
  EXPECT_EQ(L"Icons exported: 0", RunBatchExpectingBox("-e " + Quote(FixturePath("damaged\\ico_offset_huge.ico")) +
                                                       " " + Quote(dir.win("none")) + " -iconindex=0"));
  EXPECT_TRUE(FilesIn(dir.win("none")).empty());

  // The third icon's name is taken by a folder: icons 1 and 2 stay, no
  // count, no closing.
  CreateDirectoryA(dir.win("out").c_str(), nullptr);
  CreateDirectoryA(dir.win("out\\ico_export_50003.bmp").c_str(), nullptr);
  const std::wstring blocked = RunBatchExpectingBox("-e " + Quote(source) + " " + Quote(dir.win("out")) +
                                                    " -iconindex=0 -desttype=bmp -closewhendone");
  EXPECT_NE(std::wstring::npos, blocked.find(L"ico_export_50003.bmp' could not be written"));
  EXPECT_EQ((std::vector<std::string>{"ico_export_50001.bmp", "ico_export_50002.bmp", "ico_export_50003.bmp"}),
            FilesIn(dir.win("out")));
  EXPECT_EQ((std::vector<uint32_t>{ExportLeft(1), ExportRight(1), 0xFFFFFF}),
            ProbePixels(dir, dir.unix("out/ico_export_50002.bmp")));
}

// A closing batch of per-icon files runs without making the window: the
// window stores its placement when it closes, and nothing is stored. The
// start still counts, once, and the source becomes the first recent file,
// also when the export fails and the window takes over to show the error.
TEST(BatchExport, AClosingPerIconBatchMakesNoWindowAndCountsItsStartOnce) {
  UnixDir dir;
  const std::string root = "Software\\Korvane\\Tamsel";
  const auto stored = [&](const char* key, const char* name) {
    char value[MAX_PATH] = {};
    DWORD size = sizeof value;
    if (SHGetValueA(HKEY_CURRENT_USER, (root + "\\" + key).c_str(), name, nullptr, value, &size) != ERROR_SUCCESS)
      return std::string("(none)");
    return std::string(value);
  };
  const std::string source = FixturePath("export_5.dll");
  char full[MAX_PATH] = {};
  GetFullPathNameA(source.c_str(), MAX_PATH, full, nullptr);

  RunBatch("-e " + Quote(source) + " " + Quote(dir.win("out")) + " -iconindex=0 -desttype=png -closewhendone");
  EXPECT_EQ(5u, FilesIn(dir.win("out")).size());
  EXPECT_EQ("(none)", stored("Placement", "FindPanelHeight")) << "a window was made";
  EXPECT_EQ("2", stored("Settings", "Run"));
  EXPECT_EQ(full, stored("Recent", "0"));

  CreateDirectoryA(dir.win("blocked").c_str(), nullptr);
  CreateDirectoryA(dir.win("blocked\\ico_export_50002.png").c_str(), nullptr);
  const std::wstring text = RunBatchExpectingBox("-e " + Quote(source) + " " + Quote(dir.win("blocked")) +
                                                 " -iconindex=0 -desttype=png -closewhendone");
  EXPECT_NE(std::wstring::npos, text.find(L"ico_export_50002.png' could not be written"));
  EXPECT_EQ("3", stored("Settings", "Run"));
  EXPECT_NE("(none)", stored("Placement", "FindPanelHeight")) << "the window showed the error";
}

TEST(BatchExport, FullVolumeCompletesTheTable) {
  UnixDir dir;
  const std::string mount = dir.unix("vol");
  const std::string result =
      dir.Run("mkdir -p " + mount + " && mount -t tmpfs -o size=96k tmpfs " + mount + " && echo mounted");
  if (result != "mounted\n") GTEST_SKIP() << "mounting a tmpfs was refused: " << result;
  testing_support::WriteFileBytes(dir.win("read.py"), kDbfReader, sizeof kDbfReader - 1);
  const std::wstring text = RunBatchExpectingBox("-e C:\\windows\\system32\\shell32.dll " +
                                                 Quote(dir.win("vol\\icons")) + " -desttype=dbf -closewhendone");
  EXPECT_NE(std::wstring::npos, text.find(L"could not be written")) << text.size();
  const Bytes dbf = ReadFileBytes(dir.win("vol\\icons.dbf"));
  ASSERT_GT(dbf.size(), 66u);
  const uint32_t records = LE32(dbf, 4);
  EXPECT_GT(records, 0u);
  EXPECT_EQ(65u + 11u * records + 1u, dbf.size());
  EXPECT_EQ(0x1A, dbf.back());
  // dbfread reads the header and every record with its memo.
  const std::string out =
      dir.Run("/usr/bin/python3 " + dir.unix("read.py") + " " + dir.unix("vol/icons.dbf") + " ICON");
  EXPECT_EQ(0u, out.find(std::to_string(records) + " [('ICON', 'B')]\n"));
  EXPECT_EQ(static_cast<long>(records) + 1, std::count(out.begin(), out.end(), '\n')) << out.substr(0, 300);

  // Per-icon bitmaps on the full volume: the error names the file that did
  // not fit; every file before it is complete and none is left half-written.
  DeleteFileA(dir.win("vol\\icons.dbf").c_str());
  DeleteFileA(dir.win("vol\\icons.dbt").c_str());
  const std::wstring bmp_text =
      RunBatchExpectingBox("-e C:\\windows\\system32\\shell32.dll " + Quote(dir.win("vol\\out")) +
                           " -iconindex=0 -desttype=bmp -closewhendone");
  EXPECT_NE(std::wstring::npos, bmp_text.find(L"could not be written")) << bmp_text.size();
  const std::vector<std::string> files = FilesIn(dir.win("vol\\out"));
  ASSERT_GT(files.size(), 2u);
  for (size_t i = 0; i < files.size(); ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "ico_shell32%04u.bmp", static_cast<unsigned>(i + 1));
    EXPECT_EQ(name, files[i]);
    const Bytes bmp = ReadFileBytes(dir.win("vol\\out\\" + files[i]));
    ASSERT_GT(bmp.size(), 54u) << files[i];
    EXPECT_EQ(bmp.size(), LE32(bmp, 2)) << files[i];
  }
  dir.Run("umount -l " + mount);
}

}  // namespace
