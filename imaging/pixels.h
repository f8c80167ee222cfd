// The pixel model shared by the encoders.
//
// A 32-bit pixel is one value 0xAARRGGBB, stored in memory as the bytes
// blue, green, red, alpha (the layout of a Windows RGBQUAD and of a 32-bit
// DIB section). Rows are kept bottom-up, as a DIB stores them: row 0 is the
// bottom line of the picture. The 24-bit format (grey-scale exports) keeps
// blue, green, red per pixel with every row padded to 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging {

using Pixel32 = uint32_t;

constexpr Pixel32 MakePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 0) {
  return (Pixel32{a} << 24) | (Pixel32{r} << 16) | (Pixel32{g} << 8) | Pixel32{b};
}
constexpr uint8_t PixelRed(Pixel32 p) { return static_cast<uint8_t>(p >> 16); }
constexpr uint8_t PixelGreen(Pixel32 p) { return static_cast<uint8_t>(p >> 8); }
constexpr uint8_t PixelBlue(Pixel32 p) { return static_cast<uint8_t>(p); }
constexpr uint8_t PixelAlpha(Pixel32 p) { return static_cast<uint8_t>(p >> 24); }

// Bytes in one DIB row of `width` pixels at `bits_per_pixel`, padded to a
// multiple of 4 bytes; 0 for a negative width. Computed in 64 bits.
constexpr uint64_t DibStride(int64_t width, int bits_per_pixel) {
  return width <= 0 ? 0
                    : ((static_cast<uint64_t>(width) * static_cast<uint64_t>(bits_per_pixel) + 31) & ~uint64_t{31}) / 8;
}

// An owned 32-bit picture, rows bottom-up.
struct Image32 {
  int width = 0;
  int height = 0;
  std::vector<Pixel32> pixels;  // width * height values, row 0 = bottom line

  Image32() = default;
  Image32(int w, int h, Pixel32 fill = 0)
      : width(w), height(h), pixels(static_cast<size_t>(w > 0 ? w : 0) * static_cast<size_t>(h > 0 ? h : 0), fill) {}

  // (x, y) with y counted from the top, as people describe pictures.
  Pixel32& At(int x, int y) { return pixels[static_cast<size_t>(height - 1 - y) * width + x]; }
  Pixel32 At(int x, int y) const { return pixels[static_cast<size_t>(height - 1 - y) * width + x]; }
};

// A 1-bit mask as an icon file stores it: rows bottom-up, DibStride(w, 1)
// bytes each, the most significant bit is the leftmost pixel.
struct MaskImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bits;

  MaskImage() = default;
  MaskImage(int w, int h) : width(w), height(h), bits(DibStride(w, 1) * static_cast<size_t>(h > 0 ? h : 0), 0) {}

  bool Get(int x, int y) const {  // y from the top
    size_t row = static_cast<size_t>(height - 1 - y) * DibStride(width, 1);
    return (bits[row + x / 8] >> (7 - x % 8)) & 1;
  }
  void Set(int x, int y, bool on) {
    size_t index = static_cast<size_t>(height - 1 - y) * DibStride(width, 1) + x / 8;
    uint8_t bit = static_cast<uint8_t>(0x80 >> (x % 8));
    bits[index] = on ? (bits[index] | bit) : (bits[index] & ~bit);
  }
};

// Pixel rows that someone else owns (a DIB section, a buffer): 24 or 32
// bits per pixel, bottom-up, `stride` bytes apart.
struct BitmapView {
  int width = 0;
  int height = 0;
  int bits_per_pixel = 0;
  size_t stride = 0;
  uint8_t* bits = nullptr;

  bool Valid() const {
    return width > 0 && height > 0 && bits != nullptr && (bits_per_pixel == 24 || bits_per_pixel == 32) &&
           stride >= DibStride(width, bits_per_pixel);
  }
  // Row `row` counted from the bottom, as stored.
  uint8_t* Row(int row) const { return bits + static_cast<size_t>(row) * stride; }
};

// An owned buffer of DIB rows with a view on it.
class PixelBuffer {
 public:
  PixelBuffer() = default;
  PixelBuffer(int width, int height, int bits_per_pixel)
      : width_(width), height_(height), bpp_(bits_per_pixel),
        data_(DibStride(width, bits_per_pixel) * static_cast<size_t>(height > 0 ? height : 0), 0) {}

  BitmapView view() {
    return BitmapView{width_, height_, bpp_, static_cast<size_t>(DibStride(width_, bpp_)), data_.data()};
  }
  std::vector<uint8_t>& data() { return data_; }

  // Sets pixel (x, y), y from the top, from a 0xAARRGGBB value.
  void Set(int x, int y, Pixel32 p);
  Pixel32 Get(int x, int y) const;

 private:
  int width_ = 0;
  int height_ = 0;
  int bpp_ = 0;
  std::vector<uint8_t> data_;
};

inline void PixelBuffer::Set(int x, int y, Pixel32 p) {
  size_t bytes = static_cast<size_t>(bpp_ / 8);
  uint8_t* q = data_.data() + static_cast<size_t>(height_ - 1 - y) * DibStride(width_, bpp_) + x * bytes;
  q[0] = PixelBlue(p);
  q[1] = PixelGreen(p);
  q[2] = PixelRed(p);
  if (bytes == 4) q[3] = PixelAlpha(p);
}

inline Pixel32 PixelBuffer::Get(int x, int y) const {
  size_t bytes = static_cast<size_t>(bpp_ / 8);
  const uint8_t* q = data_.data() + static_cast<size_t>(height_ - 1 - y) * DibStride(width_, bpp_) + x * bytes;
  return MakePixel(q[2], q[1], q[0], bytes == 4 ? q[3] : 0);
}

}  // namespace imaging
