#include "imaging/png_clean_stream.h"
#include "util/byte_order.h"

#include <cstring>
#include <memory>
#include <vector>

#include <zlib.h>

namespace imaging {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t kMaxSide = 65535;

struct Chunk {
  const uint8_t* type;  // four bytes, followed by the data
  const uint8_t* data;
  uint32_t length;
};

// The chunk at *pos, its checksum verified; false when it does not fit or
// its checksum is wrong.
bool NextChunk(const uint8_t* data, size_t size, size_t* pos, Chunk* chunk) {
  if (size - *pos < 12) return false;
  const uint32_t length = util::ReadBe32(data + *pos);
  if (length > 0x7FFFFFFF || size - *pos - 12 < length) return false;
  chunk->type = data + *pos + 4;
  chunk->data = chunk->type + 4;
  chunk->length = length;
  const uLong crc = crc32(crc32(0, nullptr, 0), chunk->type, 4 + length);
  if (util::ReadBe32(chunk->data + length) != crc) return false;
  *pos += 12 + size_t{length};
  return true;
}

bool Is(const Chunk& chunk, const char* type) { return std::memcmp(chunk.type, type, 4) == 0; }

// A chunk type of four ASCII letters, the first lower case: libpng skips
// such a chunk or reads it for information only, and whatever it finds
// there it reports as a warning, never as an error.
bool IsAncillary(const Chunk& chunk) {
  for (int i = 0; i < 4; ++i) {
    const uint8_t c = chunk.type[i] & ~0x20;
    if (c < 'A' || c > 'Z') return false;
  }
  return (chunk.type[0] & 0x20) != 0;
}

// Samples a pixel for the colour types taken here (those without a
// palette) at the depths PNG allows them; 0 for any other.
uint32_t Channels(uint8_t color_type, uint8_t bit_depth) {
  const bool deep = bit_depth == 8 || bit_depth == 16;
  switch (color_type) {
    case 0: return deep || bit_depth == 1 || bit_depth == 2 || bit_depth == 4 ? 1 : 0;  // grey
    case 2: return deep ? 3 : 0;                                                        // RGB
    case 4: return deep ? 2 : 0;                                                        // grey and alpha
    case 6: return deep ? 4 : 0;                                                        // RGBA
    default: return 0;
  }
}

class Inflater {
 public:
  Inflater() {
    std::memset(&stream_, 0, sizeof stream_);
    // Window size 0 takes it from the stream's own header, as libpng asks.
    open_ = inflateInit2(&stream_, 0) == Z_OK;
  }
  ~Inflater() {
    if (open_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  bool open() const { return open_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_;
  bool open_ = false;
};

// Inflates the IDAT chunks into out, which holds exactly the filtered rows:
// true when the zlib stream fills it and ends, checksum and all, with the
// last byte of the last chunk.
bool InflatesExactly(const std::vector<Chunk>& idats, uint8_t* out, size_t out_size) {
  Inflater inflater;
  if (!inflater.open()) return false;
  z_stream& z = inflater.stream();
  z.next_out = out;
  z.avail_out = static_cast<uInt>(out_size);
  for (size_t i = 0; i < idats.size(); ++i) {
    z.next_in = const_cast<Bytef*>(idats[i].data);
    z.avail_in = idats[i].length;
    if (z.avail_in == 0) continue;
    const int result = inflate(&z, Z_NO_FLUSH);
    if (result == Z_STREAM_END) return i + 1 == idats.size() && z.avail_in == 0 && z.avail_out == 0;
    if (result != Z_OK || z.avail_in != 0) return false;
  }
  return false;  // the stream never ended
}

}  // namespace

bool PngStreamIsClean(const uint8_t* data, size_t size, uint64_t max_pixel_bytes) {
  if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0) return false;
  size_t pos = sizeof kSignature;

  Chunk header;
  if (!NextChunk(data, size, &pos, &header) || !Is(header, "IHDR") || header.length != 13) return false;
  const uint32_t width = util::ReadBe32(header.data);
  const uint32_t height = util::ReadBe32(header.data + 4);
  const uint8_t bit_depth = header.data[8];
  const uint32_t channels = Channels(header.data[9], bit_depth);
  const bool plain = header.data[10] == 0 && header.data[11] == 0 && header.data[12] == 0;
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide || channels == 0 || !plain) return false;
  const uint64_t decoded_bytes = uint64_t{width} * height * 4;
  if (decoded_bytes > max_pixel_bytes) return false;

  // Ancillary chunks, the image data, the end, then nothing.
  std::vector<Chunk> idats;
  bool ended = false;
  Chunk chunk;
  while (!ended && NextChunk(data, size, &pos, &chunk)) {
    if (Is(chunk, "IDAT")) {
      idats.push_back(chunk);
    } else if (!idats.empty()) {
      if (!Is(chunk, "IEND") || chunk.length != 0) return false;
      ended = true;
    } else if (!IsAncillary(chunk)) {
      return false;
    }
  }
  if (!ended || pos != size) return false;

  // Each row is its filter type, then the row's bytes.
  const size_t row_bytes = (size_t{width} * channels * bit_depth + 7) / 8 + 1;
  const size_t rows_size = row_bytes * height;
  std::unique_ptr<uint8_t[]> rows(new uint8_t[rows_size]);
  if (!InflatesExactly(idats, rows.get(), rows_size)) return false;
  for (size_t row = 0; row < rows_size; row += row_bytes) {
    if (rows[row] > 4) return false;
  }
  return true;
}

}  // namespace imaging
