// PNG per-icon files against icon files of the same icons: ExportIcons
// with the PNG type and with the icon type, each into a fresh folder, in
// alternating rounds. Both read the same two bitmaps of every icon; PNG adds
// the alpha rule and zlib's compression, the icon file the colour analysis.
// The ratio PNG / icon is what is reported (goal: at most 1.5).
//
// Usage: png_export_bench [file]   (default: the system folder's shell32.dll)
#include <windows.h>

#include "bench_support.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/export/export_engine_win.h"
#include "app/globals.h"
#include "util/file_utils_win.h"

namespace {

double Now() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// One export into a folder of its own; the seconds it took, and the count.
double TimedExport(const std::string& source, const std::string& folder, imaging::TExportType type, int* count) {
  app::TExportRequest request;
  request.Type = type;
  request.Source = source;
  request.DestFolder = folder;
  app::TExportWork work;
  *count = 0;
  const double start = Now();
  app::ExportIcons(work, *count, request, 0);
  return Now() - start;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string source = bench::SourceArgument(argc, argv);
  app::BatchMode = true;
  const std::string base = util::GetTempFolder() + "tamsel_png_bench_" + std::to_string(GetCurrentProcessId());
  constexpr int kRounds = 7;
  std::vector<double> png, ico;
  int png_count = 0, ico_count = 0;
  for (int round = 0; round < kRounds; ++round) {
    const std::string png_folder = base + "_png" + std::to_string(round);
    const std::string ico_folder = base + "_ico" + std::to_string(round);
    // Alternating the order spares either side the colder first run.
    if (round % 2 == 0) {
      png.push_back(TimedExport(source, png_folder, imaging::etPNG, &png_count));
      ico.push_back(TimedExport(source, ico_folder, imaging::etIcon, &ico_count));
    } else {
      ico.push_back(TimedExport(source, ico_folder, imaging::etIcon, &ico_count));
      png.push_back(TimedExport(source, png_folder, imaging::etPNG, &png_count));
    }
    bench::RemoveFolder(png_folder);
    bench::RemoveFolder(ico_folder);
  }
  if (png_count == 0 || png_count != ico_count) {
    std::printf("png_export_bench: %s gave %d PNG files and %d icon files\n", source.c_str(), png_count, ico_count);
    return 1;
  }
  const double png_ms = bench::Median(png) * 1e3;
  const double ico_ms = bench::Median(ico) * 1e3;
  std::printf("%s, %d icons, median of %d rounds\n", source.c_str(), png_count, kRounds);
  std::printf("  per-icon .ico files %.1f ms (%.3f ms per icon)\n", ico_ms, ico_ms / ico_count);
  std::printf("  per-icon .png files %.1f ms (%.3f ms per icon)\n", png_ms, png_ms / png_count);
  std::printf("  PNG / icon: %.2f (goal: at most 1.5)\n", png_ms / ico_ms);
  return 0;
}
