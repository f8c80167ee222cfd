#include "controls/folder_tree_paths.h"

#include "util/file_utils.h"

namespace controls {

std::string NodePathText(TNodeKind kind, const std::string& stored_path) {
  switch (kind) {
    case TNodeKind::nkNetwork:
    case TNodeKind::nkRecycleBin:
    case TNodeKind::nkComputer:
    case TNodeKind::nkNetworkItem: return std::string();
    default: break;
  }
  if (stored_path.size() == 1 || stored_path.size() == 2) return stored_path + "\\";
  return stored_path;
}

std::vector<std::string> SplitSelectPath(const std::string& path, const std::string& desktop_path) {
  std::vector<std::string> parts;
  std::string s = util::LowerCase(path);
  if (s.size() <= 2) return parts;
  if (!s.empty() && s.back() == '\\') s.pop_back();
  const std::string desktop = util::LowerCase(desktop_path);
  while (!s.empty()) {
    std::string part;
    if (s == desktop) {
      part = s;
    } else {
      const size_t cut = s.find_last_of("\\:");
      part = cut == std::string::npos ? s : s.substr(cut + 1);
      if (part.empty()) part = s;
    }
    parts.insert(parts.begin(), part);
    // What is left before the part and its separator.
    const size_t keep = s.size() >= part.size() + 1 ? s.size() - part.size() - 1 : 0;
    s = s.substr(0, keep);
  }
  return parts;
}

}  // namespace controls
