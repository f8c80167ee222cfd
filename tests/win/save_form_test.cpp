// The export options window as the user meets it: it runs on this thread
// while a second thread finds it, reads its controls by id, types, ticks
// and closes it; then the settings show what was written back.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/globals.h"
#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "app/save_form_win.h"
#include "win/window_driver.h"

namespace app {
namespace {

using testing_support::WindowText;

constexpr DWORD kWaitMs = 10000;

HWND WaitForOptions(TSaveFrmKind kind) {
  return testing_support::WaitForWindow(GetCurrentProcessId(), L"#32770",
                                        Lang(kind == TSaveFrmKind::kHtml ? sExportHtml : sExportDbase), kWaitMs);
}

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }
bool Ticked(HWND dialog, int id) { return SendMessageW(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Shown(HWND dialog, int id) { return IsWindowVisible(Item(dialog, id)) != FALSE; }
bool OkEnabled(HWND dialog) { return IsWindowEnabled(Item(dialog, kSaveFrmOkId)) != FALSE; }
void Tick(HWND dialog, int id, bool on) {
  SendMessageW(Item(dialog, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}
// A character typed into the column count box over its whole text.
void TypeOver(HWND dialog, wchar_t ch) {
  HWND edit = Item(dialog, kSaveFrmColumnEditId);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CHAR, ch, 0);
}
void SetText(HWND dialog, int id, const wchar_t* text) {
  SendMessageW(Item(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
// Presses a key on the focused control, as the dialog's own loop sees it.
void Key(HWND dialog, UINT vk) {
  HWND focus = Item(dialog, kSaveFrmColumnEditId);
  PostMessageW(focus, WM_KEYDOWN, vk, 0);
  PostMessageW(focus, WM_KEYUP, vk, 0);
}
void Close(HWND dialog, int button) {
  testing_support::PressButton(dialog, button);
  testing_support::WaitUntilGone(dialog, kWaitMs);
}

struct SeenHtml {
  std::wstring columns;
  bool numbers = false, border = false, gray = false;
  bool html_shown = false, dbase_shown = true;
  std::wstring ok, cancel, help, note;
};

SeenHtml ReadHtml(HWND dialog) {
  SeenHtml seen;
  seen.columns = WindowText(Item(dialog, kSaveFrmColumnEditId));
  seen.numbers = Ticked(dialog, kSaveFrmNumberCheckId);
  seen.border = Ticked(dialog, kSaveFrmBorderCheckId);
  seen.gray = Ticked(dialog, kSaveFrmGrayScaleCheckId);
  seen.html_shown = Shown(dialog, kSaveFrmColumnEditId) && Shown(dialog, kSaveFrmNumberCheckId) &&
                    Shown(dialog, kSaveFrmBorderCheckId) && Shown(dialog, kSaveFrmColumnLabelId);
  seen.dbase_shown = Shown(dialog, kSaveFrmFieldGroupId) || Shown(dialog, kSaveFrmTypeGroupId) ||
                     Shown(dialog, kSaveFrmFieldEditId) || Shown(dialog, kSaveFrmTypeIconId);
  seen.ok = WindowText(Item(dialog, kSaveFrmOkId));
  seen.cancel = WindowText(Item(dialog, kSaveFrmCancelId));
  seen.help = WindowText(Item(dialog, kSaveFrmHelpId));
  seen.note = WindowText(Item(dialog, kSaveFrmNoteId));
  return seen;
}

TEST(SaveForm, HtmlFormShowsTheSettingsAndOkWritesThemBack) {
  const struct {
    bool by_enter;  // Enter instead of the OK button
    int close;      // kSaveFrmOkId or kSaveFrmCancelId
  } cases[] = {{false, kSaveFrmOkId}, {true, kSaveFrmOkId}, {false, kSaveFrmCancelId}};
  for (const auto& c : cases) {
    TExportSettings settings;
    settings.ExpIncludeNumbers = true;
    settings.ExpDrawBorder = false;
    settings.ExpGrayScale = true;
    settings.ExpDBFFieldName = "KEEP";
    int columns = 7;
    SeenHtml seen;
    std::thread driver([&] {
      HWND dialog = WaitForOptions(TSaveFrmKind::kHtml);
      seen = ReadHtml(dialog);
      TypeOver(dialog, L'3');
      Tick(dialog, kSaveFrmBorderCheckId, true);
      Tick(dialog, kSaveFrmNumberCheckId, false);
      Tick(dialog, kSaveFrmGrayScaleCheckId, false);
      Tick(dialog, kSaveFrmHtmlPngCheckId, true);
      if (c.by_enter) {
        Key(dialog, VK_RETURN);
        testing_support::WaitUntilGone(dialog, kWaitMs);
      } else {
        Close(dialog, c.close);
      }
    });
    const bool confirmed = EditHtmlOptions(nullptr, settings, columns, nullptr);
    driver.join();

    EXPECT_EQ(L"7", seen.columns);
    EXPECT_TRUE(seen.numbers);
    EXPECT_FALSE(seen.border);
    EXPECT_TRUE(seen.gray);
    EXPECT_TRUE(seen.html_shown);
    EXPECT_FALSE(seen.dbase_shown);
    EXPECT_EQ(L"OK", seen.ok);
    EXPECT_EQ(Lang(sCancel), seen.cancel);
    EXPECT_EQ(Lang(sHelp), seen.help);
    EXPECT_EQ(Lang(sSkipOptionsNote), seen.note);

    const bool ok = c.close == kSaveFrmOkId;
    EXPECT_EQ(ok, confirmed);
    EXPECT_EQ(ok ? 3 : 7, columns);
    EXPECT_EQ(!ok, settings.ExpIncludeNumbers);
    EXPECT_EQ(ok, settings.ExpDrawBorder);
    EXPECT_EQ(!ok, settings.ExpGrayScale);
    EXPECT_EQ(ok, settings.ExpHTMLPNG);
    EXPECT_EQ("KEEP", settings.ExpDBFFieldName);
  }
}

TEST(SaveForm, ColumnCountTakesDigitsOnlyAndOkNeedsOneOfAtLeastOne) {
  TExportSettings settings;
  int columns = 4;
  struct Step {
    std::wstring text;
    bool ok_enabled;
  };
  std::vector<Step> steps;
  bool stayed_after_disabled_ok = false;
  std::thread driver([&] {
    HWND dialog = WaitForOptions(TSaveFrmKind::kHtml);
    auto record = [&] { steps.push_back({WindowText(Item(dialog, kSaveFrmColumnEditId)), OkEnabled(dialog)}); };
    record();                // "4"
    TypeOver(dialog, L'a');  // letters are dropped
    record();
    TypeOver(dialog, L'0');  // the digit 0 is taken, but no table has 0 columns
    record();
    SendMessageW(Item(dialog, kSaveFrmColumnEditId), WM_CHAR, VK_BACK, 0);
    record();                                      // empty
    SetText(dialog, kSaveFrmColumnEditId, L"x1");  // as if pasted
    record();
    // Neither Enter nor an OK sent from outside closes the window now.
    Key(dialog, VK_RETURN);
    testing_support::PressButton(dialog, kSaveFrmOkId);
    stayed_after_disabled_ok = !testing_support::WaitUntilGone(dialog, 300);
    SetText(dialog, kSaveFrmColumnEditId, L" 12 ");
    record();
    Close(dialog, kSaveFrmOkId);
  });
  EXPECT_TRUE(EditHtmlOptions(nullptr, settings, columns, nullptr));
  driver.join();
  const std::vector<std::pair<std::wstring, bool>> expected = {{L"4", true}, {L"4", true},   {L"0", false},
                                                               {L"", false}, {L"x1", false}, {L" 12 ", true}};
  ASSERT_EQ(expected.size(), steps.size());
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(expected[i].first, steps[i].text) << i;
    EXPECT_EQ(expected[i].second, steps[i].ok_enabled) << i;
  }
  EXPECT_TRUE(stayed_after_disabled_ok);
  EXPECT_EQ(12, columns);
}

TEST(SaveForm, DBaseFormShowsTheFieldAndTypeAndGreyFollowsTheType) {
  TExportSettings settings;
  settings.ExpDBFFieldName = "MEMO";
  settings.ExpDBFType = 2;
  settings.ExpGrayScale = true;
  settings.ExpIncludeNumbers = true;
  std::wstring field;
  int checked_type = -1;
  bool html_shown = true, dbase_shown = false;
  std::vector<std::pair<bool, bool>> gray;  // enabled, ticked: at start, after Icon, after PNG
  std::vector<std::wstring> type_names;
  std::thread driver([&] {
    HWND dialog = WaitForOptions(TSaveFrmKind::kDBase);
    field = WindowText(Item(dialog, kSaveFrmFieldEditId));
    for (int i = 0; i < 5; ++i) {
      if (Ticked(dialog, kSaveFrmTypeIconId + i)) checked_type = i;
      type_names.push_back(WindowText(Item(dialog, kSaveFrmTypeIconId + i)));
    }
    html_shown = Shown(dialog, kSaveFrmColumnEditId) || Shown(dialog, kSaveFrmBorderCheckId) ||
                 Shown(dialog, kSaveFrmNumberCheckId);
    dbase_shown = Shown(dialog, kSaveFrmFieldGroupId) && Shown(dialog, kSaveFrmTypeGroupId) &&
                  Shown(dialog, kSaveFrmFieldEditId) && Shown(dialog, kSaveFrmTypePngId);
    auto record = [&] {
      gray.push_back(
          {IsWindowEnabled(Item(dialog, kSaveFrmGrayScaleCheckId)) != FALSE, Ticked(dialog, kSaveFrmGrayScaleCheckId)});
    };
    record();
    SendMessageW(Item(dialog, kSaveFrmTypeIconId), BM_CLICK, 0, 0);
    record();
    SendMessageW(Item(dialog, kSaveFrmTypePngId), BM_CLICK, 0, 0);
    record();
    SetText(dialog, kSaveFrmFieldEditId, L"");  // an empty name is kept as it is
    Close(dialog, kSaveFrmOkId);
  });
  EXPECT_TRUE(EditDBaseOptions(nullptr, settings, nullptr));
  driver.join();
  EXPECT_EQ(L"MEMO", field);
  EXPECT_EQ(2, checked_type);
  EXPECT_EQ((std::vector<std::wstring>{Lang(sTypeIcon), Lang(sTypeBitmap), Lang(sTypeJpeg), Lang(sTypeMetafile),
                                       Lang(sTypePng)}),
            type_names);
  EXPECT_FALSE(html_shown);
  EXPECT_TRUE(dbase_shown);
  // Icon disables the grey choice without changing its tick.
  EXPECT_EQ((std::vector<std::pair<bool, bool>>{{true, true}, {false, true}, {true, true}}), gray);
  EXPECT_EQ("", settings.ExpDBFFieldName);
  EXPECT_EQ(4, settings.ExpDBFType);
  EXPECT_TRUE(settings.ExpGrayScale);
  EXPECT_TRUE(settings.ExpIncludeNumbers);
}

TEST(SaveForm, HelpAsksForTheExportTopicAndLeavesTheWindowOpen) {
  TExportSettings settings;
  settings.ExpDBFType = 1;
  std::vector<std::string> topics;
  bool open_after_help = false;
  std::thread driver([&] {
    HWND dialog = WaitForOptions(TSaveFrmKind::kDBase);
    testing_support::PressButton(dialog, kSaveFrmHelpId);
    open_after_help = !testing_support::WaitUntilGone(dialog, 300);
    SendMessageW(Item(dialog, kSaveFrmTypeJpegId), BM_CLICK, 0, 0);
    Close(dialog, kSaveFrmCancelId);
  });
  EXPECT_FALSE(EditDBaseOptions(nullptr, settings, [&](const std::string& topic) { topics.push_back(topic); }));
  driver.join();
  EXPECT_EQ(std::vector<std::string>{"exp"}, topics);
  EXPECT_TRUE(open_after_help);
  EXPECT_EQ(1, settings.ExpDBFType);  // cancelled: nothing written back
}

TEST(SaveForm, OnlyCtrlAndShiftTogetherSkipTheWindow) {
  BYTE saved[256];
  ASSERT_TRUE(GetKeyboardState(saved));
  const struct {
    bool shift, control, skipped;
  } cases[] = {{false, false, false}, {true, false, false}, {false, true, false}, {true, true, true}};
  for (const auto& c : cases) {
    BYTE keys[256];
    memcpy(keys, saved, sizeof keys);
    keys[VK_SHIFT] = c.shift ? 0x80 : 0;
    keys[VK_CONTROL] = c.control ? 0x80 : 0;
    ASSERT_TRUE(SetKeyboardState(keys));
    EXPECT_EQ(c.skipped, OptionsWindowSkipped()) << c.shift << c.control;
  }
  SetKeyboardState(saved);
}

}  // namespace
}  // namespace app
