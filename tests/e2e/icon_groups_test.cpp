// Icon files with all sizes for real: tamsel.exe -e ... -allsizes under Wine
// over every system file with icons, checked on the Unix side against two
// independent readers of the same files (tests/e2e/icon_groups_peer.py),
// and the fallback for groups that cannot be read whole, as the message
// tells it.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "e2e/e2e_main.h"
#include "e2e/unix_dir.h"
#include "win/export_fixtures.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace {

using testing_support::FixturePath;
using testing_support::Quote;
using testing_support::ReadFileBytes;
using testing_support::UnixPath;
using Bytes = std::vector<unsigned char>;
using e2e::UnixDir;
using export_fixtures::FilesIn;
using export_fixtures::LE16;
using export_fixtures::LE32;

constexpr DWORD kTimeout = 60000;

UINT ShellIconCount(const std::string& path) {
  return static_cast<UINT>(
      reinterpret_cast<UINT_PTR>(ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), static_cast<UINT>(-1))));
}

bool RunToEnd(const std::string& arguments) {
  testing_support::Process p(e2e::TamselPath(), arguments);
  return p.started() && p.WaitForExit(kTimeout);
}

// Runs a batch that ends with the count message; returns its text.
std::wstring CountMessage(const std::string& arguments) {
  testing_support::Process p(e2e::TamselPath(), arguments);
  EXPECT_TRUE(p.started());
  HWND box = testing_support::WaitForWindow(p.id(), L"#32770", kTimeout);
  if (!box) {
    ADD_FAILURE() << "no message box for " << arguments;
    return L"";
  }
  const std::wstring text = testing_support::MessageBoxText(box);
  testing_support::PressButton(box, IDOK);
  HWND main_window = testing_support::WaitForWindow(p.id(), L"TForm1", kTimeout);
  if (main_window) PostMessageW(main_window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitForExit(kTimeout));
  return text;
}

// The files of the system folder the shell finds icons in.
std::vector<std::string> SystemFilesWithIcons() {
  const std::string folder = "C:\\windows\\system32\\";
  std::vector<std::string> files;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return files;
  do {
    std::string name = found.cFileName;
    const size_t dot = name.find_last_of('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) { return static_cast<char>(tolower(c)); });
    const bool executable = ext == ".dll" || ext == ".exe" || ext == ".ocx" || ext == ".cpl" || ext == ".drv";
    if (executable && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ShellIconCount(folder + name) > 0)
      files.push_back(folder + name);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  std::sort(files.begin(), files.end());
  return files;
}

std::string BaseName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('\\') + 1);
  return name.substr(0, name.find_last_of('.'));
}

TEST(AllSizes, GroupsMatchTheResourcesOfEverySystemFile) {
  std::vector<std::string> sources = SystemFilesWithIcons();
  ASSERT_NE(sources.end(), std::find(sources.begin(), sources.end(), "C:\\windows\\system32\\shell32.dll"));
  ASSERT_GT(sources.size(), 10u);
  // And the fixture with named groups and PNG images.
  sources.push_back(FixturePath("groups.dll"));

  UnixDir dir;
  std::string list;
  for (size_t k = 0; k < sources.size(); ++k) {
    const std::string out = "out" + std::to_string(k);
    ASSERT_TRUE(
        RunToEnd("-e " + Quote(sources[k]) + " " + Quote(dir.win(out)) + " -iconindex=0 -allsizes -closewhendone"))
        << sources[k];
    EXPECT_EQ(ShellIconCount(sources[k]), FilesIn(dir.win(out)).size()) << sources[k];
    list += UnixPath(sources[k]) + "\t" + dir.unix(out) + "\t" + BaseName(sources[k]) + "\n";
  }
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.win("list.txt"), list.data(), list.size()));

  const std::string report = testing_support::RunUnix(
      "/usr/bin/python3 " TAMSEL_SOURCE_DIR "/tests/e2e/icon_groups_peer.py " + dir.unix("list.txt"));
  const std::string last = "checked " + std::to_string(sources.size()) + " files";
  EXPECT_EQ(0u, report.find(last)) << report;
  std::printf("%s", report.c_str());

  // One icon alone writes the same file as the export of all of them.
  const std::string fixture_out = dir.win("out" + std::to_string(sources.size() - 1));
  ASSERT_TRUE(RunToEnd("-e " + Quote(sources.back()) + " " + Quote(dir.win("second.ico")) +
                       " -iconindex=2 -allsizes -closewhendone"));
  EXPECT_EQ(ReadFileBytes(fixture_out + "\\ico_groups0002.ico"), ReadFileBytes(dir.win("second.ico")));

  // As PNG, each image of a group is a file of its own, named by the icon's
  // number, the image's size and its stored depth; a stored PNG image is
  // written as it is.
  ASSERT_TRUE(RunToEnd("-e " + Quote(sources.back()) + " " + Quote(dir.win("png")) +
                       " -iconindex=0 -desttype=PNG -allsizes -closewhendone"));
  size_t images = 0;
  for (const std::string& icon_file : FilesIn(fixture_out)) {
    const Bytes ico = ReadFileBytes(fixture_out + "\\" + icon_file);
    const std::string stem = icon_file.substr(0, icon_file.size() - 4);
    for (unsigned j = 0, n = LE16(ico, 4); j < n; ++j, ++images) {
      const size_t entry = 6 + 16 * j;
      const Bytes image(ico.begin() + LE32(ico, entry + 12),
                        ico.begin() + LE32(ico, entry + 12) + LE32(ico, entry + 8));
      const bool png = image.size() > 8 && image[1] == 'P' && image[2] == 'N' && image[3] == 'G';
      const unsigned side = ico[entry] ? ico[entry] : 256;
      const unsigned bits = LE16(ico, entry + 6) ? LE16(ico, entry + 6) : 32;
      const std::string name =
          stem + "_" + std::to_string(side) + "x" + std::to_string(side) + "_" + std::to_string(bits) + ".png";
      const Bytes written = ReadFileBytes(dir.win("png\\" + name));
      ASSERT_FALSE(written.empty()) << name;
      if (png) {
        EXPECT_EQ(image, written) << name;
      }
    }
  }
  EXPECT_EQ(images, FilesIn(dir.win("png")).size());
  // One icon alone as PNG: its group's files under the target's name.
  CreateDirectoryA(dir.win("single").c_str(), nullptr);
  ASSERT_TRUE(RunToEnd("-e " + Quote(sources.back()) + " " + Quote(dir.win("single\\second.png")) +
                       " -iconindex=2 -desttype=PNG -allsizes -closewhendone"));
  size_t second = 0;
  for (const std::string& name : FilesIn(dir.win("png"))) {
    if (name.compare(0, 15, "ico_groups0002_") != 0) continue;
    ++second;
    EXPECT_EQ(ReadFileBytes(dir.win("png\\" + name)), ReadFileBytes(dir.win("single\\second" + name.substr(14))))
        << name;
  }
  EXPECT_GT(second, 1u);
  EXPECT_EQ(second, FilesIn(dir.win("single")).size());
  EXPECT_EQ("", testing_support::RunUnix("for f in " + dir.unix("png") +
                                         "/*.png; do /usr/bin/identify \"$f\" >/dev/null 2>&1 || echo BAD $f; done"));
}

TEST(AllSizes, GroupsNotReadWholeFallBackToTheSingleImage) {
  UnixDir dir;
  const std::wstring fallback_line = L"\r\n1 icon(s) 保存为单个图像: their group could not be read whole";
  // The first group names an image the file lacks: its icon is saved as the
  // shell's one image, the three others with all their images.
  const std::string missing = FixturePath("groups_damaged\\frame_missing.dll");
  EXPECT_EQ(L"Icons exported: 4" + fallback_line,
            CountMessage("-e " + Quote(missing) + " " + Quote(dir.win("missing")) + " -iconindex=0 -allsizes"));
  const std::vector<std::string> files = FilesIn(dir.win("missing"));
  ASSERT_EQ(4u, files.size());
  const std::vector<unsigned> images = {1, 3, 3, 3};
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(images[i], LE16(ReadFileBytes(dir.win("missing\\" + files[i])), 4)) << files[i];
  }
  EXPECT_EQ(L"Icons exported: 1" + fallback_line,
            CountMessage("-e " + Quote(missing) + " " + Quote(dir.win("one.ico")) + " -iconindex=1 -allsizes"));
  EXPECT_EQ(1u, LE16(ReadFileBytes(dir.win("one.ico")), 4));

  // An image outside the file or cut short keeps the whole file from the
  // shell: nothing is written and nothing falls back.
  for (const char* damaged : {"frame_past_end.dll", "png_cut.dll"}) {
    const std::string source = FixturePath(std::string("groups_damaged\\") + damaged);
    EXPECT_EQ(L"Icons exported: 0",
              CountMessage("-e " + Quote(source) + " " + Quote(dir.win(damaged)) + " -iconindex=0 -allsizes"));
  }
}

}  // namespace
