#include "app/help_request.h"

#include "util/file_utils.h"

namespace app {

std::optional<THelpRequest> MakeHelpRequest(const std::string& help_file, const std::string& topic) {
  if (util::LowerCase(util::ExtractFileExt(help_file)) != ".chm") return std::nullopt;
  if (topic.empty()) return THelpRequest{hhDisplayToc, help_file};
  return THelpRequest{hhDisplayTopic, help_file + "::/" + topic + ".htm"};
}

}  // namespace app
