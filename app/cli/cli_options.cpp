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
  bool export_requested = false;
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
    if (s == "-e" || s == "-export") {
      export_requested = true;
    } else if (s == "-allsizes") {
      o.all_sizes = true;
    } else if (s == "-closewhendone" || s == "-includenumbers" || s == "-drawborders" ||
               TakeValue(s, "-dbasefieldname=", &rest) || TakeValue(s, "-dbasedesttype=", &rest) ||
               TakeValue(s, "-htmldesttype=", &rest)) {
      // There is no window to close, and the rest shape only the HTML page
      // and the dBase table, which this build refuses by their type.
    } else if (s == "-alliconsasoneimage" || s == "-grayscale" || s == "-opendestination") {
      o.unavailable_switches.push_back(s);
    } else if (TakeValue(s, "-desttype=", &rest)) {
      // The first one wins, as in the window program.
      if (o.dest_word.empty()) o.dest_word = util::Trim(util::UpperCase(rest));
    } else if (TakeValue(s, "-iconindex=", &rest)) {
      if (!ParseCount(rest, 0, 0x7FFFFFFF, &o.icon_index))
        return UsageError(error, "-iconindex= takes 0 (every icon) or an icon's number from 1: " + a);
    } else if (TakeValue(s, "-size=", &rest)) {
      if (!ParseCount(rest, 1, kMaxCliSize, &o.size))
        return UsageError(error, "-size= takes a number of pixels from 1 to " + std::to_string(kMaxCliSize) + ": " + a);
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
  if (!export_requested) return UsageError(error, "tamsel-cli only exports: give -e SOURCE... TARGET");
  if (plain.size() < 2) return UsageError(error, "-e takes one or more sources and a target folder");
  if (o.all_sizes && o.size > 0) return UsageError(error, "-allsizes and -size= exclude each other");

  o.target = plain.back();
  plain.pop_back();
  if (util::Trim(o.target).empty()) return UsageError(error, "the target folder is empty");
  if (o.target == "-") return UsageError(error, "the target must be a folder, not standard input");
  for (const std::string& source : plain) {
    if (source != "-") continue;
    if (plain.size() > 1)
      return UsageError(error, "'-' reads the sources from standard input and must be the only one");
    o.sources_from_stdin = true;
  }
  if (!o.sources_from_stdin) o.sources = std::move(plain);

  // The type comes from -desttype=, else from the target's extension, and
  // maps as the window program maps it.
  std::string word = o.dest_word;
  if (word.empty()) {
    const std::string ext = util::ExtractFileExt(o.target);
    word = util::UpperCase(ext.empty() ? ext : ext.substr(1));
  }
  o.export_type = ExportTypeFromWord(word);
  o.dest_word = word;
  *options = std::move(o);
  return CliParse::kRun;
}

std::string UnavailableReason(const CliOptions& options) {
  if (!options.unavailable_switches.empty()) {
    const std::string& s = options.unavailable_switches.front();
    if (s == "-opendestination") return "-opendestination opens the result with a Windows file association";
    return s + " draws the icons, which this build cannot do yet";
  }
  switch (options.export_type) {
    case imaging::etIcon:
    case imaging::etPNG:
      if (options.all_sizes || options.size > 0) return "";
      return options.dest_word +
             " without -allsizes or -size= draws the icon as the shell shows it, which this build cannot do yet";
    case imaging::etMetafile: return "metafiles (EMF) are drawn by Windows alone";
    case imaging::etHTML:
    case imaging::etDBase: return options.dest_word + " export is not available in this build yet";
    default: return options.dest_word + " pictures are drawn, which this build cannot do yet";
  }
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
