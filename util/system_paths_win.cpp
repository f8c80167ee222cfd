#include "util/system_paths_win.h"

#include <windows.h>

#include "util/file_utils.h"
#include "util/system_paths.h"

namespace util {
namespace {

bool IsFullPath(const std::string& path) {
  return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') || path.compare(0, 2, "\\\\") == 0;
}

bool IsWow64() {
  // Looked up rather than linked: the call is missing before XP SP2.
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto is_wow64 = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return is_wow64 && is_wow64(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

const std::string& WindowsFolder() {
  static const std::string folder = [] {
    char buffer[MAX_PATH + 1] = {};
    const UINT n = GetSystemWindowsDirectoryA(buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? RemoveBackslash(std::string(buffer, n)) : std::string();
  }();
  return folder;
}

bool SystemFolderRedirected() {
  static const bool redirected = [] {
    if (!IsWow64() || WindowsFolder().empty()) return false;
    const DWORD attributes = GetFileAttributesA((WindowsFolder() + "\\Sysnative").c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }();
  return redirected;
}

std::string NativePath(const std::string& path) {
  if (path.empty() || !SystemFolderRedirected()) return path;
  std::string full = path;
  if (!IsFullPath(path)) {
    char buffer[MAX_PATH + 1] = {};
    const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    if (n == 0 || n >= MAX_PATH) return path;
    full.assign(buffer, n);
  }
  const std::string native = SystemToSysnative(full, WindowsFolder());
  return native == full ? path : native;
}

}  // namespace util
