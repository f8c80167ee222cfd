// The folder tree's path rules that need no shell: the path a node reports,
// and how a path to select is cut into the parts the tree walks down
// (the drive, the desktop folder or the network first, then one folder
// after another).
#pragma once

#include <string>
#include <vector>

namespace controls {

enum TNodeKind { nkFolder = 0, nkNetwork = 1, nkRecycleBin = 2, nkComputer = 3, nkDesktop = 4, nkNetworkItem = 5 };

// A node's file-system path: empty for the network, the recycle bin, the
// computer and the network's direct children; otherwise the stored path,
// with a backslash after a bare drive ("C:" -> "C:\").
std::string NodePathText(TNodeKind kind, const std::string& stored_path);

// The parts of a path to select, lower-cased: "c:\windows\system32" ->
// {"c:", "windows", "system32"}; "\\server\share" -> {"\", "server",
// "share"}; a folder inside the desktop folder -> {the desktop path, the
// rest...}. Empty for a path of two characters or fewer (the selection is
// then cleared).
std::vector<std::string> SplitSelectPath(const std::string& path, const std::string& desktop_path);

}  // namespace controls
