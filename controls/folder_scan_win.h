// The folder scan's file system on Windows: the current directory, FindFirstFileA
// searches, and the icon count as the shell gives it, taken from the
// structural check (a file the check refuses is counted as holding no
// icons; the shell never sees it); and the file list box as the list the
// scan fills.
#pragma once

#include "controls/folder_scan.h"
#include "controls/icon_shell_win.h"
#include "controls/zu_list_box_win.h"

namespace controls {

class TWinScanFileSystem : public TScanFileSystem {
 public:
  bool EnterFolder(const std::string& folder) override;
  std::vector<std::string> Files(const std::string& pattern) override;
  std::vector<std::string> Subfolders(const std::string& folder) override;
  uint32_t IconCount(const std::string& name) override;

  // The system's error code of the last folder that could not be entered.
  DWORD LastError() const { return last_error_; }

 private:
  struct Entry {
    std::string name;
    std::string short_name;  // the 8.3 name, when the file system keeps one
    DWORD attributes = 0;
  };

  DWORD last_error_ = 0;
  ShellIcons shell_;
  // The current folder's entries, listed once as it is entered: every mask
  // and the subfolders are taken from this one listing.
  std::string listed_folder_;
  std::vector<Entry> listing_;
};

// The file list as the scan fills it: one batch update for the whole walk,
// so the list redraws once at the end, however the walk ends.
class TListBoxScanList : public TScanList {
 public:
  explicit TListBoxScanList(TZuListBox& box) : box_(box) { box_.BeginUpdate(); }
  ~TListBoxScanList() override { box_.EndUpdate(); }
  TListBoxScanList(const TListBoxScanList&) = delete;
  TListBoxScanList& operator=(const TListBoxScanList&) = delete;

  void Clear() override { box_.Clear(); }
  int Add(const std::string& entry) override { return box_.Add(entry); }

 private:
  TZuListBox& box_;
};

}  // namespace controls
