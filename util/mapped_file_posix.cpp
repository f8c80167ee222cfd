#ifndef _WIN32

#include "util/mapped_file_posix.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace util {

namespace {

// The system's text for an error number; unlike strerror, safe on any thread.
std::string SystemText(int error) { return std::error_code(error, std::generic_category()).message(); }

}  // namespace

PosixMappedFile::PosixMappedFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error_ = SystemText(errno);
    return;
  }
  opened_ = true;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error_ = SystemText(errno);
  } else if (!S_ISREG(st.st_mode)) {
    error_ = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a plain file";
  } else if (static_cast<uint64_t>(st.st_size) > SIZE_MAX) {
    error_ = "it is too large for the address space";
  } else if (st.st_size == 0) {
    mapped_ = true;
  } else {
    size_ = static_cast<size_t>(st.st_size);
    void* view = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) {
      error_ = SystemText(errno);
      size_ = 0;
    } else {
      view_ = view;
      mapped_ = true;
    }
  }
  // The mapping keeps the file's pages; the descriptor is no longer needed.
  ::close(fd);
}

PosixMappedFile::~PosixMappedFile() {
  if (view_) ::munmap(view_, size_);
}

}  // namespace util

#endif  // _WIN32
