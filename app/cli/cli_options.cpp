#include "app/cli/cli_options.h"

#include "app/export/command_line.h"
#include "util/file_utils.h"

namespace app {

namespace {

bool TakeValue(const std::string& s, const char* prefix, std::string* rest) {
  const std::string p(prefix);
  if (s.compare(0, p.size(), p) != 0) return false;
  *rest = s.substr(p.size());
  return true;
}

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
        s == "-drawborders" || TakeValue(s, "-dbasefieldname=", &rest) || TakeValue(s, "-dbasedesttype=", &rest) ||
        TakeValue(s, "-htmldesttype=", &rest) || TakeValue(s, "-desttype=", &rest)) {
      window_switches.push_back(s);
    } else if (s == "-closewhendone") {
      // There is no window to close.
    } else if (s == "-alliconsasoneimage" || s == "-opendestination") {
      o.unavailable_switches.push_back(s);
    } else if (TakeValue(s, "-iconindex=", &rest)) {
      int index = 0;
      if (!ParseCount(rest, 0, 0x7FFFFFFF, &index))
        return UsageError(error, "-iconindex= takes 0 (every icon) or an icon's number from 1: " + a);
      window_switches.push_back(s);
    } else if (TakeValue(s, "-size=", &rest)) {
      if (!ParseCount(rest, 1, kMaxCliSize, &o.size))
        return UsageError(error, "-size= takes a number of pixels from 1 to " + std::to_string(kMaxCliSize) + ": " + a);
    } else if (TakeValue(s, "-htmlcolumns=", &rest)) {
      if (!ParseCount(rest, 1, kMaxHtmlColumns, &o.html_columns))
        return UsageError(error, "-htmlcolumns= takes a count from 1 to " + std::to_string(kMaxHtmlColumns) + ": " + a);
    } else if (s == "-j" || TakeValue(s, "-j", &rest)) {
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

std::string UnavailableReason(const CliOptions& options) {
  if (!options.unavailable_switches.empty()) {
    const std::string& s = options.unavailable_switches.front();
    if (s == "-opendestination") return "-opendestination opens the result with a Windows file association";
    return s + " lays the icons out as the window's grid shows them, which only the window program can";
  }
  if (options.export_type == imaging::etMetafile) return "metafiles (EMF) are drawn by Windows alone";
  if (options.export_type == imaging::etDBase && MemoTypeFromWord(options.command.memo_type_word) == imaging::etMetafile)
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

Exports the icons of each SOURCE (program, library or icon file) into the
folder TARGET (made when missing, one level), named as the window program
names them: ico_<name>0001.ico, ico_<name>0001_48x48_32.png, ...

  -iconindex=N     icon N only (1-based; the default is 1); 0 exports every icon
  -desttype=WORD   ICO or PNG (else taken from TARGET's extension; ICO for an
                   unknown word)
  -allsizes        each icon's whole group: ICO rebuilt byte for byte as
                   stored; PNG one file for every image of the group
  -size=N          from each icon the image nearest N pixels (the larger on a
                   tie, the deepest colour of that size): one .ico holding that
                   image as stored, or one .png
  -j N             sources exported at once (default: the number of cores)
  -h, --help       this text

Not available in this build yet (they draw the icons): BMP, JPG, HTML and DBF
exports, ICO and PNG without -allsizes or -size=, -alliconsasoneimage,
-grayscale. Windows alone: EMF, -opendestination, and the icon Windows shows
for a file without icons of its own. Such a source fails with the reason.

-closewhendone, -includenumbers, -drawborders and the -dbase and -html
switches are accepted and change nothing here. Any other switch is an error.

Exit status: 0 every source done, 1 some sources failed (one line each on
standard error), 2 the command line is wrong.
)";
}

}  // namespace app
