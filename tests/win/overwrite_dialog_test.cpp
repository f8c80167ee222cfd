// The overwrite question as the user sees it: a dialog driven from a second
// thread, which reads its caption, text and buttons and answers by button
// or by Escape, while the export waits for it on this thread.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "app/export/export_engine_win.h"
#include "app/export/overwrite_dialog_win.h"
#include "app/globals.h"
#include "gui/text.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace app {
namespace {

using testing_support::ChildWindows;
using testing_support::WindowText;

BOOL CALLBACK FindOwnDialog(HWND hwnd, LPARAM lp) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && testing_support::ClassName(hwnd) == L"#32770") {
    *reinterpret_cast<HWND*>(lp) = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The next dialog of this process, waited for up to 10 s.
HWND WaitForOwnDialog() {
  for (int i = 0; i < 500; ++i) {
    HWND found = nullptr;
    EnumWindows(FindOwnDialog, reinterpret_cast<LPARAM>(&found));
    if (found) return found;
    Sleep(20);
  }
  return nullptr;
}

struct SeenDialog {
  std::wstring caption;
  std::wstring text;
  std::vector<std::wstring> buttons;  // left to right
  bool has_icon = false;
};

enum class Press { Yes, No, NoToAll, YesToAll, Escape };

// Waits for the dialog, records what it shows and answers.
SeenDialog Answer(Press press) {
  SeenDialog seen;
  HWND dialog = WaitForOwnDialog();
  if (!dialog) return seen;
  seen.caption = WindowText(dialog);
  seen.text = WindowText(GetDlgItem(dialog, kOverwriteTextId));
  std::vector<std::pair<LONG, std::wstring>> buttons;
  for (HWND b : ChildWindows(dialog, L"Button")) {
    RECT r;
    GetWindowRect(b, &r);
    buttons.push_back({r.left, WindowText(b)});
  }
  std::sort(buttons.begin(), buttons.end());
  for (const auto& b : buttons) seen.buttons.push_back(b.second);
  seen.has_icon = SendDlgItemMessageW(dialog, kOverwriteIconId, STM_GETICON, 0, 0) != 0;
  switch (press) {
    case Press::Escape: {
      // As a key typed on the focused button: the dialog's own loop turns it into Cancel.
      HWND focus = GetDlgItem(dialog, kOverwriteYesId);
      PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0);
      PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0);
      break;
    }
    default: {
      const int ids[] = {kOverwriteYesId, kOverwriteNoId, kOverwriteNoToAllId, kOverwriteYesToAllId};
      testing_support::PressButton(dialog, ids[static_cast<int>(press)]);
    }
  }
  // Wait until it is gone, so that the next wait finds the next dialog.
  for (int i = 0; i < 500 && IsWindow(dialog); ++i) Sleep(10);
  return seen;
}

TEST(OverwriteDialog, ShowsTheQuestionAndReturnsEachAnswer) {
  const std::string path = "C:\\out\\ico_shell320003.ico";
  const struct {
    Press press;
    TOverwriteAnswer answer;
  } cases[] = {{Press::Yes, TOverwriteAnswer::kYes},
               {Press::No, TOverwriteAnswer::kNo},
               {Press::NoToAll, TOverwriteAnswer::kNoToAll},
               {Press::YesToAll, TOverwriteAnswer::kYesToAll},
               {Press::Escape, TOverwriteAnswer::kNo}};
  for (const auto& c : cases) {
    SeenDialog seen;
    std::thread driver([&] { seen = Answer(c.press); });
    const TOverwriteAnswer answer = ShowOverwriteDialog(nullptr, path);
    driver.join();
    EXPECT_EQ(c.answer, answer) << static_cast<int>(c.press);
    EXPECT_EQ(L"Tamsel", seen.caption);
    // 65264 with the full path.
    EXPECT_EQ(L"\x6587\x4EF6 'C:\\out\\ico_shell320003.ico' already exists. Do you wish to replace it?", seen.text);
    EXPECT_EQ((std::vector<std::wstring>{L"&Yes", L"&No", L"N&o to All", L"Yes to &All"}), seen.buttons);
    EXPECT_TRUE(seen.has_icon);
  }
}

TEST(OverwriteDialog, ExportAsksThroughTheDialog) {
  // Icons 2, 3 and 4 exist. No keeps icon 2, No to All keeps 3 and 4
  // without a third question; the count tells the two icons written.
  BatchMode = false;
  testing_support::TempDir dir;
  auto name = [&](int n) { return dir.file("ico_export_5000" + std::to_string(n) + ".bmp"); };
  for (int n : {2, 3, 4}) ASSERT_TRUE(testing_support::WriteFileBytes(name(n), "old", 3));
  std::vector<SeenDialog> seen;
  std::thread driver([&] {
    seen.push_back(Answer(Press::No));
    seen.push_back(Answer(Press::NoToAll));
  });
  TExportRequest request;
  request.Type = imaging::etBitmap;
  request.Source = testing_support::FixturePath("export_5.dll");
  request.DestFolder = dir.path();
  int count = 0;
  TExportWork work;
  ExportIcons(work, count, request, 0);
  driver.join();
  EXPECT_EQ(2, count);
  ASSERT_EQ(2u, seen.size());
  EXPECT_NE(std::wstring::npos, seen[0].text.find(gui::AnsiToWide(name(2))));
  EXPECT_NE(std::wstring::npos, seen[1].text.find(gui::AnsiToWide(name(3))));
  for (int n : {2, 3, 4}) EXPECT_EQ(3u, testing_support::ReadFileBytes(name(n)).size()) << n;
  for (int n : {1, 5}) EXPECT_GT(testing_support::ReadFileBytes(name(n)).size(), 3u) << n;
  // No dialog is left open.
  EXPECT_EQ(nullptr, FindWindowW(L"#32770", L"Tamsel"));
}

}  // namespace
}  // namespace app
