#include "controls/dir_change_watcher_win.h"

#include <cstdint>
#include <optional>

#include "controls/folder_watch.h"
#include "util/handles_win.h"
#include "util/system_paths_win.h"

namespace controls {

namespace {

// How often a live watch lets go of its handle and takes a fresh one. A
// folder removed while it is watched is only gone once the watch lets go
// (its parent's watch hears nothing before), and a handle whose folder
// has gone signals nothing: both end at the next renewal.
constexpr DWORD kRenewMs = 500;
// The stack a watcher's thread keeps; the body needs a few hundred bytes.
constexpr SIZE_T kStackReserve = 64 * 1024;

// When the folder's entries last changed; none when it cannot be read.
std::optional<uint64_t> LastWritten(const std::string& folder) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(folder.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

}  // namespace

TThDirChange::TThDirChange(const std::string& node_path, HWND target, LPARAM node)
    : folder_(WatchedFolder(node_path)), target_(target), node_(node) {}

bool TThDirChange::Start() {
  return thread_.Start([this](gui::TThread& self) { Watch(self); }, kStackReserve);
}

void TThDirChange::Watch(gui::TThread& self) const {
  const std::string folder = util::NativePath(folder_);
  // The folder's time of last change as the last handle went: a change
  // between two handles, which neither hears, shows in it.
  std::optional<uint64_t> between;
  while (!self.StopRequested()) {
    util::UniqueChangeNotification change(
        FindFirstChangeNotificationA(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME));
    if (between && LastWritten(folder) != between) PostMessageW(target_, kFolderChangedMessage, 0, node_);
    between.reset();
    if (!change) {
      WaitForSingleObject(self.StopEvent(), kRenewMs);
      ++wakeups_;
      continue;
    }
    HANDLE handles[2] = {change.get(), self.StopEvent()};
    const DWORD renew_at = GetTickCount() + kRenewMs;
    for (;;) {
      const DWORD left = renew_at - GetTickCount();
      const DWORD result = WaitForMultipleObjects(2, handles, FALSE, static_cast<int32_t>(left) > 0 ? left : 0);
      ++wakeups_;
      if (result != WAIT_OBJECT_0) break;  // stop requested, the renewal is due, or the handle failed
      PostMessageW(target_, kFolderChangedMessage, 0, node_);
      if (!FindNextChangeNotification(change.get())) break;
    }
    // Read before the handle goes; a change caught meanwhile is reported now.
    between = LastWritten(folder);
    if (WaitForSingleObject(change.get(), 0) == WAIT_OBJECT_0) PostMessageW(target_, kFolderChangedMessage, 0, node_);
  }
}

}  // namespace controls
