#include "util/system_paths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SystemPaths, System32AndEverythingInItGoThroughSysnativeAndBack) {
  struct Case {
    const char* path;
    const char* native;  // nullptr: unchanged
  };
  const Case cases[] = {
      {"C:\\Windows\\System32\\shell32.dll", "C:\\Windows\\Sysnative\\shell32.dll"},
      {"c:\\WINDOWS\\system32\\drivers\\etc", "C:\\Windows\\Sysnative\\drivers\\etc"},
      {"C:\\Windows\\System32", "C:\\Windows\\Sysnative"},
      {"C:\\Windows\\System32\\", "C:\\Windows\\Sysnative\\"},
      {"\\\\?\\C:\\Windows\\System32\\x.dll", "\\\\?\\C:\\Windows\\Sysnative\\x.dll"},
      {"C:\\Windows\\System32x\\a.dll", nullptr},
      {"C:\\Windows\\SysWOW64\\shell32.dll", nullptr},
      {"C:\\Windows\\shell32.dll", nullptr},
      {"D:\\Windows\\System32\\shell32.dll", nullptr},
      {"C:\\Windows\\Sysnative\\x.dll", nullptr},
      {"System32\\x.dll", nullptr},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    const std::string native = util::SystemToSysnative(c.path, "C:\\Windows");
    EXPECT_EQ(c.native ? c.native : c.path, native) << c.path;
  }
  EXPECT_EQ("C:\\Windows\\System32\\x.dll", util::SysnativeToSystem("c:\\windows\\SYSNATIVE\\x.dll", "C:\\Windows"));
  EXPECT_EQ("C:\\Windows\\SysWOW64", util::SysnativeToSystem("C:\\Windows\\SysWOW64", "C:\\Windows"));
  EXPECT_EQ("C:\\Windows\\System32\\x", util::SystemToSysnative("C:\\Windows\\System32\\x", ""))
      << "no Windows folder, no change";
}

TEST(SystemPaths, TheMunFileIsNamedAfterTheWholeFileName) {
  EXPECT_EQ("C:\\Windows\\SystemResources\\shell32.dll.mun",
            util::MunFilePath("C:\\Windows\\System32\\shell32.dll", "C:\\Windows"));
  EXPECT_EQ("C:\\Windows\\SystemResources\\imageres.dll.mun", util::MunFilePath("imageres.dll", "C:\\Windows\\"));
  EXPECT_EQ("", util::MunFilePath("C:\\Windows\\System32\\", "C:\\Windows"));
  EXPECT_EQ("", util::MunFilePath("x.dll", ""));
}

}  // namespace
