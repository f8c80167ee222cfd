// Process-wide state shared by the main window, the command line and the
// export engine. All of it lives on the window thread.
#pragma once

#include <string>

namespace app {

// True while the command line is processed; the exports then replace
// existing files without asking.
extern bool BatchMode;
// True while a folder scan runs; Esc clears it.
extern bool Scanning;
// Full path of the file whose icons are shown.
extern std::string CurrentFileName;
// Icons per row of the HTML export.
extern int HTMLColumnCount;

// The export settings: loaded from the registry at start, chosen in the
// export options window and by the command line, written back at the end.
struct TExportSettings {
  bool OpenAfterSave = true;      // open a saved file afterwards
  bool ExpIncludeNumbers = true;  // HTML: icon numbers under the pictures
  bool ExpDrawBorder = true;      // HTML: table borders
  bool ExpGrayScale = false;      // exported pictures in grey
  bool ExpHTMLPNG = false;        // HTML: PNG images with alpha instead of JPEG
  std::string ExpDBFFieldName = "ICON";
  int ExpDBFType = 0;  // dBase memo: 0 icon, 1 bitmap, 2 JPEG, 3 metafile, 4 PNG
};
extern TExportSettings ExportSettings;
// The number of program starts, this one included.
extern int RunCount;

// Sets BatchMode for its lifetime and resets it however the scope ends.
class BatchModeScope {
 public:
  BatchModeScope() { BatchMode = true; }
  ~BatchModeScope() { BatchMode = false; }
  BatchModeScope(const BatchModeScope&) = delete;
  BatchModeScope& operator=(const BatchModeScope&) = delete;
};

}  // namespace app
