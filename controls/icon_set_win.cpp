#include "controls/icon_set_win.h"

#include <algorithm>

namespace controls {

TIconSet::TIconSet() : own_shell_(new ShellIcons()), shell_(*own_shell_) {}

TIconSet::TIconSet(IconShell& shell) : shell_(shell) {}

void TIconSet::Clear() { icons_.clear(); }

void TIconSet::Append(HICON icon) { icons_.push_back(std::make_unique<gui::TIcon>(icon)); }

bool TIconSet::LoadIcons(const std::string& path) {
  file_name_ = path;
  Clear();

  const util::IconFileInspection inspection = shell_.Inspect(path);
  if (!inspection.ShellMayRead()) return LoadWithoutOwnIcons(path, false);
  if (inspection.HoldsNoIconFormat()) {
    // The shell's answer for such a file is a probe of 1 and a count of 0.
    return true;
  }

  HICON probe = shell_.Probe(path);
  if (!probe) return LoadWithoutOwnIcons(path, true);
  if (probe != NotAnIconFileAnswer()) DestroyIcon(probe);

  const UINT count = std::min(shell_.Count(path), kMaxIcons);
  // The shell makes every icon it extracts at the large-icon size, so the
  // size need not be read back from each icon's bitmaps.
  const SIZE size = shell_.ExtractedIconSize();
  icons_.reserve(count);
  for (UINT i = 0; i < count; ++i) icons_.push_back(std::make_unique<gui::TIcon>(shell_.Extract(path, i), size));
  return true;
}

bool TIconSet::LoadWithoutOwnIcons(const std::string& path, bool shell_may_read) {
  HICON icon = shell_may_read && path.size() < MAX_PATH ? shell_.Associated(path) : shell_.TypeIcon(path);
  if (!icon) return false;
  Append(icon);
  return true;
}

}  // namespace controls
