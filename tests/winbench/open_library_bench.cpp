// Opening generated libraries of 2,000 and 5,000 icons (16 and 32 pixels at
// 32 bits each, made by make_icon_library.py) in the running main window,
// to the painted grid, against an ExtractIconExA loop over the same icons
// in a bare window that paints them (window_opens.h tells how).
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_support.h"
#include "win/win_test_support.h"
#include "window_opens.h"

int main() {
  const struct {
    int icons;
    int rounds;
    const char* row;
  } sizes[] = {{2000, 5, "open-2000"}, {5000, 3, "open-5000"}};
  int status = 0;
  for (const auto& size : sizes) {
    const std::string library =
        testing_support::ToWindowsPath(TAMSEL_BENCH_DATA "/library_" + std::to_string(size.icons) + ".dll");
    const bench::OpenTimes t = bench::TimeOpens(library, size.rounds);
    if (t.failure.empty() && t.icons != size.icons) {
      std::printf("open_library_bench: %s holds %d icons, not %d\n", library.c_str(), t.icons, size.icons);
      bench::PrintRow(size.row, 0, 0, "ms", 1.1, "the library was not made as asked");
      status = 1;
      continue;
    }
    if (!t.failure.empty()) {
      std::printf("open_library_bench: %s: %s\n", library.c_str(), t.failure.c_str());
      bench::PrintRow(size.row, 0, 0, "ms", 1.1, t.failure.c_str());
      status = 1;
      continue;
    }
    std::printf(
        "open a library of %d icons in the running window to the painted grid, median of %d: tamsel.exe "
        "%.1f ms, ExtractIconExA loop in a bare window %.1f ms; ratio %.2f (goal <= 1.1)\n",
        size.icons, size.rounds, t.tamsel_ms, t.bare_ms, t.tamsel_ms / t.bare_ms);
    bench::PrintRow(size.row, t.tamsel_ms, t.bare_ms, "ms", 1.1);
  }
  return status;
}
