// One source's export in tamsel-cli, as the window program's export engine
// makes it: each icon's whole group read from the file's own bytes, or the
// icon the shell would hand out (imaging/shell_icon.h) saved as an icon
// file or a PNG or drawn on white as a bitmap or JPEG, or one image of each
// group chosen by size; and the HTML page and the dBase table that hold a
// source's icons.
#pragma once
#include <string>

#include "app/cli/cli_options.h"
#include "imaging/icon_file_check.h"
#include "util/atomic_file.h"
#include "util/mapped_file_posix.h"

namespace app {

struct TSourceExport {
  bool ok = true;
  int icons = 0;               // icons written
  int files = 0;               // files written
  int single_image_icons = 0;  // of an all-sizes export: saved as the shell's single image
  std::string reason;          // why the source failed; empty when it did not
};

// What the atomic writer's result means, for a report.
const char* DescribeWriteResult(util::FileWriteResult result);

// The folder and a file's own name joined for this system.
std::string CliOutputPath(const std::string& folder, const std::string& name);

// Why the mapped source cannot be exported at all (it did not open or
// map, or the structural check refuses it); empty when it can, with the
// check's findings in check.
std::string SourceProblem(const util::PosixMappedFile& file, imaging::IconFileCheck* check);

// Exports one source as options ask; target_is_file as TargetIsIconFile
// answers for the whole run. Each source writes only names made from its
// own base name, so sources of different names never write the same file.
TSourceExport ExportSource(const std::string& source, const CliOptions& options, bool target_is_file);

}  // namespace app
