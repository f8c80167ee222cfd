#include "app/export/command_line.h"

#include <cerrno>
#include <cstdlib>

#include "app/export/export_names.h"
#include "util/file_utils.h"

namespace app {

bool SwitchValue(const std::string& s, const char* prefix, std::string* rest) {
  const std::string p(prefix);
  if (s.compare(0, p.size(), p) != 0) return false;
  *rest = s.substr(p.size());
  return true;
}

std::string NormalizeSwitch(const std::string& arg) {
  std::string out;
  size_t eq = arg.find('=');
  // Lower-case up to and including the first "=", keep the value as written.
  if (eq != std::string::npos && eq + 1 >= 3) {
    out = util::LowerCase(arg.substr(0, eq + 1)) + arg.substr(eq + 1);
  } else {
    out = util::LowerCase(arg);
  }
  if (!out.empty()) out[0] = '-';
  return out;
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  ParsedCommandLine cmd;
  const size_t n = std::min<size_t>(args.size(), kMaxArguments);
  for (size_t i = 0; i < n; ++i) {
    const std::string& a = args[i];
    if (a.empty() || (a[0] != '-' && a[0] != '/')) {
      cmd.plain.push_back(a);
      continue;
    }
    const std::string s = NormalizeSwitch(a);
    std::string rest;
    if (s == "-e" || s == "-export") {
      cmd.export_requested = true;
    } else if (s == "-closewhendone") {
      cmd.close_when_done = true;
    } else if (s == "-opendestination") {
      cmd.open_destination = true;
    } else if (s == "-alliconsasoneimage") {
      cmd.all_as_one_image = true;
    } else if (s == "-grayscale") {
      cmd.gray_scale = true;
    } else if (s == "-includenumbers") {
      cmd.include_numbers = true;
    } else if (s == "-drawborders") {
      cmd.draw_borders = true;
    } else if (s == "-allsizes") {
      cmd.all_sizes = true;
    } else if (SwitchValue(s, "-dbasefieldname=", &rest)) {
      if (cmd.dbase_field_name.empty()) cmd.dbase_field_name = util::Trim(rest).substr(0, 10);
    } else if (SwitchValue(s, "-dbasedesttype=", &rest)) {
      if (cmd.memo_type_word.empty()) cmd.memo_type_word = util::Trim(util::UpperCase(rest));
    } else if (SwitchValue(s, "-htmldesttype=", &rest)) {
      if (cmd.html_image_word.empty()) cmd.html_image_word = util::Trim(util::UpperCase(rest));
    } else if (SwitchValue(s, "-desttype=", &rest)) {
      if (cmd.dest_word.empty()) cmd.dest_word = util::Trim(util::UpperCase(rest));
    } else if (SwitchValue(s, "-iconindex=", &rest)) {
      int value;
      if (cmd.icon_index == -1 && util::ParseDecimal(rest, &value)) cmd.icon_index = value;
    }
    // Anything else is ignored without a word.
  }
  if (cmd.icon_index < 0) cmd.icon_index = 1;
  return cmd;
}

std::string JoinedSource(const std::vector<std::string>& args) {
  const size_t n = std::min<size_t>(args.size(), kMaxArguments);
  std::string source;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) source += ' ';
    source += args[i];
  }
  return source;
}

int MemoTypeFromWord(const std::string& word) {
  if (word == "BMP" || word == "BITMAP") return imaging::etBitmap;
  if (word == "JPEG" || word == "JPG") return imaging::etJPEG;
  if (word == "EMF" || word == "WMF" || word == "METAFILE") return imaging::etMetafile;
  if (word == "PNG") return imaging::etPNG;
  return imaging::etIcon;
}

int HtmlImageTypeFromWord(const std::string& word) { return word == "PNG" ? imaging::etPNG : imaging::etJPEG; }

imaging::TExportType ExportTypeFromWord(std::string& word) {
  if (word == "BMP" || word == "BITMAP") {
    word = "BMP";
    return imaging::etBitmap;
  }
  if (word == "JPEG" || word == "JPG") return imaging::etJPEG;
  if (word == "EMF" || word == "WMF" || word == "METAFILE") {
    if (word == "METAFILE") word = "EMF";
    return imaging::etMetafile;
  }
  if (word == "PNG") return imaging::etPNG;
  if (word == "HTM" || word == "HTML") return imaging::etHTML;
  if (word == "DBF" || word == "DBASE") {
    word = "DBF";
    return imaging::etDBase;
  }
  word = "ICO";
  return imaging::etIcon;
}

BatchPlan PlanBatch(const ParsedCommandLine& cmd, const std::string& target) {
  BatchPlan plan;
  std::string word = cmd.dest_word;
  if (word.empty()) {
    std::string ext = util::ExtractFileExt(target);
    word = util::UpperCase(ext.empty() ? ext : ext.substr(1));
  }
  plan.memo_type = MemoTypeFromWord(cmd.memo_type_word);
  plan.html_image_type = HtmlImageTypeFromWord(cmd.html_image_word);
  plan.export_type = ExportTypeFromWord(word);
  plan.dest_word = word;
  plan.extension = util::LowerCase("." + word);

  plan.icon_index = cmd.icon_index;
  if (cmd.all_as_one_image) {
    if (plan.export_type == imaging::etIcon) plan.export_type = imaging::etBitmap;
    plan.icon_index = 0;
  }
  if (plan.export_type == imaging::etHTML || plan.export_type == imaging::etDBase) plan.icon_index = 0;

  if (plan.icon_index >= 1) {
    plan.action = BatchAction::kSingleIcon;
    plan.open_after = cmd.open_destination;
  } else if (cmd.all_as_one_image) {
    plan.action = BatchAction::kCompositeImage;
    plan.open_after = cmd.open_destination;
  } else {
    plan.action = BatchAction::kExportIcons;
    plan.dest_folder = ExportDestinationFolder(target, plan.export_type);
    // A folder of per-icon files is not opened.
    plan.open_after =
        cmd.open_destination && (plan.export_type == imaging::etHTML || plan.export_type == imaging::etDBase);
  }
  plan.needs_grid = plan.action != BatchAction::kExportIcons || plan.export_type == imaging::etHTML;
  plan.show_count = !cmd.close_when_done && !cmd.all_as_one_image;
  // Only icon files hold more than one image of an icon.
  plan.all_sizes = cmd.all_sizes && (plan.export_type == imaging::etIcon || plan.export_type == imaging::etPNG) &&
                   plan.action != BatchAction::kCompositeImage;
  return plan;
}

bool RunsWithoutWindow(const ParsedCommandLine& cmd, const BatchPlan& plan) {
  return cmd.export_requested && cmd.close_when_done && plan.action == BatchAction::kExportIcons && !plan.needs_grid &&
         !plan.open_after;
}

}  // namespace app
