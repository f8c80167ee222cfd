#include "imaging/icon_group_png.h"

#include <cstring>

#include "imaging/icon_image_decoder.h"
#include "imaging/png_writer.h"
#include "util/byte_sink.h"
#include "util/icon_resource_walk.h"

namespace imaging {

namespace {

// A DIB's depth from its header, for an entry that leaves it 0.
int HeaderBitCount(const uint8_t* image, size_t size) {
  if (size < 16) return 0;
  uint16_t bits = 0;
  std::memcpy(&bits, image + 14, sizeof bits);
  return bits;
}

}  // namespace

bool GroupImagesAsPng(const uint8_t* data, size_t size, std::vector<TGroupImagePng>* out) {
  out->clear();
  util::GroupIconHeader header{};
  if (size < sizeof header) return false;
  std::memcpy(&header, data, sizeof header);
  if (header.reserved != 0 || header.type != 1 || header.count == 0 ||
      sizeof header + uint64_t{header.count} * sizeof(util::IcoEntry) > size)
    return false;
  for (uint16_t i = 0; i < header.count; ++i) {
    util::IcoEntry entry{};
    std::memcpy(&entry, data + sizeof header + i * sizeof entry, sizeof entry);
    if (uint64_t{entry.offset} + entry.bytes > size) {
      out->clear();
      return false;
    }
    const uint8_t* image = data + entry.offset;
    DecodedIconImage decoded;
    if (DecodeIconImage(image, entry.bytes, &decoded) != IconImageDecodeResult::kOk) {
      out->clear();
      return false;
    }
    TGroupImagePng frame;
    frame.width = decoded.width;
    frame.height = decoded.height;
    if (decoded.is_png) {
      frame.bit_count = entry.bit_count ? entry.bit_count : 32;
      frame.png = std::move(decoded.png);
    } else {
      frame.bit_count = entry.bit_count ? entry.bit_count : HeaderBitCount(image, entry.bytes);
      util::MemorySink sink;
      if (!WritePng(decoded.pixels, sink)) {
        out->clear();
        return false;
      }
      frame.png = sink.take();
    }
    out->push_back(std::move(frame));
  }
  return true;
}

}  // namespace imaging
