// What the export tests share: the colours of the export fixtures
// (tests/fixtures/set_export.py computes the same ones; keep them in step),
// little-endian reads and a sorted folder listing.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace export_fixtures {

using Bytes = std::vector<unsigned char>;

// The 16 standard colours, 0xRRGGBB.
inline uint32_t StandardColour(int k) {
  static const uint32_t kStandard[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                         0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                         0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  return kStandard[k];
}

// Icon i of export_*.dll: its left half and its right half; the 4 x 4
// corner at the bottom right is transparent.
inline uint32_t ExportLeft(int i) { return StandardColour(1 + i % 14); }
inline uint32_t ExportRight(int i) { return StandardColour(14 - i % 13); }

inline uint32_t LE32(const Bytes& b, size_t at) {
  return b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) | (static_cast<uint32_t>(b.at(at + 3)) << 24);
}
inline uint32_t LE16(const Bytes& b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }

// The names in a folder, sorted, without "." and "..".
inline std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = fd.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace export_fixtures
