// The search pane's folder scan in tamsel.exe's own window, over trees of
// 2,000 and 20,000 libraries that every one hold an icon (written from the
// Linux side by make_scan_tree.py and kept between runs), against a bare
// walk of the same tree in this process: FindFirstFileA recursion and
// ExtractIconExA(path, -1) per .dll, .exe and .ocx file. Alternately,
// medians, microseconds per file.
//
// tamsel.exe is started on the file at the top of the tree, its search pane
// opened (the pane's command) and the open file's folder found in it (a
// click on the find-folder button), as a user does. A timed scan is the
// click that ticks "Include subfolders" (BM_CLICK, which returns once the
// click's scan has ended), until the window is completely painted (see
// Program::WaitUntilPainted); before it, untimed, the box is unticked,
// which rescans the top folder alone. Every scan must list every file of
// the tree, and the bare walk must count them all too.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "bench_support.h"
#include "util/handles_win.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace {

bool HasIconExtension(const char* name) {
  const char* dot = std::strrchr(name, '.');
  return dot && (lstrcmpiA(dot, ".dll") == 0 || lstrcmpiA(dot, ".exe") == 0 || lstrcmpiA(dot, ".ocx") == 0);
}

// The baseline: the files with at least one icon below folder.
int BareWalk(const std::string& folder) {
  int found = 0;
  WIN32_FIND_DATAA data;
  util::UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &data));
  if (!find) return 0;
  do {
    const std::string path = folder + "\\" + data.cFileName;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (data.cFileName[0] != '.' && !(data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        found += BareWalk(path);
    } else if (HasIconExtension(data.cFileName) && ExtractIconExA(path.c_str(), -1, nullptr, nullptr, 0) > 0) {
      ++found;
    }
  } while (FindNextFileA(find.get(), &data));
  return found;
}

int ListCount(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }

// tamsel.exe on a tree, its search pane open on the tree's top folder.
class ScanningTamsel {
 public:
  explicit ScanningTamsel(const std::string& tree) : program_(bench::TamselExe(), "\"" + tree + "\\first.dll\"") {
    program_.WaitUntilPainted(60000);
    main_ = program_.Window(L"TForm1");
    if (!main_) return;
    bench::Program::Send(main_, WM_COMMAND, app::cmSearchPane, 0);
    program_.WaitUntilQuiet(300);
    for (HWND button : testing_support::ChildWindows(main_, L"Button")) {
      const std::wstring text = testing_support::WindowText(button);
      if (text == L"Include subfolders") subfolders_ = button;
      if (text.rfind(L"\x67E5\x627E", 0) == 0) search_bar_ = GetParent(button);  // the pane's button, "查找..."
    }
    const std::vector<HWND> lists = testing_support::ChildWindows(main_, L"ListBox");
    list_ = lists.empty() ? nullptr : lists.front();
    if (!subfolders_ || !search_bar_ || !list_) return;
    // The find-folder button, window-less, on the search bar left of the
    // pane's button: its click selects the open file's folder, which scans it.
    PostMessageW(search_bar_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(173, 20));
    PostMessageW(search_bar_, WM_LBUTTONUP, 0, MAKELPARAM(173, 20));
    for (int i = 0; i < 600 && ListCount(list_) < 1; ++i) Sleep(100);
    program_.WaitUntilQuiet(300);
    ready_ = ListCount(list_) >= 1;
  }

  bool ready() const { return ready_; }

  // One scan of the whole tree: seconds to the painted window, and the
  // files listed in *listed; 0 on failure. The scan runs inside the click,
  // whose answer comes once it has ended; were it to run on after the
  // answer, the end is the first complete paint with every file listed and
  // the window enabled again (or nothing more listed for five seconds).
  double TimedScan(int files, int* listed) {
    if (SendMessageW(subfolders_, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      bench::Program::Send(subfolders_, BM_CLICK, 0, 0);
      program_.WaitUntilQuiet(200);
    }
    const double start = bench::Now();
    if (!bench::Program::Send(subfolders_, BM_CLICK, 0, 0)) return 0;
    double painted = 0, last_change = start;
    *listed = -1;
    for (;;) {
      painted = program_.WaitUntilPainted(600000);
      const int count = ListCount(list_);
      if (count != *listed) last_change = bench::Now();
      *listed = count;
      if (painted <= 0 || (count == files && IsWindowEnabled(main_)) || bench::Now() - last_change > 5) break;
      Sleep(1);
    }
    const bool ticked = SendMessageW(subfolders_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    program_.WaitUntilQuiet(200);
    return painted > 0 && ticked && IsWindowEnabled(main_) ? painted - start : 0;
  }

 private:
  bench::Program program_;
  HWND main_ = nullptr, subfolders_ = nullptr, search_bar_ = nullptr, list_ = nullptr;
  bool ready_ = false;
};

struct SizeResult {
  const char* failure = nullptr;
  double tamsel_us = 0, bare_us = 0;  // per file, medians
};

SizeResult Measure(int files, int rounds) {
  SizeResult result;
  const std::string unix_tree = std::string(TAMSEL_SCAN_TREES) + "/files_" + std::to_string(files);
  const std::string made =
      testing_support::RunUnix("python3 " TAMSEL_BENCH_SCRIPTS "/make_scan_tree.py " + unix_tree + " " +
                                   std::to_string(files) + " " TAMSEL_BENCH_DATA "/one_icon.dll",
                               900);
  if (made.rfind("kept", 0) != 0 && made.rfind("wrote", 0) != 0) {
    std::printf("  cannot write the tree %s: %s\n", unix_tree.c_str(), made.c_str());
    result.failure = "the tree could not be written";
    return result;
  }
  const std::string tree = testing_support::ToWindowsPath(unix_tree);
  bench::ResetTamselSettings();
  ScanningTamsel tamsel(tree);
  if (!tamsel.ready()) {
    result.failure = "tamsel.exe's search pane did not scan the tree";
    return result;
  }
  std::vector<double> ours, theirs;
  // Round 0 warms both up (the tree into the system's caches) and is not counted.
  for (int round = 0; round <= rounds; ++round) {
    for (int side = 0; side < 2; ++side) {
      const bool tamsel_side = (round + side) % 2 == 0;
      int listed = 0;
      double seconds = 0;
      if (tamsel_side) {
        seconds = tamsel.TimedScan(files, &listed);
      } else {
        const double start = bench::Now();
        listed = BareWalk(tree);
        seconds = bench::Now() - start;
      }
      if (listed != files || seconds <= 0) {
        std::printf("  %s found %d of the %d files\n", tamsel_side ? "tamsel.exe's scan" : "the bare walk", listed,
                    files);
        result.failure = tamsel_side ? "tamsel.exe's scan did not list every file" : "the bare walk missed files";
        return result;
      }
      if (round > 0) (tamsel_side ? ours : theirs).push_back(seconds * 1e6 / files);
    }
  }
  result.tamsel_us = bench::Median(ours);
  result.bare_us = bench::Median(theirs);
  std::printf(
      "folder scan of %d files with an icon each, with subfolders, median of %d: tamsel.exe's search pane "
      "%.1f us per file (%.0f ms), bare walk %.1f us per file (%.0f ms); ratio %.2f (goal <= 1.2)\n",
      files, rounds, result.tamsel_us, result.tamsel_us * files / 1e3, result.bare_us, result.bare_us * files / 1e3,
      result.tamsel_us / result.bare_us);
  return result;
}

}  // namespace

int main() {
  const SizeResult small = Measure(2000, 5);
  bench::PrintRow("scan-2000", small.tamsel_us, small.bare_us, "us", 1.2, small.failure);
  const SizeResult large = Measure(20000, 3);
  bench::PrintRow("scan-20000", large.tamsel_us, large.bare_us, "us", 1.2, large.failure);
  // Linear: a file of the large tree costs what one of the small tree does.
  const char* linear_failure = small.failure ? small.failure : large.failure;
  if (!linear_failure)
    std::printf("per-file time 20,000 / 2,000: tamsel.exe %.2f, bare walk %.2f (goal for tamsel.exe <= 1.2)\n",
                large.tamsel_us / small.tamsel_us, large.bare_us / small.bare_us);
  bench::PrintRow("scan-linear", large.tamsel_us, small.tamsel_us, "us", 1.2, linear_failure);
  return small.failure || large.failure ? 1 : 0;
}
