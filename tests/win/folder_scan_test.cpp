// The folder scan on a real folder tree: hidden and system files count,
// hidden and system folders are not entered, damaged files never reach the
// shell.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "controls/folder_scan_win.h"
#include "win/win_test_support.h"

namespace {

void Copy(const std::string& fixture, const std::string& to) {
  ASSERT_TRUE(CopyFileA(testing_support::FixturePath(fixture).c_str(), to.c_str(), FALSE)) << fixture;
}

TEST(FolderScanWin, ListsByIconCountAndKeepsOutHiddenAndSystemFoldersAndEveryDamagedFile) {
  testing_support::TempDir dir;
  Copy("main_2.dll", dir.file("two.dll"));
  Copy("main_3.dll", dir.file("three.ocx"));
  Copy("no_icons.exe", dir.file("none.exe"));
  Copy("damaged\\ico_offset_huge.ico", dir.file("damaged.dll"));
  Copy("main_2.dll", dir.file("hidden.dll"));
  SetFileAttributesA(dir.file("hidden.dll").c_str(), FILE_ATTRIBUTE_HIDDEN);
  CreateDirectoryA(dir.file("sub").c_str(), nullptr);
  Copy("main_120.dll", dir.file("sub\\many.dll"));
  CreateDirectoryA(dir.file("secret").c_str(), nullptr);
  Copy("main_3.dll", dir.file("secret\\inside.dll"));
  SetFileAttributesA(dir.file("secret").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
  Copy("main_2.dll", dir.file("system.exe"));
  SetFileAttributesA(dir.file("system.exe").c_str(), FILE_ATTRIBUTE_SYSTEM);
  CreateDirectoryA(dir.file("sysdir").c_str(), nullptr);
  Copy("main_3.dll", dir.file("sysdir\\inside.dll"));
  SetFileAttributesA(dir.file("sysdir").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
  // Every kind of damage the structural check refuses, under a name the
  // scan looks at.
  CreateDirectoryA(dir.file("damaged").c_str(), nullptr);
  std::vector<std::string> damaged;
  for (const std::string& name : testing_support::FixtureIndex("damaged")) {
    Copy("damaged\\" + name, dir.file("damaged\\" + name + ".dll"));
    damaged.push_back("damaged\\" + name + ".dll");
  }
  ASSERT_GT(damaged.size(), 20u);
  std::sort(damaged.begin(), damaged.end());

  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  const struct {
    int min_count;
    bool subfolders;
    std::vector<std::string> expected;
  } cases[] = {
      {1, false, {"hidden.dll", "system.exe", "three.ocx", "two.dll"}},
      {1, true, {"hidden.dll", "sub\\many.dll", "system.exe", "three.ocx", "two.dll"}},
      {3, true, {"sub\\many.dll", "three.ocx"}},
      {0, false, {"damaged.dll", "hidden.dll", "none.exe", "system.exe", "three.ocx", "two.dll"}},
  };
  for (const auto& c : cases) {
    controls::TWinScanFileSystem fs;
    controls::TSortedScanList list;
    controls::FindFiles(fs, dir.path(), dir.path(), "*.dll;*.exe;*.ocx", c.min_count, c.subfolders, list, nullptr);
    EXPECT_EQ(c.expected, list.entries) << c.min_count << " " << c.subfolders;
  }
  // Damaged files hold no icons, and the shell never sees them.
  controls::TWinScanFileSystem fs;
  controls::TSortedScanList list;
  controls::FindFiles(fs, dir.path(), dir.file("damaged"), "*.dll", 0, false, list, nullptr);
  EXPECT_EQ(damaged, list.entries) << "a minimum of 0 lists them all";
  list.entries.clear();
  controls::FindFiles(fs, dir.path(), dir.file("damaged"), "*.dll", 1, false, list, nullptr);
  EXPECT_EQ(std::vector<std::string>{}, list.entries);
  SetCurrentDirectoryA(previous);
}

}  // namespace
