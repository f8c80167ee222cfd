#include "imaging/icon_groups.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <set>
#include <string>
#include <vector>

#include "win/win_test_support.h"

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) | (static_cast<uint32_t>(b.at(at + 3)) << 24);
}

// The colour at the middle of the shell's icon, drawn on white.
COLORREF ShellIconColour(const std::string& path, UINT index) {
  HICON icon = ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), index);
  if (!icon) return CLR_INVALID;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 32, 32};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
  const COLORREF colour = GetPixel(dc, 16, 16);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  DestroyIcon(icon);
  return colour;
}

// The groups are numbered as the shell numbers its icons, named groups
// first: in the fixture every image of a group has the group's own colour,
// and icon i as the shell extracts it shows the colour of group i.
TEST(IconGroupsOnDisk, GroupIIsTheIconTheShellExtractsAsI) {
  const std::string path = testing_support::FixturePath("groups.dll");
  const std::vector<unsigned char> file = testing_support::ReadFileBytes(path);
  const UINT count =
      static_cast<UINT>(reinterpret_cast<UINT_PTR>(ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), UINT(-1))));
  ASSERT_EQ(4u, count);
  std::set<COLORREF> colours;
  for (UINT i = 0; i < count; ++i) {
    std::vector<uint8_t> group;
    ASSERT_EQ(nullptr, imaging::BuildIconGroupFile(file.data(), file.size(), i, &group)) << i;
    // The first image is a 32-bit bitmap: its first pixel follows the
    // 40-byte header, stored blue, green, red.
    const size_t pixel = Le32(group, 6 + 12) + 40;
    const COLORREF stored = RGB(group.at(pixel + 2), group.at(pixel + 1), group.at(pixel));
    EXPECT_EQ(stored, ShellIconColour(path, i)) << "icon " << i;
    colours.insert(stored);
  }
  EXPECT_EQ(count, colours.size());
}

}  // namespace
