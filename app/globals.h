// Process-wide state shared by the main window, the command line and the
// export engine. All of it lives on the window thread.
#pragma once

#include <string>

namespace app {

// True while the command line is processed; the exports then replace
// existing files without asking.
extern bool BatchMode;
// True while a folder scan runs; Esc clears it.
extern bool Scanning;
// Full path of the file whose icons are shown.
extern std::string CurrentFileName;
// Icons per row of the HTML export.
extern int HTMLColumnCount;

// Sets BatchMode for its lifetime and resets it however the scope ends.
class BatchModeScope {
 public:
  BatchModeScope() { BatchMode = true; }
  ~BatchModeScope() { BatchMode = false; }
  BatchModeScope(const BatchModeScope&) = delete;
  BatchModeScope& operator=(const BatchModeScope&) = delete;
};

}  // namespace app
