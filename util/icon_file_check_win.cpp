#include "util/icon_file_check_win.h"

#include <windows.h>

#include <cstdint>

#include "util/handles_win.h"

namespace util {
namespace {

// Owns a mapped view of a file.
class MappedView {
 public:
  explicit MappedView(const void* view) : view_(view) {}
  ~MappedView() {
    if (view_) UnmapViewOfFile(view_);
  }
  MappedView(const MappedView&) = delete;
  MappedView& operator=(const MappedView&) = delete;
  const uint8_t* bytes() const { return static_cast<const uint8_t*>(view_); }
  explicit operator bool() const { return view_ != nullptr; }

 private:
  const void* view_;
};

IconFileCheck Unmappable() {
  IconFileCheck c;
  c.damaged = true;
  c.problem = "file could not be mapped";
  return c;
}

}  // namespace

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

IconFileInspection InspectIconFile(const std::string& path) {
  IconFileInspection result;
  if (path.empty()) return result;
  util::UniqueFile file(CreateFileW(WidePathForOpen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return result;
  result.opened = true;

  LARGE_INTEGER size{};
  if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size)) {
    result.check = Unmappable();
    return result;
  }
  if (size.QuadPart == 0) {
    result.check = CheckIconFile(nullptr, 0);
    return result;
  }
  if (static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) {
    result.check = Unmappable();
    return result;
  }
  util::UniqueKernelHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) {
    result.check = Unmappable();
    return result;
  }
  MappedView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
  if (!view) {
    result.check = Unmappable();
    return result;
  }
  result.check = CheckIconFile(view.bytes(), static_cast<size_t>(size.QuadPart));
  return result;
}

}  // namespace util
