#include "app/cli/cli_options.h"

#include "app/export/command_line.h"
#include "util/file_utils.h"

namespace app {

namespace {

// A decimal count in [low, high]; false for anything else.
bool ParseCount(const std::string& text, int low, int high, int* value) {
  int v = 0;
  if (!util::ParseDecimal(text, &v) || v < low || v > high) return false;
  *value = v;
  return true;
}

CliParse UsageError(std::string* error, const std::string& text) {
  *error = text;
  return CliParse::kUsageError;
}

}  // namespace

CliParse ParseCliArguments(const std::vector<std::string>& args, CliOptions* options, std::string* error) {
  CliOptions o;
  // The window program's switches go to its parser once each is known here.
  std::vector<std::string> window_switches;
  std::vector<std::string> plain;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 2 || a[0] != '-') {
      plain.push_back(a);
      continue;
    }
    const std::string s = NormalizeSwitch(a);
    std::string rest;
    if (s == "--help" || s == "-h") return CliParse::kHelp;
    if (s == "-e" || s == "-export" || s == "-allsizes" || s == "-grayscale" || s == "-includenumbers" ||
        s == "-drawborders" || SwitchValue(s, "-dbasefieldname=", &rest) || SwitchValue(s, "-dbasedesttype=", &rest) ||
        SwitchValue(s, "-htmldesttype=", &rest) || SwitchValue(s, "-desttype=", &rest)) {
      window_switches.push_back(s);
    } else if (s == "-closewhendone") {
      // There is no window to close.
    } else if (s == "-alliconsasoneimage" || s == "-opendestination") {
      o.unavailable_switches.push_back(s);
    } else if (SwitchValue(s, "-iconindex=", &rest)) {
      int index = 0;
      if (!ParseCount(rest, 0, 0x7FFFFFFF, &index))
        return UsageError(error, "-iconindex= takes 0 (every icon) or an icon's number from 1: " + a);
      window_switches.push_back(s);
    } else if (SwitchValue(s, "-size=", &rest)) {
      if (!ParseCount(rest, 1, kMaxCliSize, &o.size))
        return UsageError(error, "-size= takes a number of pixels from 1 to " + std::to_string(kMaxCliSize) + ": " + a);
    } else if (SwitchValue(s, "-htmlcolumns=", &rest)) {
      if (!ParseCount(rest, 1, kMaxHtmlColumns, &o.html_columns))
        return UsageError(error, "-htmlcolumns= takes a count from 1 to " + std::to_string(kMaxHtmlColumns) + ": " + a);
    } else if (s == "-j" || SwitchValue(s, "-j", &rest)) {
      if (s == "-j") {
        if (i + 1 >= args.size()) return UsageError(error, "-j takes a worker count");
        rest = args[++i];
      }
      if (!ParseCount(rest, 1, kMaxCliJobs, &o.jobs))
        return UsageError(error, "-j takes a worker count from 1 to " + std::to_string(kMaxCliJobs) + ": " + rest);
    } else {
      return UsageError(error, "unknown switch " + a);
    }
  }
  o.command = ParseCommandLine(window_switches);
  if (!o.command.export_requested) return UsageError(error, "tamsel-cli only exports: give -e SOURCE... TARGET");
  if (plain.size() < 2) return UsageError(error, "-e takes one or more sources and a target");
  if (o.command.all_sizes && o.size > 0) return UsageError(error, "-allsizes and -size= exclude each other");
  o.target = plain.back();
  plain.pop_back();
  if (util::Trim(o.target).empty()) return UsageError(error, "the target is empty");
  if (o.target == "-") return UsageError(error, "the target must be a file or a folder, not standard input");
  // The type comes from -desttype=, else from the target's extension, and
  // maps as the window program maps it.
  const BatchPlan plan = PlanBatch(o.command, o.target);
  o.export_type = plan.export_type;
  o.dest_word = plan.dest_word;
  if (o.size > 0 && o.export_type != imaging::etIcon && o.export_type != imaging::etPNG)
    return UsageError(error, "-size= keeps one stored image of each icon, as an .ico or a .png file");
  for (const std::string& source : plain) {
    if (source != "-") continue;
    if (plain.size() > 1)
      return UsageError(error, "'-' reads the sources from standard input and must be the only one");
    o.sources_from_stdin = true;
  }
  if (!o.sources_from_stdin) {
    o.sources = std::move(plain);
    const std::string problem = SourceCountProblem(o, o.sources.size());
    if (!problem.empty()) return UsageError(error, problem);
  }
  *options = std::move(o);
  return CliParse::kRun;
}

int WindowHtmlColumns(int icon_count) {
  constexpr int kColumns = 12;
  constexpr int kRowsInView = 7;
  return icon_count > kColumns * kRowsInView ? kColumns - 1 : kColumns;
}

std::string UnavailableReason(const CliOptions& options) {
  if (!options.unavailable_switches.empty()) {
    const std::string& s = options.unavailable_switches.front();
    if (s == "-opendestination") return "-opendestination opens the result with a Windows file association";
    return s + " lays the icons out as the window's grid shows them, which only the window program can";
  }
  if (options.export_type == imaging::etMetafile) return "metafiles (EMF) are drawn by Windows alone";
  if (options.export_type == imaging::etDBase &&
      MemoTypeFromWord(options.command.memo_type_word) == imaging::etMetafile)
    return "metafile (EMF) memos are drawn by Windows alone";
  return "";
}

bool TargetIsIconFile(const CliOptions& options, size_t source_count) {
  if (options.export_type == imaging::etHTML || options.export_type == imaging::etDBase) return false;
  return source_count == 1 && options.command.icon_index >= 1;
}

std::string SourceCountProblem(const CliOptions& options, size_t source_count) {
  if ((options.export_type == imaging::etHTML || options.export_type == imaging::etDBase) && source_count != 1)
    return options.dest_word + " makes one document of one source's icons: give one source";
  return "";
}

const char* CliUsageText() {
  return R"(Usage: tamsel-cli -e SOURCE... TARGET [switches]
       tamsel-cli -e - TARGET [switches]     sources read from standard input, one path a line
Exports the icons of each SOURCE (program, library or icon file) as the
window program tamsel.exe does, byte for byte: each icon as the shell hands
it out (its image for 32 x 32 pixels on a 32-bit screen), drawn on white for
a picture, or each icon's whole group with -allsizes.
TARGET: with one source and one icon, the file written (the type's extension
added when it has none); for HTML the page (its images go into the folder
PAGE_files) and for DBF the table (its memos into TABLE.dbt), of one source;
else the folder (made when missing, one level) that takes the files, named
as the window program names them: ico_<name>0001.ico, ...
  -iconindex=N       icon N only (1-based; the default is 1); 0 exports every icon
  -desttype=WORD     ICO, PNG (with alpha), BMP, JPG, HTML or DBF (else taken
                     from TARGET's extension; ICO for an unknown word)
  -allsizes          ICO: each icon's whole group byte for byte as stored; PNG:
                     one file for every image of the group
  -size=N            from each icon the stored image nearest N pixels (the larger
                     on a tie, the deepest colour of that size), as .ico or .png
  -grayscale         pictures and PNG files in grey
  -includenumbers, -drawborders, -htmldesttype=PNG|JPG
                     the HTML page's numbers, borders and image type
  -htmlcolumns=N     icons per row of the HTML page (by default the window
                     program's grid at its first size: 12, or 11 for more
                     than 84 icons, when its scroll bar shows)
  -dbasefieldname=NAME, -dbasedesttype=ICO|BMP|JPG|PNG
                     the dBase table's memo field and its pictures' type
  -j N               sources exported at once (default: the number of cores)
  -h, --help         this text
Windows alone: EMF pictures and memos, -alliconsasoneimage (the window's grid
layout), -opendestination, and the icon Windows shows for a file without
icons of its own. Such a source fails with the reason. -closewhendone is
accepted and changes nothing. Any other switch is an error.
Exit status: 0 every source done, 1 some sources or icons failed (one line a
source on standard error), 2 the command line is wrong.
)";
}

}  // namespace app
