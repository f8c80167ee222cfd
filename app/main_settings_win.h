// The main window's settings in the registry of the current user: the
// export settings and the run counter (key Settings), the window's placement
// and the search pane's layout (Placement) and the recent files (Recent),
// all below HKEY_CURRENT_USER\Software\Korvane\Tamsel, every value a string.
//
// The main window is reached only through TSettingsTarget: its handle and
// the measures the stored pane sizes are clamped against. The rules for the
// stored texts live in app/settings.h.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "app/settings.h"

namespace app {

constexpr const char* kSettingsRoot = "Software\\Korvane\\Tamsel";

struct TSettingsTarget {
  HWND window = nullptr;
  // The main window's client height and the heights of the splitter above
  // the search pane and of the status bar.
  int client_height = 0;
  int find_splitter_height = 0;
  int status_bar_height = 0;
  // The search pane's client width and the width of the splitter beside the
  // file list.
  int find_panel_client_width = 0;
  int file_splitter_width = 0;
  // The pane as it is now: the defaults on loading, what is stored on saving.
  TPaneLayout panes;
  // Takes the sizes above from the window again, once loading has given it
  // its stored place and size (none: they stay as they are).
  std::function<void(TSettingsTarget&)> measure;
  // The placement to store in place of the window's own (a window held
  // hidden for an export, which never took its stored state).
  std::optional<WINDOWPLACEMENT> placement;
};

struct TLoadedSettings {
  TPaneLayout panes;
  // The command to show the window with the first time. A window that was
  // hidden while loading stays hidden, so that it appears only once, in its
  // stored state.
  int show_command = SW_SHOWNORMAL;
};

// Reads everything once at start: counts this start (Run, written back at
// once, into RunCount), fills ExportSettings and `recent` (files that still
// exist), and places the window. A stored rectangle that lies on no monitor
// gives way to the window's own. Raises gui::Error when Run cannot be written.
// `root` is the key below HKEY_CURRENT_USER.
TLoadedSettings LoadSettings(const TSettingsTarget& target, TRecentFiles& recent,
                             const std::string& root = kSettingsRoot);

// Writes everything back (not Run): ExportSettings, the recent files into a
// Recent key made anew, the pane layout and the window's placement. Raises
// gui::Error with the key or value that the registry refused.
void SaveSettings(const TSettingsTarget& target, const TRecentFiles& recent, const std::string& root = kSettingsRoot);

// A batch that runs without the window reads the export settings alone
// and writes nothing while it runs...
void LoadExportSettings(const std::string& root = kSettingsRoot);

// ...and once it has succeeded leaves what the window would have left: this
// start counted, the export settings written back and `opened` first among
// the recent files. The window's placement and panes stay as they are
// stored. Raises gui::Error as SaveSettings does.
void RecordWindowlessStart(const std::string& opened, const std::string& root = kSettingsRoot);

}  // namespace app
