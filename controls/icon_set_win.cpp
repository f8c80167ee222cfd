#include "controls/icon_set_win.h"

#include <algorithm>

#include "util/handles_win.h"

namespace controls {

TIconSet::TIconSet() : own_shell_(new ShellIcons()), shell_(*own_shell_) {}

TIconSet::TIconSet(IconShell& shell) : shell_(shell) {}

void TIconSet::Clear() {
  held_.clear();
  icons_.clear();
}

const imaging::TIcon& TIconSet::Icons(int i) const {
  Entry& entry = *icons_[static_cast<size_t>(i)];
  if (!entry.extracted) {
    entry.extracted = true;
    HICON icon = shell_.Extract(source_, static_cast<UINT>(i));
    entry.icon = imaging::TIcon(icon, size_);
    if (icon) Hold(i);
  }
  return entry.icon;
}

void TIconSet::VisitIcons(int first, int last,
                          const std::function<void(int index, const imaging::TIcon& icon)>& use) const {
  for (int i = first; i < last; ++i) {
    const bool held = Extracted(i);
    use(i, Icons(i));
    if (held) continue;
    Entry& entry = *icons_[static_cast<size_t>(i)];
    const auto holding = std::find(held_.begin(), held_.end(), i);
    if (holding != held_.end()) held_.erase(holding);
    entry.icon = imaging::TIcon();
    entry.extracted = false;
  }
}

void TIconSet::Hold(int index) const {
  while (held_.size() >= static_cast<size_t>(kMaxHeldIcons)) {
    Entry& oldest = *icons_[static_cast<size_t>(held_.front())];
    oldest.icon = imaging::TIcon();
    oldest.extracted = false;
    held_.pop_front();
  }
  held_.push_back(index);
}

void TIconSet::Append(HICON icon, SIZE size) {
  icons_.push_back(std::make_unique<Entry>());
  Entry& entry = *icons_.back();
  entry.icon = imaging::TIcon(icon, size);
  entry.extracted = true;
  if (icon) Hold(IconCount() - 1);
}

bool TIconSet::LoadIcons(const std::string& path) {
  file_name_ = path;
  Clear();

  const imaging::IconFileInspection inspection = shell_.Inspect(path);
  // The shell reads the file the check read (the same file through
  // Sysnative, or a system library's .mun file); the set keeps the name.
  source_ = inspection.Source(path);
  if (!inspection.ShellMayRead()) return LoadWithoutOwnIcons(source_, false);
  if (inspection.HoldsNoIconFormat()) {
    // The shell's answer for such a file is a probe of 1 and a count of 0.
    return true;
  }

  HICON probe = shell_.Probe(source_);
  if (!probe) return LoadWithoutOwnIcons(source_, true);
  util::UniqueIcon first(probe != NotAnIconFileAnswer() ? probe : nullptr);

  const UINT count = std::min(shell_.Count(source_), kMaxIcons);
  // The shell makes every icon it extracts at the large-icon size, so the
  // size need not be read back from each icon's bitmaps.
  size_ = shell_.ExtractedIconSize();
  icons_.reserve(count);
  // The probe is the first icon's extraction.
  if (count > 0 && first) Append(first.release(), size_);
  while (icons_.size() < count) icons_.push_back(std::make_unique<Entry>());
  return true;
}

bool TIconSet::LoadWithoutOwnIcons(const std::string& path, bool shell_may_read) {
  HICON icon = shell_may_read && path.size() < MAX_PATH ? shell_.Associated(path) : shell_.TypeIcon(path);
  if (!icon) return false;
  Append(icon, imaging::IconSize(icon));
  return true;
}

}  // namespace controls
