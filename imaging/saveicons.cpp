#include "imaging/saveicons.h"

#include <cstring>

#include "imaging/color_index_map.h"
#include "util/atomic_file.h"

namespace imaging {

namespace {

constexpr size_t kFileHeaderSize = 6;
constexpr size_t kDirEntrySize = 16;
constexpr uint32_t kImageOffset = kFileHeaderSize + kDirEntrySize;

// Palette index of a colour: its own entry (the first one) when the table
// holds it, else the entry at the smallest squared distance. Exact entries
// come from a hash map; the one-entry cache catches runs of one colour.
class NearestMapper {
 public:
  NearestMapper(const Pixel32* table, int count) : table_(table), count_(count) {
    for (int i = 0; i < count; ++i) exact_.Insert(table[i] & 0xFFFFFF, i);
  }
  int Map(Pixel32 color) {
    color &= 0xFFFFFF;
    if (color == last_color_) return last_index_;
    int exact = exact_.Find(color);
    if (exact >= 0) {
      last_color_ = color;
      last_index_ = exact;
      return exact;
    }
    int r = PixelRed(color), g = PixelGreen(color), b = PixelBlue(color);
    int best = 0, best_distance = 0x7FFFFFFF;
    for (int i = 0; i < count_; ++i) {
      int dr = r - PixelRed(table_[i]), dg = g - PixelGreen(table_[i]), db = b - PixelBlue(table_[i]);
      int distance = dr * dr + dg * dg + db * db;
      if (distance < best_distance) {
        best_distance = distance;
        best = i;
        if (distance == 0) break;
      }
    }
    last_color_ = color;
    last_index_ = best;
    return best;
  }

 private:
  const Pixel32* table_;
  int count_;
  ColorIndexMap exact_;
  Pixel32 last_color_ = 0xFFFFFFFF;
  int last_index_ = 0;
};

template <int kBits>
void PackIndexedRows(const Image32& image, const std::vector<Pixel32>& table, std::vector<uint8_t>* rows) {
  constexpr int kPerByte = 8 / kBits;
  size_t stride = DibStride(image.width, kBits);
  rows->assign(stride * image.height, 0);
  NearestMapper mapper(table.data(), static_cast<int>(table.size()));
  for (int row = 0; row < image.height; ++row) {
    const Pixel32* src = image.pixels.data() + static_cast<size_t>(row) * image.width;
    uint8_t* dst = rows->data() + static_cast<size_t>(row) * stride;
    for (int x = 0; x < image.width; ++x) {
      int index = mapper.Map(src[x]);
      int shift = 8 - kBits * (x % kPerByte + 1);
      dst[x / kPerByte] |= static_cast<uint8_t>(index << shift);
    }
  }
}

void PackDirectRows(const Image32& image, int bits_per_pixel, std::vector<uint8_t>* rows) {
  size_t stride = DibStride(image.width, bits_per_pixel);
  rows->assign(stride * image.height, 0);
  for (int row = 0; row < image.height; ++row) {
    const Pixel32* src = image.pixels.data() + static_cast<size_t>(row) * image.width;
    uint8_t* dst = rows->data() + static_cast<size_t>(row) * stride;
    for (int x = 0; x < image.width; ++x) {
      *dst++ = PixelBlue(src[x]);
      *dst++ = PixelGreen(src[x]);
      *dst++ = PixelRed(src[x]);
      if (bits_per_pixel == 32) *dst++ = PixelAlpha(src[x]);
    }
  }
}

bool SizeFitsIcon(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxIconSide && height <= kMaxIconSide;
}

}  // namespace

size_t InitBitmapInfoHeader(BitmapInfoHeader* header, int32_t width, int32_t height, int code) {
  std::memset(header, 0, sizeof *header);
  header->size = 40;
  header->width = width;
  header->height = height;
  header->planes = 1;
  switch (code) {
    case kDepth1:
      header->bit_count = 1;
      header->clr_used = 2;
      break;
    case kDepth4:
      header->bit_count = 4;
      header->clr_used = 16;
      break;
    case kDepth8:
      header->bit_count = 8;
      header->clr_used = 256;
      break;
    case kDepth32: header->bit_count = 32; break;
    default: header->bit_count = 24; break;
  }
  header->clr_important = header->clr_used;
  int64_t rows = height < 0 ? -int64_t{height} : int64_t{height};
  header->size_image = static_cast<uint32_t>(DibStride(width, header->bit_count) * static_cast<uint64_t>(rows));
  return header->bit_count <= 8 ? 40 + 4 * header->clr_used : 40;
}

void SerializeInfoHeader(const BitmapInfoHeader& h, uint8_t* out) {
  util::PutLE32(out + 0, h.size);
  util::PutLE32(out + 4, static_cast<uint32_t>(h.width));
  util::PutLE32(out + 8, static_cast<uint32_t>(h.height));
  util::PutLE16(out + 12, h.planes);
  util::PutLE16(out + 14, h.bit_count);
  util::PutLE32(out + 16, h.compression);
  util::PutLE32(out + 20, h.size_image);
  util::PutLE32(out + 24, static_cast<uint32_t>(h.x_pels_per_meter));
  util::PutLE32(out + 28, static_cast<uint32_t>(h.y_pels_per_meter));
  util::PutLE32(out + 32, h.clr_used);
  util::PutLE32(out + 36, h.clr_important);
}

bool GetColorImageBits(const Image32& color, IconBits* bits) {
  if (color.width <= 0 || color.height <= 0 ||
      color.pixels.size() != static_cast<size_t>(color.width) * static_cast<size_t>(color.height)) {
    return false;
  }
  ColorAnalysis analysis = AnalyseIconColors(color);
  bits->code = analysis.code;
  InitBitmapInfoHeader(&bits->header, color.width, color.height, analysis.code);
  switch (analysis.code) {
    case kDepth1:
      bits->color_table = {0x000000, 0xFFFFFF};
      PackIndexedRows<1>(color, bits->color_table, &bits->color_rows);
      break;
    case kDepth4:
      bits->color_table.assign(StandardColors().begin(), StandardColors().end());
      PackIndexedRows<4>(color, bits->color_table, &bits->color_rows);
      break;
    case kDepth8:
      bits->color_table.assign(analysis.palette.begin(), analysis.palette.end());
      PackIndexedRows<8>(color, bits->color_table, &bits->color_rows);
      break;
    default:
      bits->color_table.clear();
      PackDirectRows(color, bits->header.bit_count, &bits->color_rows);
      break;
  }
  return bits->color_rows.size() == bits->header.size_image;
}

bool GetMaskBits(const MaskImage& mask, IconBits* bits) {
  if (mask.width != bits->header.width || mask.height != bits->header.height ||
      mask.bits.size() != DibStride(mask.width, 1) * static_cast<uint64_t>(mask.height)) {
    return false;
  }
  bits->mask_rows = mask.bits;
  return true;
}

bool SplitMonochromeMask(const MaskImage& doubled, MaskImage* mask, Image32* color) {
  int half = doubled.height / 2;
  size_t stride = DibStride(doubled.width, 1);
  if (doubled.width <= 0 || half <= 0 || doubled.bits.size() < stride * doubled.height) return false;
  *mask = MaskImage(doubled.width, half);
  *color = Image32(doubled.width, half);
  // Bottom-up storage: the picture's upper half (the AND mask) is the second
  // half of the rows, its lower half (the image) the first.
  size_t upper_first_row = static_cast<size_t>(doubled.height - half);
  std::memcpy(mask->bits.data(), doubled.bits.data() + upper_first_row * stride, stride * half);
  for (int row = 0; row < half; ++row) {
    const uint8_t* src = doubled.bits.data() + static_cast<size_t>(row) * stride;
    Pixel32* dst = color->pixels.data() + static_cast<size_t>(row) * doubled.width;
    for (int x = 0; x < doubled.width; ++x) {
      dst[x] = ((src[x / 8] >> (7 - x % 8)) & 1) ? 0xFFFFFF : 0x000000;
    }
  }
  return true;
}

int WriteIconToSink(const IconBits& bits, util::ByteSink& sink) {
  const BitmapInfoHeader& info = bits.header;
  if (bits.color_rows.empty() || bits.mask_rows.empty()) return kIconBufferMissing;
  if (!SizeFitsIcon(info.width, info.height)) return kIconTooLarge;
  if (bits.color_rows.size() != info.size_image) return kIconBufferMissing;
  uint32_t info_size = static_cast<uint32_t>(bits.InfoSize());
  uint32_t mask_size = static_cast<uint32_t>(bits.mask_rows.size());
  uint32_t in_resource = info.size_image + info_size + mask_size;

  uint8_t head[kFileHeaderSize + kDirEntrySize] = {};
  util::PutLE16(head + 0, 0);
  util::PutLE16(head + 2, 1);
  util::PutLE16(head + 4, 1);
  head[6] = static_cast<uint8_t>(info.width);
  head[7] = static_cast<uint8_t>(info.height);
  util::PutLE16(head + 8, info.bit_count);  // the colour count byte and the reserved byte
  util::PutLE16(head + 10, 0);
  util::PutLE16(head + 12, 0);
  util::PutLE32(head + 14, in_resource);
  util::PutLE32(head + 18, kImageOffset);

  BitmapInfoHeader stored = info;
  stored.height = 2 * info.height;
  std::vector<uint8_t> block(info_size);
  SerializeInfoHeader(stored, block.data());
  for (size_t i = 0; i < bits.color_table.size(); ++i) {
    util::PutLE32(block.data() + 40 + 4 * i, bits.color_table[i] & 0xFFFFFF);
  }
  if (!sink.Write(head, sizeof head) || !sink.Write(block.data(), block.size()) ||
      !sink.Write(bits.color_rows.data(), bits.color_rows.size()) ||
      !sink.Write(bits.mask_rows.data(), bits.mask_rows.size())) {
    return kIconWriteFailed;
  }
  return static_cast<int>(sizeof head + in_resource);
}

int WriteIconFile(const std::string& file_name, const IconBits& bits) {
  if (bits.color_rows.empty() || bits.mask_rows.empty()) return kIconBufferMissing;
  if (!SizeFitsIcon(bits.header.width, bits.header.height)) return kIconTooLarge;
  util::AtomicFile file(file_name);
  if (!file.Open()) return kIconCreateFailed;
  int result = WriteIconToSink(bits, file);
  if (result < 0) {
    file.Discard();
    return result;
  }
  switch (file.Commit()) {
    case util::FileWriteResult::kOk: return result;
    case util::FileWriteResult::kWriteFailed: return kIconWriteFailed;
    // The finished file could not take the old one's place (locked or
    // read-only): as when the file cannot be opened for writing.
    default: return kIconCreateFailed;
  }
}

namespace {
int PrepareIconBits(const Image32& color, const MaskImage& mask, IconBits* bits) {
  if (color.width > kMaxIconSide || color.height > kMaxIconSide) return kIconTooLarge;
  if (!GetColorImageBits(color, bits) || !GetMaskBits(mask, bits)) return kIconConversionFailed;
  return 0;
}
}  // namespace

int SaveIconImageToFile(const std::string& file_name, const Image32& color, const MaskImage& mask) {
  if (file_name.size() < 4) return kIconNameTooShort;
  IconBits bits;
  int prepared = PrepareIconBits(color, mask, &bits);
  if (prepared < 0) return prepared;
  return WriteIconFile(file_name, bits);
}

int SaveIconImageToSink(util::ByteSink& sink, const Image32& color, const MaskImage& mask) {
  IconBits bits;
  int prepared = PrepareIconBits(color, mask, &bits);
  if (prepared < 0) return prepared;
  util::MemorySink buffer;
  int result = WriteIconToSink(bits, buffer);
  if (result < 0) return result;
  return sink.Write(buffer.bytes().data(), buffer.bytes().size()) ? result : kIconWriteFailed;
}

}  // namespace imaging
