// The icon source: the icons of one file, in the order the file holds them.
//
// LoadIcons asks the shell as the program always has: a probe for icon 0,
// then the count and every icon by index, or, when the file holds no icon
// of its own, the icon associated with it. Before the shell reads anything,
// the file passes a structural check; a file that looks like an executable
// or icon file but is damaged never reaches the shell and is treated as a
// file without icons of its own, whose icon then comes from its type alone.
// A file that is no executable and no icon file gets the shell's answer for
// such files (a probe of 1, a count of 0: an empty set, loaded) without the
// shell being asked, so that it reads the same on every system.
//
// The set owns its icon objects; callers borrow them by index until the
// next load. The grid control that owns the set resets its selection after
// every load.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/icon_shell_win.h"
#include "gui/icon.h"

namespace controls {

class TIconSet {
 public:
  // Uses the real shell.
  TIconSet();
  // Uses the given shell, which must outlive the set (tests).
  explicit TIconSet(IconShell& shell);
  TIconSet(const TIconSet&) = delete;
  TIconSet& operator=(const TIconSet&) = delete;

  // Replaces the whole set with the icons of path. Returns whether the load
  // succeeded; after a failed load the set is empty.
  bool LoadIcons(const std::string& path);

  int IconCount() const { return static_cast<int>(icons_.size()); }
  // i must lie in 0 .. IconCount() - 1.
  const gui::TIcon& Icons(int i) const { return *icons_[static_cast<size_t>(i)]; }
  const std::string& FileName() const { return file_name_; }

  // Frees every icon object.
  void Clear();

  // More icons than any file can name (65535 named plus 65535 numbered
  // groups); a count beyond it is no count.
  static constexpr UINT kMaxIcons = 2 * 65535;

 private:
  bool LoadWithoutOwnIcons(const std::string& path, bool shell_may_read);
  void Append(HICON icon);

  std::unique_ptr<IconShell> own_shell_;
  IconShell& shell_;
  std::string file_name_;
  // Each icon object sits at a fixed address, so a borrowed reference stays
  // good while the list grows.
  std::vector<std::unique_ptr<gui::TIcon>> icons_;
};

}  // namespace controls
