#include "imaging/icon_image_decoder.h"

#include <algorithm>
#include <cstring>

#include "imaging/icon_alpha.h"
#include "util/byte_order.h"

namespace imaging {

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;

bool SideFits(int64_t side) { return side >= 1 && side <= kMaxDecodedIconSide; }

IconImageDecodeResult TakePng(const uint8_t* data, size_t size, DecodedIconImage* out) {
  // The signature, then the IHDR chunk: length, type, width, height.
  if (size < 24) return IconImageDecodeResult::kTruncated;
  if (std::memcmp(data + 12, "IHDR", 4) != 0) return IconImageDecodeResult::kUnsupported;
  const int64_t width = util::ReadBe32(data + 16);
  const int64_t height = util::ReadBe32(data + 20);
  if (!SideFits(width) || !SideFits(height)) return IconImageDecodeResult::kUnsupported;
  out->is_png = true;
  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  out->png.assign(data, data + size);
  return IconImageDecodeResult::kOk;
}

// Expands a 5-bit channel to 8 bits, so that 31 becomes 255.
uint8_t Expand5(uint32_t v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }

Pixel32 ReadPixel(const uint8_t* row, int x, int bpp, const std::vector<Pixel32>& palette) {
  switch (bpp) {
    case 32: {
      const uint8_t* p = row + static_cast<size_t>(x) * 4;
      return MakePixel(p[2], p[1], p[0], p[3]);
    }
    case 24: {
      const uint8_t* p = row + static_cast<size_t>(x) * 3;
      return MakePixel(p[2], p[1], p[0]);
    }
    case 16: {
      const uint32_t v = util::ReadLe16(row + static_cast<size_t>(x) * 2);
      return MakePixel(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
    }
    default: {
      // 1, 4 or 8 bits: the leftmost pixel in the most significant bits.
      const int bit = x * bpp;
      const uint32_t index = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
      return index < palette.size() ? palette[index] : MakePixel(0, 0, 0);
    }
  }
}

IconImageDecodeResult DecodeDib(const uint8_t* data, size_t size, DecodedIconImage* out) {
  if (size < kInfoHeaderSize) return IconImageDecodeResult::kTruncated;
  const uint32_t header_size = util::ReadLe32(data);
  if (header_size < kInfoHeaderSize) return IconImageDecodeResult::kUnsupported;
  if (header_size > size) return IconImageDecodeResult::kTruncated;
  const int64_t width = static_cast<int32_t>(util::ReadLe32(data + 4));
  const int64_t doubled_height = static_cast<int32_t>(util::ReadLe32(data + 8));
  const int bpp = util::ReadLe16(data + 14);
  const uint32_t compression = util::ReadLe32(data + 16);
  const uint32_t colors_used = util::ReadLe32(data + 32);
  // The height counts the colour rows and the mask rows.
  const int64_t height = doubled_height / 2;
  if (!SideFits(width) || !SideFits(height)) return IconImageDecodeResult::kUnsupported;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return IconImageDecodeResult::kUnsupported;
  if (compression != kBiRgb) return IconImageDecodeResult::kUnsupported;

  uint64_t at = header_size;
  std::vector<Pixel32> palette;
  if (bpp <= 8) {
    const uint32_t full = 1u << bpp;
    const uint32_t entries = colors_used == 0 || colors_used > full ? full : colors_used;
    if (at + uint64_t{entries} * 4 > size) return IconImageDecodeResult::kTruncated;
    for (uint32_t i = 0; i < entries; ++i, at += 4) {
      const uint8_t* q = data + at;
      palette.push_back(MakePixel(q[2], q[1], q[0]));
    }
  } else {
    // A DIB of more bits may carry a colour table all the same (a hint for
    // palette displays); the pixels follow it. The system reads at most
    // 256 entries of it, so the pixels start where it has them start.
    at += uint64_t{std::min<uint32_t>(colors_used, 256)} * 4;
    if (at > size) return IconImageDecodeResult::kTruncated;
  }

  const uint64_t stride = DibStride(width, bpp);
  const uint64_t color_bytes = stride * static_cast<uint64_t>(height);
  if (at + color_bytes > size) return IconImageDecodeResult::kTruncated;
  const int w = static_cast<int>(width);
  const int h = static_cast<int>(height);
  Image32 color(w, h);
  for (int row = 0; row < h; ++row) {
    const uint8_t* src = data + at + static_cast<uint64_t>(row) * stride;
    Pixel32* dst = color.pixels.data() + static_cast<size_t>(row) * w;
    for (int x = 0; x < w; ++x) dst[x] = ReadPixel(src, x, bpp, palette);
  }
  at += color_bytes;

  // The mask rows are stored as MaskImage keeps them; without all of them
  // the image has no mask.
  MaskImage mask(w, h);
  if (at + mask.bits.size() <= size) std::memcpy(mask.bits.data(), data + at, mask.bits.size());

  out->is_png = false;
  out->width = w;
  out->height = h;
  out->pixels = IconWithAlpha(color, mask);
  return IconImageDecodeResult::kOk;
}

}  // namespace

IconImageDecodeResult DecodeIconImage(const uint8_t* data, size_t size, DecodedIconImage* out) {
  *out = DecodedIconImage();
  if (!data) return IconImageDecodeResult::kTruncated;
  if (size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0)
    return TakePng(data, size, out);
  return DecodeDib(data, size, out);
}

}  // namespace imaging
