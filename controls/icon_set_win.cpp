#include "controls/icon_set_win.h"

#include <algorithm>

#include "imaging/saveicons_win.h"

namespace controls {

TIconSet::TIconSet() : own_shell_(new ShellIcons()), shell_(*own_shell_) {}

TIconSet::TIconSet(IconShell& shell) : shell_(shell) {}

void TIconSet::Clear() {
  held_.clear();
  icons_.clear();
}

const imaging::TIcon& TIconSet::Icons(int i) const {
  Entry& entry = *icons_[static_cast<size_t>(i)];
  if (entry.icon.Empty() && entry.stored) {
    entry.icon = imaging::TIcon(imaging::CreateIconFromImages(entry.color, entry.mask),
                            SIZE{entry.color.width, entry.color.height});
    if (!entry.icon.Empty()) Hold(i);
  }
  return entry.icon;
}

void TIconSet::Hold(int index) const {
  while (held_.size() >= static_cast<size_t>(kMaxHeldIcons)) {
    Store(*icons_[static_cast<size_t>(held_.front())]);
    held_.pop_front();
  }
  held_.push_back(index);
}

void TIconSet::Store(Entry& entry) const {
  if (!entry.stored && !entry.icon.Empty())
    entry.stored = imaging::ReadIconImages(entry.icon.Handle(), &entry.color, &entry.mask) >= 0;
  // An icon whose bitmaps cannot be read is let go all the same: the bound
  // on handles matters more than one picture the system would not give.
  entry.icon = imaging::TIcon();
}

void TIconSet::Append(HICON icon, SIZE size) {
  icons_.push_back(std::make_unique<Entry>());
  Entry& entry = *icons_.back();
  entry.icon = imaging::TIcon(icon, size);
  if (!icon) return;
  if (held_.size() < static_cast<size_t>(kMaxHeldIcons)) held_.push_back(IconCount() - 1);
  else Store(entry);
}

bool TIconSet::LoadIcons(const std::string& path) {
  file_name_ = path;
  Clear();

  const util::IconFileInspection inspection = shell_.Inspect(path);
  // The shell reads the file the check read (the same file through
  // Sysnative, or a system library's .mun file); the set keeps the name.
  const std::string& source = inspection.Source(path);
  if (!inspection.ShellMayRead()) return LoadWithoutOwnIcons(source, false);
  if (inspection.HoldsNoIconFormat()) {
    // The shell's answer for such a file is a probe of 1 and a count of 0.
    return true;
  }

  HICON probe = shell_.Probe(source);
  if (!probe) return LoadWithoutOwnIcons(source, true);
  if (probe != NotAnIconFileAnswer()) DestroyIcon(probe);

  const UINT count = std::min(shell_.Count(source), kMaxIcons);
  // The shell makes every icon it extracts at the large-icon size, so the
  // size need not be read back from each icon's bitmaps.
  const SIZE size = shell_.ExtractedIconSize();
  icons_.reserve(count);
  for (UINT i = 0; i < count; ++i) Append(shell_.Extract(source, i), size);
  return true;
}

bool TIconSet::LoadWithoutOwnIcons(const std::string& path, bool shell_may_read) {
  HICON icon = shell_may_read && path.size() < MAX_PATH ? shell_.Associated(path) : shell_.TypeIcon(path);
  if (!icon) return false;
  Append(icon, imaging::IconSize(icon));
  return true;
}

}  // namespace controls
