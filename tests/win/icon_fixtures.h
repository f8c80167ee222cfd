// The pixels of the icon-source fixtures (tests/fixtures/set_icon_source.py
// computes the same ones; keep them in step) and a way to read an icon's
// pixels back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace icon_fixtures {

constexpr int kSize = 32;
constexpr int kManyIcons = 300;
constexpr uint32_t kOpaque = 0xFF000000u;

inline uint32_t ManyIconsColour(int i) { return kOpaque | ((i & 0xFF) << 16) | ((i >> 8) << 8) | 0xA5; }

constexpr int kLargeLibraryIcons = 40000;
inline uint32_t LargeLibraryColour(int i) {
  return kOpaque | (((i * 97) & 0xFF) << 16) | (((i >> 8) & 0xFF) << 8) | (i & 0xFF);
}

// Colour (0xAARRGGBB) of an opaque pixel of each single-image fixture; 0 for
// the transparent ones.
inline uint32_t Bpp1(int x, int y) { return kOpaque | (x < y ? 0xFF0000 : 0x0000FF); }
inline uint32_t Bpp4(int x, int y) {
  static const uint32_t palette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                       0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  if (x >= 28 && y >= 28) return 0;
  return kOpaque | palette[(x / 8 + 4 * (y / 8)) % 16];
}
inline uint32_t Bpp8(int x, int y) {
  const uint32_t i = (x * 7 + y * 3) % 256;
  return kOpaque | (i << 16) | ((255 - i) << 8) | ((i * 37) & 0xFF);
}
inline uint32_t Bpp24(int x, int y) {
  if (x + y < 4) return 0;
  return kOpaque | ((x * 8) << 16) | ((y * 8) << 8) | ((x ^ y) * 8);
}
inline uint32_t Bpp32(int x, int y) {
  if (y < 2) return 0;
  return kOpaque | ((255 - x * 8) << 16) | ((y * 8) << 8) | (x * 4 + 3);
}

// The 256-pixel PNG fixture (four quadrants) as the shell extracts it at 32.
inline uint32_t Png256(int x, int y) {
  if (y < kSize / 2) return kOpaque | (x < kSize / 2 ? 0xFF0000 : 0x00FF00);
  return x < kSize / 2 ? kOpaque | 0x0000FF : 0;
}

// The icon drawn at its own size onto a background of one colour, as
// 0x00RRGGBB values, top row first.
inline std::vector<uint32_t> Render(HICON icon, int w, int h, uint32_t background) {
  std::vector<uint32_t> out;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dc && bmp) {
    HGDIOBJ old = SelectObject(dc, bmp);
    uint32_t* p = static_cast<uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) p[i] = background;
    DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
    GdiFlush();
    for (int i = 0; i < w * h; ++i) out.push_back(p[i] & 0xFFFFFF);
    SelectObject(dc, old);
  }
  if (bmp) DeleteObject(bmp);
  if (dc) DeleteDC(dc);
  return out;
}

// Whether a handle still names a live icon.
inline bool IconAlive(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return true;
}

// A small real icon, for fake shells.
inline HICON MakeIcon(uint32_t colour) {
  std::vector<uint8_t> mask(4 * 4 / 8 * 4, 0);
  std::vector<uint32_t> pixels(16, colour);
  HBITMAP colour_bmp = CreateBitmap(4, 4, 1, 32, pixels.data());
  HBITMAP mask_bmp = CreateBitmap(4, 4, 1, 1, mask.data());
  ICONINFO info{TRUE, 0, 0, mask_bmp, colour_bmp};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour_bmp);
  DeleteObject(mask_bmp);
  return icon;
}

}  // namespace icon_fixtures
