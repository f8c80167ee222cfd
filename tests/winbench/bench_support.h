// What the Win32 benchmark programs share: the clock, the median of their
// rounds, the programs they start and the moment those have painted, the
// files they count and remove, and the summary line each row prints.
//
// A row's summary line is read by scripts/bench_table.py into the README's
// performance table:
//   ROW <name> | tamsel <value><unit> | baseline <value><unit> | ratio <r> | goal <= <g> | MET
// The goal is on the ratio, or, when it carries a unit, on Tamsel's value.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "util/handles_win.h"

namespace bench {

// Seconds on the performance counter.
inline double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// argv[1] when given, else the system's shell32.dll (184 icons under Wine).
inline std::string SourceArgument(int argc, char** argv) {
  if (argc > 1) return argv[1];
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  return std::string(system) + "\\shell32.dll";
}

// The folder of this program, with its backslash. The build puts the
// benchmarks' helper programs beside it and tamsel.exe two folders up.
inline std::string Here() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string path = self;
  return path.substr(0, path.find_last_of('\\') + 1);
}
inline std::string TamselExe() { return Here() + "..\\..\\tamsel.exe"; }

// The last part of a path.
inline std::string FileName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

// Removes a folder of files (no subfolders) that a benchmark wrote.
inline void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  util::UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &fd));
  if (find) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + "\\" + fd.cFileName).c_str());
    } while (FindNextFileA(find.get(), &fd));
    find.reset();
  }
  RemoveDirectoryA(folder.c_str());
}

// The files in a folder whose names match the pattern ("*.ico"), and that
// are not empty.
inline int CountFiles(const std::string& folder, const std::string& pattern) {
  int n = 0;
  WIN32_FIND_DATAA fd;
  util::UniqueFindHandle find(FindFirstFileA((folder + "\\" + pattern).c_str(), &fd));
  if (!find) return 0;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (fd.nFileSizeLow || fd.nFileSizeHigh)) ++n;
  } while (FindNextFileA(find.get(), &fd));
  return n;
}

// A fresh empty folder of this name below the temporary folder.
inline std::string FreshTempFolder(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + name;
  RemoveFolder(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// The names of the libraries an executable imports, from its import
// directory; empty when the file cannot be read as a program.
inline std::vector<std::string> ImportedLibraries(const std::string& exe) {
  std::vector<std::string> names;
  util::UniqueFile h(CreateFileA(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!h) return names;
  std::vector<BYTE> file(GetFileSize(h.get(), nullptr));
  DWORD got = 0;
  const bool read =
      ReadFile(h.get(), file.data(), static_cast<DWORD>(file.size()), &got, nullptr) && got == file.size();
  auto at = [&](size_t offset, size_t size) -> const BYTE* {
    return read && offset <= file.size() && size <= file.size() - offset ? &file[offset] : nullptr;
  };
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
  const auto* nt =
      dos ? reinterpret_cast<const IMAGE_NT_HEADERS32*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS32))) : nullptr;
  if (!nt || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) return names;
  const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
      at(dos->e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader,
         nt->FileHeader.NumberOfSections * sizeof(IMAGE_SECTION_HEADER)));
  auto offset_of = [&](DWORD rva) -> size_t {  // the file offset of an address in the image
    for (WORD i = 0; sections && i < nt->FileHeader.NumberOfSections; ++i)
      if (rva >= sections[i].VirtualAddress && rva - sections[i].VirtualAddress < sections[i].SizeOfRawData)
        return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
    return file.size();
  };
  size_t entry = offset_of(nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
  while (const auto* import =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(entry, sizeof(IMAGE_IMPORT_DESCRIPTOR)))) {
    if (!import->Name) break;
    const size_t name = offset_of(import->Name);
    if (name >= file.size()) break;
    names.emplace_back(reinterpret_cast<const char*>(&file[name]),
                       strnlen(reinterpret_cast<const char*>(&file[name]), file.size() - name));
    entry += sizeof(IMAGE_IMPORT_DESCRIPTOR);
  }
  return names;
}

// bare_window.exe's arguments: the libraries tamsel.exe imports, which it
// loads at its start whatever they are now, then the file it opens, if any.
inline std::string BareWindowArguments(const std::string& file) {
  std::string load = "-load:";
  for (const std::string& name : ImportedLibraries(TamselExe())) load += name + ";";
  return load + (file.empty() ? "" : " \"" + file + "\"");
}

// Tamsel as a user who has started it once: what an earlier start stored
// (the window's placement, the search pane, recent files) goes, and the help
// that only the very first start opens stays shut.
inline void ResetTamselSettings() {
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Korvane\\Tamsel");
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Korvane\\Tamsel\\Settings", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  util::UniqueRegKey settings(key);
  RegSetValueExA(settings.get(), "Run", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
}

// A program started by a benchmark, closed (and if need be ended) when the
// object goes.
class Program {
 public:
  // arguments: the command line after the program's name, quoted as needed.
  Program(const std::string& exe, const std::string& arguments) {
    std::string line = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info)) return;
    process_.reset(info.hProcess);
    thread_.reset(info.hThread);
    id_ = info.dwProcessId;
  }
  ~Program() { Close(); }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool started() const { return process_.valid(); }
  HANDLE handle() const { return process_.get(); }
  DWORD id() const { return id_; }

  // Its visible top-level windows, and the visible children of each.
  std::vector<HWND> VisibleWindows(bool with_children) const {
    Collect c{id_, with_children, {}};
    EnumWindows(&Collect::TopLevel, reinterpret_cast<LPARAM>(&c));
    return c.found;
  }
  // Its first visible top-level window of this class; null when none.
  HWND Window(const wchar_t* class_name) const {
    for (HWND hwnd : VisibleWindows(false)) {
      wchar_t name[64] = {};
      GetClassNameW(hwnd, name, 64);
      if (lstrcmpW(name, class_name) == 0) return hwnd;
    }
    return nullptr;
  }

  // Waits until the program has painted every window it shows, completely;
  // the seconds on the clock (Now) at which it had, or 0 when it did not
  // within the time. The same test serves every program measured:
  //
  // 1. WaitForInputIdle: it returns once a thread of the process first
  //    waits on its message queue with nothing pending, without taking the
  //    CPU from the program meanwhile. Wine signals it early (a library's
  //    start-up waits on the queue before any window shows), so it only
  //    spares the looks below the first part of the start.
  // 2. A look, from outside: a visible top-level window exists; a WM_NULL
  //    sent to each returns (its thread is back in its message loop, so a
  //    paint whose BeginPaint emptied the update region has also ended);
  //    and no visible window of the process, children included, has an
  //    update region left.
  // 3. Two looks in a row must find that, with the CPU left to the program
  //    for a millisecond in between, and the second must find the program
  //    idle (its answer to WM_NULL prompt). Work the program had queued for
  //    itself (posted messages come before WM_PAINT) then either shows as
  //    an update region or keeps the second answer waiting: such work,
  //    which may also paint at once (UpdateWindow), starts the test again
  //    from the moment it ended. The time is that of the first of the two
  //    looks. The test errs late, never early: a paint that ended while the
  //    program was not looked at is seen up to a look (about a millisecond)
  //    later, and work that only follows the paint (timer steps that draw
  //    nothing) counts when the second look meets it.
  double WaitUntilPainted(DWORD timeout_ms) const {
    if (!started()) return 0;
    const double end = Now() + timeout_ms / 1000.0;
    WaitForInputIdle(handle(), timeout_ms);
    double painted_at = 0;
    while (Now() < end) {
      if (WaitForSingleObject(handle(), 0) == WAIT_OBJECT_0) return 0;
      bool prompt = false;
      const bool painted = PaintedNow(timeout_ms, &prompt);
      if (!painted) {
        painted_at = 0;
      } else if (painted_at > 0 && prompt) {
        return painted_at;
      } else {
        painted_at = Now();
      }
      Sleep(1);
    }
    return 0;
  }

  // Waits until the program has been quiet for quiet_ms: every look in that
  // time (one every 5 ms) found it painted and idle. What a program does
  // after its paint (work in timer steps, say) would otherwise run on the
  // CPU while the next program is measured.
  void WaitUntilQuiet(DWORD quiet_ms, DWORD timeout_ms = 30000) const {
    const double end = Now() + timeout_ms / 1000.0;
    double quiet_since = Now();
    while (Now() < end && Now() - quiet_since < quiet_ms / 1000.0) {
      bool prompt = false;
      if (!PaintedNow(timeout_ms, &prompt) || !prompt) quiet_since = Now();
      Sleep(5);
    }
  }

  // Sends the message to the window and waits for its answer; false when
  // none came within the time.
  static bool Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr, DWORD timeout_ms = 600000) {
    DWORD_PTR answer = 0;
    const bool ok = SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, timeout_ms, &answer) != 0;
    if (result) *result = static_cast<LRESULT>(answer);
    return ok;
  }

  // The process's working set and its peak, in megabytes.
  double WorkingSetMb(bool peak) const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(handle(), &counters, sizeof counters)) return -1;
    return static_cast<double>(peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize) / (1024.0 * 1024.0);
  }

  // Waits for the process to end by itself; its exit code, or STILL_ACTIVE.
  DWORD WaitForExit(DWORD timeout_ms) const {
    DWORD code = STILL_ACTIVE;
    if (started() && WaitForSingleObject(handle(), timeout_ms) == WAIT_OBJECT_0) GetExitCodeProcess(handle(), &code);
    return code;
  }

  // Closes its windows as a user would and waits for the end; ends the
  // process when that takes too long.
  void Close() {
    if (!started()) return;
    for (HWND hwnd : VisibleWindows(false)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(handle(), 10000) != WAIT_OBJECT_0) TerminateProcess(handle(), 1);
    WaitForSingleObject(handle(), 5000);
    process_.reset();
    thread_.reset();
  }

 private:
  struct Collect {
    DWORD pid;
    bool children;
    std::vector<HWND> found;
    static BOOL CALLBACK TopLevel(HWND hwnd, LPARAM lp) {
      auto* c = reinterpret_cast<Collect*>(lp);
      DWORD pid = 0;
      GetWindowThreadProcessId(hwnd, &pid);
      if (pid != c->pid || !IsWindowVisible(hwnd)) return TRUE;
      c->found.push_back(hwnd);
      if (c->children) EnumChildWindows(hwnd, &Child, lp);
      return TRUE;
    }
    static BOOL CALLBACK Child(HWND hwnd, LPARAM lp) {
      if (IsWindowVisible(hwnd)) reinterpret_cast<Collect*>(lp)->found.push_back(hwnd);
      return TRUE;
    }
  };

  // One look (see WaitUntilPainted); prompt tells whether every window
  // answered within 2 ms.
  bool PaintedNow(DWORD timeout_ms, bool* prompt) const {
    const std::vector<HWND> top = VisibleWindows(false);
    if (top.empty()) return false;
    const double asked = Now();
    for (HWND hwnd : top)
      if (!Send(hwnd, WM_NULL, 0, 0, nullptr, timeout_ms)) return false;
    *prompt = Now() - asked < 0.002;
    for (HWND hwnd : VisibleWindows(true))
      if (GetUpdateRect(hwnd, nullptr, FALSE)) return false;
    return true;
  }

  util::UniqueKernelHandle process_, thread_;
  DWORD id_ = 0;
};

// Whole runs of tamsel.exe and of its baseline, alternately (which goes
// first alternating too), each checked to have written `expected` files:
// run(tamsel_side, &written) returns the run's seconds. A warm-up round
// goes first and is not counted. The medians are in milliseconds.
struct AlternateRuns {
  const char* failure = nullptr;
  double tamsel_ms = 0;
  double baseline_ms = 0;
};

template <typename Run>
AlternateRuns TimeAlternately(int rounds, int expected, const char* bench, const char* baseline_name, Run run) {
  AlternateRuns result;
  std::vector<double> tamsel, baseline;
  for (int round = 0; round <= rounds && !result.failure; ++round) {
    for (int side = 0; side < 2; ++side) {
      const bool tamsel_side = (round + side) % 2 == 0;
      int written = 0;
      const double seconds = run(tamsel_side, &written);
      if (written != expected || expected == 0 || seconds <= 0) {
        std::printf("%s: %s wrote %d files of %d\n", bench, tamsel_side ? "tamsel.exe" : baseline_name, written,
                    expected);
        result.failure = tamsel_side ? "tamsel.exe did not write every file" : "the baseline did not write every file";
        break;
      }
      if (round > 0) (tamsel_side ? tamsel : baseline).push_back(seconds * 1e3);
    }
  }
  if (!result.failure) {
    result.tamsel_ms = Median(tamsel);
    result.baseline_ms = Median(baseline);
  }
  return result;
}

// The summary line of a row whose goal is on the ratio Tamsel / baseline.
// A row without a measurement (value 0) prints as missed, with the reason.
inline void PrintRow(const char* name, double tamsel, double baseline, const char* unit, double goal,
                     const char* failure = nullptr) {
  const bool measured = !failure && tamsel > 0 && baseline > 0;
  const double ratio = measured ? tamsel / baseline : 0;
  if (!measured) {
    std::printf("ROW %s | tamsel - | baseline - | ratio - | goal <= %.2g | MISSED (%s)\n", name, goal,
                failure ? failure : "not measured");
  } else {
    std::printf("ROW %s | tamsel %.1f%s | baseline %.1f%s | ratio %.2f | goal <= %.2g | %s\n", name, tamsel, unit,
                baseline, unit, ratio, goal, ratio <= goal ? "MET" : "MISSED");
  }
  std::fflush(stdout);
}

// The summary line of a row whose goal is on Tamsel's value itself.
inline void PrintAbsoluteRow(const char* name, double tamsel, double baseline, const char* unit, double goal,
                             const char* failure = nullptr) {
  if (failure || tamsel <= 0 || baseline <= 0) {
    std::printf("ROW %s | tamsel - | baseline - | ratio - | goal <= %g%s | MISSED (%s)\n", name, goal, unit,
                failure ? failure : "not measured");
  } else {
    std::printf("ROW %s | tamsel %.1f%s | baseline %.1f%s | ratio %.2f | goal <= %g%s | %s\n", name, tamsel, unit,
                baseline, unit, tamsel / baseline, goal, unit, tamsel <= goal ? "MET" : "MISSED");
  }
  std::fflush(stdout);
}

}  // namespace bench
