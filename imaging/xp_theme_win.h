// The theme library (visual styles), loaded at run time.
//
// The program must also start on systems without UXTHEME.DLL, so it never
// links the library: the first ThemeUnit loads it and looks up a table of
// its entries by name, the last one unloads it. Painting code asks
// ThemesInUse() and, when it answers true, calls the library through the
// table. A library that lacks one of the entries the program knows is not
// one the program was made for: loading it raises ThemeAssertionFailure,
// which stops the start.
//
// Window thread only.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include <stdexcept>
#include <string>

namespace imaging {

inline constexpr int kThemeEntryCount = 45;

// The entries looked up, in the order they are looked up.
extern const char* const kThemeEntryNames[kThemeEntryCount];

// The theme library's table: every entry, in the order of the names, and
// the four the program calls, typed. Empty (all null) unless
// ThemeApiAvailable().
struct ThemeApiTable {
  FARPROC entries[kThemeEntryCount] = {};
  HTHEME(WINAPI* OpenThemeData)(HWND window, LPCWSTR class_list) = nullptr;
  HRESULT(WINAPI* CloseThemeData)(HTHEME theme) = nullptr;
  HRESULT(WINAPI* DrawThemeBackground)
  (HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) = nullptr;
  BOOL(WINAPI* IsThemeActive)() = nullptr;
};

const ThemeApiTable& ThemeApi();

// The library is loaded.
bool ThemeLibraryLoaded();
// The table is complete and may be called.
bool ThemeApiAvailable();
// Visual styles are in use: the table is complete and a theme is active.
bool ThemesInUse();

// The library lacks an entry of the table.
class ThemeAssertionFailure : public std::runtime_error {
 public:
  explicit ThemeAssertionFailure(std::string entry)
      : std::runtime_error("Assertion failure"), entry_(std::move(entry)) {}
  const std::string& entry() const { return entry_; }

 private:
  std::string entry_;
};

// Loads UXTHEME.DLL on Windows XP and later and fills the table; nothing
// happens when it is already loaded. Without the library the table stays
// empty. Throws ThemeAssertionFailure, with the library left loaded, when
// an entry is missing.
void LoadThemeApi();
// The same with the library and the version check given, for tests.
void LoadThemeApiFrom(const char* library, bool windows_xp_or_later);
// Frees the library and empties the table.
void UnloadThemeApi();

// The theme library's lifetime as an object: the first unit loads it, the
// last one gone unloads it. Construction fails with ThemeAssertionFailure
// (after unloading again) when the library is incomplete.
class ThemeUnit {
 public:
  ThemeUnit();
  ~ThemeUnit();
  ThemeUnit(const ThemeUnit&) = delete;
  ThemeUnit& operator=(const ThemeUnit&) = delete;

  // Units alive.
  static int Count();
};

}  // namespace imaging
