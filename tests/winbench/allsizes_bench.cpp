// The batch export of every icon with all its sizes, whole process:
//   tamsel.exe -e SOURCE FOLDER -iconindex=0 -desttype=ICO -allsizes -closewhendone
// from CreateProcess to its end, against icoutils' wrestool writing every
// icon group of the same file as an icon file on the Linux side,
//   wrestool -x -t14 -o FOLDER SOURCE
// timed there by bash from just before it starts to just after it ends
// (the shell that times it is started from here, outside the timing). Each
// writes into an empty folder, alternately, medians. After every run both
// folders must hold one non-empty icon file per icon group of the source.
//
// Usage: allsizes_bench [file]   (default: the system's shell32.dll)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "win/window_driver.h"

namespace {

// Seconds for one tamsel.exe run into an empty folder; the icon files it
// left in *written.
double TimedTamsel(const std::string& source, const std::string& folder, int* written) {
  bench::RemoveFolder(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  bench::ResetTamselSettings();
  const double start = bench::Now();
  bench::Program program(bench::TamselExe(), "-e \"" + source + "\" \"" + folder +
                                                 "\" -iconindex=0 -desttype=ICO -allsizes -closewhendone");
  const bool ended = program.WaitForExit(600000) != STILL_ACTIVE;
  const double seconds = bench::Now() - start;
  *written = ended ? bench::CountFiles(folder, "*.ico") : 0;
  return seconds;
}

// Seconds for one wrestool run into an empty folder, as bash timed it; the
// files it left in *written. 0 when it could not be timed.
double TimedWrestool(const std::string& unix_source, const std::string& unix_folder, int* written) {
  const std::string script = "rm -rf " + unix_folder + "; mkdir -p " + unix_folder +
                             "; s=${EPOCHREALTIME/./}; wrestool -x -t14 -o " + unix_folder + " " + unix_source +
                             "; e=${EPOCHREALTIME/./}; echo $((e - s)) $(find " + unix_folder +
                             " -type f -size +0 | wc -l)";
  const std::string answer = testing_support::RunUnix("bash -c '" + script + "'", 120);
  long microseconds = 0;
  *written = 0;
  if (std::sscanf(answer.c_str(), "%ld %d", &microseconds, written) != 2) {
    std::printf("  wrestool answered: %s\n", answer.c_str());
    return 0;
  }
  return static_cast<double>(microseconds) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string source = bench::SourceArgument(argc, argv);
  const std::string unix_source = testing_support::UnixPath(source);
  const int icons =
      static_cast<int>(reinterpret_cast<UINT_PTR>(ExtractIconA(GetModuleHandleA(nullptr), source.c_str(), UINT(-1))));
  // Both write beside each other, on the same disk.
  const std::string ours = bench::FreshTempFolder("tamsel-allsizes-bench");
  const std::string theirs_folder = bench::FreshTempFolder("tamsel-allsizes-bench-wrestool");
  const std::string theirs = testing_support::UnixPath(theirs_folder);
  constexpr int kRounds = 9;
  bench::AlternateRuns runs;
  if (unix_source.empty() || theirs.empty()) {
    runs.failure = "no Unix path for the files";
  } else {
    runs = bench::TimeAlternately(kRounds, icons, "allsizes_bench", "wrestool", [&](bool tamsel_side, int* written) {
      return tamsel_side ? TimedTamsel(source, ours, written) : TimedWrestool(unix_source, theirs, written);
    });
  }
  bench::RemoveFolder(ours);
  bench::RemoveFolder(theirs_folder);
  if (runs.failure) {
    bench::PrintRow("batch-allsizes", 0, 0, "ms", 0.5, runs.failure);
    return 1;
  }
  const double t = runs.tamsel_ms, w = runs.baseline_ms;
  std::printf(
      "-allsizes export of %s, %d icon groups, whole process, median of %d: tamsel.exe %.1f ms, wrestool "
      "(native) %.1f ms; ratio %.2f (goal <= 0.5)\n",
      source.c_str(), icons, kRounds, t, w, t / w);
  bench::PrintRow("batch-allsizes", t, w, "ms", 0.5);
  return 0;
}
