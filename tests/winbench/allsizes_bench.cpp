// The all-sizes export of a library against icoutils' wrestool -x -t14 on
// the same file, both writing every icon group as an icon file into a
// fresh folder on the same disk.
//
// ExportIcons runs in this process; wrestool runs through /bin/sh, which
// times it alone (from just before its start to its end), so the Wine
// start of the shell is not counted against it, while its own start, which
// it needs for every file it reads, is. Both sides write into folders below
// /tmp. Before timing, both must have written one file per group. Run it
// pinned to one CPU (scripts/bench.sh): the shell and wrestool inherit the
// pinning.
//
// Usage: allsizes_bench [file]   (default: the system folder's shell32.dll)
#include <windows.h>

#include "bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/export_engine_win.h"
#include "app/globals.h"

namespace {

using bench::Now;

// Wine's name on the host for a Windows path, and the other way round.
std::string UnixPath(const std::string& path) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  const auto to_unix =
      reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
  wchar_t wide[MAX_PATH];
  if (!to_unix || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return "";
  char* unix = to_unix(wide);
  if (!unix) return "";
  std::string out(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

std::string WindowsPath(const std::string& unix) {
  std::string out = "Z:" + unix;
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

std::string ReadText(const std::string& path) {
  std::string text;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(h);
  return text;
}

// Runs a shell command on the host and returns what it printed; the output
// file appears (renamed) only once the command has ended.
std::string RunShell(const std::string& command) {
  static int counter = 0;
  const std::string out = "/tmp/tamsel-allsizes-bench-" + std::to_string(GetCurrentProcessId()) + "-" +
                          std::to_string(++counter);
  std::string line = "/bin/sh -c \"(" + command + ") > " + out + ".part 2>&1; mv " + out + ".part " + out + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA("Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return "";
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  const std::string win_out = WindowsPath(out);
  for (int i = 0; i < 6000 && GetFileAttributesA(win_out.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(5);
  const std::string text = ReadText(win_out);
  DeleteFileA(win_out.c_str());
  return text;
}

int FilesIn(const std::string& folder) {
  int n = 0;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((folder + "\\*.ico").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do ++n;
  while (FindNextFileA(find, &fd));
  FindClose(find);
  return n;
}

// One all-sizes export into a fresh folder; seconds.
double TimeEngine(const std::string& source, const std::string& unix_folder, int* written) {
  RunShell("rm -rf " + unix_folder + "; mkdir -p " + unix_folder);
  app::TExportRequest request;
  request.Type = app::etIcon;
  request.AllSizes = true;
  request.Source = source;
  request.DestFolder = WindowsPath(unix_folder);
  app::TExportWork work;
  int count = 0;
  const double start = Now();
  app::ExportIcons(work, count, request, 0);
  const double seconds = Now() - start;
  *written = count - work.SingleImageIcons;
  return seconds;
}

// One run of wrestool into a fresh folder, timed by the shell; seconds.
double TimeWrestool(const std::string& unix_source, const std::string& unix_folder) {
  const std::string out = RunShell("rm -rf " + unix_folder + "; mkdir -p " + unix_folder +
                                   "; s=$(date +%s%N); wrestool -x -t14 -o " + unix_folder + " '" + unix_source +
                                   "'; e=$(date +%s%N); echo $((e - s))");
  return std::strtod(out.c_str(), nullptr) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string source = bench::SourceArgument(argc, argv);
  const std::string unix_source = UnixPath(source);
  app::BatchMode = true;
  const std::string root = "/tmp/tamsel-allsizes-bench-" + std::to_string(GetCurrentProcessId());
  const std::string ours = root + "/tamsel", theirs = root + "/wrestool";
  const UINT groups =
      static_cast<UINT>(reinterpret_cast<UINT_PTR>(ExtractIconA(GetModuleHandleA(nullptr), source.c_str(), UINT(-1))));

  // Warm up both, then check that both wrote every group.
  int written = 0;
  TimeEngine(source, ours, &written);
  TimeWrestool(unix_source, theirs);
  const int peer_written = FilesIn(WindowsPath(theirs));
  std::printf("allsizes_bench: %s, %u icon groups\n", source.c_str(), groups);
  if (written != static_cast<int>(groups) || peer_written != static_cast<int>(groups)) {
    std::printf("  FAILED: Tamsel wrote %d groups whole, wrestool %d files\n", written, peer_written);
    RunShell("rm -rf " + root);
    return 1;
  }

  const int kRounds = 9;
  std::vector<double> engine, peer;
  for (int round = 0; round < kRounds; ++round) {
    engine.push_back(TimeEngine(source, ours, &written));
    peer.push_back(TimeWrestool(unix_source, theirs));
  }
  RunShell("rm -rf " + root);
  const double e = bench::Median(engine), p = bench::Median(peer);
  std::printf("  -allsizes export %.2f ms, wrestool -x -t14 %.2f ms (median of %d); ratio %.3f (goal < 1)\n", e * 1e3,
              p * 1e3, kRounds, e / p);
  return e < p ? 0 : 1;
}
