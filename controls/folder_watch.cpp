#include "controls/folder_watch.h"

#include "util/file_utils.h"

namespace controls {

std::string WatchedFolder(const std::string& node_path) {
  // With a backslash at its end, one more for a root, and the last one off.
  std::string folder = util::AddBackslash(node_path);
  if (folder.empty()) folder = "\\";
  if (folder.size() <= 3) folder += '\\';
  folder.pop_back();
  return folder;
}

}  // namespace controls
