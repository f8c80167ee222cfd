#include "imaging/xp_theme_win.h"

#include <cstdint>

#include "util/file_utils_win.h"
#include "util/handles_win.h"

namespace imaging {

const char* const kThemeEntryNames[kThemeEntryCount] = {
    "OpenThemeData",
    "CloseThemeData",
    "DrawThemeBackground",
    "DrawThemeText",
    "GetThemeBackgroundContentRect",
    "GetThemeBackgroundExtent",
    "GetThemeTextExtent",
    "GetThemeTextMetrics",
    "GetThemeBackgroundRegion",
    "HitTestThemeBackground",
    "DrawThemeEdge",
    "DrawThemeIcon",
    "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent",
    "GetThemeColor",
    "GetThemeMetric",
    "GetThemeString",
    "GetThemeBool",
    "GetThemeInt",
    "GetThemeEnumValue",
    "GetThemePosition",
    "GetThemeFont",
    "GetThemeRect",
    "GetThemeMargins",
    "GetThemeIntList",
    "SetWindowTheme",
    "GetThemeFilename",
    "GetThemeSysColor",
    "GetThemeSysColorBrush",
    "GetThemeSysBool",
    "GetThemeSysSize",
    "GetThemeSysFont",
    "GetThemeSysString",
    "GetThemeSysInt",
    "IsThemeActive",
    "IsAppThemed",
    "GetWindowTheme",
    "EnableThemeDialogTexture",
    "IsThemeDialogTextureEnabled",
    "GetThemeAppProperties",
    "SetThemeAppProperties",
    "GetCurrentThemeName",
    "GetThemeDocumentationProperty",
    "DrawThemeParentBackground",
    "EnableTheming",
};

namespace {

// Indices of the entries the program calls.
constexpr int kOpenThemeData = 0;
constexpr int kCloseThemeData = 1;
constexpr int kDrawThemeBackground = 2;
constexpr int kIsThemeActive = 34;

struct ThemeLibrary {
  util::UniqueModule module;
  bool available = false;
  ThemeApiTable table;
  int units = 0;
};

ThemeLibrary& Library() {
  static ThemeLibrary library;
  return library;
}

template <typename Fn>
void Bind(Fn*& target, FARPROC entry) {
  target = reinterpret_cast<Fn*>(entry);
}

}  // namespace

const ThemeApiTable& ThemeApi() { return Library().table; }

bool ThemeLibraryLoaded() { return Library().module.valid(); }

bool ThemeApiAvailable() { return Library().available; }

bool ThemesInUse() { return ThemeApiAvailable() && ThemeApi().IsThemeActive() != FALSE; }

void LoadThemeApiFrom(const char* library_name, bool windows_xp_or_later) {
  ThemeLibrary& library = Library();
  library.available = false;
  if (library.module || !windows_xp_or_later) return;
  HMODULE module = LoadLibraryA(library_name);
  // Old systems reported failure as a handle below 32.
  if (reinterpret_cast<uintptr_t>(module) < 32) return;
  library.module.reset(module);
  ThemeApiTable table;
  for (int i = 0; i < kThemeEntryCount; ++i) {
    table.entries[i] = GetProcAddress(module, kThemeEntryNames[i]);
    if (!table.entries[i]) throw ThemeAssertionFailure(kThemeEntryNames[i]);
  }
  Bind(table.OpenThemeData, table.entries[kOpenThemeData]);
  Bind(table.CloseThemeData, table.entries[kCloseThemeData]);
  Bind(table.DrawThemeBackground, table.entries[kDrawThemeBackground]);
  Bind(table.IsThemeActive, table.entries[kIsThemeActive]);
  library.table = table;
  util::ThemeTraits::close_theme_data = table.CloseThemeData;
  library.available = true;
}

void LoadThemeApi() { LoadThemeApiFrom("UXTHEME.DLL", util::IsWindowsXPOrLater()); }

void UnloadThemeApi() {
  ThemeLibrary& library = Library();
  if (!library.module) return;
  // Nothing may call into the library once it is gone.
  library.available = false;
  library.table = ThemeApiTable();
  util::ThemeTraits::close_theme_data = nullptr;
  library.module.reset();
}

ThemeUnit::ThemeUnit() {
  ThemeLibrary& library = Library();
  if (library.units++ > 0) return;
  try {
    LoadThemeApi();
  } catch (...) {
    --library.units;
    UnloadThemeApi();
    throw;
  }
}

ThemeUnit::~ThemeUnit() {
  if (--Library().units == 0) UnloadThemeApi();
}

int ThemeUnit::Count() { return Library().units; }

}  // namespace imaging
