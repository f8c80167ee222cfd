#include "util/mapped_file_win.h"

#include <windows.h>

#include <cstdint>

namespace util {

std::wstring WidePathForOpen(const std::string& path) {
  const int n = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), &wide[0], n);
  if (wide.size() < MAX_PATH || wide.compare(0, 4, L"\\\\?\\") == 0) return wide;

  // A long path only opens as a full path with the prefix that lifts the limit.
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), needed, &full[0], nullptr);
  if (got == 0 || got >= needed) return wide;
  full.resize(got);
  if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

MappedFile::MappedFile(const std::string& path) {
  if (path.empty()) return;
  file_.reset(CreateFileW(WidePathForOpen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) return;
  opened_ = true;
  LARGE_INTEGER size{};
  if (GetFileType(file_.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file_.get(), &size)) return;
  if (size.QuadPart == 0) {
    mapped_ = true;  // nothing to map
    return;
  }
  if (static_cast<unsigned long long>(size.QuadPart) <= kReadWholeLimit) {
    // A small file is read: a mapping and its view cost more calls than the copy.
    bytes_.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!ReadFile(file_.get(), bytes_.data(), static_cast<DWORD>(bytes_.size()), &got, nullptr) ||
        got != bytes_.size()) {
      bytes_.clear();
      return;
    }
    size_ = bytes_.size();
    mapped_ = true;
    return;
  }
  if (static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) return;
  mapping_.reset(CreateFileMappingW(file_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping_) return;
  view_ = MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0);
  if (!view_) return;
  size_ = static_cast<size_t>(size.QuadPart);
  mapped_ = true;
}

MappedFile::~MappedFile() {
  if (view_) UnmapViewOfFile(view_);
}

}  // namespace util
