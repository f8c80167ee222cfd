#include "imaging/emf_writer.h"

#include <vector>

#include "imaging/saveicons.h"

namespace imaging {

namespace {

constexpr uint32_t kEmrHeader = 1;
constexpr uint32_t kEmrEof = 14;
constexpr uint32_t kEmrStretchDiBits = 81;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kEmfVersion = 0x10000;
constexpr uint32_t kSrcCopy = 0x00CC0020;
constexpr uint32_t kDibRgbColors = 0;

constexpr uint32_t kHeaderSize = 108;
constexpr uint32_t kStretchFixedSize = 80;
constexpr uint32_t kEofSize = 20;

// Picture pixels to 0.01 mm through the reference device, rounded.
int32_t PixelsToHundredthsMm(int64_t pixels, int32_t micrometres, int32_t device_pixels) {
  return static_cast<int32_t>((pixels * micrometres / 10 + device_pixels / 2) / device_pixels);
}

void PutRect(uint8_t* p, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  util::PutLE32(p, static_cast<uint32_t>(left));
  util::PutLE32(p + 4, static_cast<uint32_t>(top));
  util::PutLE32(p + 8, static_cast<uint32_t>(right));
  util::PutLE32(p + 12, static_cast<uint32_t>(bottom));
}

}  // namespace

bool WriteEmf(const BitmapView& view, util::ByteSink& sink, const EmfReferenceDevice& requested) {
  if (!view.Valid()) return false;
  const EmfReferenceDevice device = requested.Valid() ? requested : EmfReferenceDevice();
  const int32_t micrometres_x = device.millimetres_x * 1000, micrometres_y = device.millimetres_y * 1000;
  uint64_t stride = DibStride(view.width, view.bits_per_pixel);
  uint64_t image_size = stride * static_cast<uint64_t>(view.height);
  uint64_t stretch_size = kStretchFixedSize + 40 + image_size;
  uint64_t total = kHeaderSize + stretch_size + kEofSize;
  if (total > 0x7FFFFFFFu) return false;

  int32_t w = view.width, h = view.height;
  std::vector<uint8_t> head(kHeaderSize + kStretchFixedSize + 40, 0);
  uint8_t* p = head.data();
  // EMR_HEADER. Bounds are inclusive device pixels; the frame, in 0.01 mm,
  // is inclusive too, as GDI writes it.
  util::PutLE32(p + 0, kEmrHeader);
  util::PutLE32(p + 4, kHeaderSize);
  PutRect(p + 8, 0, 0, w - 1, h - 1);
  PutRect(p + 24, 0, 0, PixelsToHundredthsMm(w, micrometres_x, device.pixels_x) - 1,
          PixelsToHundredthsMm(h, micrometres_y, device.pixels_y) - 1);
  util::PutLE32(p + 40, kEmfSignature);
  util::PutLE32(p + 44, kEmfVersion);
  util::PutLE32(p + 48, static_cast<uint32_t>(total));
  util::PutLE32(p + 52, 3);  // records
  util::PutLE16(p + 56, 1);  // handles: the reserved entry 0 only
  util::PutLE16(p + 58, 0);
  util::PutLE32(p + 60, 0);  // no description
  util::PutLE32(p + 64, 0);
  util::PutLE32(p + 68, 0);  // no palette
  util::PutLE32(p + 72, static_cast<uint32_t>(device.pixels_x));
  util::PutLE32(p + 76, static_cast<uint32_t>(device.pixels_y));
  util::PutLE32(p + 80, static_cast<uint32_t>(device.millimetres_x));
  util::PutLE32(p + 84, static_cast<uint32_t>(device.millimetres_y));
  util::PutLE32(p + 88, 0);  // no pixel format, not OpenGL
  util::PutLE32(p + 92, 0);
  util::PutLE32(p + 96, 0);
  util::PutLE32(p + 100, static_cast<uint32_t>(micrometres_x));
  util::PutLE32(p + 104, static_cast<uint32_t>(micrometres_y));

  // EMR_STRETCHDIBITS with its BITMAPINFOHEADER; the rows follow.
  uint8_t* s = p + kHeaderSize;
  util::PutLE32(s + 0, kEmrStretchDiBits);
  util::PutLE32(s + 4, static_cast<uint32_t>(stretch_size));
  PutRect(s + 8, 0, 0, w - 1, h - 1);
  util::PutLE32(s + 24, 0);  // xDest
  util::PutLE32(s + 28, 0);  // yDest
  util::PutLE32(s + 32, 0);  // xSrc
  util::PutLE32(s + 36, 0);  // ySrc
  util::PutLE32(s + 40, static_cast<uint32_t>(w));
  util::PutLE32(s + 44, static_cast<uint32_t>(h));
  util::PutLE32(s + 48, kStretchFixedSize);       // offBmiSrc
  util::PutLE32(s + 52, 40);                      // cbBmiSrc
  util::PutLE32(s + 56, kStretchFixedSize + 40);  // offBitsSrc
  util::PutLE32(s + 60, static_cast<uint32_t>(image_size));
  util::PutLE32(s + 64, kDibRgbColors);
  util::PutLE32(s + 68, kSrcCopy);
  util::PutLE32(s + 72, static_cast<uint32_t>(w));
  util::PutLE32(s + 76, static_cast<uint32_t>(h));
  BitmapInfoHeader info{};
  info.size = 40;
  info.width = w;
  info.height = h;
  info.planes = 1;
  info.bit_count = static_cast<uint16_t>(view.bits_per_pixel);
  info.size_image = static_cast<uint32_t>(image_size);
  SerializeInfoHeader(info, s + kStretchFixedSize);
  if (!sink.Write(head.data(), head.size())) return false;
  for (int row = 0; row < view.height; ++row) {
    if (!sink.Write(view.Row(row), static_cast<size_t>(stride))) return false;
  }

  uint8_t eof[kEofSize] = {};
  util::PutLE32(eof + 0, kEmrEof);
  util::PutLE32(eof + 4, kEofSize);
  util::PutLE32(eof + 8, 0);    // no palette entries
  util::PutLE32(eof + 12, 16);  // where they would start
  util::PutLE32(eof + 16, kEofSize);
  return sink.Write(eof, sizeof eof);
}

}  // namespace imaging
