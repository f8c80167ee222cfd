// Opening a library in the main window: the open routine up to the painted
// grid against the icon source's LoadIcons alone, on the same file,
// alternately in one run; then the program's working set with the library
// shown, and the GDI objects and working set after 20 more opens against
// after one.
//
// Usage: open_file_bench [library]   (default: the system's shell32.dll)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "bench_support.h"
#include "controls/icon_set_win.h"
#include "util/handles_win.h"

namespace {

double Now() {
  LARGE_INTEGER freq, t;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

double WorkingSetMb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The working set of a program once it shows its window and has settled;
// negative on failure.
double ProgramWorkingSetMb(const std::string& exe, const std::string& argument) {
  std::string command = "\"" + exe + "\"" + (argument.empty() ? "" : " \"" + argument + "\"");
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  WaitForInputIdle(pi.hProcess, 10000);
  Sleep(2000);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  const bool ok = GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters) != FALSE;
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return ok ? static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string library = bench::SourceArgument(argc, argv);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  // Without arguments the window shows its own icons first, as the program does.
  app::TForm1 form({self});
  if (!form.Create()) {
    std::printf("cannot create the main window\n");
    return 1;
  }
  form.Show();
  Pump();

  std::vector<double> open_ms, load_ms;
  // The baseline's icon set lives across rounds as the grid's does, so that
  // each load also lets go of the icons of the one before.
  controls::TIconSet icons;
  for (int round = 0; round < 9; ++round) {
    double t0 = Now();
    form.OpenIconFile(library);  // paints the grid and the window before it returns
    GdiFlush();
    open_ms.push_back(Now() - t0);
    Pump();

    t0 = Now();
    icons.LoadIcons(library);
    load_ms.push_back(Now() - t0);
  }
  const double open = bench::Median(open_ms);
  const double load = bench::Median(load_ms);
  std::printf("open to painted grid %.1f ms, LoadIcons alone %.1f ms, ratio %.2f (goal <= 1.2)\n", open, load,
              open / load);

  form.OpenIconFile(library);
  Pump();
  Sleep(200);
  const double idle = WorkingSetMb();
  const long objects_one = util::GdiObjectCount::Live();
  for (int i = 0; i < 20; ++i) {
    form.OpenIconFile(library);
    Pump();
  }
  const double after = WorkingSetMb();
  // tamsel.exe lies two folders up in the build tree, the minimal window
  // program (Wine's own share of a working set) beside this one.
  const std::string here = std::string(self).substr(0, std::string(self).find_last_of('\\') + 1);
  std::printf("working set: tamsel.exe with the library shown %.1f MB (goal <= 30 MB); a program that only shows "
              "a window %.1f MB\n",
              ProgramWorkingSetMb(here + "..\\..\\tamsel.exe", library),
              ProgramWorkingSetMb(here + "minimal_window.exe", ""));
  std::printf("after 20 more opens: GDI objects %ld (after one: %ld), working set %+.1f MB (goal within 2 MB)\n",
              util::GdiObjectCount::Live(), objects_one, after - idle);
  return 0;
}
