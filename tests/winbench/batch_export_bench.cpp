// The batch export of every icon as an icon file, whole process:
//   tamsel.exe -e SOURCE FOLDER -iconindex=0 -desttype=ICO -closewhendone
// from CreateProcess to its end, against bare_export.exe SOURCE FOLDER
// (ExtractIconA, GetIconInfo and GetDIBits, one .ico written per icon) the
// same way; each into an empty folder, alternately, medians. After every
// run, outside the timing, the folder must hold one non-empty .ico per
// icon of the source (the count the shell gives), or the run is a failure.
//
// Usage: batch_export_bench [file]   (default: the system's shell32.dll)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

// Seconds for one whole run into an empty folder; the files it left in
// *written.
double TimedRun(const std::string& exe, const std::string& arguments, const std::string& folder, int* written) {
  bench::RemoveFolder(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  bench::ResetTamselSettings();
  const double start = bench::Now();
  bench::Program program(exe, arguments);
  const bool ended = program.WaitForExit(600000) != STILL_ACTIVE;
  const double seconds = bench::Now() - start;
  *written = ended ? bench::CountFiles(folder, "*.ico") : 0;
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string source = bench::SourceArgument(argc, argv);
  const int icons =
      static_cast<int>(reinterpret_cast<UINT_PTR>(ExtractIconA(GetModuleHandleA(nullptr), source.c_str(), UINT(-1))));
  const std::string ours = bench::FreshTempFolder("tamsel-batch-bench-tamsel");
  const std::string theirs = bench::FreshTempFolder("tamsel-batch-bench-bare");
  const std::string tamsel_arguments =
      "-e \"" + source + "\" \"" + ours + "\" -iconindex=0 -desttype=ICO -closewhendone";
  const std::string bare_arguments = "\"" + source + "\" \"" + theirs + "\"";
  constexpr int kRounds = 9;
  const bench::AlternateRuns runs = bench::TimeAlternately(
      kRounds, icons, "batch_export_bench", "bare_export.exe", [&](bool tamsel_side, int* written) {
        return tamsel_side ? TimedRun(bench::TamselExe(), tamsel_arguments, ours, written)
                           : TimedRun(bench::Here() + "bare_export.exe", bare_arguments, theirs, written);
      });
  bench::RemoveFolder(ours);
  bench::RemoveFolder(theirs);
  if (runs.failure) {
    bench::PrintRow("batch-ico", 0, 0, "ms", 1.2, runs.failure);
    return 1;
  }
  const double t = runs.tamsel_ms, b = runs.baseline_ms;
  std::printf(
      "batch export of %s, %d icons as .ico files, whole process, median of %d: tamsel.exe %.1f ms, bare "
      "export %.1f ms; ratio %.2f (goal <= 1.2)\n",
      source.c_str(), icons, kRounds, t, b, t / b);
  bench::PrintRow("batch-ico", t, b, "ms", 1.2);
  return 0;
}
