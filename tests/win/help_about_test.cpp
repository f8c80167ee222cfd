// Help and the About window under Wine: HTML Help opens, reuses and closes
// its window for the program's help file and stays out of the way when the
// file is missing; the About window shows its labels and turns a click on a
// link label into the address the shell is asked to open.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/about_links.h"
#include "app/about_win.h"
#include "app/help_win.h"
#include "gui/text.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace app {
namespace {

using testing_support::WindowText;

struct HelpWindows {
  int count = 0;
  HWND first = nullptr;
};

BOOL CALLBACK CountHelpWindow(HWND hwnd, LPARAM lp) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == GetCurrentProcessId() && testing_support::ClassName(hwnd) == L"HH Parent") {
    auto* found = reinterpret_cast<HelpWindows*>(lp);
    if (!found->first) found->first = hwnd;
    ++found->count;
  }
  return TRUE;
}

HelpWindows FindHelpWindows() {
  HelpWindows found;
  EnumWindows(CountHelpWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

class HelpTest : public testing::Test {
 protected:
  void SetUp() override { UnloadHtmlHelp(); }
  void TearDown() override {
    CloseAllHelp();
    UnloadHtmlHelp();
    SetHelpFile("");
  }
};

TEST_F(HelpTest, ContentsThenATopicInOneWindowThatClosesWithTheProgram) {
  const std::string file = testing_support::ToWindowsPath(TAMSEL_HELP_FILE);
  if (!testing_support::FileExists(file)) GTEST_SKIP() << "the help file was not built (no chmcmd)";
  SetHelpFile(file);

  CloseAllHelp();  // before any help was shown: nothing to close, nothing loaded
  EXPECT_FALSE(HtmlHelpTried());

  ShowHelp();
  ASSERT_TRUE(HtmlHelpLoaded()) << "HHCTRL.OCX did not load";
  const HelpWindows contents = FindHelpWindows();
  ASSERT_EQ(contents.count, 1);
  EXPECT_EQ(WindowText(contents.first), L"Tamsel Help");

  ShowHelp("print");
  const HelpWindows topic = FindHelpWindows();
  EXPECT_EQ(topic.count, 1);
  EXPECT_EQ(topic.first, contents.first);

  CloseAllHelp();
  EXPECT_FALSE(IsWindow(contents.first));
  EXPECT_EQ(FindHelpWindows().count, 0);
}

TEST_F(HelpTest, AMissingOrForeignHelpFileOpensNothing) {
  testing_support::TempDir dir;
  const std::string foreign = dir.file("glimbo.hlp");
  testing_support::WriteFileBytes(foreign, "?", 1);
  for (const std::string& file : {dir.file("glimbo.chm"), foreign}) {
    SetHelpFile(file);
    ShowHelp();
    ShowHelp("print");
    EXPECT_EQ(FindHelpWindows().count, 0) << file;
    EXPECT_FALSE(HtmlHelpTried()) << file;
  }
}

// ---- The About window ----------------------------------------------------

struct SeenAbout {
  std::vector<std::wstring> texts;  // name, version, mail, web
  LOGFONTW name_font{};
  bool has_icon = false;
  RECT client{};
};

void ClickLabel(HWND label) {
  SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

TEST(AboutFormTest, ShowsTheProgramAndOpensItsLinks) {
  SeenAbout seen;
  std::thread driver([&] {
    HWND form = testing_support::WaitForWindow(GetCurrentProcessId(), L"#32770", L"About...", 10000);
    if (!form) return;
    for (int id : {kAboutNameId, kAboutVersionId, kAboutMailId, kAboutWebId})
      seen.texts.push_back(WindowText(GetDlgItem(form, id)));
    HFONT font = reinterpret_cast<HFONT>(SendDlgItemMessageW(form, kAboutNameId, WM_GETFONT, 0, 0));
    GetObjectW(font, sizeof seen.name_font, &seen.name_font);
    seen.has_icon = SendDlgItemMessageW(form, kAboutIconId, STM_GETICON, 0, 0) != 0;
    GetClientRect(form, &seen.client);
    ClickLabel(GetDlgItem(form, kAboutMailId));
    ClickLabel(GetDlgItem(form, kAboutWebId));
    ClickLabel(GetDlgItem(form, kAboutVersionId));  // not a link
    testing_support::PressButton(form, kAboutOkId);
  });
  std::vector<std::string> opened;
  TAboutFrm form;
  form.OnOpenLink = [&](const std::string& address) { opened.push_back(address); };
  form.Execute(nullptr);
  driver.join();

  const std::vector<std::wstring> texts = {L"Tamsel", L"3.4", gui::AnsiToWide(kMailAddress),
                                           gui::AnsiToWide(kWebAddress)};
  EXPECT_EQ(seen.texts, texts);
  EXPECT_STREQ(seen.name_font.lfFaceName, L"Impact");
  EXPECT_EQ(seen.name_font.lfWeight, FW_BOLD);
  EXPECT_TRUE(seen.has_icon);
  EXPECT_EQ(seen.client.right, 289);
  EXPECT_EQ(seen.client.bottom, 185);
  const std::vector<std::string> expected = {std::string("mailto:") + kMailAddress, kWebAddress};
  EXPECT_EQ(opened, expected);
}

}  // namespace
}  // namespace app
