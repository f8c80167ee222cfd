// The shell calls the folder tree makes: display names, special folders,
// item lists and the serial of a removable volume.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <string>

#include "util/handles_win.h"

namespace controls {

// The byte length of an item list without its terminating zero word.
UINT ItemListSize(LPCITEMIDLIST list);

// One display name (SHGDN_NORMAL, SHGDN_FORPARSING, SHGDN_INFOLDER) of an
// item of folder, in the ANSI code page. A normal name the shell leaves out
// is asked for once more as the parsing name.
std::string DisplayName(IShellFolder* folder, LPCITEMIDLIST item, DWORD request);

struct TDisplayNames {
  std::string normal;
  std::string parsing;
  std::string in_folder;
};
TDisplayNames GetDisplayNames(IShellFolder* folder, LPCITEMIDLIST item);

struct TSpecialFolder {
  util::UniquePidl list;  // absolute
  std::string path;       // empty for a virtual folder
};
// A special folder of the shell (CSIDL_...); nothing when the shell cannot
// give it (no network component, say).
std::optional<TSpecialFolder> GetSpecialFolder(HWND owner, int csidl);

// The serial of the removable volume path lies on; 1 on any other drive,
// -1 for no path or a removable drive without a medium.
long GetVolumeSerial(const std::string& path);

}  // namespace controls
