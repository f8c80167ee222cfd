#include "imaging/icon_group_png.h"

#include <cstring>
#include <set>
#include <utility>

#include "imaging/icon_groups.h"
#include "imaging/icon_image_decoder.h"
#include "imaging/icon_resource_walk.h"
#include "imaging/png_reader.h"
#include "imaging/png_writer.h"
#include "util/byte_sink.h"

namespace imaging {

namespace {

// A DIB's depth from its header, for an entry that leaves it 0.
int HeaderBitCount(const uint8_t* image, size_t size) {
  if (size < 16) return 0;
  uint16_t bits = 0;
  std::memcpy(&bits, image + 14, sizeof bits);
  return bits;
}

// The entries of an icon file, each lying inside it; false when the file is
// no icon file or an entry points outside it.
bool ReadEntries(const uint8_t* data, size_t size, std::vector<imaging::IcoEntry>* entries) {
  imaging::GroupIconHeader header{};
  if (size < sizeof header) return false;
  std::memcpy(&header, data, sizeof header);
  if (header.reserved != 0 || header.type != 1 || header.count == 0 ||
      sizeof header + uint64_t{header.count} * sizeof(imaging::IcoEntry) > size)
    return false;
  entries->resize(header.count);
  for (uint16_t i = 0; i < header.count; ++i) {
    imaging::IcoEntry& entry = (*entries)[i];
    std::memcpy(&entry, data + sizeof header + i * sizeof entry, sizeof entry);
    if (uint64_t{entry.offset} + entry.bytes > size) return false;
  }
  return true;
}

bool IsPng(const uint8_t* image, size_t size) { return size >= 4 && std::memcmp(image, "\x89PNG", 4) == 0; }

}  // namespace

bool GroupImagesAsPng(const uint8_t* data, size_t size, std::vector<TGroupImagePng>* out) {
  out->clear();
  std::vector<imaging::IcoEntry> entries;
  if (!ReadEntries(data, size, &entries)) return false;
  // An icon file may name one image many times: it is one image, written
  // once. What the images decode to is held to the bound of a group's
  // icon file, so that a small file cannot ask for gigabytes.
  std::set<std::pair<uint32_t, uint32_t>> seen;
  uint64_t decoded_bytes = 0;
  for (const imaging::IcoEntry& entry : entries) {
    if (!seen.insert({entry.offset, entry.bytes}).second) continue;
    const uint8_t* image = data + entry.offset;
    DecodedIconImage decoded;
    if (DecodeIconImage(image, entry.bytes, &decoded) != IconImageDecodeResult::kOk) {
      out->clear();
      return false;
    }
    decoded_bytes += uint64_t{static_cast<uint32_t>(decoded.width)} * static_cast<uint32_t>(decoded.height) * 4;
    if (decoded_bytes > imaging::kMaxIconGroupFileSize) {
      out->clear();
      return false;
    }
    TGroupImagePng frame;
    frame.width = decoded.width;
    frame.height = decoded.height;
    if (decoded.is_png) {
      if (!PngDecodes(image, entry.bytes, imaging::kMaxIconGroupFileSize)) {
        out->clear();
        return false;
      }
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

bool GroupPngImagesDecode(const uint8_t* data, size_t size) {
  std::vector<imaging::IcoEntry> entries;
  if (!ReadEntries(data, size, &entries)) return false;
  std::set<std::pair<uint32_t, uint32_t>> seen;
  for (const imaging::IcoEntry& entry : entries) {
    if (!seen.insert({entry.offset, entry.bytes}).second) continue;
    const uint8_t* image = data + entry.offset;
    if (IsPng(image, entry.bytes) && !PngDecodes(image, entry.bytes, imaging::kMaxIconGroupFileSize)) return false;
  }
  return true;
}

}  // namespace imaging
