// POSIX side of AtomicFile: the native build and its tests.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "util/atomic_file.h"

namespace util::atomic_file_detail {

CreateStatus CreateNew(const std::string& path, intptr_t* handle) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return errno == EEXIST ? CreateStatus::kExists : CreateStatus::kFailed;
  *handle = fd;
  return CreateStatus::kOk;
}

bool WriteAll(intptr_t handle, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(static_cast<int>(handle), p, size);
    if (n < 0 && errno == EINTR) continue;
    // A short count is retried: the next call reports the real error
    // (ENOSPC), or stores the rest.
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool CloseChecked(intptr_t handle) { return ::close(static_cast<int>(handle)) == 0; }

void CloseQuietly(intptr_t handle) { ::close(static_cast<int>(handle)); }

bool Replace(const std::string& from, const std::string& to) {
  // A read-only target is left alone, as on Windows.
  struct stat st;
  if (::stat(to.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR)) {
    errno = EACCES;
    return false;
  }
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool Remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

TargetState Inspect(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return TargetState::kAbsent;
  if (!S_ISREG(st.st_mode)) return TargetState::kNotAFile;
  return (st.st_mode & S_IWUSR) ? TargetState::kFile : TargetState::kReadOnly;
}

unsigned ProcessId() { return static_cast<unsigned>(::getpid()); }

}  // namespace util::atomic_file_detail

#endif
