// The search pane as a user meets it: opened with its button, the open
// file's folder found in the tree, the list following the minimum and the
// subfolder option, a click opening a found file, ESC stopping a scan and a
// folder that vanished during a scan ending it with a message.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "e2e/running_tamsel.h"
#include "e2e/search_pane.h"
#include "e2e/unix_dir.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace {

using e2e::EditText;
using e2e::kScanningText;
using e2e::kTimeout;
using e2e::ListCount;
using e2e::ListItems;
using e2e::Pane;
using e2e::Running;
using e2e::WaitUntil;
using testing_support::ChildWindows;
using testing_support::WindowText;

void Copy(const std::string& fixture, const std::string& to) {
  ASSERT_TRUE(CopyFileA(testing_support::FixturePath(fixture).c_str(), to.c_str(), FALSE)) << to;
}

// Pure red pixels of the file panel: the mark of a cancelled scan.
int RedPixels(HWND file_panel) {
  RECT r;
  GetWindowRect(file_panel, &r);
  return testing_support::ScreenPixels(
      r, [](int red, int green, int blue) { return red == 255 && green == 0 && blue == 0; });
}

TEST(FileSearch, TheOpenFilesFolderIsScannedByTheMinimumAndItsSubfoldersAndAFoundFileOpens) {
  testing_support::TempDir dir;
  Copy("main_2.dll", dir.file("two.dll"));
  Copy("main_3.dll", dir.file("three.ocx"));
  Copy("no_icons.exe", dir.file("none.exe"));
  ASSERT_TRUE(CreateDirectoryA(dir.file("sub").c_str(), nullptr));
  Copy("main_120.dll", dir.file("sub\\many.dll"));

  Running tamsel(dir.file("three.ocx"));
  ASSERT_NE(nullptr, tamsel.window());
  Pane pane(tamsel.window());
  ASSERT_NE(nullptr, pane.search_button);
  ASSERT_TRUE(pane.Open(tamsel)) << "the button opens the pane";

  // The find-folder button (window-less, left of the minimum's spin button)
  // selects the open file's folder in the tree, which scans it.
  tamsel.Click(pane.search_bar(), 173, 20);
  const std::vector<std::string> own_folder{"three.ocx", "two.dll"};
  EXPECT_TRUE(WaitUntil([&] { return ListItems(pane.file_box) == own_folder; }))
      << "files with at least one icon; " << ::testing::PrintToString(ListItems(pane.file_box));

  tamsel.Click(pane.subfolders, 5, 8);
  const std::vector<std::string> with_subfolders{"sub\\many.dll", "three.ocx", "two.dll"};
  EXPECT_TRUE(WaitUntil([&] { return ListItems(pane.file_box) == with_subfolders; }));

  // Emptying the minimum puts 1 back, selected; typing 3 replaces it.
  tamsel.Click(pane.minimum, 5, 5);
  tamsel.Keys("End BackSpace");
  EXPECT_EQ(L"1", EditText(pane.minimum));
  tamsel.Keys("x 3");
  EXPECT_EQ(L"3", EditText(pane.minimum)) << "letters are not taken";
  const std::vector<std::string> three_or_more{"sub\\many.dll", "three.ocx"};
  EXPECT_TRUE(WaitUntil([&] { return ListItems(pane.file_box) == three_or_more; }));

  tamsel.Click(pane.file_box, 40, 9);  // the first row
  EXPECT_TRUE(testing_support::WaitForCaption(tamsel.window(), L"Tamsel - many.dll", kTimeout));
}

TEST(FileSearch, EscStopsAScanAndAFolderGoneMeanwhileEndsOneWithAMessageBothKeepingWhatWasFound) {
  // Enough files that a scan lasts a few seconds, and a last folder to
  // remove; written on the Unix side, where that is quick (one tee a folder).
  constexpr int kFolders = 12;
  constexpr int kFilesPerFolder = 500;
  e2e::UnixDir dir;
  const std::string fixture = std::string(TAMSEL_FIXTURE_DIR) + "/main_2.dll";
  ASSERT_EQ("done\n", dir.Run("cd " + dir.unix(".") + " && cp " + fixture + " start.dll && for f in $(seq 10 " +
                              std::to_string(9 + kFolders) + "); do mkdir d$f; tee $(seq -f d$f/f%g.dll 1 " +
                              std::to_string(kFilesPerFolder) + ") < " + fixture +
                              " > /dev/null; done && mkdir zz && echo done"));
  const std::string last = dir.win("zz");
  constexpr int kAll = 1 + kFolders * kFilesPerFolder;

  Running tamsel(dir.win("start.dll"));
  ASSERT_NE(nullptr, tamsel.window());
  Pane pane(tamsel.window());
  ASSERT_TRUE(pane.Open(tamsel));
  tamsel.Click(pane.search_bar(), 173, 20);
  ASSERT_TRUE(WaitUntil([&] { return ListItems(pane.file_box) == std::vector<std::string>{"start.dll"}; }));
  EXPECT_EQ(0, RedPixels(pane.file_panel));

  tamsel.Click(pane.subfolders, 5, 8);
  ASSERT_TRUE(WaitUntil([&] { return ListCount(pane.file_box) > 50; }, 30000));
  EXPECT_EQ(kScanningText, tamsel.Status(0)) << "the status bar says how to stop";
  tamsel.Keys("Escape");
  ASSERT_TRUE(WaitUntil([&] { return tamsel.Status(0) != kScanningText; }));
  const int stopped_at = ListCount(pane.file_box);
  Sleep(500);
  EXPECT_EQ(stopped_at, ListCount(pane.file_box)) << "nothing is added after the stop";
  EXPECT_LT(stopped_at, kAll);
  EXPECT_GT(RedPixels(pane.file_panel), 10) << "the red mark of a cancelled scan";

  // Off and on again: a fresh scan, during which the last folder goes.
  tamsel.Click(pane.subfolders, 5, 8);
  ASSERT_TRUE(WaitUntil([&] { return ListCount(pane.file_box) == 1; }));
  tamsel.Click(pane.subfolders, 5, 8);
  ASSERT_TRUE(WaitUntil([&] { return ListCount(pane.file_box) > 50; }, 30000));
  ASSERT_TRUE(RemoveDirectoryA(last.c_str()));
  HWND box = tamsel.OtherWindow(60000);
  ASSERT_NE(nullptr, box) << "the scan reaching the vanished folder says so";
  EXPECT_NE(std::wstring::npos, testing_support::MessageBoxText(box).find(L"zz"))
      << testing_support::MessageBoxText(box).c_str();
  testing_support::PressButton(box, IDOK);
  EXPECT_EQ(kAll, ListCount(pane.file_box)) << "everything found before stays listed";
  EXPECT_TRUE(WaitUntil([&] { return tamsel.Status(0) != kScanningText; }));
  EXPECT_EQ(0, RedPixels(pane.file_panel)) << "an error is no cancel";
}

// One click on the minimum's spin button steps once and scans once, even
// when the scan takes a while; holding it steps on, and letting go stops it.
TEST(FileSearch, TheSpinButtonStepsOncePerClickAndStopsWhenLetGo) {
  e2e::UnixDir dir;
  const std::string fixture = std::string(TAMSEL_FIXTURE_DIR) + "/main_3.dll";
  ASSERT_EQ("done\n", dir.Run("cd " + dir.unix(".") + " && for i in $(seq 1 600); do cp " + fixture +
                              " f$i.dll; done && echo done"));
  Running tamsel(dir.win("f1.dll"));
  ASSERT_NE(nullptr, tamsel.window());
  Pane pane(tamsel.window());
  ASSERT_TRUE(pane.Open(tamsel));
  tamsel.Click(pane.search_bar(), 173, 20);
  ASSERT_TRUE(WaitUntil([&] { return ListCount(pane.file_box) == 600; }, 60000));
  const std::vector<HWND> spins = testing_support::ChildWindows(tamsel.window(), L"msctls_updown32");
  ASSERT_FALSE(spins.empty());
  RECT spin;
  GetClientRect(spins.front(), &spin);
  POINT up{spin.right / 2, spin.bottom / 4};
  ClientToScreen(spins.front(), &up);
  const std::string at = std::to_string(up.x) + " " + std::to_string(up.y);

  testing_support::Xdotool("mousemove --sync " + at + " click 1");
  ASSERT_TRUE(WaitUntil([&] { return EditText(pane.minimum) == L"2"; }));
  ASSERT_TRUE(WaitUntil([&] { return tamsel.Status(0) != kScanningText; }, 60000));
  Sleep(1500);  // a runaway button would have stepped on by now
  EXPECT_EQ(L"2", EditText(pane.minimum)) << "one click, one step";

  testing_support::Xdotool("mousedown 1");
  Sleep(1500);
  testing_support::Xdotool("mouseup 1");
  const int held = std::stoi(EditText(pane.minimum));
  EXPECT_GT(held, 3) << "holding the button steps on";
  ASSERT_TRUE(WaitUntil([&] { return tamsel.Status(0) != kScanningText; }, 60000));
  Sleep(1500);
  EXPECT_EQ(held, std::stoi(EditText(pane.minimum))) << "letting go stops it";
  EXPECT_EQ(0, ListCount(pane.file_box)) << "scanned with the final minimum";
}

}  // namespace
