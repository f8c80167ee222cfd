// The icon source against the bare shell calls it is made of, every icon
// extracted.
//
// Both sides make the same calls on the same file in the same process: a
// probe for icon 0, the count, every icon by index, and the destruction of
// every handle. The icon source extracts an icon the first time it is asked
// for, so its side loads the file and then asks for every icon, as a pass
// over the whole grid does. It adds the structural check of the file and
// the icon objects; the ratio of the medians tells what that costs.
//
// Usage: load_icons_bench [file]   (default: the system folder's shell32.dll)
#include <windows.h>

#include <shellapi.h>
#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "controls/icon_set_win.h"

namespace {

using bench::Now;

// The shell calls alone, the way the icon source makes them.
int BareCalls(const std::string& path) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HICON probe = ExtractIconA(instance, path.c_str(), 0);
  if (!probe) return 0;
  if (probe != reinterpret_cast<HICON>(static_cast<UINT_PTR>(1))) DestroyIcon(probe);
  const UINT count = static_cast<UINT>(reinterpret_cast<UINT_PTR>(ExtractIconA(instance, path.c_str(), UINT(-1))));
  std::vector<HICON> icons;
  icons.reserve(count);
  for (UINT i = 0; i < count; ++i) icons.push_back(ExtractIconA(instance, path.c_str(), i));
  for (HICON icon : icons)
    if (icon) DestroyIcon(icon);
  return static_cast<int>(count);
}

int WithIconSet(controls::TIconSet& set, const std::string& path) {
  set.LoadIcons(path);
  const int count = set.IconCount();
  for (int i = 0; i < count; ++i) set.Icons(i);
  set.Clear();
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = bench::SourceArgument(argc, argv);
  controls::TIconSet set;
  // Warm up both paths (file cache, shell and graphics set-up).
  const int bare_count = BareCalls(path);
  const int set_count = WithIconSet(set, path);
  if (bare_count != set_count || bare_count == 0) {
    std::printf("load_icons_bench: %s: %d icons from the shell, %d from LoadIcons; nothing to compare\n", path.c_str(),
                bare_count, set_count);
    return 1;
  }

  const int kRounds = 21;
  std::vector<double> bare, loaded;
  for (int round = 0; round < kRounds; ++round) {
    // Alternate the order so that drift favours neither side.
    for (int side = 0; side < 2; ++side) {
      const bool bare_side = (round + side) % 2 == 0;
      const double start = Now();
      if (bare_side)
        BareCalls(path);
      else
        WithIconSet(set, path);
      (bare_side ? bare : loaded).push_back(Now() - start);
    }
  }
  const double b = bench::Median(bare), l = bench::Median(loaded);
  std::printf("load_icons_bench: %s, %d icons, %d rounds\n", path.c_str(), bare_count, kRounds);
  std::printf("  bare ExtractIconA calls: median %.2f ms\n", b * 1e3);
  std::printf("  LoadIcons, every icon:   median %.2f ms\n", l * 1e3);
  std::printf("  ratio icon source / bare: %.3f (goal <= 1.10)\n", l / b);
  return 0;
}
