// A small, independent reader of single-image .ico files for the tests.
// It checks every size and offset against the file and decodes the image
// at whatever depth it was written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_ico {

struct DecodedIcon {
  bool ok = false;
  std::string error;
  // Directory entry.
  int entry_width = 0, entry_height = 0, entry_colors = 0, entry_planes = 0, entry_bitcount = 0;
  uint32_t bytes_in_res = 0, offset = 0;
  // Stored header.
  int width = 0, stored_height = 0, bpp = 0;
  uint32_t size_image = 0, clr_used = 0, clr_important = 0;
  std::vector<uint32_t> table;   // 0x00RRGGBB
  std::vector<uint32_t> pixels;  // top-down, 0xAARRGGBB (alpha only for 32 bits)
  std::vector<bool> mask;        // top-down, true = transparent
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline uint32_t Le16(const std::vector<uint8_t>& b, size_t o) { return b[o] | (b[o + 1] << 8); }
inline uint32_t Le32(const std::vector<uint8_t>& b, size_t o) {
  return b[o] | (b[o + 1] << 8) | (b[o + 2] << 16) | (static_cast<uint32_t>(b[o + 3]) << 24);
}

inline DecodedIcon DecodeIco(const std::vector<uint8_t>& b) {
  DecodedIcon d;
  auto fail = [&d](const char* why) {
    d.error = why;
    return d;
  };
  if (b.size() < 62) return fail("too short");
  if (Le16(b, 0) != 0 || Le16(b, 2) != 1 || Le16(b, 4) != 1) return fail("bad file header");
  d.entry_width = b[6];
  d.entry_height = b[7];
  d.entry_colors = static_cast<int>(Le16(b, 8));
  d.entry_planes = static_cast<int>(Le16(b, 10));
  d.entry_bitcount = static_cast<int>(Le16(b, 12));
  d.bytes_in_res = Le32(b, 14);
  d.offset = Le32(b, 18);
  if (static_cast<uint64_t>(d.offset) + d.bytes_in_res != b.size()) return fail("entry does not match length");
  size_t h0 = d.offset;
  if (Le32(b, h0) != 40) return fail("header size");
  d.width = static_cast<int>(Le32(b, h0 + 4));
  d.stored_height = static_cast<int>(Le32(b, h0 + 8));
  d.bpp = static_cast<int>(Le16(b, h0 + 14));
  d.size_image = Le32(b, h0 + 20);
  d.clr_used = Le32(b, h0 + 32);
  d.clr_important = Le32(b, h0 + 36);
  if (Le16(b, h0 + 12) != 1 || Le32(b, h0 + 16) != 0) return fail("planes or compression");
  int w = d.width, h = d.stored_height / 2;
  if (w <= 0 || h <= 0 || w > 256 || h > 256) return fail("size");
  size_t colors = d.bpp <= 8 ? (size_t{1} << d.bpp) : 0;
  if (d.clr_used != colors) return fail("colours used");
  size_t stride = ((static_cast<size_t>(w) * d.bpp + 31) / 32) * 4;
  size_t mstride = ((static_cast<size_t>(w) + 31) / 32) * 4;
  size_t table_at = h0 + 40, rows_at = table_at + 4 * colors, mask_at = rows_at + stride * h;
  if (d.size_image != stride * h) return fail("image size");
  if (mask_at + mstride * h != b.size()) return fail("layout does not add up");
  for (size_t i = 0; i < colors; ++i) d.table.push_back(Le32(b, table_at + 4 * i) & 0xFFFFFF);
  d.pixels.resize(static_cast<size_t>(w) * h);
  d.mask.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    size_t row = rows_at + stride * (h - 1 - y);
    size_t mrow = mask_at + mstride * (h - 1 - y);
    for (int x = 0; x < w; ++x) {
      uint32_t p;
      switch (d.bpp) {
        case 1: p = d.table[(b[row + x / 8] >> (7 - x % 8)) & 1]; break;
        case 4: p = d.table[(b[row + x / 2] >> (x % 2 ? 0 : 4)) & 15]; break;
        case 8: p = d.table[b[row + x]]; break;
        case 24: p = b[row + 3 * x] | (b[row + 3 * x + 1] << 8) | (b[row + 3 * x + 2] << 16); break;
        case 32: p = Le32(b, row + 4 * x); break;
        default: return fail("bit count");
      }
      d.pixels[static_cast<size_t>(y) * w + x] = p;
      d.mask[static_cast<size_t>(y) * w + x] = (b[mrow + x / 8] >> (7 - x % 8)) & 1;
    }
  }
  d.ok = true;
  return d;
}

}  // namespace testing_ico
