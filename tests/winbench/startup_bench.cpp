// Start-up: from CreateProcess to the first complete paint of the window,
// tamsel.exe without arguments (it shows its own icons) against
// bare_window.exe without a file (every library tamsel.exe imports, the
// same manifest, a painted window), alternately, medians. "Painted" is
// Program::WaitUntilPainted (bench_support.h), the same test for both.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

// Seconds from the start to the first complete paint; 0 on failure.
double TimeToPainted(const std::string& exe, const std::string& arguments) {
  bench::ResetTamselSettings();
  const double start = bench::Now();
  bench::Program program(exe, arguments);
  const double painted = program.WaitUntilPainted(30000);
  return painted > 0 ? painted - start : 0;
}

}  // namespace

int main() {
  const std::string tamsel = bench::TamselExe(), bare = bench::Here() + "bare_window.exe";
  const std::string bare_arguments = bench::BareWindowArguments("");
  constexpr int kRounds = 15;
  // One start of each first, so that both find the same files in the cache.
  TimeToPainted(tamsel, "");
  TimeToPainted(bare, bare_arguments);
  std::vector<double> ours, theirs;
  for (int round = 0; round < kRounds; ++round) {
    const double a = TimeToPainted(tamsel, ""), b = TimeToPainted(bare, bare_arguments);
    if (a <= 0 || b <= 0) {
      std::printf("startup: %s did not paint a window\n", a <= 0 ? "tamsel.exe" : "bare_window.exe");
      bench::PrintRow("startup", 0, 0, "ms", 1.3, "a program did not paint its window");
      return 1;
    }
    ours.push_back(a * 1e3);
    theirs.push_back(b * 1e3);
  }
  const double t = bench::Median(ours), b = bench::Median(theirs);
  std::string libraries;
  for (const std::string& name : bench::ImportedLibraries(tamsel)) libraries += (libraries.empty() ? "" : ", ") + name;
  std::printf(
      "startup to the first complete paint, median of %d: tamsel.exe %.1f ms, bare window loading the same "
      "libraries (%s) %.1f ms; ratio %.2f (goal <= 1.3, stretch 1.1)\n",
      kRounds, t, libraries.c_str(), b, t / b);
  bench::PrintRow("startup", t, b, "ms", 1.3);
  return 0;
}
