// Splitting the program's command line into arguments, with the rules of
// the Microsoft C run-time, on the ANSI command line. Kept portable so the
// quoting rules are tested natively.
#pragma once

#include <string>
#include <vector>

namespace app {

// Argument 0 is the program's path; the rest are the arguments with quotes
// removed.
std::vector<std::string> SplitCommandLine(const std::string& command_line);

}  // namespace app
