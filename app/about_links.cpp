#include "app/about_links.h"

namespace app {

std::string LinkTarget(const std::string& caption) {
  if (caption.find('@') != std::string::npos) return "mailto:" + caption;
  if (caption.compare(0, 3, "www") == 0) return "http://" + caption;
  return caption;
}

}  // namespace app
