#include "controls/folder_shell_win.h"

#include <cstring>

#include "gui/text.h"
#include "util/file_utils.h"
#include "util/late_bound_win.h"

namespace controls {

namespace {

// The text of a display-name answer. A wide string is the caller's to free;
// an offset points into the item itself. *missing is set when a wide
// answer came without its string.
std::string StrRetText(STRRET& answer, LPCITEMIDLIST item, bool* missing) {
  switch (answer.uType) {
    case STRRET_WSTR: {
      if (!answer.pOleStr) {
        *missing = true;
        return std::string();
      }
      std::string text = gui::WideToAnsi(answer.pOleStr);
      util::late::CoTaskMemFree(answer.pOleStr);
      return text;
    }
    case STRRET_OFFSET: {
      USHORT cb = 0;
      if (item) std::memcpy(&cb, item, sizeof cb);
      if (answer.uOffset >= cb) return std::string();
      const char* text = reinterpret_cast<const char*>(item) + answer.uOffset;
      return std::string(text, strnlen(text, cb - answer.uOffset));
    }
    case STRRET_CSTR: return std::string(answer.cStr, strnlen(answer.cStr, sizeof answer.cStr));
    default: return std::string();
  }
}

// Removable drives may hold no medium: the size query must not bring up
// the system's "insert a disk" box.
class ErrorModeScope {
 public:
  ErrorModeScope() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~ErrorModeScope() { SetErrorMode(previous_); }
  ErrorModeScope(const ErrorModeScope&) = delete;
  ErrorModeScope& operator=(const ErrorModeScope&) = delete;

 private:
  UINT previous_;
};

}  // namespace

UINT ItemListSize(LPCITEMIDLIST list) {
  UINT size = 0;
  if (!list) return 0;
  const BYTE* p = reinterpret_cast<const BYTE*>(list);
  for (;;) {
    USHORT cb;
    std::memcpy(&cb, p + size, sizeof cb);
    if (cb == 0) return size;
    size += cb;
  }
}

std::string DisplayName(IShellFolder* folder, LPCITEMIDLIST item, DWORD request) {
  for (;;) {
    STRRET answer{};
    if (FAILED(folder->GetDisplayNameOf(item, request, &answer))) answer = STRRET{};
    bool missing = false;
    std::string text = StrRetText(answer, item, &missing);
    if (missing && request == SHGDN_NORMAL) {
      request = SHGDN_FORPARSING;
      continue;
    }
    return text;
  }
}

TDisplayNames GetDisplayNames(IShellFolder* folder, LPCITEMIDLIST item) {
  return {DisplayName(folder, item, SHGDN_NORMAL), DisplayName(folder, item, SHGDN_FORPARSING),
          DisplayName(folder, item, SHGDN_INFOLDER)};
}

std::optional<TSpecialFolder> GetSpecialFolder(HWND owner, int csidl) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, csidl, &list)) || !list) return std::nullopt;
  TSpecialFolder folder{util::UniquePidl(list), std::string()};
  char path[MAX_PATH] = {};
  if (SHGetPathFromIDListA(list, path)) folder.path = path;
  return folder;
}

long GetVolumeSerial(const std::string& path) {
  if (path.empty()) return -1;
  char root[] = {util::LowerCase(path.substr(0, 1))[0], ':', '\\', '\0'};
  if (GetDriveTypeA(root) != DRIVE_REMOVABLE) return 1;
  root[0] = util::UpperCase(path.substr(0, 1))[0];
  ErrorModeScope quiet;
  ULARGE_INTEGER total{};
  if (!GetDiskFreeSpaceExA(root, nullptr, &total, nullptr)) return -1;
  DWORD serial = 0;
  if (!GetVolumeInformationA(root, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) return -1;
  return static_cast<long>(serial);
}

}  // namespace controls
