// Reading the command line and turning it into a batch request.
//
// Parsing and mapping are pure: RunCommandLine (the Win32 side) feeds the
// arguments in, acts on the plan that comes out, and keeps no parsing rules
// of its own.
#pragma once

#include <string>
#include <vector>

#include "imaging/export_types.h"

namespace app {

// At most this many arguments after the program's own path are examined.
constexpr int kMaxArguments = 24;

struct ParsedCommandLine {
  std::vector<std::string> plain;  // arguments not starting with '-' or '/'
  bool export_requested = false;
  bool close_when_done = false;
  bool open_destination = false;
  bool all_as_one_image = false;
  bool gray_scale = false;
  bool include_numbers = false;
  bool draw_borders = false;
  bool all_sizes = false;
  std::string dbase_field_name;  // at most 10 characters, case kept
  std::string memo_type_word;    // upper case
  std::string html_image_word;   // upper case
  std::string dest_word;         // upper case
  int icon_index = -1;           // 1-based; 0 = all; below 0 after parsing never
};

// "/E" -> "-e"; "-DestType=Bmp" -> "-desttype=Bmp".
std::string NormalizeSwitch(const std::string& arg);

// Whether the normalized switch s starts with prefix ("-iconindex="); the
// rest, its value, goes into rest.
bool SwitchValue(const std::string& s, const char* prefix, std::string* rest);

// Parses args (argument 0, the program's path, not included). Only the
// first kMaxArguments are examined.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// Without -e the examined arguments joined with single blanks name one file,
// so that a path with blanks given without quotes still opens.
std::string JoinedSource(const std::vector<std::string>& args);

// "BMP"/"BITMAP" -> 1, "JPEG"/"JPG" -> 2, "EMF"/"WMF"/"METAFILE" -> 3,
// "PNG" -> 4, else 0.
int MemoTypeFromWord(const std::string& word);

// The HTML document's images: PNG (4) for "PNG", else JPEG (2).
int HtmlImageTypeFromWord(const std::string& word);

// Maps the destination word to its export type and rewrites the word where
// needed ("BITMAP" -> "BMP", "METAFILE" -> "EMF", "DBASE" -> "DBF", anything
// unknown -> "ICO"). "PNG" is a picture type of its own, also for all icons
// as one image.
imaging::TExportType ExportTypeFromWord(std::string& word);

enum class BatchAction {
  kSingleIcon,      // SaveSingleIcon with icon_index - 1
  kCompositeImage,  // SaveCompositeImage
  kExportIcons,     // ExportIcons into dest_folder
};

// Everything the batch export needs, derived from a parsed command line and
// the target named on it.
struct BatchPlan {
  BatchAction action = BatchAction::kSingleIcon;
  imaging::TExportType export_type = imaging::etIcon;
  int memo_type = 0;
  int html_image_type = imaging::etJPEG;  // the HTML document's images: JPEG or PNG
  int icon_index = 1;
  std::string dest_word;    // upper case, also the extension word
  std::string extension;    // "." + dest_word, lower case
  std::string dest_folder;  // for kExportIcons; the export creates it (one level)
  bool open_after = false;  // OpenExported(target, dest_word) afterwards
  bool show_count = true;   // message 65289 unless closing or a composite image
  bool all_sizes = false;   // icon files: each icon's whole group as stored
  // The export reads the grid: one icon is taken from it, the composite
  // picture and the HTML table take its layout. Other exports need no grid.
  bool needs_grid = true;
};

BatchPlan PlanBatch(const ParsedCommandLine& cmd, const std::string& target);

// A closing export that writes a file per icon (or a dBase table) reads
// nothing of the window: no grid, no layout, and nothing shows afterwards.
// It runs before the window is made, and a run that succeeds ends the
// program without one. Opening the result afterwards stays with the window.
bool RunsWithoutWindow(const ParsedCommandLine& cmd, const BatchPlan& plan);

}  // namespace app
