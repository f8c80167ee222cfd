// Runs the structural icon-file check on a file on disk, read through a
// read-only mapping (util/mapped_file_win, which reads a small file whole),
// so a file of any size costs only the pages the check touches; the images
// of a large file are read through a small buffer, so that even those pages
// do not stay in the working set.
#pragma once

#include <windows.h>

#include <string>

#include "imaging/icon_file_check.h"

namespace imaging {

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

}  // namespace imaging
