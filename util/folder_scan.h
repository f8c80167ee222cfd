// The folder scan behind the search pane: the files below a folder that
// match one of the masks and hold at least a minimum number of icons.
//
// The walk is portable: the file system, the icon count and the list the
// entries go to are reached through TScanFileSystem and TScanList, which
// the Win32 side implements (folder_scan_win). Order of the walk: a
// folder's files, mask by mask, before any of its subfolders; subfolders
// depth first. An entry is the file's name, or for a file in a subfolder
// that subfolder's path relative to the root, a backslash and the name.
// The progress callback runs after every entry added and may cancel; once
// cancelled, nothing further is visited.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace util {

class TScanFileSystem {
 public:
  virtual ~TScanFileSystem() = default;
  // Makes folder the current directory; false when that is refused (no
  // access, gone, no medium).
  virtual bool EnterFolder(const std::string& folder) = 0;
  // The names in the current directory matching pattern, every attribute
  // admitted, in the file system's order.
  virtual std::vector<std::string> Files(const std::string& pattern) = 0;
  // The subfolders of folder, hidden and system ones left out, in the file
  // system's order.
  virtual std::vector<std::string> Subfolders(const std::string& folder) = 0;
  // The number of icons of the file name in the current directory.
  virtual uint32_t IconCount(const std::string& name) = 0;
};

class TScanList {
 public:
  virtual ~TScanList() = default;
  virtual void Clear() = 0;
  // Adds an entry; returns the number of entries now listed.
  virtual int Add(const std::string& entry) = 0;
};

// A list that keeps its entries in order, as the sorted file list box
// does, for a scan without a window.
class TSortedScanList : public TScanList {
 public:
  void Clear() override { entries.clear(); }
  int Add(const std::string& entry) override {
    entries.insert(std::upper_bound(entries.begin(), entries.end(), entry), entry);
    return static_cast<int>(entries.size());
  }

  std::vector<std::string> entries;
};

// Called after each entry added with the count and the entry; returns true
// to cancel the scan.
using TScanProgress = std::function<bool(int count, const std::string& entry)>;

// Called for every folder entered and every file looked at, before its
// icons are counted; returns true to cancel. It lets a window handle its
// messages while a long stretch of files yields no entry.
using TScanLooking = std::function<bool()>;

// How a window answers a scan: answer(count) shows the count found so far
// and handles the window's messages; it returns true to cancel. It runs
// every interval_ms while the scan goes on, whether entries are found or
// not, and never more often: showing the count for every entry would cost
// more than finding it. The caller shows the final count. `now` is the
// clock (a test's own).
struct TScanAnswers {
  TScanProgress progress;
  TScanLooking looking;
};
using TScanClock = std::function<std::chrono::steady_clock::time_point()>;
TScanAnswers AnswerScan(std::function<bool(int count)> answer, int interval_ms = 50,
                        TScanClock now = std::chrono::steady_clock::now);

enum class TScanResult { kCompleted = 0, kCancelled = 2 };

// A folder of the walk that could not be entered; the entries found before
// stay listed.
class TScanFolderError : public std::runtime_error {
 public:
  explicit TScanFolderError(const std::string& folder)
      : std::runtime_error("cannot enter " + folder), folder_(folder) {}
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
};

// "*.dll;*.exe;*.ocx" -> the patterns, each trimmed of blanks.
std::vector<std::string> SplitMasks(const std::string& masks);

// The entry for name found in folder, relative to root.
std::string RelativeEntry(const std::string& root, const std::string& folder, const std::string& name);

// Scans folder (below root). The list is emptied when folder is the root.
// A negative min_count admits every file. Raises TScanFolderError.
TScanResult FindFiles(TScanFileSystem& fs, const std::string& root, const std::string& folder, const std::string& masks,
                      int min_count, bool subfolders, TScanList& list, const TScanProgress& progress,
                      const TScanLooking& looking = nullptr);

}  // namespace util
