// The 32-bit program in a 64-bit prefix, as on 64-bit Windows: a library
// that only the real System32 holds opens, exports and is found by its
// System32 path; a library whose icons live in SystemResources\<name>.mun
// shows, counts and exports the .mun file's icons; and tamsel64.exe writes
// the same bytes. Skipped where this process is not redirected (the 32-bit
// prefix).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/e2e_main.h"
#include "e2e/running_tamsel.h"
#include "e2e/search_pane.h"
#include "win/export_fixtures.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace {

using export_fixtures::FilesIn;
using testing_support::FixturePath;
using testing_support::Quote;
using testing_support::ReadFileBytes;
using Bytes = std::vector<unsigned char>;

constexpr DWORD kBatchTimeout = 60000;

std::string WindowsFolder() {
  char folder[MAX_PATH] = {};
  GetWindowsDirectoryA(folder, MAX_PATH);
  return folder;
}

bool Redirected() {
  BOOL wow64 = FALSE;
  const DWORD attributes = GetFileAttributesA((WindowsFolder() + "\\Sysnative").c_str());
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64 && attributes != INVALID_FILE_ATTRIBUTES;
}

// A fixture copied into a system folder for one test.
class PlacedFile {
 public:
  PlacedFile(const std::string& fixture, const std::string& path) : path_(path) {
    placed_ = CopyFileA(FixturePath(fixture).c_str(), path.c_str(), FALSE) != FALSE;
  }
  ~PlacedFile() { DeleteFileA(path_.c_str()); }
  PlacedFile(const PlacedFile&) = delete;
  PlacedFile& operator=(const PlacedFile&) = delete;
  bool placed() const { return placed_; }

 private:
  std::string path_;
  bool placed_ = false;
};

// The programs under test: tamsel.exe and, when given, tamsel64.exe.
std::vector<std::string> Programs() {
  std::vector<std::string> programs{e2e::TamselPath()};
  if (!e2e::Tamsel64Path().empty()) programs.push_back(e2e::Tamsel64Path());
  return programs;
}

void RunBatch(const std::string& program, const std::string& arguments) {
  testing_support::Process p(program, arguments + " -closewhendone");
  ASSERT_TRUE(p.started()) << program;
  EXPECT_TRUE(p.WaitForExit(kBatchTimeout)) << program << " " << arguments << " did not close";
}

// The contents of a folder's files in the order of their names, which
// differ between two sources only in the source's name.
std::vector<Bytes> Contents(const std::string& folder) {
  std::vector<Bytes> contents;
  for (const std::string& name : FilesIn(folder)) contents.push_back(ReadFileBytes(folder + "\\" + name));
  return contents;
}

// Every file below a folder, its subfolders' included, in name order.
std::vector<Bytes> TreeContents(const std::string& folder) {
  std::vector<Bytes> contents;
  for (const std::string& name : FilesIn(folder)) {
    const std::string path = folder + "\\" + name;
    if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
      for (Bytes& inner : TreeContents(path)) contents.push_back(std::move(inner));
    } else {
      contents.push_back(ReadFileBytes(path));
    }
  }
  return contents;
}

class SystemFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Redirected()) GTEST_SKIP() << "this process sees System32 itself (no 64-bit prefix)";
    system32_ = WindowsFolder() + "\\system32\\";
    sysnative_ = WindowsFolder() + "\\Sysnative\\";
    CreateDirectoryA((WindowsFolder() + "\\SystemResources").c_str(), nullptr);
  }
  std::string system32_;
  std::string sysnative_;
};

TEST_F(SystemFolders, ALibraryOnlyInTheRealSystem32ExportsByItsPathFromBothPrograms) {
  PlacedFile only("export_8.dll", sysnative_ + "tamsel_only64.dll");
  ASSERT_TRUE(only.placed());
  ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((system32_ + "tamsel_only64.dll").c_str()))
      << "the 32-bit test itself is redirected away from it";

  testing_support::TempDir dir;
  RunBatch(e2e::TamselPath(),
           "-e " + Quote(FixturePath("export_8.dll")) + " " + Quote(dir.file("direct")) + " -iconindex=0");
  const std::vector<Bytes> expected = Contents(dir.file("direct"));
  ASSERT_EQ(8u, expected.size());
  for (const std::string& program : Programs()) {
    const std::string out = dir.file(program == e2e::TamselPath() ? "by32" : "by64");
    RunBatch(program, "-e " + Quote(system32_ + "tamsel_only64.dll") + " " + Quote(out) + " -iconindex=0");
    EXPECT_EQ(expected, Contents(out)) << program;
    EXPECT_EQ("ico_tamsel_only640001.ico", FilesIn(out).front()) << "named after the path given";
  }
}

// Every batch export of the system's shell library and of a fixture writes
// the same bytes from tamsel.exe and tamsel64.exe.
TEST_F(SystemFolders, BothProgramsWriteTheSameBytes) {
  if (e2e::Tamsel64Path().empty()) GTEST_SKIP() << "no tamsel64.exe given";
  const std::vector<std::string> sources{system32_ + "shell32.dll", FixturePath("groups.dll")};
  const std::vector<std::pair<std::string, std::string>> exports{
      {"ico", "-iconindex=0"},
      {"allsizes", "-iconindex=0 -allsizes"},
      {"bmp", "-iconindex=0 -desttype=bmp"},
      {"jpg", "-iconindex=0 -desttype=jpg -grayscale"},
      {"emf", "-iconindex=0 -desttype=emf"},
      {"png", "-iconindex=0 -desttype=png"},
      {"pngsizes", "-iconindex=0 -desttype=png -allsizes"},
      {"all.bmp", "-alliconsasoneimage"},
      {"page.html", "-desttype=html -includenumbers -drawborders"},
      {"table.dbf", "-desttype=dbf -dbasedesttype=png"},
  };
  testing_support::TempDir dir;
  for (size_t s = 0; s < sources.size(); ++s) {
    for (const auto& [target, options] : exports) {
      std::vector<std::vector<Bytes>> written;
      for (const char* side : {"32", "64"}) {
        const std::string folder = dir.file(std::to_string(s) + "_" + side);
        CreateDirectoryA(folder.c_str(), nullptr);
        const std::string program = side == std::string("32") ? e2e::TamselPath() : e2e::Tamsel64Path();
        RunBatch(program, "-e " + Quote(sources[s]) + " " + Quote(folder + "\\" + target) + " " + options);
        written.push_back(TreeContents(folder));
        testing_support::RunUnix("rm -rf '" + testing_support::UnixPath(folder) + "'");
      }
      EXPECT_FALSE(written[0].empty()) << sources[s] << " " << options;
      EXPECT_EQ(written[0], written[1]) << sources[s] << " " << options;
    }
  }
}

TEST_F(SystemFolders, ALibraryWithoutIconGroupsExportsTheIconsOfItsMunFile) {
  const std::string mun = WindowsFolder() + "\\SystemResources\\tamsel_mui_stub.dll.mun";
  PlacedFile stub("system\\mui_stub.dll", sysnative_ + "tamsel_mui_stub.dll");
  PlacedFile resources("groups.dll", mun);
  ASSERT_TRUE(stub.placed() && resources.placed());
  const std::string stub_path = system32_ + "tamsel_mui_stub.dll";

  // Every kind of file per icon, the composite picture and both documents:
  // the stub's export is the .mun file's, apart from the names.
  const std::vector<std::string> exports{"-iconindex=0 -allsizes", "-iconindex=0 -desttype=bmp",
                                         "-iconindex=0 -desttype=jpg", "-iconindex=0 -desttype=png",
                                         "-iconindex=0 -desttype=png -allsizes"};
  // Each source's files go to a folder of their own under the same names,
  // so that only the names taken from the source differ.
  testing_support::TempDir dir;
  for (const std::string& program : Programs()) {
    const std::string tag = program == e2e::TamselPath() ? "32" : "64";
    const auto run = [&](const std::string& source, const std::string& target, const std::string& options) {
      const std::string folder = dir.file((source == mun ? "mun" : "stub") + tag);
      CreateDirectoryA(folder.c_str(), nullptr);
      RunBatch(program, "-e " + Quote(source) + " " + Quote(folder + "\\" + target) + " " + options);
      return folder + "\\" + target;
    };
    for (size_t k = 0; k < exports.size(); ++k) {
      const std::string name = "export" + std::to_string(k);
      const std::vector<Bytes> expected = Contents(run(mun, name, exports[k]));
      EXPECT_FALSE(expected.empty()) << exports[k];
      EXPECT_EQ(expected, Contents(run(stub_path, name, exports[k]))) << program << " " << exports[k];
    }
    EXPECT_EQ(ReadFileBytes(run(mun, "all.bmp", "-alliconsasoneimage")),
              ReadFileBytes(run(stub_path, "all.bmp", "-alliconsasoneimage")));
    EXPECT_EQ(Contents(run(mun, "page.html", "-desttype=html") + "_files"),
              Contents(run(stub_path, "page.html", "-desttype=html") + "_files"));
    const std::string memo_of_mun = run(mun, "table.dbf", "-desttype=dbf");
    const std::string memo_of_stub = run(stub_path, "table.dbf", "-desttype=dbf");
    const Bytes memo = ReadFileBytes(memo_of_stub.substr(0, memo_of_stub.size() - 4) + ".dbt");
    EXPECT_FALSE(memo.empty());
    EXPECT_EQ(ReadFileBytes(memo_of_mun.substr(0, memo_of_mun.size() - 4) + ".dbt"), memo);
  }

  // The whole groups, as an independent reader of the .mun file reads them.
  const std::string list = testing_support::UnixPath(mun) + "\t" +
                           testing_support::UnixPath(dir.file("stub32\\export0")) + "\ttamsel_mui_stub\n";
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("list.txt"), list.data(), list.size()));
  const std::string report =
      testing_support::RunUnix("/usr/bin/python3 " TAMSEL_SOURCE_DIR "/tests/e2e/icon_groups_peer.py " +
                               testing_support::UnixPath(dir.file("list.txt")));
  EXPECT_EQ(0u, report.find("checked 1 files")) << report;
}

// The window: the stub shows the .mun file's icons under its own name, and
// the scan of System32 lists the real folder's files, the stub with the
// .mun file's count.
TEST_F(SystemFolders, TheWindowShowsAndScansTheRealSystem32) {
  PlacedFile only("export_2.dll", sysnative_ + "tamsel_only64.dll");
  PlacedFile stub("system\\mui_stub.dll", sysnative_ + "tamsel_mui_stub.dll");
  PlacedFile resources("groups.dll", WindowsFolder() + "\\SystemResources\\tamsel_mui_stub.dll.mun");
  ASSERT_TRUE(only.placed() && stub.placed() && resources.placed());
  ASSERT_TRUE(CreateDirectoryA((sysnative_ + "tamsel_dir64").c_str(), nullptr) ||
              GetLastError() == ERROR_ALREADY_EXISTS);
  struct RemoveAtEnd {
    std::string folder;
    ~RemoveAtEnd() { RemoveDirectoryA(folder.c_str()); }
  } remove_at_end{sysnative_ + "tamsel_dir64"};
  const UINT mun_icons = static_cast<UINT>(reinterpret_cast<UINT_PTR>(
      ExtractIconA(GetModuleHandleA(nullptr), FixturePath("groups.dll").c_str(), static_cast<UINT>(-1))));
  ASSERT_GT(mun_icons, 2u) << "more icons than the other library, so that the minimum tells them apart";

  {
    e2e::Running tamsel(system32_ + "tamsel_only64.dll");
    ASSERT_NE(nullptr, tamsel.window());
    EXPECT_EQ(L"1 : 2", tamsel.Status(1));
    e2e::Pane pane(tamsel.window());
    ASSERT_NE(nullptr, pane.search_button);
    ASSERT_TRUE(pane.Open(tamsel));
    tamsel.Click(pane.search_bar(), 173, 20);  // the open file's folder
    const auto listed = [&](const std::string& name) {
      for (const std::string& item : e2e::ListItems(pane.file_box))
        if (lstrcmpiA(item.c_str(), name.c_str()) == 0) return true;
      return false;
    };
    EXPECT_TRUE(e2e::WaitUntil([&] { return listed("tamsel_only64.dll") && listed("tamsel_mui_stub.dll"); }, 60000))
        << ::testing::PrintToString(e2e::ListItems(pane.file_box));

    // The tree shows the real folder's subfolders under System32.
    const std::vector<HWND> trees = testing_support::ChildWindows(tamsel.window(), L"SysTreeView32");
    ASSERT_FALSE(trees.empty());
    const HTREEITEM selected = reinterpret_cast<HTREEITEM>(SendMessageW(trees.front(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_EQ(0, lstrcmpiW(L"system32", testing_support::TreeItemText(trees.front(), selected).c_str()))
        << testing_support::TreeSelectionText(trees.front()).c_str();
    SendMessageW(trees.front(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(selected));
    std::vector<std::wstring> children;
    for (auto child = reinterpret_cast<HTREEITEM>(
             SendMessageW(trees.front(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(selected)));
         child; child = reinterpret_cast<HTREEITEM>(
                    SendMessageW(trees.front(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child))))
      children.push_back(testing_support::TreeItemText(trees.front(), child));
    EXPECT_NE(children.end(), std::find(children.begin(), children.end(), L"tamsel_dir64"))
        << children.size() << " subfolders";

    // A minimum of the .mun file's count keeps the stub and drops the other.
    tamsel.Click(pane.minimum, 5, 5);
    // The count typed over the selected minimum: one change, one scan (keys
    // that come while a scan runs are not taken, the window being disabled).
    ASSERT_LT(mun_icons, 10u);
    tamsel.Keys("End shift+Home " + std::to_string(mun_icons));
    EXPECT_EQ(std::to_wstring(mun_icons), e2e::EditText(pane.minimum));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !listed("tamsel_only64.dll") && listed("tamsel_mui_stub.dll"); }, 60000))
        << ::testing::PrintToString(e2e::ListItems(pane.file_box));
  }

  // Started after the window that took input, which keeps its clicks.
  e2e::Running tamsel(system32_ + "tamsel_mui_stub.dll");
  ASSERT_NE(nullptr, tamsel.window());
  EXPECT_EQ(L"1 : " + std::to_wstring(mun_icons), tamsel.Status(1));
}

}  // namespace
