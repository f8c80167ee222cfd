#include "controls/folder_scan_win.h"

#include <windows.h>

#include "util/file_utils.h"
#include "util/handles_win.h"
#include "util/system_paths_win.h"

namespace controls {

namespace {

bool IsDotEntry(const char* name) { return std::string(name) == "." || std::string(name) == ".."; }

}  // namespace

// The scan names folders and files as the user knows them; it enters each
// folder by the path that reaches the real one (System32 through Sysnative
// in the 32-bit program on 64-bit Windows), and the names it then reads
// are relative to that.
bool TWinScanFileSystem::EnterFolder(const std::string& folder) {
  if (SetCurrentDirectoryA(util::NativePath(folder).c_str())) return true;
  last_error_ = GetLastError();
  return false;
}

std::vector<std::string> TWinScanFileSystem::Files(const std::string& pattern) {
  // Every attribute: hidden and system files count, and a folder whose
  // name matches is seen like a file (the shell then finds no icon in it).
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  util::UniqueFindHandle find(FindFirstFileA(pattern.c_str(), &data));
  if (!find) return names;
  do {
    if (!IsDotEntry(data.cFileName)) names.push_back(data.cFileName);
  } while (FindNextFileA(find.get(), &data));
  return names;
}

std::vector<std::string> TWinScanFileSystem::Subfolders(const std::string& folder) {
  // Hidden and system folders are not entered.
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  util::UniqueFindHandle find(FindFirstFileA(util::NativePath(util::JoinPath(folder, "*.*")).c_str(), &data));
  if (!find) return names;
  do {
    const DWORD a = data.dwFileAttributes;
    if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
        !IsDotEntry(data.cFileName))
      names.push_back(data.cFileName);
  } while (FindNextFileA(find.get(), &data));
  return names;
}

uint32_t TWinScanFileSystem::IconCount(const std::string& name) {
  // The structural check walks the same directories as the shell's count
  // query and comes to the same number, so the shell, which would open and
  // map the file a second time, is asked only about a file the check could
  // not open (a folder matching the mask, a file held by another process).
  const util::IconFileInspection inspection = shell_.Inspect(name);
  if (inspection.opened) return inspection.check.damaged ? 0 : inspection.check.icon_count;
  return shell_.Count(inspection.Source(name));
}

}  // namespace controls
