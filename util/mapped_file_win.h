// A file opened the way the shell opens it (read access, others may only
// read) and mapped read-only, and the wide form of an ANSI path that opens
// whatever its length (a long path is given the "\\?\" prefix).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "util/handles_win.h"

namespace util {

// A file opened as the shell opens it and mapped read-only as a whole, so
// that reading it costs only the pages looked at; a file of up to
// kReadWholeLimit bytes is read into memory instead, which costs fewer calls.
class MappedFile {
 public:
  static constexpr size_t kReadWholeLimit = 64 * 1024;

  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // The file could be opened for reading.
  bool opened() const { return opened_; }
  // Its bytes can be read through data() and size(); an empty file counts
  // as mapped, with no data. A device or a file too large for the address
  // space opens but does not map.
  bool mapped() const { return mapped_; }
  const uint8_t* data() const { return view_ ? static_cast<const uint8_t*>(view_) : bytes_.data(); }
  size_t size() const { return size_; }
  // The open file, for reading past the mapping.
  HANDLE handle() const { return file_.get(); }

 private:
  UniqueFile file_;
  UniqueKernelHandle mapping_;
  const void* view_ = nullptr;
  std::vector<uint8_t> bytes_;
  size_t size_ = 0;
  bool opened_ = false;
  bool mapped_ = false;
};

// The path as a wide string that CreateFileW accepts whatever its length.
std::wstring WidePathForOpen(const std::string& path);

}  // namespace util
