// The Open button's drop-down menu of recent files (MRUPopup), made from
// the recent-files list: one entry per file, captioned with its name, the
// file shown now checked; with no files, the one disabled entry NEmpty.
//
// The menu is a picture of the list and is made anew whenever the list
// changes or the menu is about to drop; the list stays the one record.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/settings.h"
#include "util/handles_win.h"

namespace app {

// Entry i of the list has the command kRecentFileCommand + i.
constexpr UINT kRecentFileCommand = 0x7100;
constexpr UINT kRecentEmptyCommand = kRecentFileCommand + static_cast<UINT>(TRecentFiles::kMaxFiles);

util::UniqueMenu BuildRecentFilesMenu(const TRecentFiles& recent);

// The full path behind a command of the menu (for ReopenFile, and as the
// entry's hint while it is highlighted); nothing for any other command.
std::optional<std::string> RecentFileForCommand(const TRecentFiles& recent, UINT command);

}  // namespace app
