// One source's export in tamsel-cli: its icons' whole groups read from the
// file's own bytes and written whole, or one image chosen from each, into
// the target folder under the window program's names.
//
// Nothing here draws: an icon whose group cannot be read whole, which the
// window program would save as the shell's single image, fails the source
// with the reason instead.
#pragma once

#include <string>

#include "app/cli/cli_options.h"

namespace app {

struct TSourceExport {
  bool ok = true;
  int icons = 0;       // icons written
  int files = 0;       // files written
  std::string reason;  // why the source failed; empty when it did not
};

// The folder and the per-icon file's own name joined for this system.
std::string CliOutputPath(const std::string& folder, const std::string& name);

// Exports one source as options ask. Each source writes only names made
// from its own base name, so sources of different names never write the
// same file.
TSourceExport ExportSource(const std::string& source, const CliOptions& options);

}  // namespace app
