// Runs the structural icon-file check on a file on disk.
//
// The file is opened the way the shell opens it (read access, others may
// only read) and examined through a read-only mapping, so a file of any size
// costs only the pages the check touches. Paths of any length work: a long
// ANSI path is widened and given the "\\?\" prefix.
#pragma once

#include <string>

#include "util/icon_file_check.h"

namespace util {

struct IconFileInspection {
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
};

IconFileInspection InspectIconFile(const std::string& path);

// The path as a wide string that CreateFileW accepts whatever its length.
std::wstring WidePathForOpen(const std::string& path);

}  // namespace util
