// A file mapped read-only as a whole on POSIX systems, the native
// counterpart of util/mapped_file_win.h: reading a large library costs only
// the pages looked at, and nothing of it is copied into memory.
#pragma once

#ifndef _WIN32

#include <cstddef>
#include <cstdint>
#include <string>

namespace util {

class PosixMappedFile {
 public:
  explicit PosixMappedFile(const std::string& path);
  ~PosixMappedFile();
  PosixMappedFile(const PosixMappedFile&) = delete;
  PosixMappedFile& operator=(const PosixMappedFile&) = delete;

  // The file could be opened for reading; error() says why not.
  bool opened() const { return opened_; }
  // Its bytes can be read through data() and size(); an empty file counts
  // as mapped, with no data. A folder or a device opens but does not map.
  bool mapped() const { return mapped_; }
  const uint8_t* data() const { return static_cast<const uint8_t*>(view_); }
  size_t size() const { return size_; }
  // Why the file is not mapped (the system's text); empty when it is.
  const std::string& error() const { return error_; }

 private:
  void* view_ = nullptr;
  size_t size_ = 0;
  bool opened_ = false;
  bool mapped_ = false;
  std::string error_;
};

}  // namespace util

#endif  // _WIN32
