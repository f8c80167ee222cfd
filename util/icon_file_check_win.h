// Runs the structural icon-file check on a file on disk.
//
// The file is opened the way the shell opens it (read access, others may
// only read) and examined through a read-only mapping, so a file of any size
// costs only the pages the check touches. Paths of any length work: a long
// ANSI path is widened and given the "\\?\" prefix.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "util/handles_win.h"
#include "util/icon_file_check.h"

namespace util {

struct IconFileInspection {
  // The file that was read and that the shell is to be given for the
  // icons: the path itself, reached through Sysnative when this process is
  // redirected away from System32 (util/system_paths_win), or, for a
  // library that holds no icon groups of its own, the .mun file in which
  // 64-bit Windows keeps that library's icons. Empty only in inspections
  // made up by tests, which stand for the path itself.
  std::string source;
  // False when the file could not be opened for reading: it does not exist,
  // it is a folder, it is locked or access is denied. The shell cannot read
  // such a file either, so handing it the path is harmless.
  bool opened = false;
  // The verdict on the contents; meaningful when opened. A file that opens
  // but cannot be mapped (a device, a file too large for the address space)
  // counts as damaged: nobody has seen what the shell would read.
  IconFileCheck check;

  bool ShellMayRead() const { return !opened || !check.damaged; }
  // A sound file that is no executable and no icon file: the shell finds no
  // icon in it (its probe answers 1 on Windows), so it need not be asked.
  bool HoldsNoIconFormat() const { return opened && check.format == IconFileFormat::kOther; }
  // The file to hand the shell in place of path.
  const std::string& Source(const std::string& path) const { return source.empty() ? path : source; }
};

// Checks the file path names, and takes the icons of a library without
// icon groups from its .mun file when there is one (the same check guards
// that file).
IconFileInspection InspectIconFile(const std::string& path);

// A file opened as the shell opens it and mapped read-only as a whole, so
// that reading it costs only the pages looked at.
class MappedFile {
 public:
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
  const uint8_t* data() const { return static_cast<const uint8_t*>(view_); }
  size_t size() const { return size_; }

 private:
  UniqueFile file_;
  UniqueKernelHandle mapping_;
  const void* view_ = nullptr;
  size_t size_ = 0;
  bool opened_ = false;
  bool mapped_ = false;
};

// The path as a wide string that CreateFileW accepts whatever its length.
std::wstring WidePathForOpen(const std::string& path);

}  // namespace util
