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

bool IsPng(const uint8_t* image, size_t size) { return size >= 4 && std::memcmp(image, "\x89PNG", 4) == 0; }

// The image an entry of the icon file in data names as a PNG file; false
// when it does not decode or, with what decoded_bytes counts already,
// decodes to more than a group's icon file may hold.
bool ImageAsPng(const uint8_t* data, const imaging::IcoEntry& entry, uint64_t* decoded_bytes, TGroupImagePng* frame) {
  const uint8_t* image = data + entry.offset;
  DecodedIconImage decoded;
  if (DecodeIconImage(image, entry.bytes, &decoded) != IconImageDecodeResult::kOk) return false;
  *decoded_bytes += uint64_t{static_cast<uint32_t>(decoded.width)} * static_cast<uint32_t>(decoded.height) * 4;
  if (*decoded_bytes > imaging::kMaxIconGroupFileSize) return false;
  frame->width = decoded.width;
  frame->height = decoded.height;
  if (decoded.is_png) {
    if (!PngDecodes(image, entry.bytes, imaging::kMaxIconGroupFileSize)) return false;
    frame->bit_count = entry.bit_count ? entry.bit_count : 32;
    frame->png = std::move(decoded.png);
    return true;
  }
  frame->bit_count = entry.bit_count ? entry.bit_count : HeaderBitCount(image, entry.bytes);
  util::MemorySink sink;
  if (!WritePng(decoded.pixels, sink)) return false;
  frame->png = sink.take();
  return true;
}

}  // namespace

bool ReadIconFileEntries(const uint8_t* data, size_t size, std::vector<imaging::IcoEntry>* entries) {
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

bool GroupImagesAsPng(const uint8_t* data, size_t size, std::vector<TGroupImagePng>* out) {
  out->clear();
  std::vector<imaging::IcoEntry> entries;
  if (!ReadIconFileEntries(data, size, &entries)) return false;
  // An icon file may name one image many times: it is one image, written
  // once. What the images decode to is held to the bound of a group's
  // icon file, so that a small file cannot ask for gigabytes.
  std::set<std::pair<uint32_t, uint32_t>> seen;
  uint64_t decoded_bytes = 0;
  for (const imaging::IcoEntry& entry : entries) {
    if (!seen.insert({entry.offset, entry.bytes}).second) continue;
    TGroupImagePng frame;
    if (!ImageAsPng(data, entry, &decoded_bytes, &frame)) {
      out->clear();
      return false;
    }
    out->push_back(std::move(frame));
  }
  return true;
}

bool GroupImageAsPng(const uint8_t* data, size_t size, size_t entry_index, TGroupImagePng* out) {
  std::vector<imaging::IcoEntry> entries;
  if (!ReadIconFileEntries(data, size, &entries) || entry_index >= entries.size()) return false;
  uint64_t decoded_bytes = 0;
  return ImageAsPng(data, entries[entry_index], &decoded_bytes, out);
}

bool GroupPngImagesDecode(const uint8_t* data, size_t size) {
  std::vector<imaging::IcoEntry> entries;
  if (!ReadIconFileEntries(data, size, &entries)) return false;
  std::set<std::pair<uint32_t, uint32_t>> seen;
  for (const imaging::IcoEntry& entry : entries) {
    if (!seen.insert({entry.offset, entry.bytes}).second) continue;
    const uint8_t* image = data + entry.offset;
    if (IsPng(image, entry.bytes) && !PngDecodes(image, entry.bytes, imaging::kMaxIconGroupFileSize)) return false;
  }
  return true;
}

}  // namespace imaging
