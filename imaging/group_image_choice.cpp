#include "imaging/group_image_choice.h"

#include <cstring>

#include "imaging/icon_group_png.h"
#include "imaging/icon_resource_walk.h"
#include "util/byte_order.h"

namespace imaging {

namespace {

// The image's width and height from its PNG header or its DIB header (whose
// height counts the colour rows and the mask); false when it has neither.
bool ImageHeaderSize(const uint8_t* image, size_t size, TGroupImageSize* out) {
  if (size >= 24 && std::memcmp(image, "\x89PNG", 4) == 0) {
    out->width = static_cast<int>(util::ReadBe32(image + 16) & 0x7FFFFFFF);
    out->height = static_cast<int>(util::ReadBe32(image + 20) & 0x7FFFFFFF);
    out->bit_count = 32;
    return true;
  }
  if (size < 16) return false;
  const auto width = static_cast<int32_t>(util::ReadLe32(image + 4));
  const auto height = static_cast<int32_t>(util::ReadLe32(image + 8));
  if (width <= 0 || height == 0 || height == INT32_MIN) return false;
  out->width = width;
  out->height = (height < 0 ? -height : height) / 2;
  out->bit_count = image[14] | (image[15] << 8);
  return true;
}

int LargerSide(const TGroupImageSize& image) { return image.width > image.height ? image.width : image.height; }

int64_t Distance(const TGroupImageSize& image, int pixels) {
  const int64_t d = int64_t{LargerSide(image)} - pixels;
  return d < 0 ? -d : d;
}

}  // namespace

size_t NearestGroupImage(const std::vector<TGroupImageSize>& images, int pixels) {
  size_t best = 0;
  for (size_t i = 1; i < images.size(); ++i) {
    const TGroupImageSize& a = images[i];
    const TGroupImageSize& b = images[best];
    const int64_t da = Distance(a, pixels);
    const int64_t db = Distance(b, pixels);
    if (da != db) {
      if (da < db) best = i;
    } else if (LargerSide(a) != LargerSide(b)) {
      if (LargerSide(a) > LargerSide(b)) best = i;
    } else if (a.bit_count > b.bit_count) {
      best = i;
    }
  }
  return best;
}

bool GroupImageSizes(const uint8_t* data, size_t size, std::vector<TGroupImageSize>* out) {
  out->clear();
  std::vector<IcoEntry> entries;
  if (!ReadIconFileEntries(data, size, &entries)) return false;
  for (const IcoEntry& entry : entries) {
    TGroupImageSize image;
    if (!ImageHeaderSize(data + entry.offset, entry.bytes, &image)) {
      out->clear();
      return false;
    }
    if (entry.bit_count) image.bit_count = entry.bit_count;
    out->push_back(image);
  }
  return true;
}

bool SingleImageIconFile(const uint8_t* data, size_t size, size_t entry_index, std::vector<uint8_t>* out) {
  out->clear();
  std::vector<IcoEntry> entries;
  if (!ReadIconFileEntries(data, size, &entries) || entry_index >= entries.size()) return false;
  IcoEntry entry = entries[entry_index];
  const uint8_t* image = data + entry.offset;
  const GroupIconHeader header{0, 1, 1};
  entry.offset = sizeof header + sizeof entry;
  out->resize(sizeof header + sizeof entry);
  std::memcpy(out->data(), &header, sizeof header);
  std::memcpy(out->data() + sizeof header, &entry, sizeof entry);
  out->insert(out->end(), image, image + entry.bytes);
  return true;
}

}  // namespace imaging
