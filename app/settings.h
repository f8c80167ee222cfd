// The rules for the program's stored settings, apart from the registry
// that holds them: how a stored text becomes a number, a Boolean or an
// export setting, how far a stored pane size may go, and the list of
// recently opened files.
//
// Every value is stored as text. The Win32 side (main_settings_win.*) only
// moves texts between the registry and these functions, so the rules are
// tested natively on plain strings.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/globals.h"
#include "imaging/export_types.h"
#include "util/rect.h"

namespace app {

// A stored value: its text, or nothing when the value is missing (or is not
// text at all, which the reader treats alike).
using TStoredText = std::optional<std::string>;
// Looks up one stored value by its name.
using TValueLookup = std::function<TStoredText(const std::string& name)>;

struct TNamedValue {
  std::string name;
  std::string text;
};

// A decimal integer: an optional sign and digits, nothing else, within the
// range of int. Anything else, a missing value included, gives the default.
int ReadStoredInt(const TStoredText& text, int default_value);
// Any decimal integer; non-zero means true.
bool ReadStoredBool(const TStoredText& text, bool default_value);
std::string StoredText(int value);
std::string StoredText(bool value);

// This start's number: one more than the stored run count (none read as 0),
// staying at the largest int once there instead of turning negative.
int NextRunCount(const TStoredText& stored);

// The last memo type a dBase table may hold (PNG).
constexpr int kLastMemoType = imaging::etPNG;

// The export settings as the Settings key holds them; ExpDBFType outside
// 0..4 (negative ones included) reads as 0. Run is not among them: it is
// read and written at once on its own.
TExportSettings ReadExportSettings(const TValueLookup& lookup);
std::vector<TNamedValue> ExportSettingsValues(const TExportSettings& settings);

// The smallest sizes of the search pane and its file list, which the
// splitters between them also keep.
constexpr int kFindPanelMinHeight = 172;
constexpr int kFilePanelMinWidth = 248;

// A stored height of the search pane: at least its smallest height; above
// that, at most what leaves the grid its own smallest height above the
// splitter and the status bar.
int ClampFindPanelHeight(int stored, int client_height, int splitter_height, int status_bar_height);
// A stored width of the file list, the same rule across the search pane.
int ClampFilePanelWidth(int stored, int pane_client_width, int splitter_width);

// The layout of the search pane that is stored with the window's placement.
struct TPaneLayout {
  bool find_panel_visible = false;
  int find_panel_height = kFindPanelMinHeight;
  int file_panel_width = kFilePanelMinWidth;
};

// The restored rectangle from Left, Top, Right and Bottom, each missing one
// taken from `current`. A rectangle without area cannot be a window's, so it
// gives `current` as a whole.
util::TRect ReadNormalRect(const TValueLookup& lookup, const util::TRect& current);
std::vector<TNamedValue> NormalRectValues(const util::TRect& rect);

// Whether a window may take the rectangle on a screen of the given size: it
// is no wider and no taller than the screen. A rectangle stretching to the
// limits of int would put the window's corner where nobody reaches it.
bool FitsScreen(const util::TRect& rect, int screen_width, int screen_height);

// The files opened last, newest first, at most twelve; the one shown now
// carries the check mark. Paths are compared without regard to case (a
// double-byte character's trail byte is compared exactly), and a path
// opened again keeps the spelling it was opened with last.
class TRecentFiles {
 public:
  static constexpr size_t kMaxFiles = 12;
  using FileExists = std::function<bool(const std::string& path)>;

  // Replaces the list by the stored one. The values are named by position
  // ("0" the newest) and taken in that order whatever order the store gave
  // them in; other names, empty paths, devices, files that no longer exist
  // and repeats are passed over, and reading stops at twelve files. Nothing is
  // checked after a load.
  void Load(const std::vector<TNamedValue>& values, const FileExists& exists);
  // The values to store: "0" for the newest file, "1" for the next, ...
  std::vector<TNamedValue> Values() const;

  // A file was opened: it goes to the top, checked, replacing an entry of
  // the same path; the oldest entry falls off beyond twelve. A device is
  // no file and leaves the list as it is.
  void Opened(const std::string& path);

  const std::vector<std::string>& Paths() const { return paths_; }
  bool Empty() const { return paths_.empty(); }
  // The position of the checked entry, or -1.
  int CheckedIndex() const { return checked_ ? 0 : -1; }

 private:
  std::vector<std::string> paths_;
  // Only an opened file is checked, and it is always at the top.
  bool checked_ = false;
};

// Whether two paths name the same file for the recent list: compared
// without regard to case, a "\\?\" prefix making no difference.
bool SamePathText(const std::string& a, const std::string& b);

// Whether the path names a device (CON, NUL, COM1, LPT1, CONIN$, ... with
// any extension, or a "\\.\" path) rather than a file: no recent file.
bool IsDevicePath(const std::string& path);

}  // namespace app
