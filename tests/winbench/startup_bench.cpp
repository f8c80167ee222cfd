// Start-up benchmark: the time from CreateProcess to the main window being
// visible, for tamsel.exe and for a minimal program that only shows a window,
// measured alternately in one run. Reports the ratio of the medians.
//
// Both programs are found beside this one in the build tree:
// tests/winbench/minimal_window.exe and tamsel.exe two folders up.
#include <windows.h>

#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Find {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lp) {
  auto* f = reinterpret_cast<Find*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == f->pid && IsWindowVisible(hwnd)) {
    f->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Milliseconds from start to a visible window; negative on failure.
double TimeToWindow(const std::string& exe) {
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  std::string cmd = "\"" + exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  Find f{pi.dwProcessId, nullptr};
  for (int spins = 0; spins < 200000 && !f.found; ++spins) {
    EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&f));
    if (!f.found) Sleep(0);
  }
  QueryPerformanceCounter(&t1);
  double ms = f.found ? 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart)
                      : -1;
  if (f.found) PostMessageW(f.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return ms;
}

}  // namespace

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

int main() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string here = Folder(self);
  const std::string minimal_exe = here + "minimal_window.exe";
  const std::string tamsel_exe = here + "..\\..\\tamsel.exe";
  const int runs = 15;
  // One warm-up of each, so that both start with the same cached state.
  TimeToWindow(tamsel_exe);
  TimeToWindow(minimal_exe);
  std::vector<double> tamsel, minimal;
  for (int i = 0; i < runs; ++i) {
    double a = TimeToWindow(tamsel_exe);
    double b = TimeToWindow(minimal_exe);
    if (a < 0 || b < 0) {
      std::fprintf(stderr, "a program did not show its window\n");
      return 1;
    }
    tamsel.push_back(a);
    minimal.push_back(b);
  }
  double mt = bench::Median(tamsel), mm = bench::Median(minimal);
  std::printf("startup: tamsel.exe %.1f ms, minimal window %.1f ms (medians of %d), ratio %.2f (goal <= 1.3)\n", mt,
              mm, runs, mt / mm);
  return 0;
}
