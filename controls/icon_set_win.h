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
// The count comes at once; each icon is extracted the first time it is
// asked for (the grid asks for the icons it shows and a page around them),
// so a library of thousands of icons opens as fast as a small one.
//
// A library may hold tens of thousands of icons, and every icon handle
// holds two GDI objects: Windows lets a process have 10,000 of them and
// Wine's server dies a little above 32,000 icons. The set therefore keeps
// at most kMaxHeldIcons icons as handles. Asking for one more lets go of
// the handle asked for longest ago; that icon is extracted again when it
// is next asked for. The probe's icon is kept as icon 0.
//
// The set owns its icon objects; callers borrow them by index. A borrowed
// reference stays valid until the next load, but its handle may be let go
// once kMaxHeldIcons other icons have been asked for: use it at once.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/icon_shell_win.h"
#include "imaging/icon_win.h"
#include "imaging/pixels.h"

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
  // i must lie in 0 .. IconCount() - 1. The icon object has its handle
  // (extracted now if it had none); it is empty when the shell gave none.
  const imaging::TIcon& Icons(int i) const;
  // Calls use with each icon from first to last - 1. An icon not held
  // before is extracted for the call and let go after it, so that a pass
  // over a whole library (a composite picture, a print) holds no more
  // handles than before and one icon at a time.
  void VisitIcons(int first, int last, const std::function<void(int index, const imaging::TIcon& icon)>& use) const;
  // Whether icon i has been asked of the shell and still holds its answer.
  bool Extracted(int i) const { return icons_[static_cast<size_t>(i)]->extracted; }
  const std::string& FileName() const { return file_name_; }

  // How many icons hold a handle now (never more than kMaxHeldIcons).
  int HeldIconCount() const { return static_cast<int>(held_.size()); }

  // Frees every icon object.
  void Clear();

  // More icons than any file can name (65535 named plus 65535 numbered
  // groups); a count beyond it is no count.
  static constexpr UINT kMaxIcons = 2 * 65535;
  // 2,048 GDI objects at most for the icons, whatever the file.
  static constexpr int kMaxHeldIcons = 1024;

 private:
  struct Entry {
    imaging::TIcon icon;     // empty before extraction, or when the shell gave none
    bool extracted = false;  // icon holds the shell's answer
  };

  bool LoadWithoutOwnIcons(const std::string& path, bool shell_may_read);
  // An entry holding the icon (or none), already extracted.
  void Append(HICON icon, SIZE size);
  // Keeps the entry's handle, letting go of the one held longest when the
  // bound is reached.
  void Hold(int index) const;

  std::unique_ptr<IconShell> own_shell_;
  IconShell& shell_;
  std::string file_name_;
  std::string source_;  // the file the shell reads (see IconFileInspection::Source)
  SIZE size_{};         // the size of every icon the shell extracts
  // Each entry sits at a fixed address, so a borrowed reference stays good
  // while the list grows. Handles come and go as icons are asked for.
  mutable std::vector<std::unique_ptr<Entry>> icons_;
  // The icons holding a handle, the longest held first.
  mutable std::deque<int> held_;
};

}  // namespace controls
