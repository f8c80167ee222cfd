// Opening shell32.dll (184 icons under Wine) in the running main window, to
// the painted grid, against an ExtractIconExA loop over the same icons in a
// bare window that paints them (window_opens.h tells how).
//
// Usage: open_file_bench [file]   (default: the system's shell32.dll)
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_support.h"
#include "window_opens.h"

int main(int argc, char** argv) {
  const std::string source = bench::SourceArgument(argc, argv);
  constexpr int kRounds = 11;
  const bench::OpenTimes t = bench::TimeOpens(source, kRounds);
  if (!t.failure.empty()) {
    std::printf("open_file_bench: %s: %s\n", source.c_str(), t.failure.c_str());
    bench::PrintRow("open-shell32", 0, 0, "ms", 1.1, t.failure.c_str());
    return 1;
  }
  std::printf(
      "open %s (%d icons) in the running window to the painted grid, median of %d: tamsel.exe %.1f ms, "
      "ExtractIconExA loop in a bare window %.1f ms; ratio %.2f (goal <= 1.1)\n",
      source.c_str(), t.icons, kRounds, t.tamsel_ms, t.bare_ms, t.tamsel_ms / t.bare_ms);
  bench::PrintRow("open-shell32", t.tamsel_ms, t.bare_ms, "ms", 1.1);
  return 0;
}
