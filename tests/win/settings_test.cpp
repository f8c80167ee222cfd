// The settings, the placement and the recent files through the registry of
// the test prefix, below a key of the tests' own that is removed before and
// after every test, and the recent-files menu made from the list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "app/main_settings_win.h"
#include "app/mru_menu_win.h"
#include "gui/error.h"
#include "win/win_test_support.h"

namespace {

using app::LoadSettings;
using app::SaveSettings;
using app::TRecentFiles;
using app::TSettingsTarget;

const std::string kRoot = "Software\\Korvane\\TamselSettingsTest";

void RemoveTestKeys() {
  for (const char* sub : {"\\Settings", "\\Placement", "\\Recent", ""})
    RegDeleteKeyA(HKEY_CURRENT_USER, (kRoot + sub).c_str());
}

// Writes raw bytes of any type, so that a test can store what the program
// itself never would.
void Store(const char* sub, const std::string& name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, (kRoot + "\\" + sub).c_str(), 0, nullptr, 0, KEY_WRITE,
                                           nullptr, &key, nullptr));
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size));
  RegCloseKey(key);
}
void StoreText(const char* sub, const std::string& name, const std::string& text) {
  Store(sub, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

std::string Stored(const char* sub, const char* name) {
  char buffer[512] = {};
  DWORD size = sizeof buffer - 1;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, (kRoot + "\\" + sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return "(no key)";
  LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? std::string(buffer) : "(missing)";
}

RECT NormalRect(HWND window) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(window, &wp);
  return wp.rcNormalPosition;
}

void StoreRect(const char* left, const char* top, const char* right, const char* bottom) {
  StoreText("Placement", "Left", left);
  StoreText("Placement", "Top", top);
  StoreText("Placement", "Right", right);
  StoreText("Placement", "Bottom", bottom);
}

void ExpectRect(const RECT& r, int left, int top, int right, int bottom) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right, right);
  EXPECT_EQ(r.bottom, bottom);
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveTestKeys();
    saved_settings_ = app::ExportSettings;
    saved_run_count_ = app::RunCount;
    target_.client_height = 600;
    target_.find_splitter_height = 3;
    target_.status_bar_height = 19;
    target_.find_panel_client_width = 700;
    target_.file_splitter_width = 3;
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
    RemoveTestKeys();
    app::ExportSettings = saved_settings_;
    app::RunCount = saved_run_count_;
  }

  HWND MakeWindow(DWORD visible) {
    window_ = CreateWindowExW(0, L"STATIC", L"settings test", WS_OVERLAPPEDWINDOW | visible, 100, 100, 400, 300,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    target_.window = window_;
    return window_;
  }

  std::string MakeFile(const std::string& name) {
    std::string path = dir_.file(name);
    testing_support::WriteFileBytes(path, "x", 1);
    return path;
  }

  app::TLoadedSettings Load() { return LoadSettings(target_, recent_, kRoot); }

  TSettingsTarget target_;
  TRecentFiles recent_;
  HWND window_ = nullptr;
  testing_support::TempDir dir_;
  app::TExportSettings saved_settings_;
  int saved_run_count_ = 0;
};

TEST_F(SettingsTest, FirstStartGivesDefaultsAndCountsTheRun) {
  app::ExportSettings.ExpGrayScale = true;
  app::TLoadedSettings loaded = Load();
  EXPECT_EQ(app::RunCount, 1);
  EXPECT_EQ(Stored("Settings", "Run"), "1");
  EXPECT_TRUE(app::ExportSettings.OpenAfterSave);
  EXPECT_FALSE(app::ExportSettings.ExpGrayScale);
  EXPECT_EQ(app::ExportSettings.ExpDBFFieldName, "ICON");
  EXPECT_TRUE(recent_.Empty());
  EXPECT_FALSE(loaded.panes.find_panel_visible);
  EXPECT_EQ(loaded.panes.find_panel_height, 172);
  EXPECT_EQ(loaded.panes.file_panel_width, 248);

  Load();
  EXPECT_EQ(app::RunCount, 2);
  EXPECT_EQ(Stored("Settings", "Run"), "2");
}

// The text rules themselves are tested natively; here what only the
// registry can hold: a value of another type and a string without its zero.
TEST_F(SettingsTest, BadValuesReadAsDefaults) {
  StoreText("Settings", "Run", "abc");
  DWORD one = 1;
  Store("Settings", "ExpGrayScale", REG_DWORD, &one, sizeof one);
  Store("Settings", "ExpDBFFieldName", REG_SZ, "MEMO", 4);
  Store("Placement", "FindPanelHeight", REG_BINARY, "\xFF\x01", 2);
  target_.panes.find_panel_height = 250;

  app::TLoadedSettings loaded = Load();
  EXPECT_EQ(app::RunCount, 1);
  EXPECT_FALSE(app::ExportSettings.ExpGrayScale);
  EXPECT_EQ(app::ExportSettings.ExpDBFFieldName, "MEMO");
  EXPECT_EQ(loaded.panes.find_panel_height, 250);
}

TEST_F(SettingsTest, TwentyRecentValuesGiveTwelveInNameOrder) {
  std::vector<std::string> files;
  for (int i = 0; i < 20; ++i) files.push_back(MakeFile("f" + std::to_string(i) + ".dll"));
  // Written bottom up, as saving does; the store hands them back its own way.
  for (int i = 19; i >= 0; --i) StoreText("Recent", std::to_string(i), i == 3 ? dir_.file("gone.dll") : files[i]);

  Load();
  std::vector<std::string> expected = {files[0], files[1], files[2]};
  for (int i = 4; i < 13; ++i) expected.push_back(files[i]);
  EXPECT_EQ(recent_.Paths(), expected);
}

TEST_F(SettingsTest, SaveThenLoadGivesEverythingBack) {
  MakeWindow(WS_VISIBLE);
  std::vector<std::string> files = {MakeFile("a.dll"), MakeFile("b.exe"), MakeFile("c.ico")};
  for (const std::string& f : files) recent_.Opened(f);
  // A value left from a longer list must not survive the save.
  StoreText("Recent", "5", files[0]);
  app::ExportSettings = {};
  app::ExportSettings.OpenAfterSave = false;
  app::ExportSettings.ExpDrawBorder = false;
  app::ExportSettings.ExpGrayScale = true;
  app::ExportSettings.ExpDBFFieldName = "PIC";
  app::ExportSettings.ExpDBFType = 3;
  target_.panes = {true, 200, 300};
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(window_, &wp);
  wp.rcNormalPosition = {40, 50, 540, 450};
  SetWindowPlacement(window_, &wp);

  SaveSettings(target_, recent_, kRoot);
  EXPECT_EQ(Stored("Recent", "5"), "(missing)");
  EXPECT_EQ(Stored("Settings", "Run"), "(missing)");

  DestroyWindow(window_);
  MakeWindow(WS_VISIBLE);
  app::ExportSettings = {};
  target_.panes = {};
  TRecentFiles stored_list = recent_;
  recent_ = {};
  app::TLoadedSettings loaded = Load();

  EXPECT_FALSE(app::ExportSettings.OpenAfterSave);
  EXPECT_TRUE(app::ExportSettings.ExpIncludeNumbers);
  EXPECT_FALSE(app::ExportSettings.ExpDrawBorder);
  EXPECT_TRUE(app::ExportSettings.ExpGrayScale);
  EXPECT_EQ(app::ExportSettings.ExpDBFFieldName, "PIC");
  EXPECT_EQ(app::ExportSettings.ExpDBFType, 3);
  EXPECT_EQ(recent_.Paths(), stored_list.Paths());
  EXPECT_EQ(recent_.Paths().front(), files[2]);
  EXPECT_TRUE(loaded.panes.find_panel_visible);
  EXPECT_EQ(loaded.panes.find_panel_height, 200);
  EXPECT_EQ(loaded.panes.file_panel_width, 300);
  ExpectRect(NormalRect(window_), 40, 50, 540, 450);
  EXPECT_FALSE(IsZoomed(window_));
}

TEST_F(SettingsTest, MaximizedRestoresWithTheStoredNormalRectangle) {
  StoreText("Placement", "Maximized", "1");
  StoreRect("50", "60", "450", "360");

  MakeWindow(WS_VISIBLE);
  Load();
  EXPECT_TRUE(IsZoomed(window_));
  ExpectRect(NormalRect(window_), 50, 60, 450, 360);
  SaveSettings(target_, recent_, kRoot);
  EXPECT_EQ(Stored("Placement", "Maximized"), "1");
  EXPECT_EQ(Stored("Placement", "Right"), "450");
  DestroyWindow(window_);

  // A window not yet shown stays hidden and is told how to show itself.
  MakeWindow(0);
  app::TLoadedSettings loaded = Load();
  EXPECT_FALSE(IsWindowVisible(window_));
  EXPECT_EQ(loaded.show_command, SW_SHOWMAXIMIZED);
  ShowWindow(window_, loaded.show_command);
  EXPECT_TRUE(IsZoomed(window_));
  ExpectRect(NormalRect(window_), 50, 60, 450, 360);
}

TEST_F(SettingsTest, RectangleOnNoMonitorOrLargerThanTheScreenGivesWayToTheWindowsOwn) {
  const char* const rectangles[][4] = {{"30000", "30000", "30400", "30300"},
                                       {"-2147483648", "-2147483648", "2147483647", "2147483647"}};
  for (const auto& r : rectangles) {
    StoreRect(r[0], r[1], r[2], r[3]);
    MakeWindow(WS_VISIBLE);
    RECT before = NormalRect(window_);
    Load();
    ExpectRect(NormalRect(window_), before.left, before.top, before.right, before.bottom);
    EXPECT_NE(MonitorFromWindow(window_, MONITOR_DEFAULTTONULL), nullptr);
    DestroyWindow(window_);
    window_ = nullptr;
  }
}

// The panes are held to the room of the window as placed, not as made.
TEST_F(SettingsTest, PaneSizesAreHeldToTheRestoredWindow) {
  StoreRect("10", "10", "1210", "960");
  StoreText("Placement", "FindPanelHeight", "400");
  StoreText("Placement", "FilePanelWidth", "600");
  MakeWindow(0);
  target_.client_height = 300;  // the window as made is small
  target_.find_panel_client_width = 400;
  target_.measure = [this](TSettingsTarget& placed) {
    RECT client{};
    GetClientRect(window_, &client);
    placed.client_height = client.bottom;
    placed.find_panel_client_width = client.right;
  };
  const app::TLoadedSettings loaded = Load();
  EXPECT_EQ(400, loaded.panes.find_panel_height);
  EXPECT_EQ(600, loaded.panes.file_panel_width);
}

TEST_F(SettingsTest, RefusedKeyRaisesTheLanguageError) {
  const std::string bad_root = "Software\\" + std::string(300, 'k');
  try {
    LoadSettings(target_, recent_, bad_root);
    FAIL() << "no error raised";
  } catch (const gui::Error& e) {
    EXPECT_NE(e.message().find(L"Failed to create key"), std::wstring::npos);
    EXPECT_NE(e.message().find(L"kkkk"), std::wstring::npos);
  }
}

std::wstring MenuText(HMENU menu, int position) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
  return text;
}

TEST(RecentFilesMenuTest, EntriesFollowTheList) {
  TRecentFiles recent;
  util::UniqueMenu empty = app::BuildRecentFilesMenu(recent);
  ASSERT_EQ(GetMenuItemCount(empty.get()), 1);
  EXPECT_EQ(MenuText(empty.get(), 0), L"<Empty>");
  EXPECT_TRUE(GetMenuState(empty.get(), 0, MF_BYPOSITION) & MF_GRAYED);

  std::vector<app::TNamedValue> values = {{"0", "C:\\x\\R&D.dll"}, {"1", "C:\\y\\old.exe"}};
  recent.Load(values, [](const std::string&) { return true; });
  util::UniqueMenu loaded = app::BuildRecentFilesMenu(recent);
  ASSERT_EQ(GetMenuItemCount(loaded.get()), 2);
  EXPECT_EQ(MenuText(loaded.get(), 0), L"R&&D.dll");
  EXPECT_FALSE(GetMenuState(loaded.get(), 0, MF_BYPOSITION) & MF_CHECKED);

  recent.Opened("C:\\z\\new.ocx");
  util::UniqueMenu opened = app::BuildRecentFilesMenu(recent);
  ASSERT_EQ(GetMenuItemCount(opened.get()), 3);
  EXPECT_EQ(MenuText(opened.get(), 0), L"new.ocx");
  EXPECT_TRUE(GetMenuState(opened.get(), 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_FALSE(GetMenuState(opened.get(), 1, MF_BYPOSITION) & MF_CHECKED);

  UINT id = GetMenuItemID(opened.get(), 2);
  EXPECT_EQ(app::RecentFileForCommand(recent, id), std::optional<std::string>("C:\\y\\old.exe"));
  EXPECT_FALSE(app::RecentFileForCommand(recent, app::kRecentEmptyCommand));
  EXPECT_FALSE(app::RecentFileForCommand(recent, app::kRecentFileCommand - 1));
}

}  // namespace
