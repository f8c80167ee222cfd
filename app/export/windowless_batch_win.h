// The batch that runs before the main window is made (RunsWithoutWindow in
// command_line.h). It loads the export settings alone, exports, and on
// success records the start as the window would have, so that the program
// can end without creating a window at all: no window class, no controls,
// no connection to the display.
//
// A run that fails hands its error to the window, which then shows the
// source and the error as after any failed batch; nothing was recorded, so
// the window's own start counts the start once.
#pragma once

#include <exception>
#include <string>
#include <vector>

namespace app {

struct TWindowlessBatch {
  bool finished = false;       // the export succeeded; the program ends
  std::exception_ptr failure;  // the export stopped with this error
};

// args: the command line split into arguments, argument 0 the program's
// path. Does nothing (neither field set) for a command line that needs the
// window, or whose source or target the window's checks would refuse.
TWindowlessBatch RunWindowlessBatch(const std::vector<std::string>& args);

}  // namespace app
