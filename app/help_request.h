// What a help request asks of the HTML Help library: the portable half of
// ShowHelp (app/help_win.h), which only sends it.
#pragma once

#include <optional>
#include <string>

namespace app {

// The HTML Help commands the program uses (the values of htmlhelp.h).
enum THelpCommand : unsigned {
  hhDisplayTopic = 0x0000,
  hhDisplayToc = 0x0001,
  hhCloseAll = 0x0012,
};

struct THelpRequest {
  THelpCommand command;
  std::string argument;  // the help file, or "file::/topic.htm"
};

// The request for a topic ("print", "exp") or, with an empty topic, for the
// contents. Only a compiled help file (extension ".chm" in any letter case)
// can be shown; any other file gives no request, so nothing opens.
std::optional<THelpRequest> MakeHelpRequest(const std::string& help_file, const std::string& topic);

}  // namespace app
