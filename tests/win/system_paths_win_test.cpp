// A library without icon groups whose icons 64-bit Windows keeps in
// SystemResources\<name>.mun, and the paths of a process that is not
// redirected (this prefix is 32-bit, as is 32-bit Windows).
#include "util/system_paths_win.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "controls/icon_set_win.h"
#include "imaging/icon_file_check_win.h"
#include "win/win_test_support.h"

namespace {

using testing_support::FixturePath;

// A file placed for one test, removed after it.
class Placed {
 public:
  Placed(const std::string& fixture, std::string path) : path_(std::move(path)) {
    placed_ = CopyFileA(FixturePath(fixture).c_str(), path_.c_str(), FALSE) != FALSE;
  }
  ~Placed() { DeleteFileA(path_.c_str()); }
  Placed(const Placed&) = delete;
  Placed& operator=(const Placed&) = delete;
  bool placed() const { return placed_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  bool placed_ = false;
};

std::string Resources(const std::string& name) {
  const std::string folder = util::WindowsFolder() + "\\SystemResources";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\" + name;
}

TEST(SystemPathsWin, PathsStayAsTheyAreWhereNothingIsRedirected) {
  EXPECT_FALSE(util::SystemFolderRedirected());
  const std::string shell32 = util::WindowsFolder() + "\\system32\\shell32.dll";
  EXPECT_EQ(shell32, util::NativePath(shell32));
  EXPECT_EQ("x.dll", util::NativePath("x.dll"));
}

TEST(SystemPathsWin, ALibraryWithoutIconGroupsTakesThoseOfItsMunFile) {
  testing_support::TempDir dir;
  Placed stub("system\\mui_stub.dll", dir.file("tamsel_unit_stub.dll"));
  Placed mun("groups.dll", Resources("tamsel_unit_stub.dll.mun"));
  Placed lone("system\\mui_stub.dll", dir.file("tamsel_unit_lone.dll"));
  Placed damaged_stub("system\\mui_stub.dll", dir.file("tamsel_unit_damaged.dll"));
  Placed damaged_mun("damaged\\" + testing_support::FixtureIndex("damaged").front(),
                     Resources("tamsel_unit_damaged.dll.mun"));
  ASSERT_TRUE(stub.placed() && mun.placed() && lone.placed() && damaged_stub.placed() && damaged_mun.placed());

  const imaging::IconFileInspection found = imaging::InspectIconFile(stub.path());
  EXPECT_TRUE(found.opened);
  EXPECT_EQ(imaging::IconFileFormat::kPe, found.check.format);
  EXPECT_EQ(4u, found.check.icon_count);
  EXPECT_EQ(mun.path(), found.source);

  for (const Placed* own : {&lone, &damaged_stub}) {
    const imaging::IconFileInspection inspection = imaging::InspectIconFile(own->path());
    EXPECT_EQ(0u, inspection.check.icon_count) << own->path();
    EXPECT_EQ(own->path(), inspection.source) << "no .mun, or one the check refuses";
  }

  // The icon source shows the .mun file's icons under the library's name.
  controls::TIconSet set;
  ASSERT_TRUE(set.LoadIcons(stub.path()));
  EXPECT_EQ(4, set.IconCount());
  EXPECT_EQ(stub.path(), set.FileName());
}

}  // namespace
