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

#include "app/export/command_line.h"
#include "imaging/export_types.h"

namespace app {

// The largest worker count and -size= taken.
constexpr int kMaxCliJobs = 256;
constexpr int kMaxCliSize = 4096;

constexpr int kMaxHtmlColumns = 1000;

// The columns of the HTML table when -htmlcolumns= does not say: those of
// the window program's grid at the window's first size, which shows 12
// icons a row and 7 rows, and 11 a row once its scroll bar shows.
int WindowHtmlColumns(int icon_count);

struct CliOptions {
  std::vector<std::string> sources;  // empty when they are read from standard input
  bool sources_from_stdin = false;
  // With one source and one icon, or for an HTML page or a dBase table,
  // the file written, as in the window program; else the folder the files
  // go into.
  std::string target;
  // The window program's own switches, read by its own parser: the type
  // words, -iconindex= (1-based, 0 = every icon), -allsizes, -grayscale,
  // -includenumbers, -drawborders and the dBase and HTML switches.
  ParsedCommandLine command;
  imaging::TExportType export_type = imaging::etIcon;
  std::string dest_word;  // the export type's word, upper case ("ICO", "PNG", …)
  int size = 0;           // -size=N: the image nearest N pixels of each icon; 0 = not asked
  int jobs = 0;           // 0 = one worker per core
  int html_columns = 0;   // 0: WindowHtmlColumns
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

// Whether TARGET names the one file written for `source_count` sources: one
// source and one icon, as in the window program (-size= too), never for
// an HTML page or a dBase table, whose TARGET is always their document.
bool TargetIsIconFile(const CliOptions& options, size_t source_count);

// Why the sources cannot go to one target (an HTML page or a dBase table
// holds one source's icons); empty when they can.
std::string SourceCountProblem(const CliOptions& options, size_t source_count);

// The text --help prints.
const char* CliUsageText();

}  // namespace app
