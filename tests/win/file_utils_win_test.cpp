// The path helpers that need the system: environment, temporary folder,
// folders and files, the Windows version.
#include <gtest/gtest.h>

#include "util/file_utils_win.h"
#include "win/win_test_support.h"

namespace {

// Sets an environment variable for the scope of a test and restores it.
class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    char buffer[32768];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    had_ = n > 0 && n < sizeof buffer;
    if (had_) old_.assign(buffer, n);
    SetEnvironmentVariableA(name, value);
  }
  ~EnvVar() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

TEST(GetEnvVar, ReadsValuesOfAnyLength) {
  for (size_t length : {1u, 254u, 255u, 256u, 5000u}) {
    std::string value(length, 'v');
    value.back() = 'z';
    EnvVar var("TAMSEL_TEST_VAR", value.c_str());
    EXPECT_EQ(value, util::GetEnvVar("TAMSEL_TEST_VAR")) << length;
  }
  EnvVar unset("TAMSEL_TEST_VAR", nullptr);
  EXPECT_EQ("", util::GetEnvVar("TAMSEL_TEST_VAR"));
}

TEST(GetTempFolder, FallsBackFromTmpToTempToTheProgramFolder) {
  testing_support::TempDir dir;
  {
    EnvVar tmp("TMP", dir.path().c_str());
    EXPECT_EQ(dir.path() + "\\", util::GetTempFolder());
  }
  {
    EnvVar tmp("TMP", (dir.path() + "\\missing").c_str());
    EnvVar temp("TEMP", dir.path().c_str());
    EXPECT_EQ(dir.path() + "\\", util::GetTempFolder());
  }
  {
    EnvVar tmp("TMP", (dir.path() + "\\missing").c_str());
    EnvVar temp("TEMP", nullptr);
    const std::string folder = util::GetTempFolder();
    EXPECT_EQ(util::ProgramFolder(), folder);
    EXPECT_EQ('\\', folder.back());
  }
}

TEST(FolderAndFileExists, TellFoldersFromFiles) {
  testing_support::TempDir dir;
  const std::string file = dir.file("a.txt");
  ASSERT_TRUE(testing_support::WriteFileBytes(file, "x", 1));
  EXPECT_TRUE(util::FolderExists(dir.path()));
  EXPECT_FALSE(util::FolderExists(file));
  EXPECT_TRUE(util::FileExists(file));
  EXPECT_FALSE(util::FileExists(dir.path()));
  EXPECT_FALSE(util::FolderExists(dir.file("missing")));
}

TEST(FullPathName, ARelativeNameIsTakenFromTheCurrentFolder) {
  testing_support::TempDir dir;
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
  const std::string here = util::CurrentDirectory();
  EXPECT_EQ(util::AddBackslash(here) + "t1.dll", util::FullPathName("t1.dll"));
  EXPECT_EQ(util::AddBackslash(here) + "t1.dll", util::FullPathName("sub\\..\\t1.dll"));
  EXPECT_EQ("C:\\a\\t1.dll", util::FullPathName("C:\\a\\t1.dll"));
  EXPECT_EQ("", util::FullPathName(""));
  SetCurrentDirectoryA(previous);
}

TEST(GetUniqueFileName, LooksAtTheRealFolder) {
  testing_support::TempDir dir;
  EXPECT_EQ("a", util::GetUniqueFileName(dir.path(), "C:\\x\\a.dll", "ico"));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("a.ico"), "x", 1));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("a1.ico"), "x", 1));
  EXPECT_EQ("a2", util::GetUniqueFileName(dir.path(), "C:\\x\\a.dll", "ico"));
}

TEST(WindowsVersion, NamesTheRunningSystem) {
  const util::WinVersion v = util::CurrentWindowsVersion();
  EXPECT_EQ(util::WinPlatform::kWindowsNT, v.platform);
  EXPECT_EQ(util::WindowsVersionName(v), util::GetWindowsVersionName());
  EXPECT_TRUE(util::IsWindowsXPOrLater());
}

}  // namespace
