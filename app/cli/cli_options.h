// The command line of tamsel-cli, the native batch: the window program's
// -e export with one or more sources and a target folder, read and judged
// before anything is written.
//
// Only '-' starts a switch ('/' starts an absolute path here), a lone '-'
// as the only source names standard input, and a switch this build does not
// know is a usage error rather than being passed over.
#pragma once

#include <string>
#include <vector>

#include "imaging/export_types.h"

namespace app {

// The largest worker count and -size= taken.
constexpr int kMaxCliJobs = 256;
constexpr int kMaxCliSize = 4096;

struct CliOptions {
  std::vector<std::string> sources;  // empty when they are read from standard input
  bool sources_from_stdin = false;
  std::string target;  // the folder the files go into
  int icon_index = 1;  // 1-based as in the window program; 0 = every icon
  imaging::TExportType export_type = imaging::etIcon;
  std::string dest_word;  // the export type's word, upper case ("ICO", "PNG", …)
  bool all_sizes = false;
  int size = 0;  // -size=N: the image nearest N pixels of each icon; 0 = not asked
  int jobs = 0;  // 0 = one worker per core
  // Switches of the window program that this build cannot carry out.
  std::vector<std::string> unavailable_switches;
};

enum class CliParse {
  kRun,
  kHelp,
  kUsageError,
};

// Reads args (the program's own path not included). On kUsageError, error
// says what is wrong.
CliParse ParseCliArguments(const std::vector<std::string>& args, CliOptions* options, std::string* error);

// Why this build cannot export any source as asked; empty when it can.
std::string UnavailableReason(const CliOptions& options);

// The text --help prints.
const char* CliUsageText();

}  // namespace app
