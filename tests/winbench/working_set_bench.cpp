// Memory: tamsel.exe started on shell32.dll, its peak working set once the
// grid is completely painted (the goal, at most 30 MB: the peak, so that
// whatever the open held for a moment counts), with its working set at that
// moment beside it; and the same for bare_window.exe started on the same
// file (every library tamsel.exe imports, every icon of the file held as a
// handle and painted). Alternately, medians. The bare window without a
// file tells what Wine itself takes.
//
// Usage: working_set_bench [file]   (default: the system's shell32.dll)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

struct Memory {
  double peak = 0, current = 0;  // MB; 0 when the program did not paint
};

Memory Measure(const std::string& exe, const std::string& arguments) {
  bench::ResetTamselSettings();
  bench::Program program(exe, arguments);
  Memory m;
  if (program.WaitUntilPainted(60000) <= 0) return m;
  program.WaitUntilQuiet(200);
  m.peak = program.WorkingSetMb(true);
  m.current = program.WorkingSetMb(false);
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string source = bench::SourceArgument(argc, argv);
  constexpr int kRounds = 3;
  std::vector<double> peak, current, bare_peak, bare_current;
  for (int round = 0; round < kRounds; ++round) {
    const Memory t = Measure(bench::TamselExe(), "\"" + source + "\"");
    const Memory b = Measure(bench::Here() + "bare_window.exe", bench::BareWindowArguments(source));
    if (t.peak <= 0 || b.peak <= 0) {
      std::printf("working_set_bench: %s did not paint\n", t.peak <= 0 ? "tamsel.exe" : "bare_window.exe");
      bench::PrintAbsoluteRow("working-set", 0, 0, "MB", 30, "a program did not paint its window");
      return 1;
    }
    peak.push_back(t.peak);
    current.push_back(t.current);
    bare_peak.push_back(b.peak);
    bare_current.push_back(b.current);
  }
  const Memory empty = Measure(bench::Here() + "bare_window.exe", bench::BareWindowArguments(""));
  std::printf(
      "working set with %s open and painted, median of %d: tamsel.exe peak %.1f MB (now %.1f MB); bare "
      "window holding the same icons peak %.1f MB (now %.1f MB), without a file %.1f MB; goal: tamsel.exe's "
      "peak <= 30 MB\n",
      source.c_str(), kRounds, bench::Median(peak), bench::Median(current), bench::Median(bare_peak),
      bench::Median(bare_current), empty.peak);
  bench::PrintAbsoluteRow("working-set", bench::Median(peak), bench::Median(bare_peak), "MB", 30);
  return 0;
}
