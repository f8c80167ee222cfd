// Printing under Wine: the print options window driven from a second
// thread, and real print jobs on the PDF printer that scripts/lib.sh sets up
// (start_printer), whose pages are read back by rendering the PDF with
// pdftoppm at 72 dots per inch. Without that printer the page tests skip.
#include <windows.h>
#include <gtest/gtest.h>
#include <winspool.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "app/print_win.h"
#include "gui/error.h"
#include "imaging/icon_win.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace app {
namespace {

using testing_support::ToWindowsPath;
using testing_support::WindowText;

// ---- The print options window ------------------------------------------

struct SeenForm {
  std::wstring caption;
  std::vector<std::wstring> texts;  // image label, full, selected, scale label, real, fit
  bool sel_enabled = false;
  bool full_checked = false;
  bool real_checked = false;
  RECT client{};
};

enum class Act { ChooseSelectedAndFit, Cancel, Enter };

// Waits for the window, records it, then answers as a user would.
SeenForm DriveForm(Act act) {
  SeenForm seen;
  HWND form = testing_support::WaitForWindow(GetCurrentProcessId(), L"#32770", Lang(sPrintingIcons), 10000);
  if (!form) return seen;
  seen.caption = WindowText(form);
  for (int id : {kPrintImageLabelId, kPrintFullId, kPrintSelId, kPrintScaleLabelId, kPrintRealId, kPrintFitId})
    seen.texts.push_back(WindowText(GetDlgItem(form, id)));
  seen.sel_enabled = IsWindowEnabled(GetDlgItem(form, kPrintSelId)) != FALSE;
  seen.full_checked = SendDlgItemMessageW(form, kPrintFullId, BM_GETCHECK, 0, 0) == BST_CHECKED;
  seen.real_checked = SendDlgItemMessageW(form, kPrintRealId, BM_GETCHECK, 0, 0) == BST_CHECKED;
  GetClientRect(form, &seen.client);
  switch (act) {
    case Act::ChooseSelectedAndFit:
      SendDlgItemMessageW(form, kPrintSelId, BM_CLICK, 0, 0);
      SendDlgItemMessageW(form, kPrintFitId, BM_CLICK, 0, 0);
      SendDlgItemMessageW(form, kPrintOkId, BM_CLICK, 0, 0);
      break;
    case Act::Cancel: SendDlgItemMessageW(form, kPrintCancelId, BM_CLICK, 0, 0); break;
    case Act::Enter: {
      HWND focus = GetDlgItem(form, kPrintFullId);
      PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0);
      PostMessageW(focus, WM_KEYUP, VK_RETURN, 0);
      break;
    }
  }
  return seen;
}

TEST(PrintFormTest, ChoicesTextsAndAnswers) {
  struct Case {
    bool has_selection;
    Act act;
    bool chosen;
    bool whole;
    int mode;
  } cases[] = {
      {true, Act::ChooseSelectedAndFit, true, false, 1},
      {true, Act::Cancel, false, true, 0},
      {false, Act::Enter, true, true, 0},  // the defaults: the whole grid at real size
  };
  for (const Case& c : cases) {
    SeenForm seen;
    std::thread driver([&] { seen = DriveForm(c.act); });
    TPrintFrm form(c.has_selection);
    const std::optional<TPrintChoice> choice = form.Execute(nullptr);
    driver.join();

    EXPECT_EQ(seen.caption, L"Printing icon(s)");
    const std::vector<std::wstring> texts = {Lang(sImageToPrint), Lang(sFullImage), Lang(sSelectedImage),
                                             Lang(sScale),        Lang(sRealSize),  Lang(sFitToPage)};
    EXPECT_EQ(seen.texts, texts);
    EXPECT_EQ(seen.sel_enabled, c.has_selection);
    EXPECT_TRUE(seen.full_checked);
    EXPECT_TRUE(seen.real_checked);
    EXPECT_EQ(seen.client.right, 297);
    EXPECT_EQ(seen.client.bottom, 200);
    ASSERT_EQ(choice.has_value(), c.chosen);
    if (!choice) continue;
    EXPECT_EQ(choice->whole, c.whole);
    EXPECT_EQ(choice->mode, c.mode);
  }
}

// ---- Print jobs on the PDF printer -------------------------------------

// The folder the test printer writes into, as Linux sees it; empty when
// there is no test printer.
std::string PrintFolder() {
  const char* folder = std::getenv("TAMSEL_PRINT_DIR");
  return folder ? folder : "";
}

std::vector<std::string> PdfsIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*.pdf").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do names.push_back(fd.cFileName);
  while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

// A complete PDF ends with its end-of-file marker.
bool PdfComplete(const std::string& path) {
  const std::vector<unsigned char> bytes = testing_support::ReadFileBytes(path);
  const std::string tail(bytes.end() - std::min<size_t>(bytes.size(), 32), bytes.end());
  return tail.find("%%EOF") != std::string::npos;
}

struct Rgb {
  int r, g, b;
};

// The printed page as pdftoppm renders it (a binary PPM).
struct Page {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
  Rgb At(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

std::optional<Page> ReadPpm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int max_value = 0;
  Page page;
  if (!(in >> magic >> page.width >> page.height >> max_value) || magic != "P6" || max_value != 255) return {};
  in.get();
  page.rgb.resize(static_cast<size_t>(page.width) * page.height * 3);
  if (!in.read(reinterpret_cast<char*>(page.rgb.data()), static_cast<std::streamsize>(page.rgb.size()))) return {};
  return page;
}

// Waits for the one page the printer makes and renders it.
std::optional<Page> WaitForPrintedPage(const std::string& folder) {
  const std::string windows_folder = ToWindowsPath(folder);
  for (int i = 0; i < 300; ++i) {  // cups-pdf takes a few seconds
    const std::vector<std::string> pdfs = PdfsIn(windows_folder);
    if (pdfs.size() == 1 && PdfComplete(windows_folder + "\\" + pdfs[0])) {
      DeleteFileA((windows_folder + "\\page.ppm").c_str());
      testing_support::StartUnixProgram("Z:\\usr\\bin\\pdftoppm -r 72 -singlefile \"" + folder + "/" + pdfs[0] +
                                        "\" \"" + folder + "/page\"");
      for (int j = 0; j < 100; ++j) {
        if (auto page = ReadPpm(windows_folder + "\\page.ppm")) return page;
        Sleep(100);
      }
      return std::nullopt;
    }
    Sleep(100);
  }
  return std::nullopt;
}

void RemovePrintedFiles(const std::string& folder) {
  const std::string windows_folder = ToWindowsPath(folder);
  for (const std::string& name : PdfsIn(windows_folder)) DeleteFileA((windows_folder + "\\" + name).c_str());
  DeleteFileA((windows_folder + "\\page.ppm").c_str());
}

// The printer's page in printer dots, as its device context reports it.
struct PrinterPage {
  int dpi_x, dpi_y, offset_x, offset_y, width;
};
PrinterPage ReadPrinterPage() {
  util::UniquePrinterDc dc = DefaultPrinterDc();
  return {GetDeviceCaps(dc.get(), LOGPIXELSX), GetDeviceCaps(dc.get(), LOGPIXELSY),
          GetDeviceCaps(dc.get(), PHYSICALOFFSETX), GetDeviceCaps(dc.get(), PHYSICALOFFSETY),
          GetDeviceCaps(dc.get(), HORZRES)};
}

bool IsRed(Rgb c) { return c.r > 200 && c.g < 80 && c.b < 80; }
bool IsBlue(Rgb c) { return c.b > 200 && c.r < 80 && c.g < 80; }
bool IsWhite(Rgb c) { return c.r > 230 && c.g > 230 && c.b > 230; }

// A w x h picture: the left half red, the right half blue.
void DrawRedBlue(imaging::TBitmap& bitmap, int w, int h) {
  ASSERT_TRUE(bitmap.SetSize(w, h, imaging::PixelFormat::pfDevice));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPixel(bitmap.Canvas(), x, y, x < w / 2 ? RGB(255, 0, 0) : RGB(0, 0, 255));
}

imaging::TIcon RedBlueIcon() {
  imaging::Image32 color(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) color.At(x, y) = x < 16 ? 0xFFFF0000u : 0xFF0000FFu;
  return imaging::TIcon(imaging::CreateIconFromImages(color, imaging::MaskImage(32, 32)));
}

TEST(PrintImageTest, PagesShowThePictureAtItsScale) {
  const std::string folder = PrintFolder();
  if (folder.empty()) GTEST_SKIP() << "no test printer (scripts/lib.sh start_printer)";
  const PrinterPage printer = ReadPrinterPage();
  int screen_dpi = 96;
  {
    HDC screen = GetDC(nullptr);
    screen_dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  const imaging::TIcon icon = RedBlueIcon();
  ASSERT_FALSE(icon.Empty());

  struct Case {
    const char* name;
    bool with_icon;
    bool whole;
    int mode;
    int w, h;  // the picture in screen pixels
  } cases[] = {
      {"selected icon, real size", true, false, 0, 32, 32},
      {"grid fitted to the page", true, true, 1, 40, 20},
      {"no selection prints the grid", false, false, 0, 40, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemovePrintedFiles(folder);
    TPrintSource source;
    source.selected_icon = c.with_icon ? &icon : nullptr;
    source.draw_grid = [](imaging::TBitmap& bitmap) { DrawRedBlue(bitmap, 40, 20); };
    ASSERT_NO_THROW(PrintImage(source, c.whole, c.mode));
    const std::optional<Page> page = WaitForPrintedPage(folder);
    ASSERT_TRUE(page.has_value()) << "no page printed";

    // The picture's extent in printer dots, then in the page's pixels at 72 dpi.
    const double dots_w = c.mode == 0 ? c.w * printer.dpi_x / double(screen_dpi) : printer.width;
    const double dots_h = c.mode == 0 ? c.h * printer.dpi_y / double(screen_dpi) : printer.width * c.h / double(c.w);
    auto px = [&](double dots) { return static_cast<int>(dots * 72 / printer.dpi_x); };
    auto py = [&](double dots) { return static_cast<int>(dots * 72 / printer.dpi_y); };
    const int left = px(printer.offset_x), top = py(printer.offset_y);
    const int w = px(dots_w), h = py(dots_h);
    ASSERT_GT(w, 8);
    ASSERT_GT(h, 8);
    EXPECT_TRUE(IsRed(page->At(left + w / 4, top + h / 2)));
    EXPECT_TRUE(IsBlue(page->At(left + 3 * w / 4, top + h / 2)));
    EXPECT_TRUE(IsBlue(page->At(left + w - 3, top + h - 3)));
    if (left + w + 4 < page->width) {
      EXPECT_TRUE(IsWhite(page->At(left + w + 4, top + h / 2)));
    }
    EXPECT_TRUE(IsWhite(page->At(left + w / 4, top + h + 4)));
  }
  RemovePrintedFiles(folder);
}

// Wine keeps the default printer in the user's "Device" value; without it
// there is no default printer, as on a system with none installed.
class NoDefaultPrinter {
 public:
  NoDefaultPrinter() {
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", 0,
                  KEY_QUERY_VALUE | KEY_SET_VALUE, &key_);
    if (!key_) return;
    DWORD size = 0;
    if (RegQueryValueExW(key_, L"Device", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
      saved_.assign(size / sizeof(wchar_t) + 1, L'\0');
      RegQueryValueExW(key_, L"Device", nullptr, nullptr, reinterpret_cast<BYTE*>(saved_.data()), &size);
      RegDeleteValueW(key_, L"Device");
    }
  }
  ~NoDefaultPrinter() {
    if (!key_) return;
    if (!saved_.empty())
      RegSetValueExW(key_, L"Device", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_.data()),
                     static_cast<DWORD>((wcslen(saved_.data()) + 1) * sizeof(wchar_t)));
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
  std::vector<wchar_t> saved_;
};

TEST(PrintImageTest, WithoutAPrinterTheErrorIsRaised) {
  NoDefaultPrinter none;
  DWORD size = 0;
  ASSERT_FALSE(GetDefaultPrinterW(nullptr, &size));
  TPrintSource source;
  source.draw_grid = [](imaging::TBitmap& bitmap) { DrawRedBlue(bitmap, 40, 20); };
  try {
    PrintImage(source, true, 0);
    ADD_FAILURE() << "printing without a printer succeeded";
  } catch (const gui::Error& e) {
    EXPECT_EQ(e.message(), Lang(sNoDefaultPrinter));
  }
}

}  // namespace
}  // namespace app
