// Win32 side of AtomicFile.
//
// WriteFile's own count is checked (on a full disk it has been seen to
// report success for part of the data) and so is the close; the finished
// file then replaces the target with MoveFileExA, which also works when the
// target exists. The data is not forced to the disk before the rename: that
// costs more than the whole export of an icon, and a failed write is caught
// by the counts and the close without it.
// Replacing creates a new file: the old file's attributes are not carried
// over.
#include <windows.h>

#include "util/atomic_file.h"
#include "util/handles_win.h"

namespace util::atomic_file_detail {

namespace {
HANDLE AsHandle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
}  // namespace

CreateStatus CreateNew(const std::string& path, intptr_t* handle) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    return (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) ? CreateStatus::kExists
                                                                         : CreateStatus::kFailed;
  }
  *handle = reinterpret_cast<intptr_t>(h);
  return CreateStatus::kOk;
}

bool WriteAll(intptr_t handle, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    DWORD chunk = size > 0x10000000u ? 0x10000000u : static_cast<DWORD>(size);
    DWORD done = 0;
    if (!WriteFile(AsHandle(handle), p, chunk, &done, nullptr) || done == 0) return false;
    p += done;
    size -= done;
  }
  return true;
}

bool CloseChecked(intptr_t handle) {
  UniqueFile file(AsHandle(handle));
  return util::CloseChecked(file);
}

void CloseQuietly(intptr_t handle) { CloseHandle(AsHandle(handle)); }

bool Replace(const std::string& from, const std::string& to) {
  // A read-only target is never replaced, as opening it for writing would
  // fail (Wine's MoveFileExA would replace it anyway).
  DWORD attributes = GetFileAttributesA(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool Remove(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TargetState Inspect(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return TargetState::kAbsent;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return TargetState::kNotAFile;
  return (attributes & FILE_ATTRIBUTE_READONLY) ? TargetState::kReadOnly : TargetState::kFile;
}

unsigned ProcessId() { return static_cast<unsigned>(GetCurrentProcessId()); }

}  // namespace util::atomic_file_detail
