#include "util/system_paths.h"

#include <cstddef>

#include "util/file_utils.h"

namespace util {
namespace {

constexpr char kLongPathPrefix[] = "\\\\?\\";

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether text[at ...] starts with word, without regard to ASCII case. The
// words compared are ASCII, so a double-byte character never matches them.
bool StartsWithAt(const std::string& text, size_t at, const std::string& word) {
  if (text.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (AsciiLower(text[at + i]) != AsciiLower(word[i])) return false;
  return true;
}

// Replaces windows_dir\<from> (the folder or anything below it) by
// windows_dir\<to>.
std::string SwapSystemFolder(const std::string& path, const std::string& windows_dir, const char* from,
                             const char* to) {
  if (windows_dir.empty()) return path;
  const size_t start = StartsWithAt(path, 0, kLongPathPrefix) ? sizeof kLongPathPrefix - 1 : 0;
  const std::string folder = AddBackslash(windows_dir) + from;
  if (!StartsWithAt(path, start, folder)) return path;
  const size_t end = start + folder.size();
  if (end < path.size() && path[end] != '\\') return path;  // System32x is another folder
  return path.substr(0, start) + AddBackslash(windows_dir) + to + path.substr(end);
}

}  // namespace

std::string SystemToSysnative(const std::string& path, const std::string& windows_dir) {
  return SwapSystemFolder(path, windows_dir, "System32", "Sysnative");
}

std::string SysnativeToSystem(const std::string& path, const std::string& windows_dir) {
  return SwapSystemFolder(path, windows_dir, "Sysnative", "System32");
}

std::string MunFilePath(const std::string& path, const std::string& windows_dir) {
  const std::string name = ExtractFileName(path);
  if (name.empty() || windows_dir.empty()) return std::string();
  return AddBackslash(windows_dir) + "SystemResources\\" + name + ".mun";
}

}  // namespace util
