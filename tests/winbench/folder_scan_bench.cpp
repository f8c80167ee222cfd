// The search pane's folder scan (FindFiles over the Win32 file system, the
// icon count of every match taken from the structural check) in three
// measurements:
//
// 1. The system folder with its subfolders, masks "*.dll;*.exe;*.ocx",
//    minimum 1, against a bare recursive loop of the platform calls a scan
//    needs (SetCurrentDirectoryA per folder, FindFirstFileA and
//    FindNextFileA per mask, the shell's ExtractIconA(-1) per match, the
//    "*.*" search for subfolders), with no check and no list. The scan runs
//    into a sorted vector and, as the user sees it, into the file list box
//    held in one batch update with a progress step that repaints the count
//    and handles the pending messages. Alternately, median of the rounds.
// 2. Scaling: trees of 2,000, 20,000 and 100,000 files (ten per folder,
//    one in ten a library with icons), written from the Linux side by
//    make_scan_tree.py and kept between runs. Each size is scanned as the
//    user sees it in a process of its own, so that its peak working set
//    is its own: time, time per file, peak working set growth, heap bytes
//    held after the scan (the list box's items and ours) and per entry.
// 3. Responsiveness: the gaps between two progress callbacks (the only
//    points where the window handles messages, ESC among them) during the
//    100,000-file scan, for minimum 1 and for a minimum that no file meets.
//
// Usage: folder_scan_bench [folder]        (default: the system folder)
//        folder_scan_bench --tree FOLDER MINIMUM   (one scan of the
//        scaling part; prints one result line; started by the above)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "bench_support.h"
#include "controls/folder_scan_win.h"
#include "gui/application.h"
#include "gui/form.h"
#include "gui/standard_controls.h"
#include "util/file_utils.h"
#include "util/handles_win.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace {

constexpr const char* kMasks = "*.dll;*.exe;*.ocx";
constexpr int kRounds = 9;

double NowMs() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t rank = static_cast<size_t>(std::ceil(p * static_cast<double>(v.size())));
  return v[rank > 0 ? rank - 1 : 0];
}

bool IsDots(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

struct BareCount {
  int matches = 0;  // files looked at
  int entries = 0;  // files with at least one icon
  std::vector<std::string>* names = nullptr;  // receives the entries when given (outside the timing)
};

// The baseline: the platform calls a scan needs and nothing else.
void BareWalk(HINSTANCE instance, const std::string& root, const std::string& folder, BareCount& out) {
  if (!SetCurrentDirectoryA(folder.c_str())) return;
  WIN32_FIND_DATAA data;
  for (const char* pattern : {"*.dll", "*.exe", "*.ocx"}) {
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (IsDots(data.cFileName)) continue;
      ++out.matches;
      const UINT count = static_cast<UINT>(
          reinterpret_cast<UINT_PTR>(ExtractIconA(instance, data.cFileName, static_cast<UINT>(-1))));
      if (count < 1) continue;
      ++out.entries;
      if (out.names) out.names->push_back(controls::RelativeEntry(root, folder, data.cFileName));
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  HANDLE find = FindFirstFileA(util::JoinPath(folder, "*.*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const DWORD a = data.dwFileAttributes;
    if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
        !IsDots(data.cFileName))
      BareWalk(instance, root, util::JoinPath(folder, data.cFileName), out);
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

// The scan with the shell asked for every count behind the check, as a
// scan without the check's count would run: what taking it saves.
class ShellCountFileSystem : public controls::TWinScanFileSystem {
 public:
  uint32_t IconCount(const std::string& name) override {
    if (!shell_.Inspect(name).ShellMayRead()) return 0;
    return shell_.Count(name);
  }

 private:
  controls::ShellIcons shell_;
};

// The part of the main window the scan touches: the file list box and the
// count label on a shown window, with the window's progress step: the
// count repainted and every pending message handled.
class ScanWindow : public gui::TForm {
 public:
  ScanWindow() {
    CreateForm(L"TamselScanBench", L"Folder scan", 0, 0, 420, 360);
    box.Create(Handle(), 5, 8, 40, 400, 300);
    label.SetBounds(8, 8, 200, 20);
    label.SetAlignment(DT_CENTER);
    label.SetCaption(L"0...");
    label.SetParent(this);
    Show();
    gui::Application().ProcessMessages();
  }

  // times, when given, receives the moment of every progress step.
  int Scan(const std::string& folder, int minimum, std::vector<double>* times) {
    controls::TWinScanFileSystem fs;
    controls::TListBoxScanList list(box);
    const auto found = [&](int count) {
      label.SetCaption(std::to_wstring(count) + L"...");
      label.Repaint();
      gui::Application().ProcessMessages();
      if (times) times->push_back(NowMs());
      return false;
    };
    const auto quiet = [&] {
      gui::Application().ProcessMessages();
      if (times) times->push_back(NowMs());
      return false;
    };
    const controls::TScanAnswers answers = controls::AnswerScan(found, quiet);
    controls::FindFiles(fs, folder, folder, kMasks, minimum, true, list, answers.progress, answers.looking);
    return box.Count();
  }

  controls::TZuListBox box;
  gui::TLabel label;
};

// ---------------------------------------------------------------------------
// 1. The system folder

void SystemFolder(const std::string& folder) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  ScanWindow window;

  // The entries of each side once, outside the timing, to compare them.
  std::vector<std::string> bare_names;
  BareCount bare_count;
  bare_count.names = &bare_names;
  BareWalk(instance, folder, folder, bare_count);
  controls::TWinScanFileSystem fs;
  controls::TSortedScanList scanned;
  controls::FindFiles(fs, folder, folder, kMasks, 1, true, scanned, nullptr);
  std::sort(bare_names.begin(), bare_names.end());
  std::printf("folder scan of %s with subfolders, masks %s, minimum 1 (median of %d rounds each, alternately)\n",
              folder.c_str(), kMasks, kRounds);
  std::printf("  %d files looked at; entries: bare loop %zu, scan %zu\n", bare_count.matches, bare_names.size(),
              scanned.entries.size());
  std::vector<std::string> only_bare, only_scan;
  std::set_difference(bare_names.begin(), bare_names.end(), scanned.entries.begin(), scanned.entries.end(),
                      std::back_inserter(only_bare));
  std::set_difference(scanned.entries.begin(), scanned.entries.end(), bare_names.begin(), bare_names.end(),
                      std::back_inserter(only_scan));
  for (const std::string& name : only_bare) {
    const util::IconFileInspection inspection = util::InspectIconFile(util::JoinPath(folder, name));
    std::printf("  only the bare loop lists %s (%s)\n", name.c_str(),
                inspection.check.damaged ? inspection.check.problem : "not refused by the check");
  }
  for (const std::string& name : only_scan) std::printf("  only the scan lists %s\n", name.c_str());

  std::vector<double> bare_ms, vector_ms, shell_ms, box_ms;
  int listed = 0;
  for (int round = 0; round <= kRounds; ++round) {
    BareCount count;
    double t0 = NowMs();
    BareWalk(instance, folder, folder, count);
    const double bare = NowMs() - t0;

    controls::TSortedScanList list;
    t0 = NowMs();
    controls::TWinScanFileSystem file_system;
    controls::FindFiles(file_system, folder, folder, kMasks, 1, true, list, nullptr);
    const double vector = NowMs() - t0;

    controls::TSortedScanList shell_list;
    t0 = NowMs();
    ShellCountFileSystem shell_system;
    controls::FindFiles(shell_system, folder, folder, kMasks, 1, true, shell_list, nullptr);
    const double shell = NowMs() - t0;

    t0 = NowMs();
    listed = window.Scan(folder, 1, nullptr);
    const double box = NowMs() - t0;
    if (round == 0) continue;  // the first round warms the caches
    bare_ms.push_back(bare);
    vector_ms.push_back(vector);
    shell_ms.push_back(shell);
    box_ms.push_back(box);
  }
  const double bare = bench::Median(bare_ms), vector = bench::Median(vector_ms), shell = bench::Median(shell_ms),
               box = bench::Median(box_ms);
  std::printf("  bare loop (ExtractIconA(-1) per match)            %8.1f ms\n", bare);
  std::printf("  FindFiles into a sorted vector                    %8.1f ms  ratio %.2f (goal <= 1.2)\n", vector,
              vector / bare);
  std::printf("  the same with the shell asked for every count      %8.1f ms  ratio %.2f\n", shell, shell / bare);
  std::printf("  FindFiles into the list box, count and messages   %8.1f ms  ratio %.2f (goal <= 1.2), %d listed\n",
              box, box / bare, listed);
}

// ---------------------------------------------------------------------------
// 2. and 3. The generated trees

// Bytes held in every heap of the process: the list box's items and
// strings, and everything else the scan allocated and kept.
double HeapBytesInUse() {
  HANDLE heaps[64];
  const DWORD n = GetProcessHeaps(64, heaps);
  double bytes = 0;
  for (DWORD i = 0; i < n && i < 64; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    HeapUnlock(heaps[i]);
  }
  return bytes;
}

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

// One scan of a tree as the user sees it, in this process: prints
// "entries ms peak_growth private_growth heap_growth callbacks max_gap p99_gap".
int ScanTree(const std::string& folder, int minimum) {
  ScanWindow window;
  std::vector<double> times;
  times.reserve(200000);
  const PROCESS_MEMORY_COUNTERS before = Memory();
  const double heap_before = HeapBytesInUse();
  const double start = NowMs();
  times.push_back(start);
  const int entries = window.Scan(folder, minimum, &times);
  times.push_back(NowMs());
  const double ms = times.back() - start;
  const PROCESS_MEMORY_COUNTERS after = Memory();
  const double heap_growth = HeapBytesInUse() - heap_before;
  std::vector<double> gaps;
  for (size_t i = 1; i < times.size(); ++i) gaps.push_back(times[i] - times[i - 1]);
  const double peak_growth =
      static_cast<double>(after.PeakWorkingSetSize) - static_cast<double>(before.WorkingSetSize);
  const double private_growth = static_cast<double>(after.PagefileUsage) - static_cast<double>(before.PagefileUsage);
  std::printf("%d %.3f %.0f %.0f %.0f %zu %.3f %.3f\n", entries, ms, peak_growth, private_growth, heap_growth,
              times.size() - 2, Percentile(gaps, 1.0), Percentile(gaps, 0.99));
  return 0;
}

struct TreeResult {
  bool ok = false;
  int entries = 0;
  double ms = 0, peak_growth = 0, private_growth = 0, heap_growth = 0, max_gap = 0, p99_gap = 0;
  size_t callbacks = 0;
};

// Runs ScanTree in a process of its own and reads its line.
TreeResult ScanTreeInChild(const std::string& folder, int minimum) {
  TreeResult r;
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string command = "\"" + std::string(self) + "\" --tree \"" + folder + "\" " + std::to_string(minimum);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return r;
  util::UniqueKernelHandle reader(read_end);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = write_end;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  const bool started =
      CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi) != FALSE;
  CloseHandle(write_end);
  if (!started) return r;
  std::string text;
  char buffer[512];
  DWORD got = 0;
  while (ReadFile(reader.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  WaitForSingleObject(pi.hProcess, INFINITE);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  r.ok = std::sscanf(text.c_str(), "%d %lf %lf %lf %lf %zu %lf %lf", &r.entries, &r.ms, &r.peak_growth,
                     &r.private_growth, &r.heap_growth, &r.callbacks, &r.max_gap, &r.p99_gap) == 8;
  if (!r.ok) std::printf("  the scan of %s answered: %s\n", folder.c_str(), text.c_str());
  return r;
}

void Trees() {
  const int sizes[] = {2000, 20000, 100000};
  const std::string fixtures = TAMSEL_FIXTURE_DIR;  // as Linux sees it: the trees are written from there
  std::printf("\nscaling: generated trees (10 files per folder; one in ten a copy of main_3.dll with 3 icons, one "
              "a program without icons, eight small stand-ins), minimum 1, with subfolders, into the list box with "
              "the count and the messages per entry, each size in a process of its own\n");
  std::printf("  %8s %8s %10s %12s %14s %14s %14s\n", "files", "entries", "scan ms", "us per file",
              "peak WS +KB", "heap +KB", "heap B/entry");
  TreeResult first, last;
  for (const int files : sizes) {
    const std::string tree = std::string(TAMSEL_SCAN_TREES) + "/files_" + std::to_string(files);
    const std::string command = "python3 " + std::string(TAMSEL_SCAN_TREE_SCRIPT) + " " + tree + " " +
                                std::to_string(files) + " " + fixtures + "/main_3.dll " + fixtures + "/no_icons.exe";
    const std::string made = testing_support::RunUnix(command, 600);
    if (made.rfind("kept", 0) != 0 && made.rfind("wrote", 0) != 0) {
      std::printf("  cannot write the tree %s: %s\n", tree.c_str(), made.c_str());
      return;
    }
    // Each size is scanned twice, each time in a fresh process, and the
    // second is timed: the first brings the tree into the system's caches.
    ScanTreeInChild(testing_support::ToWindowsPath(tree), 1);
    const TreeResult r = ScanTreeInChild(testing_support::ToWindowsPath(tree), 1);
    if (!r.ok) return;
    std::printf("  %8d %8d %10.1f %12.1f %14.0f %14.0f %14.1f\n", files, r.entries, r.ms, 1000.0 * r.ms / files,
                r.peak_growth / 1024, r.heap_growth / 1024, r.entries ? r.heap_growth / r.entries : 0.0);
    if (files == sizes[0]) first = r;
    last = r;
    if (files != sizes[2]) continue;

    // The peak working set grows by the list and a bounded rest (one file
    // is mapped at a time), so the heap per entry is the measure of growth.
    std::printf("  per-file time 100,000 / 2,000: %.2f; heap per entry 100,000 / 2,000: %.2f (linear: both near 1)\n",
                (last.ms / 100000) / (first.ms / 2000),
                (last.heap_growth / last.entries) / (first.heap_growth / first.entries));
    std::printf("\nresponsiveness during the 100,000-file scan (the window handles messages, ESC among them, at "
                "every file found and every 50 ms while none is found):\n");
    std::printf("  minimum 1: %zu progress steps, longest gap %.2f ms, 99th percentile %.2f ms\n", r.callbacks,
                r.max_gap, r.p99_gap);
    const TreeResult none = ScanTreeInChild(testing_support::ToWindowsPath(tree), 4);
    if (none.ok)
      std::printf("  minimum 4 (no file qualifies): %zu answers, longest gap %.2f ms, 99th percentile %.2f ms, "
                  "scan %.0f ms\n",
                  none.callbacks, none.max_gap, none.p99_gap, none.ms);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--tree") == 0) return ScanTree(argv[2], std::atoi(argv[3]));
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  SystemFolder(argc > 1 ? argv[1] : system);
  std::fflush(stdout);
  if (argc <= 1) Trees();
  return 0;
}
