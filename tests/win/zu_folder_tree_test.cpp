// The folder tree on real folders: selecting by path walks down to the
// deepest existing folder, subfolders changed on disk show in a listed
// folder, many watchers leave no thread or handle behind, and a folder
// without subfolders loses its button.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/zu_folder_tree_win.h"
#include "gui/form.h"
#include "gui/text.h"
#include "util/file_utils.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace {

class Host : public gui::TForm {
 public:
  Host() {
    CreateForm(L"TamselTreeHost", L"Tree", 0, 0, 320, 480);
    Show();
  }
};

// Handles the window thread's messages until done() holds or ms passed.
template <typename Done>
bool PumpUntil(Done done, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (done()) return true;
    if (GetTickCount() - start > ms) return false;
    Sleep(10);
  }
}

void Pump(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

// The shell names folders by their long names.
std::string LongPath(const std::string& path) {
  char buffer[MAX_PATH] = {};
  return GetLongPathNameA(path.c_str(), buffer, MAX_PATH) ? buffer : path;
}

bool SamePath(const std::string& a, const std::string& b) { return util::LowerCase(a) == util::LowerCase(b); }

HTREEITEM Next(HWND tree, HTREEITEM item, UINT how) {
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM Selected(HWND tree) { return Next(tree, nullptr, TVGN_CARET); }

std::string Text(HWND tree, HTREEITEM item) {
  wchar_t buffer[MAX_PATH] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT | TVIF_HANDLE;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = MAX_PATH;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  return gui::WideToAnsi(buffer);
}

std::vector<std::string> ChildTexts(HWND tree, HTREEITEM item) {
  std::vector<std::string> texts;
  for (HTREEITEM child = Next(tree, item, TVGN_CHILD); child; child = Next(tree, child, TVGN_NEXT))
    texts.push_back(Text(tree, child));
  return texts;
}

int ChildrenFlag(HWND tree, HTREEITEM item) {
  TVITEMW tv{};
  tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
  tv.hItem = item;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  return tv.cChildren;
}

bool Expanded(HWND tree, HTREEITEM item) {
  return (SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

// A tree on a shown host, with its roots built.
struct TreeOnHost {
  TreeOnHost() {
    tree.FolderOptions = controls::foNetworkNeighborhood;
    created = tree.Create(host.Handle(), 7, 0, 0, 300, 440);
    built = PumpUntil([&] { return Next(tree.Handle(), nullptr, TVGN_ROOT) != nullptr; }, 10000);
  }
  // Selects path and waits until the tree reports want as its path.
  bool Select(const std::string& path, const std::string& want) {
    tree.SelectPath(path);
    return PumpUntil([&] { return SamePath(tree.GetPath(), want); }, 15000);
  }
  Host host;
  controls::TzuFolderTree tree;
  bool created = false;
  bool built = false;
};

void MakeFolders(const std::string& root, const std::vector<std::string>& names) {
  for (const std::string& name : names) ASSERT_TRUE(CreateDirectoryA((root + "\\" + name).c_str(), nullptr)) << name;
}

TEST(ZuFolderTree, SelectPathWalksDownToTheDeepestExistingFolder) {
  testing_support::TempDir dir;
  const std::string root = LongPath(dir.path());
  MakeFolders(root, {"a", "a\\b", "a\\b\\c"});
  TreeOnHost fixture;
  ASSERT_TRUE(fixture.created && fixture.built);
  HWND tree = fixture.tree.Handle();
  int changes = 0;
  fixture.tree.OnChange = [&](controls::TzuFolderTree&) { ++changes; };

  ASSERT_TRUE(fixture.Select(root + "\\a\\b\\c", root + "\\a\\b\\c")) << fixture.tree.GetPath();
  EXPECT_EQ("c", Text(tree, Selected(tree)));
  EXPECT_GT(changes, 0) << "the owner hears of the selection";

  ASSERT_TRUE(fixture.Select(root + "\\a\\b\\nosuch\\deeper", root + "\\a\\b")) << fixture.tree.GetPath();
  EXPECT_EQ("b", Text(tree, Selected(tree)));

  ASSERT_TRUE(fixture.Select("C:", ""));
  EXPECT_EQ(nullptr, Selected(tree)) << "a two-character path clears the selection";

  // The computer is the desktop's first child and has no path.
  LPITEMIDLIST drives = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)));
  SHFILEINFOA info{};
  SHGetFileInfoA(reinterpret_cast<LPCSTR>(drives), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME);
  CoTaskMemFree(drives);
  HTREEITEM computer = Next(tree, Next(tree, nullptr, TVGN_ROOT), TVGN_CHILD);
  ASSERT_EQ(std::string(info.szDisplayName), Text(tree, computer));
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(computer));
  EXPECT_EQ(computer, Selected(tree));
  EXPECT_EQ("", fixture.tree.GetPath());
}

TEST(ZuFolderTree, SubfoldersChangedOnDiskShowInAListedFolder) {
  testing_support::TempDir dir;
  const std::string watched = LongPath(dir.path()) + "\\watched";
  MakeFolders(LongPath(dir.path()), {"watched", "watched\\one", "watched\\one\\inner"});
  TreeOnHost fixture;
  ASSERT_TRUE(fixture.created && fixture.built);
  HWND tree = fixture.tree.Handle();
  ASSERT_TRUE(fixture.Select(watched + "\\one", watched + "\\one"));
  HTREEITEM node = Next(tree, Selected(tree), TVGN_PARENT);
  ASSERT_TRUE(Expanded(tree, node));
  int changes = 0;
  fixture.tree.OnChange = [&](controls::TzuFolderTree&) { ++changes; };
  Pump(200);  // the watcher settles in

  ASSERT_TRUE(testing_support::WriteFileBytes(watched + "\\plain.txt", "x", 1));
  Pump(500);
  EXPECT_EQ(0, changes) << "a plain file rebuilds nothing (a rebuild would move the selection)";

  using Names = std::vector<std::string>;
  const HTREEITEM selected = Selected(tree);
  ASSERT_TRUE(CreateDirectoryA((watched + "\\two").c_str(), nullptr));
  EXPECT_TRUE(PumpUntil([&] { return ChildTexts(tree, node) == Names{"one", "two"}; }, 3000)) << "created";
  ASSERT_TRUE(MoveFileA((watched + "\\two").c_str(), (watched + "\\three").c_str()));
  EXPECT_TRUE(PumpUntil([&] { return ChildTexts(tree, node) == Names{"one", "three"}; }, 3000)) << "renamed";
  ASSERT_TRUE(RemoveDirectoryA((watched + "\\three").c_str()));
  EXPECT_TRUE(PumpUntil([&] { return ChildTexts(tree, node) == Names{"one"}; }, 3000)) << "removed";
  EXPECT_TRUE(Expanded(tree, node)) << "an open folder stays open through its rebuilds";
  EXPECT_EQ(selected, Selected(tree)) << "the folder still there keeps its node, selected as before";
  EXPECT_EQ(0, changes) << "so the owner hears of no change";

  // A burst of three hundred new folders, made at once on the Unix side,
  // is rebuilt once it has settled, keeping the nodes there were.
  ASSERT_EQ("done\n", testing_support::RunUnix("cd '" + testing_support::UnixPath(watched) +
                                               "' && mkdir burst$(seq -s ' burst' 1 300) && echo done"));
  EXPECT_TRUE(PumpUntil([&] { return ChildTexts(tree, node).size() == 301; }, 15000)) << "the burst";
  EXPECT_EQ(selected, Selected(tree));
  testing_support::RunUnix("cd '" + testing_support::UnixPath(watched) + "' && rmdir burst*");
  EXPECT_TRUE(PumpUntil([&] { return ChildTexts(tree, node) == Names{"one"}; }, 15000)) << "the burst gone";

  // A folder that is itself watched goes too once it is removed.
  HTREEITEM one = Next(tree, node, TVGN_CHILD);
  SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(one));
  ASSERT_EQ(Names{"inner"}, ChildTexts(tree, one));
  ASSERT_TRUE(RemoveDirectoryA((watched + "\\one\\inner").c_str()));
  ASSERT_TRUE(RemoveDirectoryA((watched + "\\one").c_str()));
  EXPECT_TRUE(PumpUntil([&] { return ChildTexts(tree, node).empty(); }, 3000)) << "a watched folder removed";
}

// The process's threads and handles, as the system counts them.
int ThreadCount() {
  util::UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  return count;
}

DWORD HandleCount() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
}

TEST(ZuFolderTree, TwoHundredWatchersLeaveNoThreadOrHandle) {
  testing_support::TempDir dir;
  const std::string big = LongPath(dir.path()) + "\\big";
  MakeFolders(LongPath(dir.path()), {"big"});
  std::vector<std::string> names;
  for (int i = 0; i < 200; ++i) {
    const std::string name = "d" + std::to_string(1000 + i);
    names.push_back(name);
    MakeFolders(big, {name, name + "\\sub"});
  }
  { TreeOnHost warm_up; }  // the shell's caches are filled once, not counted
  const int threads_before = ThreadCount();
  const DWORD handles_before = HandleCount();
  {
    TreeOnHost fixture;
    ASSERT_TRUE(fixture.created && fixture.built);
    HWND tree = fixture.tree.Handle();
    ASSERT_TRUE(fixture.Select(big, big));
    HTREEITEM node = Selected(tree);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
    ASSERT_EQ(200u, ChildTexts(tree, node).size());
    const size_t watchers_listed = fixture.tree.WatcherCount();
    const int threads_listed = ThreadCount();
    auto expand_children = [&] {
      for (HTREEITEM child = Next(tree, node, TVGN_CHILD); child; child = Next(tree, child, TVGN_NEXT))
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(child));
      EXPECT_EQ(watchers_listed + 200, fixture.tree.WatcherCount());
      EXPECT_GE(ThreadCount(), threads_listed + 200);
    };
    expand_children();

    // The 200 folders removed on disk (and a new one made) take their
    // nodes at once, and with them their watchers.
    const std::string unix_big = testing_support::UnixPath(big);
    ASSERT_EQ("done\n", testing_support::RunUnix("cd '" + unix_big + "' && mkdir new && rm -rf d1* && echo done"));
    EXPECT_TRUE(PumpUntil(
        [&] {
          return ChildTexts(tree, node) == std::vector<std::string>{"new"} &&
                 fixture.tree.WatcherCount() == watchers_listed;
        },
        10000))
        << ChildTexts(tree, node).size() << " nodes, " << fixture.tree.WatcherCount() << " watchers";
    EXPECT_TRUE(PumpUntil([&] { return ThreadCount() == threads_listed; }, 5000)) << ThreadCount() << " threads";

    // Made again, they come back; the tree goes with 200 watchers running.
    ASSERT_EQ("done\n",
              testing_support::RunUnix("cd '" + unix_big +
                                       "' && for i in $(seq 1000 1199); do mkdir -p d$i/sub; done && echo done"));
    EXPECT_TRUE(PumpUntil([&] { return ChildTexts(tree, node).size() == 201; }, 10000));
    expand_children();
  }
  EXPECT_TRUE(PumpUntil([&] { return ThreadCount() == threads_before; }, 5000))
      << ThreadCount() << " threads, " << threads_before << " before";
  EXPECT_TRUE(PumpUntil([&] { return HandleCount() == handles_before; }, 5000))
      << HandleCount() << " handles, " << handles_before << " before";
}

TEST(ZuFolderTree, AFolderWithoutSubfoldersLosesItsButton) {
  testing_support::TempDir dir;
  const std::string leaf = LongPath(dir.path()) + "\\leaf";
  MakeFolders(LongPath(dir.path()), {"leaf"});
  TreeOnHost fixture;
  ASSERT_TRUE(fixture.created && fixture.built);
  HWND tree = fixture.tree.Handle();
  ASSERT_TRUE(fixture.Select(leaf, leaf));
  HTREEITEM node = Selected(tree);
  ASSERT_EQ(1, ChildrenFlag(tree, node)) << "the shell first claims subfolders";
  SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
  EXPECT_EQ(0, ChildrenFlag(tree, node));
  EXPECT_FALSE(Expanded(tree, node));

  // A change of the system's colours lists such folders again.
  ASSERT_TRUE(CreateDirectoryA((leaf + "\\grown").c_str(), nullptr));
  SendMessageW(tree, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(1, ChildrenFlag(tree, node));
  EXPECT_EQ(std::vector<std::string>{"grown"}, ChildTexts(tree, node));
}

TEST(ZuFolderTree, AMediumChangeEmptiesItsDrive) {
  testing_support::TempDir dir;
  const std::string root = LongPath(dir.path());
  TreeOnHost fixture;
  ASSERT_TRUE(fixture.created && fixture.built);
  HWND tree = fixture.tree.Handle();
  ASSERT_TRUE(fixture.Select(root, root));
  // The drive: the ancestor right under the computer, the desktop's first child.
  HTREEITEM computer = Next(tree, Next(tree, nullptr, TVGN_ROOT), TVGN_CHILD);
  HTREEITEM drive = Selected(tree);
  while (drive && Next(tree, drive, TVGN_PARENT) != computer) drive = Next(tree, drive, TVGN_PARENT);
  ASSERT_NE(nullptr, drive);
  ASSERT_TRUE(Expanded(tree, drive));
  int changes = 0;
  fixture.tree.OnChange = [&](controls::TzuFolderTree&) { ++changes; };

  // The broadcast that a medium arrived in the temporary folder's drive.
  HWND utility = FindWindowW(L"TamselFolderTreeUtility", nullptr);
  ASSERT_NE(nullptr, utility);
  DEV_BROADCAST_VOLUME volume{};
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  volume.dbcv_unitmask = 1u << (util::UpperCase(root.substr(0, 1))[0] - 'A');
  volume.dbcv_flags = DBTF_MEDIA;
  SendMessageW(utility, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume));
  EXPECT_FALSE(Expanded(tree, drive));
  EXPECT_TRUE(ChildTexts(tree, drive).empty());
  EXPECT_EQ(1, ChildrenFlag(tree, drive));
  EXPECT_EQ(drive, Selected(tree)) << "the selection left the emptied drive's folders";
  EXPECT_EQ(1, changes);
}

}  // namespace
