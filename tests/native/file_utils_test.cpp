#include "util/file_utils.h"

#include <gtest/gtest.h>

#include <set>

#include "util/mbcs.h"
#include "util/win_version.h"

namespace util {
namespace {

TEST(AddBackslash, AppendsOnlyWhenMissing) {
  EXPECT_EQ("C:\\", AddBackslash("C:\\"));
  EXPECT_EQ("C:\\a\\", AddBackslash("C:\\a"));
  EXPECT_EQ("", AddBackslash(""));
}

TEST(RemoveBackslash, DropsOnlyOneTrailingBackslash) {
  const struct {
    const char* path;
    const char* expected;
  } cases[] = {{"C:\\a\\", "C:\\a"}, {"C:\\a", "C:\\a"}, {"C:\\", "C:"}, {"a\\\\", "a\\"}, {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(c.expected, RemoveBackslash(c.path)) << c.path;
}

TEST(JoinPath, OneBackslashBetween) {
  EXPECT_EQ("C:\\a\\b.dll", JoinPath("C:\\a", "b.dll"));
  EXPECT_EQ("C:\\a\\b.dll", JoinPath("C:\\a\\", "b.dll"));
  EXPECT_EQ("C:\\b", JoinPath("C:\\", "b"));
}

// A double-byte code page in which 0x81..0x9F and 0xE0..0xFC lead, as in
// Shift-JIS; the character 0x95 0x5C ends in a byte that looks like '\'.
bool ShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

class DoubleByte : public ::testing::Test {
 protected:
  void SetUp() override { SetLeadByteTest(&ShiftJisLead); }
  void TearDown() override { SetLeadByteTest(nullptr); }
};

TEST_F(DoubleByte, TrailByteBackslashIsNotASeparator) {
  const std::string folder = "C:\\\x95\x5C";  // folder named with one double-byte character
  EXPECT_EQ(folder + "\\x.dll", JoinPath(folder, "x.dll"));
  EXPECT_EQ(folder + "\\", AddBackslash(folder));
  EXPECT_EQ(folder, RemoveBackslash(folder));
  EXPECT_EQ("\x95\x5C.dll", ExtractFileName("C:\\\x95\x5C.dll"));
  EXPECT_EQ("C:\\", ExtractFilePath("C:\\\x95\x5C.dll"));
  EXPECT_EQ(0u, LastCharIndex("\x95\x5C"));
  EXPECT_EQ(2u, LastCharIndex("\x95\x5C"
                              "a"));
}

TEST(FileNameParts, FolderNameExtension) {
  struct Case {
    const char* path;
    const char* dir;
    const char* file_dir;
    const char* name;
    const char* ext;
    const char* base;
  } cases[] = {
      {"C:\\x\\a.dll", "C:\\x\\", "C:\\x", "a.dll", ".dll", "a"},
      {"C:\\a.dll", "C:\\", "C:\\", "a.dll", ".dll", "a"},
      {"a.b.c", "", "", "a.b.c", ".c", "a.b"},
      {"C:\\d.x\\noext", "C:\\d.x\\", "C:\\d.x", "noext", "", "noext"},
      {"C:page.htm", "C:", "C:", "page.htm", ".htm", "page"},
      {".dbf", "", "", ".dbf", ".dbf", ""},
      {"\\a", "\\", "\\", "a", "", "a"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.dir, ExtractFilePath(c.path)) << c.path;
    EXPECT_EQ(c.file_dir, ExtractFileDir(c.path)) << c.path;
    EXPECT_EQ(c.name, ExtractFileName(c.path)) << c.path;
    EXPECT_EQ(c.ext, ExtractFileExt(c.path)) << c.path;
    EXPECT_EQ(c.base, BaseNameWithoutExt(c.path)) << c.path;
  }
  EXPECT_EQ("C:\\o\\page.html", ChangeFileExt("C:\\o\\page", ".html"));
  EXPECT_EQ("C:\\o\\page", ChangeFileExt("C:\\o\\page.htm", ""));
}

TEST(StringHelpers, CaseAndTrim) {
  EXPECT_EQ("ABC-Z\xe4", UpperCase("abc-z\xe4"));  // ASCII letters only
  EXPECT_EQ("abc", LowerCase("ABC"));
  EXPECT_EQ("a b", Trim(" \t a b \r\n"));
  EXPECT_EQ("", Trim("   "));
}

TEST(GetUniqueFileName, SkipsTakenNames) {
  std::set<std::string> existing = {"D:\\out\\a.ico", "D:\\out\\a1.ico"};
  auto exists = [&](const std::string& p) { return existing.count(p) > 0; };
  EXPECT_EQ("a2", GetUniqueFileName("D:\\out", "C:\\x\\a.dll", "ico", exists));
  EXPECT_EQ("a2", GetUniqueFileName("D:\\out\\", "C:\\x\\a.dll", "ico", exists));
  EXPECT_EQ("b", GetUniqueFileName("D:\\out", "C:\\x\\b.dll", "ico", exists));
  std::vector<std::string> asked;
  GetUniqueFileName("", "zuiff", "tmp", [&](const std::string& p) {
    asked.push_back(p);
    return false;
  });
  EXPECT_EQ((std::vector<std::string>{"\\zuiff.tmp"}), asked);  // empty folder: the drive's root
}

TEST(WindowsVersionName, EveryRowOfTheTable) {
  using P = WinPlatform;
  struct Case {
    WinVersion v;
    const char* name;
    bool xp_or_later;
  } cases[] = {
      {{P::kWin32s, 3, 1}, "32s", false},
      {{P::kWindows9x, 4, 0}, "95", false},
      {{P::kWindows9x, 4, 9}, "95", false},
      {{P::kWindows9x, 4, 10}, "98", false},
      {{P::kWindows9x, 4, 89}, "98", false},
      {{P::kWindows9x, 4, 90}, "Me", false},
      {{P::kWindows9x, 5, 0}, "?", false},
      {{P::kWindowsNT, 3, 51}, "NT 3.51", false},
      {{P::kWindowsNT, 3, 50}, "?", false},
      {{P::kWindowsNT, 4, 0}, "NT 4", false},
      {{P::kWindowsNT, 5, 0}, "2000", false},
      {{P::kWindowsNT, 5, 1}, "XP", true},
      {{P::kWindowsNT, 5, 2}, ".NET Server", true},
      {{P::kWindowsNT, 6, 0}, "Vista", true},
      {{P::kWindowsNT, 6, 1}, "Vista", true},
      {{P::kWindowsNT, 6, 3}, "Vista", true},
      {{P::kWindowsNT, 7, 0}, "?", true},
      {{P::kWindowsNT, 10, 0}, "?", true},
      {{P::kUnknown, 5, 1}, "?", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.name, WindowsVersionName(c.v)) << c.v.major << "." << c.v.minor;
    EXPECT_EQ(c.xp_or_later, IsXPOrLater(c.v)) << c.v.major << "." << c.v.minor;
  }
}

}  // namespace
}  // namespace util

TEST(FileUtils, FileMasksMatchAsTheFileSystemDoes) {
  const struct {
    const char* name;
    const char* mask;
    bool matches;
  } cases[] = {
      {"shell32.dll", "*.dll", true},
      {"SHELL32.DLL", "*.dll", true},
      {"a.b.dll", "*.dll", true},
      {".dll", "*.dll", true},
      {"shell32.dll2", "*.dll", false},
      {"shell32.dl", "*.dll", false},
      {"dll", "*.dll", false},
      {"x.exe", "*.dll", false},
      {"anything", "*", true},
      {"", "*", true},
      {"a", "?", true},
      {"ab", "?", false},
      {"icon7.ico", "icon?.ico", true},
      {"icon77.ico", "icon?.ico", false},
      {"abcabd", "*abd", true},
      {"mississippi", "m*ss*p?", true},
      {"mississippi", "m*ss*x", false},
      {"name", "", false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.matches, util::MatchesFileMask(c.name, c.mask)) << c.name << " " << c.mask;
}
