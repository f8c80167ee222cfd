// The main window as a user meets it: real keys through X (xdotool), the
// status bar, the shortcuts with and without icons, the invitation on an
// almost empty grid, the clipboard after Copy and the minimum size.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/e2e_main.h"
#include "e2e/running_tamsel.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

#include <shlwapi.h>

namespace {

using testing_support::FixturePath;
using testing_support::Process;
using testing_support::StatusBarText;
using testing_support::WaitForCaption;
using testing_support::WaitForWindow;
using testing_support::WindowText;
using testing_support::Xdotool;

using e2e::kTimeout;
using e2e::Running;

// The colour of icon i of the main_*.dll fixtures' opaque left half.
COLORREF MainIconColour(int i) { return RGB(10 + i * 2, 250 - i * 2, 60 + i); }

TEST(MainWindow, ShowsTheLibraryInTheStatusBarAndFollowsTheKeys) {
  Running tamsel("main_120.dll");
  ASSERT_NE(nullptr, tamsel.window());
  EXPECT_EQ(L"Tamsel - main_120.dll", WindowText(tamsel.window()));
  EXPECT_EQ(L"1 : 120", tamsel.Status(1));
  EXPECT_EQ(L"32x32", tamsel.Status(2));
  EXPECT_EQ(L"32 bit(s)", tamsel.Status(3));

  tamsel.Keys("Right Right");
  EXPECT_EQ(L"3 : 120", tamsel.Status(1));
  tamsel.Keys("ctrl+shift+r");
  EXPECT_EQ(L"3 : 120", tamsel.Status(1)) << "Ctrl with Shift is no shortcut";
  tamsel.Keys("ctrl+r");
  EXPECT_EQ(L"1 : 120", tamsel.Status(1)) << "Refresh loads again and selects icon 1";

  // Copy puts icon 2 on the clipboard as a bitmap, read while tamsel runs.
  const DWORD before = GetClipboardSequenceNumber();
  tamsel.Keys("Right ctrl+c");
  for (int i = 0; i < 100 && GetClipboardSequenceNumber() == before; ++i) Sleep(20);
  ASSERT_NE(before, GetClipboardSequenceNumber()) << "Ctrl+C put nothing on the clipboard";
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE dib = GetClipboardData(CF_DIB);
  const auto* header = dib ? static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib)) : nullptr;
  if (!header) CloseClipboard();
  ASSERT_NE(nullptr, header) << "no bitmap on the clipboard";
  EXPECT_EQ(32, header->biWidth);
  EXPECT_EQ(32, std::abs(header->biHeight));
  const int masks = header->biCompression == BI_BITFIELDS ? 12 : 0;
  const auto* bits = reinterpret_cast<const uint8_t*>(header) + header->biSize + masks;
  const int stride = ((header->biWidth * header->biBitCount + 31) / 32) * 4;
  const int row = header->biHeight > 0 ? 31 - 5 : 5;  // pixel (5, 5) from the top
  const uint8_t* p = bits + row * stride + 5 * (header->biBitCount / 8);
  EXPECT_EQ(MainIconColour(1), RGB(p[2], p[1], p[0]));
  GlobalUnlock(dib);
  CloseClipboard();

  // The window cannot be made smaller than its minimum.
  SetWindowPos(tamsel.window(), nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
  RECT r;
  GetWindowRect(tamsel.window(), &r);
  EXPECT_EQ(526, r.right - r.left);
  EXPECT_EQ(455, r.bottom - r.top);
}

// Types a path into a file dialog's name box and confirms it.
void ConfirmFileDialog(HWND dialog, const std::string& path) {
  for (HWND edit : testing_support::ChildWindows(dialog, L"Edit")) {
    if (GetDlgCtrlID(edit) == 1148) SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  }
  testing_support::PressButton(dialog, IDOK);
  Sleep(500);
}

TEST(MainWindow, OpenLoadsOnlyAnotherFileAndOtherKeysOpenNothing) {
  Running tamsel("main_120.dll");
  ASSERT_NE(nullptr, tamsel.window());
  tamsel.Keys("Right Right ctrl+o");
  HWND dialog = tamsel.OtherWindow(kTimeout);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(L"\x9009\x62E9\x6587\x4EF6", WindowText(dialog)) << "the open dialog";
  ConfirmFileDialog(dialog, FixturePath("main_120.dll"));
  EXPECT_EQ(L"3 : 120", tamsel.Status(1)) << "the file shown is not loaded again";

  // Keys that are no shortcuts open nothing.
  tamsel.Keys("ctrl+shift+c alt+ctrl+o ctrl+shift+o");
  EXPECT_EQ(nullptr, tamsel.OtherWindow(500));
}

// Grey pixels near silver in the grid right of its first three cells (42
// pixels each), read off the X screen: another process's window contents
// cannot be read through GDI under Wine.
int SilverPixels(HWND main_window) {
  const std::vector<HWND> grids = testing_support::ChildWindows(main_window, L"TZuImageBox");
  if (grids.empty()) return -1;
  RECT r;
  GetWindowRect(grids.front(), &r);
  r.left += 3 * 42;
  // Smoothed edges mix silver with the background; the strokes' cores are silver.
  return testing_support::ScreenPixels(
      r, [](int red, int green, int blue) { return red == green && green == blue && red >= 176 && red <= 208; });
}

TEST(MainWindow, InvitationShowsOnlyOnAlmostEmptyGrids) {
  {
    Running two("main_2.dll");
    ASSERT_NE(nullptr, two.window());
    Sleep(300);
    EXPECT_GT(SilverPixels(two.window()), 20);
  }
  Running three("main_3.dll");
  ASSERT_NE(nullptr, three.window());
  Sleep(300);
  EXPECT_EQ(0, SilverPixels(three.window()));
}

#ifdef TAMSEL_XDND_DROP
TEST(MainWindow, TwoDroppedFilesOpenTheFirstAndSayOnceThatOneIsTheLimit) {
  Running tamsel("main_120.dll");
  ASSERT_NE(nullptr, tamsel.window());
  const std::string x_window = Xdotool("search --onlyvisible --name '^Tamsel - main_120.dll$'");
  const std::vector<HWND> grids = testing_support::ChildWindows(tamsel.window(), L"TZuImageBox");
  ASSERT_FALSE(grids.empty());
  RECT grid;
  GetWindowRect(grids.front(), &grid);
  const std::string fixtures = TAMSEL_FIXTURE_DIR;
  testing_support::RunUnix(std::string(TAMSEL_XDND_DROP) + " " +
                           std::to_string(std::strtoul(x_window.c_str(), nullptr, 10)) + " " +
                           std::to_string(grid.left + 100) + " " + std::to_string(grid.top + 30) + " " + fixtures +
                           "/main_2.dll " + fixtures + "/main_3.dll");
  EXPECT_TRUE(WaitForCaption(tamsel.window(), L"Tamsel - main_2.dll", kTimeout)) << "the first file opens";
  HWND box = tamsel.OtherWindow(kTimeout);
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(L"\x8FD9\x4E2A\x7248\x672C\x4E00\x6B21\x53EA\x80FD\x6253\x5F00\x4E00\x4E2A\x6587\x4EF6",
            testing_support::MessageBoxText(box));
  testing_support::PressButton(box, IDOK);
  Sleep(300);
  EXPECT_EQ(nullptr, tamsel.OtherWindow(500)) << "the message shows once";
}
#endif

// The help window of the process (HTML Help's "HH Parent"), or null.
HWND HelpWindow(DWORD process_id, DWORD wait_ms) { return WaitForWindow(process_id, L"HH Parent", wait_ms); }

// Run on its own after all other window tests (see tests/win/CMakeLists.txt):
// once HTML Help has had the focus, keys typed into a window started
// afterwards were seen to get lost.
TEST(MainWindow, FirstStartOpensTheHelpF1WithModifiersOpensItAndClosingTheWindowClosesIt) {
  SHDeleteValueA(HKEY_CURRENT_USER, "Software\\Korvane\\Tamsel\\Settings", "Run");
  {
    Process first(e2e::TamselPath(), "");
    HWND help = HelpWindow(first.id(), kTimeout);
    ASSERT_NE(nullptr, help) << "the first start opens the help";
    EXPECT_EQ(L"Tamsel Help", WindowText(help));
    HWND main_window = WaitForWindow(first.id(), L"TForm1", kTimeout);
    PostMessageW(main_window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitForExit(kTimeout)) << "the help window closes with the program";
  }
  Running tamsel("main_3.dll");
  ASSERT_NE(nullptr, tamsel.window());
  EXPECT_EQ(nullptr, HelpWindow(tamsel.id(), 300)) << "a later start opens no help";
  tamsel.Keys("ctrl+F1");
  EXPECT_NE(nullptr, HelpWindow(tamsel.id(), kTimeout)) << "F1 with a modifier opens the help";
}

// A visible top-level window of the class in the process.
struct ClassSearch {
  DWORD process;
  const wchar_t* class_name;
  bool found;
};

BOOL CALLBACK FindVisibleOfClass(HWND window, LPARAM lp) {
  auto* search = reinterpret_cast<ClassSearch*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process && IsWindowVisible(window) && testing_support::ClassName(window) == search->class_name)
    search->found = true;
  return TRUE;
}

bool ShowsWindowOfClass(DWORD process, const wchar_t* class_name) {
  ClassSearch search{process, class_name, false};
  EnumWindows(FindVisibleOfClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A button's tool tip does not come up over the menu the button dropped,
// and comes back once the menu is closed.
TEST(MainWindow, AButtonsToolTipStaysHiddenWhileItsMenuIsOpen) {
  Running tamsel("main_3.dll");
  ASSERT_NE(nullptr, tamsel.window());
  POINT save{76, 16};  // the Save button on the toolbar
  ClientToScreen(tamsel.window(), &save);
  const std::string away = std::to_string(save.x) + " " + std::to_string(save.y + 150);
  const std::string on = std::to_string(save.x) + " " + std::to_string(save.y);
  const auto tip_shown = [&] { return ShowsWindowOfClass(tamsel.id(), L"tooltips_class32"); };

  // Onto the button and a click at once, before the tip's delay is over.
  Xdotool("mousemove --sync " + away);
  Xdotool("mousemove --sync " + on + " click 1");
  for (int i = 0; i < 100 && !ShowsWindowOfClass(tamsel.id(), L"#32768"); ++i) Sleep(50);
  ASSERT_TRUE(ShowsWindowOfClass(tamsel.id(), L"#32768")) << "the button drops its menu";
  int shown = 0;
  for (int i = 0; i < 40; ++i) {
    shown += tip_shown();
    Sleep(50);
  }
  EXPECT_EQ(0, shown) << "times the tip lay over the open menu";
  tamsel.Keys("Escape");

  Xdotool("mousemove --sync " + away);
  Xdotool("mousemove --sync " + on);
  for (int i = 0; i < 100 && !tip_shown(); ++i) Sleep(50);
  EXPECT_TRUE(tip_shown()) << "the tip comes back with the menu closed";
}

}  // namespace
