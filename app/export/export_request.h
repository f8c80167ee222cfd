// What one run of the export engine is asked to do, and the two ways a
// request is made: from the export settings, for the commands that go
// through a dialog, and from the plan of a command line.
#pragma once

#include <string>

#include "app/export/command_line.h"
#include "app/globals.h"
#include "imaging/export_types.h"

namespace app {

struct TExportRequest {
  imaging::TExportType Type = imaging::etIcon;
  bool GrayScale = false;
  bool DrawBorder = false;              // HTML only
  bool IncludeNumbers = false;          // HTML only
  int HtmlImageType = imaging::etJPEG;  // HTML only: its images are JPEG or PNG
  int MemoType = 0;                     // dBase only: 0 icon, 1 bitmap, 2 JPEG, 3 metafile, 4 PNG
  std::string FieldName;                // dBase only
  std::string Extension;                // the document's extension; empty for the type's own
  std::string Target;                   // HTML and dBase: the document the user named
  std::string DestFolder;               // created (one level) when missing
  std::string Source;                   // empty: CurrentFileName, counted by the grid
  // Icon type: each icon's whole group as the source stores it (every size
  // and depth), or the single image when the group cannot be read whole.
  bool AllSizes = false;
};

// The request of a command that went through a dialog: the options the
// settings hold, written to target (the document the user named, or the
// folder of per-icon files) and to the folder that goes with it. A dBase
// memo of the icon type is never grey. The source is the file shown.
TExportRequest SettingsExportRequest(const TExportSettings& settings, imaging::TExportType type,
                                     const std::string& target, bool all_sizes = false);

// The request of a command-line export of source into target, as planned.
TExportRequest BatchExportRequest(const ParsedCommandLine& cmd, const BatchPlan& plan, const std::string& target,
                                  const std::string& source);

// What each icon of an export becomes, chosen once for the whole export.
enum class TIconDestination {
  kIconFile,   // an icon file (the icon's whole group when asked and readable)
  kPngFiles,   // a PNG file (one for each image of the whole group when asked)
  kPicture,    // the icon drawn on white as a bitmap, JPEG or metafile
  kDBaseMemo,  // a memo of the dBase table
};

// image_type: the picture type of each file (the HTML document's images
// have their own). A type code that names no other type counts as icon.
TIconDestination DestinationOf(imaging::TExportType type, int image_type);

}  // namespace app
