// The export folder: names compared as Windows compares them whatever path
// a new file takes, and a replacement that fails keeps the old file and
// leaves nothing behind.
#include "app/export/export_file_win.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/export_fixtures.h"
#include "win/win_test_support.h"

namespace app {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;
using Bytes = std::vector<unsigned char>;

TEST(ExportFolder, NamesMatchInAnyCaseAndReplacementsLeaveNothingBehind) {
  TempDir dir;
  const Bytes old_bytes = {'o', 'l', 'd'};
  const Bytes new_bytes = {'n', 'e', 'w', '!'};
  ASSERT_TRUE(WriteFileBytes(dir.file("ICO_X0001.ICO"), old_bytes.data(), old_bytes.size()));
  ASSERT_TRUE(WriteFileBytes(dir.file("locked.ico"), old_bytes.data(), old_bytes.size()));
  ASSERT_TRUE(SetFileAttributesA(dir.file("locked.ico").c_str(), FILE_ATTRIBUTE_READONLY));
  {
    TExportFolder folder(dir.path());
    EXPECT_TRUE(folder.Exists(dir.file("ico_x0001.ico")));
    EXPECT_FALSE(folder.Exists(dir.file("ico_x0002.ico")));

    // The same name in another case replaces the file; it never makes a second one.
    EXPECT_EQ(util::FileWriteResult::kOk, folder.Write(dir.file("ico_x0001.ico"), new_bytes));
    // A new name is written and known from then on.
    EXPECT_EQ(util::FileWriteResult::kOk, folder.Write(dir.file("ico_x0002.ico"), new_bytes));
    EXPECT_TRUE(folder.Exists(dir.file("ICO_X0002.ICO")));
    // A read-only file is not replaced.
    EXPECT_EQ(util::FileWriteResult::kReplaceFailed, folder.Write(dir.file("locked.ico"), new_bytes));
  }
  const std::vector<std::string> names = export_fixtures::FilesIn(dir.path());
  ASSERT_EQ(3u, names.size()) << "a duplicate, or the work folder, was left";
  EXPECT_EQ(new_bytes, ReadFileBytes(dir.file("ico_x0001.ico")));
  EXPECT_EQ(new_bytes, ReadFileBytes(dir.file("ico_x0002.ico")));
  EXPECT_EQ(old_bytes, ReadFileBytes(dir.file("locked.ico")));
  SetFileAttributesA(dir.file("locked.ico").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace app
