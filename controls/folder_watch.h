// The folder a change watcher watches for a node of the folder tree: the
// node's path without its trailing backslash, except that a drive root keeps
// it (C:\) and a node without a path watches "\", the root of the current
// drive.
#pragma once

#include <string>

namespace controls {

std::string WatchedFolder(const std::string& node_path);

}  // namespace controls
