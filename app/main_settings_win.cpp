#include "app/main_settings_win.h"

#include <optional>
#include <vector>

#include "app/globals.h"
#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "gui/error.h"
#include "util/file_utils_win.h"
#include "util/handles_win.h"
#include "util/rect_win.h"
#include "util/system_paths_win.h"

namespace app {

namespace {

// The registry layer: each call's result is turned here, once, into a
// missing value (reading) or a gui::Error naming the key or value (writing).

std::string SubKey(const std::string& root, const char* name) { return root + "\\" + name; }

// Opens a key for reading; a key that is not there reads as empty.
util::UniqueRegKey OpenForReading(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  return util::UniqueRegKey(key);
}

util::UniqueRegKey CreateKey(const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    throw gui::Error(LangFormat(sFailedCreateKey, path));
  return util::UniqueRegKey(key);
}

void WriteText(HKEY key, const std::string& name, const std::string& text) {
  if (RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS)
    throw gui::Error(LangFormat(sFailedSetData, name));
}

void WriteValues(HKEY key, const std::vector<TNamedValue>& values) {
  for (const TNamedValue& v : values) WriteText(key, v.name, v.text);
}

// A string value, or nothing when it is missing or of another type. A string
// stored without its terminating zero comes back without one, so only the
// bytes the registry reports as read are taken, never a zero assumed.
TStoredText ReadText(HKEY key, const std::string& name) {
  if (!key) return std::nullopt;
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ) return std::nullopt;
    std::vector<char> buffer(size + 1, '\0');
    DWORD got = size;
    LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
    // The value grew between the two calls: ask again.
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    // The text ends at the first zero within what was read, whether or not
    // it was stored with one.
    std::string text(buffer.data(), got);
    return text.substr(0, text.find('\0'));
  }
  return std::nullopt;
}

TValueLookup LookupIn(HKEY key) {
  return [key](const std::string& name) { return ReadText(key, name); };
}

// Every string value of a key, each read by its name.
std::vector<TNamedValue> ReadAllTexts(HKEY key) {
  std::vector<TNamedValue> values;
  if (!key) return values;
  DWORD longest_name = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest_name, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return values;
  std::vector<std::string> names;
  std::vector<char> name(longest_name + 1);
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    LONG rc = RegEnumValueA(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) break;
    names.emplace_back(name.data(), length);
  }
  for (const std::string& n : names)
    if (TStoredText text = ReadText(key, n)) values.push_back({n, *text});
  return values;
}

// Deletes a key with everything below it; a key that is not there is fine.
// RegDeleteKey refuses a key that still has subkeys, so they go first.
void DeleteKeyTree(HKEY parent, const std::string& name) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &raw) != ERROR_SUCCESS) return;
  util::UniqueRegKey key(raw);
  std::vector<std::string> children;
  char child[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof child;
    if (RegEnumKeyExA(key.get(), i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.emplace_back(child, length);
  }
  for (const std::string& c : children) DeleteKeyTree(key.get(), c);
  key.reset();
  RegDeleteKeyA(parent, name.c_str());
}

WINDOWPLACEMENT PlacementOf(HWND window) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(window, &wp);
  return wp;
}

bool WasMaximized(const WINDOWPLACEMENT& wp) {
  // A window minimized from the maximized state returns to it.
  return wp.showCmd == SW_SHOWMAXIMIZED || (wp.showCmd == SW_SHOWMINIMIZED && (wp.flags & WPF_RESTORETOMAXIMIZED) != 0);
}

// Places the window at its stored rectangle and state. A rectangle left
// from a monitor that is gone would put the window where no one can reach
// it, so one that meets no monitor, or is larger than all of them together,
// gives way to the window's own.
int RestorePlacement(HWND window, HKEY placement_key) {
  WINDOWPLACEMENT wp = PlacementOf(window);
  bool maximized = ReadStoredBool(ReadText(placement_key, "Maximized"), false);
  const util::TRect read = ReadNormalRect(LookupIn(placement_key), util::FromRECT(wp.rcNormalPosition));
  RECT stored = util::ToRECT(read);
  if (FitsScreen(read, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)) &&
      MonitorFromRect(&stored, MONITOR_DEFAULTTONULL) != nullptr)
    wp.rcNormalPosition = stored;

  int show_command = maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  if (IsWindowVisible(window)) {
    if (maximized) wp.showCmd = SW_SHOWMAXIMIZED;
  } else {
    wp.showCmd = SW_HIDE;
  }
  wp.flags = 0;
  SetWindowPlacement(window, &wp);
  return show_command;
}

// Counts this start (Run, written back at once) and reads the export
// settings and the recent files.
void CountStartAndLoadLists(TRecentFiles& recent, const std::string& root) {
  {
    util::UniqueRegKey settings = CreateKey(SubKey(root, "Settings"));
    RunCount = NextRunCount(ReadText(settings.get(), "Run"));
    WriteText(settings.get(), "Run", StoredText(RunCount));
    ExportSettings = ReadExportSettings(LookupIn(settings.get()));
  }
  util::UniqueRegKey recent_key = OpenForReading(SubKey(root, "Recent"));
  recent.Load(ReadAllTexts(recent_key.get()),
              [](const std::string& path) { return util::FileExists(util::NativePath(path)); });
}

// Writes the export settings and the recent files back.
void SaveLists(const TRecentFiles& recent, const std::string& root) {
  WriteValues(CreateKey(SubKey(root, "Settings")).get(), ExportSettingsValues(ExportSettings));

  // The list is written anew, so entries dropped since the start are gone.
  {
    util::UniqueRegKey parent = CreateKey(root);
    DeleteKeyTree(parent.get(), "Recent");
  }
  WriteValues(CreateKey(SubKey(root, "Recent")).get(), recent.Values());
}

}  // namespace

TLoadedSettings LoadSettings(const TSettingsTarget& target, TRecentFiles& recent, const std::string& root) {
  TLoadedSettings loaded;
  CountStartAndLoadLists(recent, root);

  // The window first takes its stored place and size; the panes are then
  // held to the room the window has there, not to the room it had before.
  util::UniqueRegKey placement = OpenForReading(SubKey(root, "Placement"));
  TSettingsTarget placed = target;
  if (target.window) {
    loaded.show_command = RestorePlacement(target.window, placement.get());
    if (target.measure) target.measure(placed);
  }
  TValueLookup lookup = LookupIn(placement.get());
  loaded.panes.find_panel_visible = ReadStoredBool(lookup("FindPanelVisible"), false);
  loaded.panes.find_panel_height =
      ClampFindPanelHeight(ReadStoredInt(lookup("FindPanelHeight"), target.panes.find_panel_height),
                           placed.client_height, placed.find_splitter_height, placed.status_bar_height);
  loaded.panes.file_panel_width =
      ClampFilePanelWidth(ReadStoredInt(lookup("FilePanelWidth"), target.panes.file_panel_width),
                          placed.find_panel_client_width, placed.file_splitter_width);
  return loaded;
}

void SaveSettings(const TSettingsTarget& target, const TRecentFiles& recent, const std::string& root) {
  SaveLists(recent, root);

  util::UniqueRegKey placement = CreateKey(SubKey(root, "Placement"));
  WriteText(placement.get(), "FindPanelHeight", StoredText(target.panes.find_panel_height));
  WriteText(placement.get(), "FilePanelWidth", StoredText(target.panes.file_panel_width));
  WriteText(placement.get(), "FindPanelVisible", StoredText(target.panes.find_panel_visible));
  if (target.window) {
    const WINDOWPLACEMENT wp = target.placement ? *target.placement : PlacementOf(target.window);
    WriteValues(placement.get(), NormalRectValues(util::FromRECT(wp.rcNormalPosition)));
    WriteText(placement.get(), "Maximized", StoredText(WasMaximized(wp)));
  }
}

void LoadExportSettings(const std::string& root) {
  util::UniqueRegKey settings = OpenForReading(SubKey(root, "Settings"));
  ExportSettings = ReadExportSettings(LookupIn(settings.get()));
}

void RecordWindowlessStart(const std::string& opened, const std::string& root) {
  TRecentFiles recent;
  CountStartAndLoadLists(recent, root);
  recent.Opened(util::FullPathName(opened));
  SaveLists(recent, root);
}

}  // namespace app
