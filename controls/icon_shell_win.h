// The shell calls the icon source is made of, behind a small interface so
// that tests can record which calls the source makes, in which order.
//
// ShellIcons is the real thing: ExtractIconA and ExtractAssociatedIconA
// with the application's instance handle, and for a file the shell must not
// read, SHGetFileInfoA on a made-up name of the same type, which never
// touches the file.
#pragma once

#include <windows.h>

#include <string>

#include "imaging/icon_file_check_win.h"

namespace controls {

class IconShell {
 public:
  virtual ~IconShell() = default;

  // The structural check of the file (not a shell call; it decides whether
  // the shell may read the file at all).
  virtual imaging::IconFileInspection Inspect(const std::string& path) = 0;
  // ExtractIconA with index 0: null when the file holds no icon of its own.
  virtual HICON Probe(const std::string& path) = 0;
  // ExtractIconA with index (UINT)-1: the number of icons in the file.
  virtual UINT Count(const std::string& path) = 0;
  // ExtractIconA with index i: the file's i-th icon, or null.
  virtual HICON Extract(const std::string& path, UINT index) = 0;
  // ExtractAssociatedIconA on a writable 260-character copy of the path with
  // icon index 0. Reads the file; never called for a path that does not fit.
  virtual HICON Associated(const std::string& path) = 0;
  // The icon of the file's type, found without reading the file.
  virtual HICON TypeIcon(const std::string& path) = 0;
  // The size of every icon Extract answers.
  virtual SIZE ExtractedIconSize() { return {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}; }
};

class ShellIcons : public IconShell {
 public:
  // The instance handle the shell is given; the application's by default.
  explicit ShellIcons(HINSTANCE instance = GetModuleHandleA(nullptr)) : instance_(instance) {}

  imaging::IconFileInspection Inspect(const std::string& path) override;
  HICON Probe(const std::string& path) override;
  UINT Count(const std::string& path) override;
  HICON Extract(const std::string& path, UINT index) override;
  HICON Associated(const std::string& path) override;
  HICON TypeIcon(const std::string& path) override;

 private:
  HINSTANCE instance_;
};

// The value the shell answers a probe with for a file that is neither an
// executable nor an icon file: not an icon handle, never to be destroyed.
inline HICON NotAnIconFileAnswer() { return reinterpret_cast<HICON>(static_cast<UINT_PTR>(1)); }

// The made-up name ("x" plus the extension) that stands for the file's
// type; a folder is a folder whatever its name. Exposed for the tests.
std::string TypeStandIn(const std::string& path);

}  // namespace controls
