// The main window in this process: opening a library again and again
// leaves no handle behind; the search pane comes back as it was left and
// saves the icons of every file it found.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <functional>
#include <thread>

#include "app/main_settings_win.h"
#include "app/main_window_win.h"
#include "gui/text.h"
#include "imaging/bitmap_win.h"
#include "util/handles_win.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace {

constexpr DWORD kWaitMs = 15000;

// The main window's end asks the message loop to end: the tests after
// each of these run their own windows on this thread.
void DropQuit() {
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

template <typename Done>
bool PumpUntil(Done done) {
  for (DWORD start = GetTickCount(); !done(); Sleep(10)) {
    if (GetTickCount() - start > kWaitMs) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

void StorePlacement(const char* name, const char* value) {
  const std::string key = std::string(app::kSettingsRoot) + "\\Placement";
  SHSetValueA(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, value, static_cast<DWORD>(strlen(value) + 1));
}

std::string StoredPlacement(const char* name) {
  const std::string key = std::string(app::kSettingsRoot) + "\\Placement";
  char value[64] = {};
  DWORD size = sizeof value;
  SHGetValueA(HKEY_CURRENT_USER, key.c_str(), name, nullptr, value, &size);
  return value;
}

// The main window's arguments for a test: the test program as argument 0,
// and one more, which keeps the window from opening its own file at
// creation.
std::vector<std::string> TestArguments() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  return {self, "unused"};
}

// Creates and shows the window without running its command line: the
// message that would run it is taken out of the queue.
bool CreateShown(app::TForm1& form) {
  if (!form.Create()) return false;
  MSG command_line;
  PeekMessageW(&command_line, form.Handle(), app::WM_RUNCOMMANDLINE, app::WM_RUNCOMMANDLINE, PM_REMOVE);
  ShowWindow(form.Handle(), SW_SHOW);
  return true;
}

RECT Bounds(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return r;
}

TEST(MainWindowSearchPane, ComesBackAsLeftAndSavesTheIconsOfEveryFileFound) {
  testing_support::TempDir dir;
  for (const char* name : {"main_2.dll", "main_3.dll"})
    ASSERT_TRUE(CopyFileA(testing_support::FixturePath(name).c_str(), dir.file(name).c_str(), FALSE));
  StorePlacement("FindPanelVisible", "1");
  StorePlacement("FindPanelHeight", "200");
  StorePlacement("FilePanelWidth", "260");
  {
    app::TForm1 form(TestArguments());
    ASSERT_TRUE(CreateShown(form));
    HWND file_panel = GetParent(form.FoundFiles().Handle());
    HWND pane = GetParent(file_panel);
    EXPECT_TRUE(IsWindowVisible(pane));
    EXPECT_EQ(200, Bounds(pane).bottom - Bounds(pane).top);
    EXPECT_EQ(260, Bounds(file_panel).right - Bounds(file_panel).left);

    form.FolderTree().SelectPath(dir.path());
    ASSERT_TRUE(PumpUntil([&] { return form.FoundFiles().Count() == 2; })) << "the folder chosen is scanned";
    EXPECT_EQ(L"2", form.FoundCountText());

    // The picker starts in the folder the scan ended in; the count follows.
    const std::wstring leaf = gui::AnsiToWide(dir.path().substr(dir.path().rfind('\\') + 1));
    for (const auto& [command, extension] : {std::pair{app::cmSaveFoundIcons, "ico"}, {app::cmSaveFoundPng, "png"}}) {
      std::wstring told;
      std::thread driver([&] {
        HWND picker = testing_support::WaitForWindow(GetCurrentProcessId(), L"#32770", L"Browse for Folder", kWaitMs);
        // The picker walks its tree down to the start folder; a busy machine
        // takes a while.
        HWND tree = FindWindowExW(picker, nullptr, L"SysTreeView32", nullptr);
        for (int i = 0; i < 250 && testing_support::TreeSelectionText(tree) != leaf; ++i) Sleep(20);
        Sleep(100);
        testing_support::PressButton(picker, IDOK);
        HWND box = testing_support::WaitForWindow(GetCurrentProcessId(), L"#32770", L"Tamsel", kWaitMs);
        told = testing_support::MessageBoxText(box);
        testing_support::PressButton(box, IDOK);
      });
      form.Commands().Execute(command);
      driver.join();
      EXPECT_EQ(L"Files created: 5", told) << extension;
      int written = 0;
      WIN32_FIND_DATAA data;
      util::UniqueFindHandle find(FindFirstFileA(dir.file(std::string("*.") + extension).c_str(), &data));
      if (find) do
          ++written;
        while (FindNextFileA(find.get(), &data));
      EXPECT_EQ(5, written) << extension;
    }
  }
  DropQuit();
  EXPECT_EQ("1", StoredPlacement("FindPanelVisible"));
  EXPECT_EQ("260", StoredPlacement("FilePanelWidth"));
  SHDeleteKeyA(HKEY_CURRENT_USER, app::kSettingsRoot);
}

// A found file's row shows its small shell icon on the row's own colour:
// the icon's soft edges blend with that colour and nothing else.
TEST(MainWindowSearchPane, RowPicturesBlendWithTheRowsOwnColour) {
  testing_support::TempDir dir;
  ASSERT_TRUE(CopyFileA(testing_support::FixturePath("main_2.dll").c_str(), dir.file("soft.dll").c_str(), FALSE));
  StorePlacement("FindPanelVisible", "1");
  {
    app::TForm1 form(TestArguments());
    ASSERT_TRUE(CreateShown(form));
    form.FolderTree().SelectPath(dir.path());
    ASSERT_TRUE(PumpUntil([&] { return form.FoundFiles().Count() == 1; }));

    SHFILEINFOA info{};
    ASSERT_TRUE(SHGetFileInfoA(dir.file("soft.dll").c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON));
    util::UniqueIcon icon(info.hIcon);
    controls::TZuListBox& files = const_cast<controls::TZuListBox&>(form.FoundFiles());
    for (const bool selected : {false, true}) {
      SendMessageW(files.Handle(), LB_SETCURSEL, selected ? 0 : static_cast<WPARAM>(-1), 0);
      imaging::TBitmap picture;
      int offset = 0;
      std::string text = files.Item(0);
      files.OnGetItemParams(files, 0, &picture, offset, text);
      imaging::TBitmap want(16, 16);
      want.Fill(GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
      DrawIconEx(want.Canvas(), 0, 0, icon.get(), 16, 16, 0, nullptr, DI_NORMAL);
      ASSERT_EQ(16, picture.Width());
      int differing = 0;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) differing += picture.PixelAt(x, y) != want.PixelAt(x, y);
      EXPECT_EQ(0, differing) << (selected ? "selected row" : "row");
    }
  }
  DropQuit();
  SHDeleteKeyA(HKEY_CURRENT_USER, app::kSettingsRoot);
}

HWND ChildWithId(HWND parent, int id) {
  for (HWND child : testing_support::ChildWindows(parent))
    if (GetDlgCtrlID(child) == id) return child;
  return nullptr;
}

// A scan over enough files that it lasts a while, none with nine icons,
// into which a message is posted once it runs.
void QuietScanWith(UINT message, WPARAM wp, const std::function<void(app::TForm1& form)>& check) {
  const std::string unix_dir =
      "/tmp/tamsel-quiet-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  ASSERT_EQ("done\n",
            testing_support::RunUnix("rm -rf " + unix_dir + " && mkdir -p " + unix_dir + " && cd " + unix_dir +
                                     " && for f in $(seq 1 15); do mkdir d$f; for i in $(seq 1 100); do "
                                     "cp " TAMSEL_FIXTURE_DIR "/main_2.dll d$f/f$i.dll; done; done && echo done"));
  {
    app::TForm1 form(TestArguments());
    ASSERT_TRUE(CreateShown(form));
    if (!IsWindowVisible(GetParent(GetParent(form.FoundFiles().Handle())))) form.Commands().Execute(app::cmSearchPane);
    HWND tree = form.FolderTree().Handle();
    ASSERT_TRUE(PumpUntil([&] { return SendMessageW(tree, TVM_GETCOUNT, 0, 0) > 0; })) << "the tree is built";
    SendMessageW(ChildWithId(form.Handle(), 113), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"9"));
    SendMessageW(ChildWithId(form.Handle(), 112), BM_CLICK, 0, 0);  // with subfolders

    form.FolderTree().SelectPath(testing_support::ToWindowsPath(unix_dir));
    PostMessageW(form.Handle(), message, wp, 0);  // queued behind the selection
    check(form);
  }
  DropQuit();
  testing_support::RunUnix("rm -rf " + unix_dir + " && echo done");
  SHDeleteKeyA(HKEY_CURRENT_USER, app::kSettingsRoot);
}

TEST(MainWindowSearchPane, EscIsHeardWhileNoFileReachesTheMinimum) {
  QuietScanWith(WM_KEYDOWN, VK_ESCAPE, [](app::TForm1& form) {
    EXPECT_TRUE(PumpUntil([&] { return form.ScanFailedMarkShown(); })) << "the scan was stopped";
    EXPECT_EQ(0, form.FoundFiles().Count());
    EXPECT_EQ(L"0", form.FoundCountText());
  });
}

TEST(MainWindowSearchPane, ClosingDuringAScanStopsItAndClosesAfterwards) {
  QuietScanWith(WM_CLOSE, 0, [](app::TForm1& form) {
    const HWND window = form.Handle();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); })) << "the window closes once the scan has ended";
    EXPECT_TRUE(form.ScanFailedMarkShown()) << "the scan was stopped, not run to its end";
  });
}

TEST(MainWindowObjects, TwentyOpensHoldWhatOneOpenHolds) {
  {
    // The command line is not run, as no message loop runs here.
    app::TForm1 form(TestArguments());
    ASSERT_TRUE(form.Create());
    const std::string library = testing_support::FixturePath("main_120.dll");
    form.OpenIconFile(library);
    const long after_one = util::GdiObjectCount::Live();
    for (int i = 0; i < 19; ++i) form.OpenIconFile(library);
    EXPECT_EQ(120, form.Grid().IconCount());
    EXPECT_EQ(after_one, util::GdiObjectCount::Live()) << "GDI objects held by the program's owners";
  }
  DropQuit();
}

}  // namespace
