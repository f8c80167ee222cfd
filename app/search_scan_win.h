// What the search pane's scan is given: the file system, with the icon count
// as the shell gives it, taken from the structural check (a file the check
// refuses is counted as holding no icons; the shell never sees it), and the
// file list box as the list the scan fills.
#pragma once

#include <cstdint>
#include <string>

#include "controls/icon_shell_win.h"
#include "controls/zu_list_box_win.h"
#include "util/folder_scan_win.h"

namespace app {

class TShellScanFileSystem : public util::TWinScanFileSystem {
 public:
  uint32_t IconCount(const std::string& name) override;

 private:
  controls::ShellIcons shell_;
};

// The file list as the scan fills it: one batch update for the whole walk,
// so the list redraws once at the end, however the walk ends.
class TListBoxScanList : public util::TScanList {
 public:
  explicit TListBoxScanList(controls::TZuListBox& box) : box_(box), count_(box.Count()) { box_.BeginUpdate(); }
  ~TListBoxScanList() override { box_.EndUpdate(); }
  TListBoxScanList(const TListBoxScanList&) = delete;
  TListBoxScanList& operator=(const TListBoxScanList&) = delete;

  void Clear() override {
    box_.Clear();
    count_ = 0;
  }
  // The list is the scan's alone while it runs (the window is disabled), so
  // the count is kept here instead of being asked of the box for every entry.
  int Add(const std::string& entry) override {
    if (box_.Append(entry)) ++count_;
    return count_;
  }

 private:
  controls::TZuListBox& box_;
  int count_;
};

}  // namespace app
