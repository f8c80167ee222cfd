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
#include "imaging/icon_file_check.h"
#include "util/atomic_file.h"
#include "util/mapped_file_posix.h"

namespace app {

struct TSourceExport {
  bool ok = true;
  int icons = 0;       // icons written
  int files = 0;       // files written
  std::string reason;  // why the source failed; empty when it did not
};

// What the atomic writer's result means, for a report.
const char* DescribeWriteResult(util::FileWriteResult result);

// The folder and the per-icon file's own name joined for this system.
std::string CliOutputPath(const std::string& folder, const std::string& name);

// Why the mapped source cannot be exported at all (it did not open or
// map, or the structural check refuses it); empty when it can, with the
// check's findings in check.
std::string SourceProblem(const util::PosixMappedFile& file, imaging::IconFileCheck* check);

// Exports one source as options ask. Each source writes only names made
// from its own base name, so sources of different names never write the
// same file.
TSourceExport ExportSource(const std::string& source, const CliOptions& options);

}  // namespace app
