#include "imaging/bmp_writer.h"

#include "imaging/saveicons.h"

namespace imaging {

bool WriteBmp(const BitmapView& view, util::ByteSink& sink) {
  if (!view.Valid()) return false;
  uint64_t stride = DibStride(view.width, view.bits_per_pixel);
  uint64_t image_size = stride * static_cast<uint64_t>(view.height);
  uint64_t offset = kBmpFileHeaderSize + 40;
  uint64_t file_size = offset + image_size;
  if (file_size > 0xFFFFFFFFu) return false;

  uint8_t head[kBmpFileHeaderSize + 40] = {'B', 'M'};
  util::PutLE32(head + 2, static_cast<uint32_t>(file_size));
  util::PutLE32(head + 10, static_cast<uint32_t>(offset));
  BitmapInfoHeader info{};
  info.size = 40;
  info.width = view.width;
  info.height = view.height;
  info.planes = 1;
  info.bit_count = static_cast<uint16_t>(view.bits_per_pixel);
  info.size_image = static_cast<uint32_t>(image_size);
  SerializeInfoHeader(info, head + kBmpFileHeaderSize);
  if (!sink.Write(head, sizeof head)) return false;
  if (view.stride == stride) return sink.Write(view.bits, static_cast<size_t>(image_size));
  for (int row = 0; row < view.height; ++row) {
    if (!sink.Write(view.Row(row), static_cast<size_t>(stride))) return false;
  }
  return true;
}

}  // namespace imaging
