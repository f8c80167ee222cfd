#include "util/folder_scan_win.h"

#include <windows.h>

#include <cstring>
#include <optional>

#include "util/file_utils.h"
#include "util/handles_win.h"
#include "util/mapped_file_win.h"
#include "util/system_paths_win.h"

namespace util {

namespace {

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

// "C:", "C:\", "\\server\share" and "\\server\share\": a folder without "." and "..".
bool IsRootFolder(const std::string& folder) {
  const std::string trimmed = RemoveBackslash(folder);
  if (trimmed.size() == 2 && trimmed[1] == ':') return true;
  if (trimmed.compare(0, 2, "\\\\") != 0) return false;
  const size_t server_end = trimmed.find('\\', 2);
  return server_end != std::string::npos && trimmed.find('\\', server_end + 1) == std::string::npos;
}

// What tells one folder from every other: its volume and its file index.
struct FolderIdentity {
  DWORD volume = 0;
  DWORD high = 0;
  DWORD low = 0;
  bool operator==(const FolderIdentity& o) const { return volume == o.volume && high == o.high && low == o.low; }
};

std::optional<FolderIdentity> IdentityOf(const std::string& folder) {
  UniqueFile handle(CreateFileW(WidePathForOpen(NativePath(AddBackslash(folder))).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!handle || !GetFileInformationByHandle(handle.get(), &info)) return std::nullopt;
  return FolderIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// A subfolder reached through a link (a junction, a symbolic link, a Unix
// symbolic link under Wine) that leads back to the folder it lies in or to
// one above it: entering it would walk the same folders round and round
// until the path grows too long. A link that leads nowhere is no folder.
bool LinksBack(const std::string& folder, const std::string& name) {
  const std::optional<FolderIdentity> target = IdentityOf(JoinPath(folder, name));
  if (!target) return true;
  for (std::string up = RemoveBackslash(folder);;) {
    if (IdentityOf(up) == target) return true;
    const std::string parent = RemoveBackslash(ExtractFileDir(up));
    if (parent.empty() || parent.size() >= up.size()) return false;
    up = parent;
  }
}

}  // namespace

// The scan names folders and files as the user knows them; it enters each
// folder by the path that reaches the real one (System32 through Sysnative
// in the 32-bit program on 64-bit Windows), and the names it then reads
// are relative to that. A folder that may be entered but not read (no
// right to list it) counts as one that cannot be entered: passing it over in silence would hide
// from the user that its files were never looked at.
bool TWinScanFileSystem::EnterFolder(const std::string& folder) {
  listed_folder_.clear();
  listing_.clear();
  if (!SetCurrentDirectoryA(NativePath(folder).c_str())) {
    last_error_ = GetLastError();
    return false;
  }
  WIN32_FIND_DATAA data;
  UniqueFindHandle find(FindFirstFileA("*", &data));
  if (!find) {
    // Every folder but the root of a drive or share lists "." and "..", so
    // finding nothing at all means the folder could not be read (Wine says
    // "not found" then, Windows "access denied").
    const DWORD error = GetLastError();
    if (IsRootFolder(folder) && (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES)) {
      listed_folder_ = folder;
      return true;
    }
    last_error_ = error == ERROR_FILE_NOT_FOUND ? ERROR_ACCESS_DENIED : error;
    return false;
  }
  do {
    if (!IsDotEntry(data.cFileName))
      listing_.push_back({data.cFileName, data.cAlternateFileName, data.dwFileAttributes});
  } while (FindNextFileA(find.get(), &data));
  listed_folder_ = folder;
  return true;
}

std::vector<std::string> TWinScanFileSystem::Files(const std::string& pattern) {
  // Every attribute: hidden and system files count, and a folder whose
  // name matches is seen like a file (the shell then finds no icon in it).
  // A name matches as the file system's own search matches it: by its long
  // name or by its short one.
  std::vector<std::string> names;
  for (const Entry& entry : listing_) {
    if (MatchesFileMask(entry.name, pattern) ||
        (!entry.short_name.empty() && MatchesFileMask(entry.short_name, pattern)))
      names.push_back(entry.name);
  }
  return names;
}

std::vector<std::string> TWinScanFileSystem::Subfolders(const std::string& folder) {
  std::vector<Entry> other;
  if (folder != listed_folder_) {
    WIN32_FIND_DATAA data;
    UniqueFindHandle find(FindFirstFileA(NativePath(JoinPath(folder, "*.*")).c_str(), &data));
    if (find) {
      do other.push_back({data.cFileName, data.cAlternateFileName, data.dwFileAttributes});
      while (FindNextFileA(find.get(), &data));
    }
  }
  // Hidden and system folders are not entered, nor links that lead back.
  std::vector<std::string> names;
  for (const Entry& entry : folder == listed_folder_ ? listing_ : other) {
    const DWORD a = entry.attributes;
    if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
        !IsDotEntry(entry.name.c_str()) && !((a & FILE_ATTRIBUTE_REPARSE_POINT) && LinksBack(folder, entry.name)))
      names.push_back(entry.name);
  }
  return names;
}

}  // namespace util
