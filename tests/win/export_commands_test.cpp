// The dialog commands of the exports, driven as the user drives them: the
// command runs on this thread with a real grid, save dialog and options
// window, while a second thread answers each window it opens.
#include <windows.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/export/export_commands_win.h"
#include "app/globals.h"
#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "controls/zu_scroll_box_win.h"
#include "util/file_utils.h"
#include "win/export_fixtures.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace app {
namespace {

using testing_support::ChildWindows;
using testing_support::TempDir;
using testing_support::WindowText;

constexpr DWORD kWaitMs = 10000;

struct FindArgs {
  const std::wstring* caption;
  HWND found;
};

// The caption as the window holds it: asking the window by message would
// narrow the file dialog's title to ANSI on the way.
BOOL CALLBACK FindOwnDialog(HWND hwnd, LPARAM lp) {
  auto* args = reinterpret_cast<FindArgs*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t caption[256] = {};
  InternalGetWindowText(hwnd, caption, 256);
  if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && testing_support::ClassName(hwnd) == L"#32770" &&
      *args->caption == caption) {
    args->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForOwn(const std::wstring& caption, DWORD wait_ms = kWaitMs) {
  FindArgs args{&caption, nullptr};
  for (DWORD start = GetTickCount(); GetTickCount() - start < wait_ms; Sleep(20)) {
    EnumWindows(FindOwnDialog, reinterpret_cast<LPARAM>(&args));
    if (args.found) return args.found;
  }
  return nullptr;
}

void Finish(HWND dialog, int button) {
  testing_support::PressButton(dialog, button);
  testing_support::WaitUntilGone(dialog, kWaitMs);
}

// What the save dialog showed: the proposed name and the strip's check box.
struct SeenSave {
  bool shown = false;
  std::wstring proposed;
  std::wstring box_caption;
  bool box_checked = false;
};

// Waits for the save dialog, sets its check box, chooses the file type at
// type_position (0-based; -1 leaves it), types the name and presses the
// button.
SeenSave DriveSave(const std::wstring& title, bool tick, const std::string& name, int button, int type_position = -1) {
  SeenSave seen;
  HWND dialog = WaitForOwn(title);
  if (!dialog) return seen;
  seen.shown = true;
  HWND name_box = nullptr;
  for (HWND edit : ChildWindows(dialog, L"Edit"))
    if (GetDlgCtrlID(edit) == cmb13) name_box = edit;
  seen.proposed = WindowText(name_box);
  for (HWND child : ChildWindows(dialog, L"#32770")) {
    for (HWND box : ChildWindows(child, L"Button")) {
      if ((GetWindowLongW(box, GWL_STYLE) & BS_TYPEMASK) != BS_AUTOCHECKBOX) continue;
      seen.box_caption = WindowText(box);
      seen.box_checked = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
      SendMessageW(box, BM_SETCHECK, tick ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  if (type_position >= 0) {
    HWND types = GetDlgItem(dialog, cmb1);
    SendMessageW(types, CB_SETCURSEL, type_position, 0);
    // The notifications of a choice made with the mouse.
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(types));
  }
  SendMessageA(name_box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  Finish(dialog, button);
  return seen;
}

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

class ExportCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BatchMode = false;
    ExportSettings = TExportSettings();
    HTMLColumnCount = 4;
    parent_ = CreateWindowExW(0, L"STATIC", L"commands test", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                              600, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, parent_) << "error " << GetLastError();
    ASSERT_TRUE(box_.Create(parent_, 0, 0, 400, 300)) << "error " << GetLastError();
    CurrentFileName = testing_support::FixturePath("export_5.dll");
    box_.ImageBox().LoadIcons(CurrentFileName);
    ASSERT_EQ(5, box_.ImageBox().IconCount());
    box_.ImageBox().SetItemIndex(1);
    folder_ = dir_.path();
    context_.OpenSaved = [this](const std::string& file_name) { opened_.push_back(file_name); };
  }
  void TearDown() override {
    box_.ImageBox().LoadIcons("");
    DestroyWindow(parent_);
    CurrentFileName.clear();
  }

  TempDir dir_;
  HWND parent_ = nullptr;
  controls::TZuScrollBox box_;
  controls::TZuSaveDialog save_dialog_;
  controls::TZuDirDialog dir_dialog_;
  std::string folder_;
  TExportContext context_{nullptr, box_.ImageBox(), save_dialog_, dir_dialog_, folder_};
  std::vector<std::string> opened_;
};

TEST_F(ExportCommandsTest, SaveSelectedWritesTheChosenFileAndTheCheckBoxSetsOpenAfterSave) {
  ASSERT_TRUE(CreateDirectoryA(dir_.file("sub").c_str(), nullptr));
  // The proposed name is the shown file's, with a number once that is taken.
  ASSERT_TRUE(testing_support::WriteFileBytes(dir_.file("export_5.ico"), "x", 1));
  const struct {
    bool open_before, tick;
    int button;
    const char* name;  // typed into the dialog, relative to its folder
  } cases[] = {{false, true, IDOK, "sub\\ticked"}, {true, false, IDOK, "unticked"}, {false, true, IDCANCEL, "gone"}};
  for (const auto& c : cases) {
    ExportSettings.OpenAfterSave = c.open_before;
    folder_ = dir_.path();
    opened_.clear();
    SeenSave seen;
    std::thread driver([&] { seen = DriveSave(Lang(sSelectImageFile), c.tick, c.name, c.button); });
    SaveSelected(context_);
    driver.join();

    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(L"export_51", seen.proposed);
    EXPECT_EQ(Lang(sOpenAfterSave), seen.box_caption);
    EXPECT_EQ(c.open_before, seen.box_checked);
    const std::string written = dir_.file(std::string(c.name) + ".ico");
    if (c.button == IDOK) {
      const auto bytes = testing_support::ReadFileBytes(written);
      ASSERT_GE(bytes.size(), 6u) << c.name;
      EXPECT_EQ(1, bytes[2]);  // an icon file
      EXPECT_EQ(c.tick, ExportSettings.OpenAfterSave);
      EXPECT_EQ(c.tick ? std::vector<std::string>{save_dialog_.FileName} : std::vector<std::string>{}, opened_);
      EXPECT_TRUE(SamePath(written, save_dialog_.FileName)) << save_dialog_.FileName;
      EXPECT_TRUE(SamePath(util::ExtractFileDir(written), folder_)) << folder_;
    } else {
      EXPECT_FALSE(testing_support::FileExists(written));
      EXPECT_EQ(c.open_before, ExportSettings.OpenAfterSave);
      EXPECT_TRUE(opened_.empty());
      EXPECT_EQ(dir_.path(), folder_);
    }
  }
}

TEST_F(ExportCommandsTest, TheTypeChosenInTheDialogGivesTheFormatAndTheExtension) {
  ExportSettings.OpenAfterSave = false;
  // Types in the filter: icon, bitmap, JPEG, metafile, PNG.
  const struct {
    int position;
    const char* file;
    unsigned char first, second;
  } cases[] = {{2, "pic.jpg", 0xFF, 0xD8}, {1, "pic.bmp", 'B', 'M'}, {0, "pic.ico", 0, 0}, {4, "pic.png", 0x89, 'P'}};
  for (const auto& c : cases) {
    std::thread driver([&] { DriveSave(Lang(sSelectImageFile), false, "pic", IDOK, c.position); });
    SaveSelected(context_);
    driver.join();
    const auto bytes = testing_support::ReadFileBytes(dir_.file(c.file));
    ASSERT_GE(bytes.size(), 2u) << c.file << " " << ::testing::PrintToString(export_fixtures::FilesIn(dir_.path()));
    EXPECT_EQ(c.first, bytes[0]) << c.file;
    EXPECT_EQ(c.second, bytes[1]) << c.file;
    EXPECT_EQ(c.position + 1, save_dialog_.FilterIndex);
  }
}

TEST_F(ExportCommandsTest, SaveSelectedWithoutASelectionOnlyWarns) {
  box_.ImageBox().SetItemIndex(-1);
  std::wstring warning;
  bool save_dialog_shown = false;
  std::thread driver([&] {
    HWND box = WaitForOwn(L"Tamsel");
    warning = testing_support::MessageBoxText(box);
    Finish(box, IDOK);
    if (HWND save = WaitForOwn(Lang(sSelectImageFile), 500)) {
      save_dialog_shown = true;
      Finish(save, IDCANCEL);
    }
  });
  SaveSelected(context_);
  driver.join();
  EXPECT_EQ(Lang(sSelectAnIcon), warning);
  EXPECT_FALSE(save_dialog_shown);
}

TEST_F(ExportCommandsTest, HtmlExportSkipsTheOptionsWindowOnlyWhenAsked) {
  ExportSettings.ExpIncludeNumbers = false;
  ExportSettings.OpenAfterSave = false;
  // Without the skip the options window comes first; cancelling it ends
  // the command before the save dialog.
  bool save_after_cancel = false;
  std::thread cancel_driver([&] {
    Finish(WaitForOwn(Lang(sExportHtml)), IDCANCEL);
    if (HWND save = WaitForOwn(Lang(sSaveAsHtml), 500)) {
      save_after_cancel = true;
      Finish(save, IDCANCEL);
    }
  });
  ExportHtml(context_, false);
  cancel_driver.join();
  EXPECT_FALSE(save_after_cancel);

  // With the skip the save dialog comes at once and the settings stay.
  bool options_shown = false;
  SeenSave seen;
  std::thread skip_driver([&] {
    if (HWND options = WaitForOwn(Lang(sExportHtml), 500)) {
      options_shown = true;
      Finish(options, IDCANCEL);
    }
    seen = DriveSave(Lang(sSaveAsHtml), false, "page", IDOK);
  });
  ExportHtml(context_, true);
  skip_driver.join();
  EXPECT_FALSE(options_shown);
  EXPECT_TRUE(seen.shown);
  const auto page = testing_support::ReadFileBytes(dir_.file("page.htm"));
  const std::string text(page.begin(), page.end());
  EXPECT_NE(std::string::npos, text.find("page_files/ico_export_50001.jpg")) << text;
  EXPECT_EQ(std::string::npos, text.find("<BR>"));  // numbers stay off
  EXPECT_TRUE(testing_support::FileExists(dir_.file("page_files\\ico_export_50005.jpg")));
  EXPECT_TRUE(opened_.empty());
}

TEST_F(ExportCommandsTest, DBaseExportAsksBeforeAnOldMemoFileBesideANewTable) {
  for (const int answer : {IDNO, IDYES}) {
    ASSERT_TRUE(testing_support::WriteFileBytes(dir_.file("tab.dbt"), "old", 3));
    DeleteFileA(dir_.file("tab.dbf").c_str());
    std::wstring question;
    std::thread driver([&] {
      DriveSave(Lang(sSaveToDbase), false, "tab", IDOK);
      HWND box = WaitForOwn(L"Tamsel");
      question = testing_support::MessageBoxText(box);
      Finish(box, answer);
    });
    ExportDBase(context_, true);
    driver.join();
    EXPECT_EQ(LangFormat(sReplaceQuestion, dir_.file("tab.dbt")), question);
    const auto table = testing_support::ReadFileBytes(dir_.file("tab.dbf"));
    const auto memo = testing_support::ReadFileBytes(dir_.file("tab.dbt"));
    if (answer == IDNO) {
      EXPECT_TRUE(table.empty());
      EXPECT_EQ(3u, memo.size());
    } else {
      ASSERT_GE(table.size(), 8u);
      EXPECT_EQ(5, table[4]);  // five records
      EXPECT_GT(memo.size(), 1024u);
    }
  }
}

}  // namespace
}  // namespace app
