// Writers on a full volume, end to end under Wine: a small tmpfs is mounted
// on the Unix side (Wine starts Unix programs through CreateProcess), filled
// from here, and every writer must report the failure, keep the previous
// file byte for byte and leave nothing else behind. Where mounting is not
// allowed the test says so and is skipped.
#include <windows.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/export/dbase_export_win.h"
#include "gui/error.h"
#include "imaging/export_types.h"
#include "imaging/saveicons_win.h"
#include "imaging/zu_graphic_utils_win.h"
#include "util/handles_win.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace imaging {
namespace {

using testing_support::FileExists;
using testing_support::ReadFileBytes;

// Starts a Unix shell command; Wine gives no usable process handle for it,
// so callers wait for the file the command makes.
bool RunUnixShell(const std::string& command) {
  return testing_support::StartUnixProgram("Z:\\bin\\sh -c \"" + command + "\"");
}

bool WaitFor(const std::string& path, bool present) {
  for (int i = 0; i < 250; ++i) {
    if (FileExists(path) == present) return true;
    Sleep(20);
  }
  return false;
}

class FullVolume {
 public:
  FullVolume() {
    // Wine's process ids repeat across concurrent sessions: add the clock.
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    unix_dir_ = "/tmp/tamsel-full-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(static_cast<unsigned long long>(now.QuadPart));
    dir_ = testing_support::ToWindowsPath(unix_dir_);
    std::string marker = unix_dir_ + "/.mounted";
    std::string cmd = "mkdir -p " + unix_dir_ + " && mount -t tmpfs -o size=64k tmpfs " + unix_dir_ + " && touch " +
                      marker + " || touch " + unix_dir_ + ".failed";
    if (!RunUnixShell(cmd)) {
      reason_ = "Unix programs cannot be started from here";
      return;
    }
    for (int i = 0; i < 250 && !mounted_; ++i) {
      if (FileExists(file(".mounted"))) mounted_ = true;
      if (FileExists(dir_ + ".failed")) break;
      Sleep(20);
    }
    if (!mounted_) reason_ = "mounting a tmpfs was refused (mount needs root)";
  }
  ~FullVolume() {
    RunUnixShell("umount -l " + unix_dir_ + "; rm -rf " + unix_dir_ + " " + unix_dir_ + ".failed");
    WaitFor(dir_, false);
  }
  bool mounted() const { return mounted_; }
  const std::string& reason() const { return reason_; }
  std::string file(const std::string& name) const { return dir_ + "\\" + name; }

  // Writes until the volume refuses more.
  void Fill() {
    HANDLE h = CreateFileA(file("filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    std::vector<char> block(512, 'x');
    DWORD done = 0;
    while (WriteFile(h, block.data(), static_cast<DWORD>(block.size()), &done, nullptr) && done == block.size()) {
    }
    CloseHandle(h);
  }
  int CountFiles() const {
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(file("*").c_str(), &fd);
    int n = 0;
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
      std::string name = fd.cFileName;
      if (name != "." && name != "..") ++n;
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return n;
  }

 private:
  std::string unix_dir_;
  std::string dir_;
  bool mounted_ = false;
  std::string reason_;
};

TEST(FullVolume, EveryWriterKeepsThePreviousFile) {
  FullVolume volume;
  if (!volume.mounted()) GTEST_SKIP() << volume.reason();
  const std::string previous(200, 'p');
  const char* names[] = {"a.ico", "a.bmp", "a.jpg", "a.emf", "a.dbf", "a.dbt"};
  for (const char* name : names) {
    ASSERT_TRUE(testing_support::WriteFileBytes(volume.file(name), previous.data(), previous.size()));
  }
  util::UniqueIcon icon(
      ExtractIconA(GetModuleHandleA(nullptr), testing_support::FixturePath("imaging_depths.dll").c_str(), 6));
  ASSERT_TRUE(icon);
  imaging::TBitmap picture(64, 64, imaging::PixelFormat::pf32bit);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) SetPixel(picture.Canvas(), x, y, RGB(x * 4, y * 4, (x * y) & 0xFF));
  volume.Fill();

  EXPECT_EQ(kIconWriteFailed, SaveIconToFile(volume.file("a.ico"), icon.get()));
  EXPECT_EQ(ImageWriteResult::kWriteFailed, SaveBitmapToFile(picture, volume.file("a.bmp"), imaging::etBitmap));
  EXPECT_EQ(ImageWriteResult::kWriteFailed, SaveBitmapToFile(picture, volume.file("a.jpg"), imaging::etJPEG));
  EXPECT_EQ(ImageWriteResult::kWriteFailed, SaveBitmapToFile(picture, volume.file("a.emf"), imaging::etMetafile));
  // The dBase table and its memo file are kept as a pair.
  app::TExportWork work;
  work.Icon = imaging::TIcon(CopyIcon(icon.get()));
  EXPECT_THROW(
      {
        app::TDBaseExport dbase({volume.file("a.dbf"), volume.file("a.dbt")}, "ICON");
        for (int i = 0; i < 8; ++i) dbase.AddIcon(work, imaging::etIcon);
        dbase.Finish();
      },
      gui::Error);
  for (const char* name : names) {
    std::vector<unsigned char> now = ReadFileBytes(volume.file(name));
    EXPECT_EQ(previous, std::string(now.begin(), now.end())) << name;
  }
  EXPECT_EQ(8, volume.CountFiles());  // six previous files, the filler, the marker
  EXPECT_FALSE(FileExists(volume.file("new.ico")));
  EXPECT_EQ(kIconWriteFailed, SaveIconToFile(volume.file("new.ico"), icon.get()));
  EXPECT_FALSE(FileExists(volume.file("new.ico")));
}

}  // namespace
}  // namespace imaging
