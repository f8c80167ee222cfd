#include "util/file_utils_win.h"

#include <windows.h>

#include <vector>

#include "util/mbcs.h"

namespace util {

bool FolderExists(const std::string& path) {
  DWORD attrs = GetFileAttributesA(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& path) {
  DWORD attrs = GetFileAttributesA(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string GetEnvVar(const std::string& name) {
  std::vector<char> buffer(255);
  for (;;) {
    DWORD n = GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    // A result not smaller than the buffer is the size needed, terminator included.
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(n + 1);
  }
}

std::string FullPathName(const std::string& path) {
  if (path.empty()) return path;
  const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::string full(needed, '\0');
  const DWORD got = GetFullPathNameA(path.c_str(), needed, &full[0], nullptr);
  if (got == 0 || got >= needed) return path;
  full.resize(got);
  return full;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0) return std::string();
    // A result not smaller than the buffer is the size needed, terminator included.
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(n);
  }
}

std::string ProgramPath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramFolder() {
  const std::string path = ProgramPath();
  return path.empty() ? path : ExtractFilePath(path);
}

std::string GetTempFolder() {
  std::string folder = GetEnvVar("TMP");
  if (folder.empty() || !FolderExists(folder)) folder = GetEnvVar("TEMP");
  if (folder.empty() || !FolderExists(folder)) folder = ProgramFolder();
  std::vector<char> full(MAX_PATH);
  for (;;) {
    DWORD n = GetFullPathNameA(folder.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) break;
    if (n < full.size()) {
      folder.assign(full.data(), n);
      break;
    }
    full.resize(n + 1);
  }
  return AddBackslash(folder);
}

std::string GetUniqueFileName(const std::string& folder, const std::string& path, const std::string& ext) {
  return util::GetUniqueFileName(
      folder, path, ext, [](const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

WinVersion CurrentWindowsVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  WinVersion v;
  // GetVersionExA is deprecated for programs that want to be told a newer
  // version than they were built for; the version names need the real one.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  if (!GetVersionExA(&info)) return v;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s: v.platform = WinPlatform::kWin32s; break;
    case VER_PLATFORM_WIN32_WINDOWS: v.platform = WinPlatform::kWindows9x; break;
    case VER_PLATFORM_WIN32_NT: v.platform = WinPlatform::kWindowsNT; break;
    default: break;
  }
  v.major = info.dwMajorVersion;
  v.minor = info.dwMinorVersion;
  return v;
}

std::string GetWindowsVersionName() { return WindowsVersionName(CurrentWindowsVersion()); }

bool IsWindowsXPOrLater() { return IsXPOrLater(CurrentWindowsVersion()); }

namespace {
bool SystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }
}  // namespace

void InstallLeadByteTest() { SetLeadByteTest(&SystemLeadByte); }

}  // namespace util
