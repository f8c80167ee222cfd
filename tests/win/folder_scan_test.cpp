// The folder scan on a real folder tree: hidden and system files count,
// hidden and system folders are not entered, damaged files never reach the
// shell.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/search_scan_win.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

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
    app::TShellScanFileSystem fs;
    util::TSortedScanList list;
    util::FindFiles(fs, dir.path(), dir.path(), "*.dll;*.exe;*.ocx", c.min_count, c.subfolders, list, nullptr);
    EXPECT_EQ(c.expected, list.entries) << c.min_count << " " << c.subfolders;
  }
  // Damaged files hold no icons, and the shell never sees them.
  app::TShellScanFileSystem fs;
  util::TSortedScanList list;
  util::FindFiles(fs, dir.path(), dir.file("damaged"), "*.dll", 0, false, list, nullptr);
  EXPECT_EQ(damaged, list.entries) << "a minimum of 0 lists them all";
  list.entries.clear();
  util::FindFiles(fs, dir.path(), dir.file("damaged"), "*.dll", 1, false, list, nullptr);
  EXPECT_EQ(std::vector<std::string>{}, list.entries);
  SetCurrentDirectoryA(previous);
}

// Links that lead back to a folder of the walk (a Unix symbolic link under
// Wine, as a junction on Windows) are not entered; one to a folder beside
// the walk is.
TEST(FolderScanWin, LinksBackIntoTheWalkAreNotFollowed) {
  testing_support::TempDir dir;
  Copy("main_2.dll", dir.file("a.dll"));
  ASSERT_TRUE(CreateDirectoryA(dir.file("sub").c_str(), nullptr));
  Copy("main_2.dll", dir.file("sub\\b.dll"));
  const std::string unix_dir = testing_support::UnixPath(dir.path());
  ASSERT_EQ("done\n", testing_support::RunUnix("cd '" + unix_dir + "' && ln -s . self && ln -s .. sub/up && " +
                                               "ln -s sub other && ln -s gone dangling && echo done"));
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  app::TShellScanFileSystem fs;
  util::TSortedScanList list;
  EXPECT_EQ(util::TScanResult::kCompleted,
            util::FindFiles(fs, dir.path(), dir.path(), "*.dll", 1, true, list, nullptr));
  EXPECT_EQ((std::vector<std::string>{"a.dll", "other\\b.dll", "sub\\b.dll"}), list.entries);
  SetCurrentDirectoryA(previous);
  // The links go first: the folder's removal would follow them.
  testing_support::RunUnix("cd '" + unix_dir + "' && rm self sub/up other dangling");
}

// A folder that may be entered but not listed is reported as one that
// cannot be entered, the files found before staying listed. Only a process
// without the power to read every folder sees such a folder: ctest runs
// this suite once more with the root user's capabilities dropped.
TEST(FolderScanWithoutPrivileges, AFolderThatCannotBeListedIsReported) {
  testing_support::TempDir dir;
  Copy("main_2.dll", dir.file("a.dll"));
  ASSERT_TRUE(CreateDirectoryA(dir.file("locked").c_str(), nullptr));
  Copy("main_2.dll", dir.file("locked\\b.dll"));
  const std::string unix_dir = testing_support::UnixPath(dir.path());
  ASSERT_EQ("done\n", testing_support::RunUnix("chmod 100 '" + unix_dir + "/locked' && echo done"));
  struct Unlock {
    std::string folder;
    ~Unlock() { testing_support::RunUnix("chmod 755 '" + folder + "/locked'"); }
  } unlock{unix_dir};
  WIN32_FIND_DATAA data;
  HANDLE probe = FindFirstFileA(dir.file("locked\\*").c_str(), &data);
  if (probe != INVALID_HANDLE_VALUE) {
    FindClose(probe);
    GTEST_SKIP() << "this process may read every folder";
  }

  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  app::TShellScanFileSystem fs;
  util::TSortedScanList list;
  try {
    util::FindFiles(fs, dir.path(), dir.path(), "*.dll", 1, true, list, nullptr);
    ADD_FAILURE() << "the folder that cannot be listed was passed over";
  } catch (const util::TScanFolderError& e) {
    EXPECT_EQ(dir.file("locked"), e.folder());
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), fs.LastError());
  }
  EXPECT_EQ(std::vector<std::string>{"a.dll"}, list.entries) << "what was found stays listed";
  SetCurrentDirectoryA(previous);
}

}  // namespace
