#include "controls/icon_shell_win.h"

#include <shellapi.h>

#include <cstring>

#include "util/mapped_file_win.h"
#include "util/mbcs.h"

namespace controls {
namespace {

// Longest extension we pass on; anything longer is no type the shell knows.
constexpr size_t kMaxExtension = 64;

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

}  // namespace

std::string TypeStandIn(const std::string& path) {
  // Walk the characters (not the bytes: a trail byte may look like '\\')
  // and remember the last dot after the last separator.
  size_t dot = std::string::npos;
  for (size_t i = 0; i < path.size();) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (util::IsLeadByte(c) && i + 1 < path.size()) {
      i += 2;
      continue;
    }
    if (IsSeparator(path[i]))
      dot = std::string::npos;
    else if (path[i] == '.')
      dot = i;
    ++i;
  }
  std::string stand_in = "x";
  if (dot != std::string::npos && path.size() - dot <= kMaxExtension) stand_in += path.substr(dot);
  return stand_in;
}

imaging::IconFileInspection ShellIcons::Inspect(const std::string& path) { return imaging::InspectIconFile(path); }

HICON ShellIcons::Probe(const std::string& path) { return ExtractIconA(instance_, path.c_str(), 0); }

UINT ShellIcons::Count(const std::string& path) {
  return static_cast<UINT>(reinterpret_cast<UINT_PTR>(ExtractIconA(instance_, path.c_str(), static_cast<UINT>(-1))));
}

HICON ShellIcons::Extract(const std::string& path, UINT index) { return ExtractIconA(instance_, path.c_str(), index); }

HICON ShellIcons::Associated(const std::string& path) {
  // The call copies the whole path into a buffer of MAX_PATH characters and
  // may write a program's path back into ours: give it a buffer of that
  // size, and never a path that does not fit.
  if (path.size() >= MAX_PATH || std::memchr(path.data(), 0, path.size())) return nullptr;
  char buffer[MAX_PATH] = {};
  std::memcpy(buffer, path.data(), path.size());
  WORD index = 0;
  return ExtractAssociatedIconA(instance_, buffer, &index);
}

HICON ShellIcons::TypeIcon(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(util::WidePathForOpen(path).c_str());
  const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  const std::string stand_in = folder ? "x" : TypeStandIn(path);
  SHFILEINFOA info{};
  if (!SHGetFileInfoA(stand_in.c_str(), folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                      SHGFI_USEFILEATTRIBUTES | SHGFI_ICON))
    return nullptr;
  return info.hIcon;
}

}  // namespace controls
