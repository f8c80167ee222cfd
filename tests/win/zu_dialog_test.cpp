// The file dialogs and the folder picker as the user meets them: each runs
// on this thread while a second thread finds it, reads its controls and
// fills, ticks, confirms or cancels it through them.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "controls/zu_dialog_win.h"
#include "gui/error.h"
#include "gui/text.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace controls {
namespace {

using testing_support::ChildWindows;
using testing_support::WindowText;

constexpr DWORD kWaitMs = 10000;
const std::wstring kSaveTitle = L"Save a test icon";
const std::wstring kPickerCaption = L"Browse for Folder";
constexpr int kPickerTreeId = 14145;
constexpr int kPickerStatusId = 14147;

HWND WaitForOwnWindow(const std::wstring& caption) {
  return testing_support::WaitForWindow(GetCurrentProcessId(), L"#32770", caption, kWaitMs);
}

// A control by id and class: ids repeat inside a file dialog.
HWND Control(HWND dialog, int id, const std::wstring& class_name) {
  for (HWND c : ChildWindows(dialog, class_name))
    if (GetDlgCtrlID(c) == id) return c;
  return nullptr;
}

void Finish(HWND dialog, int button) {
  testing_support::PressButton(dialog, button);
  testing_support::WaitUntilGone(dialog, kWaitMs);
}

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

struct SeenCheckBox {
  bool found = false;
  std::wstring caption;
  bool checked = false;
  bool shown_below_type_box = false;
  bool name_box_on_screen = false;
};

// Reads the strip's check box (the only auto check box of the child
// dialog), sets it, types the file name and presses the button.
SeenCheckBox DriveSaveDialog(bool tick, const std::string& file_name, int button) {
  SeenCheckBox seen;
  HWND dialog = WaitForOwnWindow(kSaveTitle);
  for (HWND child : ChildWindows(dialog, L"#32770")) {
    for (HWND box : ChildWindows(child, L"Button")) {
      if ((GetWindowLongW(box, GWL_STYLE) & BS_TYPEMASK) != BS_AUTOCHECKBOX) continue;
      seen.found = true;
      seen.caption = WindowText(box);
      seen.checked = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
      RECT r, type_box, client;
      GetWindowRect(box, &r);
      GetWindowRect(GetDlgItem(dialog, cmb1), &type_box);
      GetClientRect(dialog, &client);
      MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
      seen.shown_below_type_box = IsWindowVisible(box) && r.top >= type_box.bottom && r.bottom <= client.bottom;
      SendMessageW(box, BM_SETCHECK, tick ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  // The child dialog must not paint over the standard controls: the name
  // box shows on the screen in the window colour.
  HWND name_box = Control(dialog, cmb13, L"Edit");
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT r;
  GetWindowRect(name_box, &r);
  HDC screen = GetDC(nullptr);
  seen.name_box_on_screen =
      GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2) == GetSysColor(COLOR_WINDOW);
  ReleaseDC(nullptr, screen);
  SendMessageA(name_box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file_name.c_str()));
  Finish(dialog, button);
  return seen;
}

void Prepare(TZuSaveDialog& dialog, const std::string& folder, std::vector<bool>& reported) {
  dialog.Title = kSaveTitle;
  dialog.InitialDir = folder;
  dialog.Filter = L"Icons (*.ico)|*.ico|Bitmaps (*.bmp)|*.bmp";
  dialog.DefaultExt = "ico";
  dialog.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
  dialog.OnGetChecked = [&reported](bool checked) { reported.push_back(checked); };
}

TEST(ZuSaveDialog, CheckBoxInTheStripBelowTheTypeBoxReportsItsStateOnlyWhenConfirmed) {
  const struct {
    bool strip;  // OnGetCheckParams set
    bool checked_before;
    bool tick;
    int button;
    std::vector<bool> reported;
  } cases[] = {{true, false, true, IDOK, {true}},
               {true, true, false, IDOK, {false}},
               {true, false, true, IDCANCEL, {}},
               {false, false, true, IDOK, {false}}};  // no box to tick: the state stays
  testing_support::TempDir dir;
  for (const auto& c : cases) {
    TZuSaveDialog dialog;
    std::vector<bool> reported;
    Prepare(dialog, dir.path(), reported);
    if (c.strip) {
      dialog.OnGetCheckParams = [&](TZuCheckBox& box) {
        box.Caption = app::Lang(app::sOpenAfterSave);
        box.Checked = c.checked_before;
      };
    }
    SeenCheckBox seen;
    std::thread driver([&] { seen = DriveSaveDialog(c.tick, "x", c.button); });
    const bool confirmed = dialog.Execute(nullptr);
    driver.join();
    EXPECT_EQ(c.button == IDOK, confirmed);
    EXPECT_EQ(c.reported, reported);
    EXPECT_TRUE(seen.name_box_on_screen);
    EXPECT_EQ(c.strip, seen.found);
    if (c.strip) {
      EXPECT_EQ(L"\x4FDD\x5B58\x540E\x6253\x5F00", seen.caption);  // 65287 "保存后打开"
      EXPECT_EQ(c.checked_before, seen.checked);
      EXPECT_TRUE(seen.shown_below_type_box);
    }
    if (confirmed) {
      EXPECT_TRUE(SamePath(dir.file("x.ico"), dialog.FileName)) << dialog.FileName;
    }
  }
}

TEST(ZuSaveDialog, AFolderChangeFillsTheInfoLabel) {
  testing_support::TempDir dir;
  ASSERT_TRUE(CreateDirectoryA(dir.file("sub").c_str(), nullptr));
  TZuSaveDialog dialog;
  std::vector<bool> reported;
  Prepare(dialog, dir.path(), reported);
  dialog.OnGetCheckParams = [](TZuCheckBox& box) { box.Visible = false; };
  dialog.OnGetFileInfo = [](const std::string& file_name, TZuInfoLabel& label) {
    label.Caption = L"in " + gui::AnsiToWide(file_name);
    label.Visible = true;
  };
  // The dialog's file name there: the new folder and what the name box holds.
  const std::wstring in_sub = L"in " + gui::AnsiToWide(dir.file("sub\\"));
  bool label_shown = false;
  std::thread driver([&] {
    HWND window = WaitForOwnWindow(kSaveTitle);
    SendMessageW(Control(window, cmb13, L"Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sub"));
    testing_support::PressButton(window, IDOK);  // opens the folder
    for (int i = 0; i < 500 && !label_shown; ++i, Sleep(10)) {
      for (HWND s : ChildWindows(window, L"Static"))
        label_shown = label_shown || (IsWindowVisible(s) && WindowText(s).rfind(in_sub, 0) == 0);
    }
    Finish(window, IDCANCEL);
  });
  EXPECT_FALSE(dialog.Execute(nullptr));
  driver.join();
  EXPECT_TRUE(label_shown);
}

TEST(ZuSaveDialog, AnErrorInAHandlerIsShownAndTheDialogGoesOn) {
  testing_support::TempDir dir;
  TZuSaveDialog dialog;
  std::vector<bool> reported;
  Prepare(dialog, dir.path(), reported);
  dialog.OnGetCheckParams = [](TZuCheckBox&) { throw gui::Error(L"no parameters"); };
  std::wstring error_text;
  SeenCheckBox seen;
  std::thread driver([&] {
    HWND box = WaitForOwnWindow(L"Tamsel");
    error_text = testing_support::MessageBoxText(box);
    Finish(box, IDOK);
    seen = DriveSaveDialog(false, "e", IDOK);
  });
  EXPECT_TRUE(dialog.Execute(nullptr));
  driver.join();
  EXPECT_EQ(L"no parameters", error_text);
  EXPECT_TRUE(seen.found);
  EXPECT_EQ(std::vector<bool>{false}, reported);
}

TEST(ZuDirDialog, StartsAtTheFolderShowsItsPathAndReturnsTheChoice) {
  testing_support::TempDir dir;
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(dir.path().c_str());
  const struct {
    std::string directory;  // empty: the current directory
    int button;
  } cases[] = {{dir.path() + "\\", IDOK}, {"", IDOK}, {dir.path() + "\\", IDCANCEL}};
  const std::wstring leaf = gui::AnsiToWide(dir.path().substr(dir.path().rfind('\\') + 1));
  for (const auto& c : cases) {
    TZuDirDialog picker;
    picker.Directory = c.directory;
    std::wstring status;
    std::thread driver([&] {
      HWND browser = WaitForOwnWindow(kPickerCaption);
      // The picker selects the start folder once it has initialised, walking
      // the tree down to it; a busy machine can take a while.
      HWND status_line = Control(browser, kPickerStatusId, L"Static");
      HWND tree = Control(browser, kPickerTreeId, L"SysTreeView32");
      for (int i = 0; i < 250 && testing_support::TreeSelectionText(tree) != leaf; ++i) Sleep(20);
      Sleep(50);
      status = WindowText(status_line);
      Finish(browser, c.button);
    });
    EXPECT_EQ(c.button == IDOK, picker.Execute(nullptr)) << c.directory;
    driver.join();
    EXPECT_TRUE(SamePath(dir.path(), gui::WideToAnsi(status))) << c.directory;
    EXPECT_EQ(dir.path(), picker.Directory) << c.directory;
  }
  SetCurrentDirectoryA(previous);
}

TEST(ZuDirDialog, AVirtualFolderIsNoChoice) {
  testing_support::TempDir dir;
  TZuDirDialog picker;
  picker.Directory = dir.path();
  bool selected = false;
  std::thread driver([&] {
    HWND browser = WaitForOwnWindow(kPickerCaption);
    HWND tree = Control(browser, kPickerTreeId, L"SysTreeView32");
    auto next = [tree](UINT how, HTREEITEM item) {
      return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    };
    for (HTREEITEM item = next(TVGN_CHILD, next(TVGN_ROOT, nullptr)); item && !selected; item = next(TVGN_NEXT, item)) {
      if (testing_support::TreeItemText(tree, item) != L"My Computer") continue;
      SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
      selected = next(TVGN_CARET, nullptr) == item;
    }
    Finish(browser, IDOK);
  });
  EXPECT_FALSE(picker.Execute(nullptr));
  driver.join();
  EXPECT_TRUE(selected);
  EXPECT_EQ(dir.path(), picker.Directory);
}

}  // namespace
}  // namespace controls
