// TThDirChange: a worker thread that watches one folder of the folder tree
// for subfolders created, removed or renamed, and tells the tree's utility
// window by posting it message 1024 (wParam 0, lParam the node).
//
// Who owns what: the tree owns the watcher object; the thread owns only its
// notification handle. The thread reads the folder once, never touches the
// tree, and only posts; it never waits for the window thread, so the window
// thread may stop and join it at any time. Terminate asks it to stop
// without waiting; destroying the object joins it. The thread waits on its
// notification and its stop event together and wakes for nothing else but
// one thing: a watch renews its handle every half second, as a watched
// folder removed from outside only goes once its watch lets go, and a
// handle whose folder has gone signals nothing. A folder that cannot be
// watched (gone, or no access) is tried again at the same pace. Hundreds of
// watchers may run, each on a small stack.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "gui/thread.h"

namespace controls {

constexpr UINT kFolderChangedMessage = 1024;

class TThDirChange {
 public:
  // node_path: the node's file-system path (NodePath), read here once.
  TThDirChange(const std::string& node_path, HWND target, LPARAM node);

  bool Start();
  void Terminate() { thread_.RequestStop(); }
  bool Running() const { return thread_.Running(); }
  const std::string& Folder() const { return folder_; }

  // How often the watchers of the process woke up so far (for tests).
  static long Wakeups() { return wakeups_.load(); }

 private:
  void Watch(gui::TThread& self) const;

  std::string folder_;
  HWND target_;
  LPARAM node_;
  gui::TThread thread_;
  static inline std::atomic<long> wakeups_{0};
};

}  // namespace controls
