// The all-sizes export of a library against a bare loop of the platform's
// own resource calls on the same file, both writing every icon group as an
// icon file into a fresh folder on the same disk, in this process.
//
// The bare loop loads the library as data, finds its icon groups in the
// order the shell counts them and writes each group's images behind a
// rebuilt directory: the least any program can do through the platform.
// Before timing, both must have written one file per group. Run it pinned
// to one CPU (scripts/bench.sh).
//
// Usage: allsizes_bench [file]   (default: the system folder's shell32.dll)
#include <windows.h>

#include "bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/export_engine_win.h"
#include "app/globals.h"

namespace {

using bench::Now;

// Wine's name for a path on the host.
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

BOOL CALLBACK CollectGroup(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
  auto* list = reinterpret_cast<std::vector<std::string>*>(names);
  // A number is kept as "#n", which FindResourceA takes back.
  list->push_back(IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<UINT_PTR>(name)) : name);
  return TRUE;
}

#pragma pack(push, 2)
struct GroupEntry {
  BYTE width, height, colors, reserved;
  WORD planes, bit_count;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

std::vector<BYTE> Resource(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(module, name, type);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  return data ? std::vector<BYTE>(data, data + SizeofResource(module, found)) : std::vector<BYTE>();
}

// One run of the bare resource loop into a fresh folder; seconds.
double TimeResourceCalls(const std::string& source, const std::string& unix_folder, int* written) {
  RunShell("rm -rf " + unix_folder + "; mkdir -p " + unix_folder);
  const std::string folder = WindowsPath(unix_folder);
  *written = 0;
  const double start = Now();
  HMODULE module = LoadLibraryExA(source.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return 0;
  std::vector<std::string> names;
  EnumResourceNamesA(module, reinterpret_cast<LPCSTR>(RT_GROUP_ICON), CollectGroup, reinterpret_cast<LONG_PTR>(&names));
  for (size_t g = 0; g < names.size(); ++g) {
    const std::vector<BYTE> group = Resource(module, names[g].c_str(), reinterpret_cast<LPCSTR>(RT_GROUP_ICON));
    if (group.size() < 6) continue;
    const WORD count = *reinterpret_cast<const WORD*>(&group[4]);
    if (group.size() < 6 + count * sizeof(GroupEntry)) continue;
    std::vector<BYTE> file(group.begin(), group.begin() + 6);
    std::vector<BYTE> images;
    for (WORD i = 0; i < count; ++i) {
      GroupEntry entry;
      std::memcpy(&entry, &group[6 + i * sizeof(GroupEntry)], sizeof entry);
      const std::vector<BYTE> image =
          Resource(module, MAKEINTRESOURCEA(entry.id), reinterpret_cast<LPCSTR>(RT_ICON));
      const DWORD offset = static_cast<DWORD>(6 + count * 16 + images.size());
      const BYTE* head = reinterpret_cast<const BYTE*>(&entry);
      file.insert(file.end(), head, head + 8);
      const DWORD size = static_cast<DWORD>(image.size());
      file.insert(file.end(), reinterpret_cast<const BYTE*>(&size), reinterpret_cast<const BYTE*>(&size) + 4);
      file.insert(file.end(), reinterpret_cast<const BYTE*>(&offset), reinterpret_cast<const BYTE*>(&offset) + 4);
      images.insert(images.end(), image.begin(), image.end());
    }
    file.insert(file.end(), images.begin(), images.end());
    const std::string name = folder + "\\group" + std::to_string(g + 1) + ".ico";
    HANDLE out = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) continue;
    DWORD done = 0;
    if (WriteFile(out, file.data(), static_cast<DWORD>(file.size()), &done, nullptr) && done == file.size())
      ++*written;
    CloseHandle(out);
  }
  FreeLibrary(module);
  return Now() - start;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string source = bench::SourceArgument(argc, argv);
  app::BatchMode = true;
  const std::string root = "/tmp/tamsel-allsizes-bench-" + std::to_string(GetCurrentProcessId());
  const std::string ours = root + "/tamsel", theirs = root + "/resource-calls";
  const UINT groups =
      static_cast<UINT>(reinterpret_cast<UINT_PTR>(ExtractIconA(GetModuleHandleA(nullptr), source.c_str(), UINT(-1))));

  // Warm up both, then check that both wrote every group.
  int written = 0, peer_written = 0;
  TimeEngine(source, ours, &written);
  TimeResourceCalls(source, theirs, &peer_written);
  std::printf("allsizes_bench: %s, %u icon groups\n", source.c_str(), groups);
  if (written != static_cast<int>(groups) || peer_written != static_cast<int>(groups)) {
    std::printf("  FAILED: Tamsel wrote %d groups whole, the resource calls %d files\n", written, peer_written);
    RunShell("rm -rf " + root);
    return 1;
  }

  const int kRounds = 9;
  std::vector<double> engine, peer;
  for (int round = 0; round < kRounds; ++round) {
    engine.push_back(TimeEngine(source, ours, &written));
    peer.push_back(TimeResourceCalls(source, theirs, &peer_written));
  }
  RunShell("rm -rf " + root);
  const double e = bench::Median(engine), p = bench::Median(peer);
  std::printf("  -allsizes export %.2f ms, bare resource calls %.2f ms (median of %d); ratio %.3f\n", e * 1e3,
              p * 1e3, kRounds, e / p);
  return 0;
}
