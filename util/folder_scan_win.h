// The folder scan's file system on Windows: the current directory and
// FindFirstFileA searches. How many icons a file holds is for the caller to
// say (IconCount stays to be defined).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "util/folder_scan.h"

namespace util {

class TWinScanFileSystem : public TScanFileSystem {
 public:
  bool EnterFolder(const std::string& folder) override;
  std::vector<std::string> Files(const std::string& pattern) override;
  std::vector<std::string> Subfolders(const std::string& folder) override;

  // The system's error code of the last folder that could not be entered.
  DWORD LastError() const { return last_error_; }

 private:
  struct Entry {
    std::string name;
    std::string short_name;  // the 8.3 name, when the file system keeps one
    DWORD attributes = 0;
  };

  DWORD last_error_ = 0;
  // The current folder's entries, listed once as it is entered: every mask
  // and the subfolders are taken from this one listing.
  std::string listed_folder_;
  std::vector<Entry> listing_;
};

}  // namespace util
