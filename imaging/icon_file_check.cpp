// The check follows the walk of util/icon_resource_walk, which goes where
// the shell goes, and looks at everything the shell would read on the way:
// every icon group's header and entries, and every icon image the shell can
// look up, which must lie inside the file and be complete.
#include "imaging/icon_file_check.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "imaging/icon_resource_walk.h"
#include "util/byte_order.h"

namespace imaging {
namespace {

#pragma pack(push, 1)
struct BitmapCoreHeader {
  uint32_t size;
  uint16_t width, height, planes, bit_count;
};
struct BitmapInfoHeader {
  uint32_t size;
  int32_t width, height;
  uint16_t planes, bit_count;
  uint32_t compression, image_size;
  int32_t x_ppm, y_ppm;
  uint32_t colours_used, colours_important;
};
#pragma pack(pop)

static_assert(sizeof(BitmapCoreHeader) == 12, "core header");
static_assert(sizeof(BitmapInfoHeader) == 40, "info header");

IconFileCheck Damaged(IconFileFormat format, const char* problem) {
  IconFileCheck c;
  c.format = format;
  c.damaged = true;
  c.problem = problem;
  return c;
}

IconFileCheck Sound(IconFileFormat format, uint32_t count) {
  IconFileCheck c;
  c.format = format;
  c.icon_count = count;
  return c;
}

constexpr const char* kUnreadable = "icon image could not be read";

bool IsChunkLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool ValidPngDepth(uint8_t colour_type, uint8_t depth) {
  switch (colour_type) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
  }
}

// The largest decoded PNG image let through, in bytes at 4 bytes per pixel:
// 4096 x 4096, sixty-four times the largest image an icon file can describe
// (256 x 256), so no real icon comes near it. The shell decodes a PNG into a
// 32-bit bitmap whose size it works out in 32 bits: from 4 GB of pixels on
// (65536 x 65536, 1,000,000 x 4,295) the size wraps to a small buffer that
// the decoder then writes far past, which kills the process or corrupts its
// heap. A limit this far below the wrap also keeps the decoder's single
// allocation small enough for a 32-bit process to get.
constexpr uint64_t kMaxPngPixelBytes = uint64_t{64} << 20;

// A PNG image must be complete as a chunk stream: header first, every chunk
// inside the image, image data present, end marker reached. The decoder
// behind the shell does not survive less. What the chunks hold (checksums,
// compressed data) is the decoder's to judge: it fails cleanly on that, and
// checking it here would cost a pass over every image of a large library.
//
// A file may name the same stream many times, or start many streams whose
// chunks run into the same later chunks; walking each from its start would
// cost the product of the two. The walk therefore remembers, for every
// chunk it passes and the little it knows there (image data seen, palette
// seen, palette needed), where the stream ends or why it fails, so that
// each chunk of the file is walked at most eight times however many images
// lead to it. A stream is walked to the end of the file; an image whose
// stream ends past its own end is then refused, as a walk held to the image
// would refuse it.
class PngWalk {
 public:
  PngWalk(IconImageSource& bytes, uint64_t file_size) : bytes_(bytes), file_size_(file_size) {}

  const char* Check(uint64_t offset, uint64_t size) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8) return "bad PNG signature";
    const uint8_t* signature = bytes_.Bytes(offset, 8);
    if (!signature) return kUnreadable;
    if (std::memcmp(signature, kSignature, 8) != 0) return "bad PNG signature";
    if (size - 8 < 12 + 13) return "PNG stream ends before its end chunk";
    const uint8_t* header = bytes_.Bytes(offset + 8, 12 + 13);
    if (!header) return kUnreadable;
    if (util::ReadBe32(header) != 13 || std::memcmp(header + 4, "IHDR", 4) != 0)
      return "PNG does not start with its header";
    const uint8_t* body = header + 8;
    const uint32_t width = util::ReadBe32(body), height = util::ReadBe32(body + 4);
    const uint8_t colour_type = body[9];
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return "bad PNG size";
    // Both factors are below 2^31, so the product stays below 2^64.
    if (uint64_t{width} * 4 * height > kMaxPngPixelBytes) return "PNG too large to decode";
    if (!ValidPngDepth(colour_type, body[8]) || body[10] != 0 || body[11] != 0 || body[12] > 1) return "bad PNG header";
    const Outcome outcome = Walk(offset + 8 + 12 + 13, colour_type == 3 ? kNeedsPalette : 0);
    if (outcome.problem) return outcome.problem;
    if (outcome.end > offset + size) return "PNG chunk runs past the image";
    return nullptr;
  }

  uint64_t chunk_visits() const { return visits_; }

 private:
  enum : uint8_t { kHaveData = 1, kHavePalette = 2, kNeedsPalette = 4 };
  struct Outcome {
    const char* problem = nullptr;
    uint64_t end = 0;  // the end of the IEND chunk
  };

  Outcome Walk(uint64_t pos, uint8_t state) {
    std::vector<uint64_t> path;
    Outcome outcome;
    for (;;) {
      const auto known = memo_.find(Key(pos, state));
      if (known != memo_.end()) {
        outcome = known->second;
        break;
      }
      path.push_back(Key(pos, state));
      ++visits_;
      if (file_size_ - pos < 12) {
        outcome.problem = "PNG stream ends before its end chunk";
        break;
      }
      const uint8_t* chunk = bytes_.Bytes(pos, 8);
      if (!chunk) {
        outcome.problem = kUnreadable;
        break;
      }
      const uint64_t length = util::ReadBe32(chunk);
      const uint8_t* type = chunk + 4;
      if (length > file_size_ - pos - 12) {
        outcome.problem = "PNG chunk runs past the image";
        break;
      }
      if (!IsChunkLetter(type[0]) || !IsChunkLetter(type[1]) || !IsChunkLetter(type[2]) || !IsChunkLetter(type[3])) {
        outcome.problem = "bad PNG chunk type";
        break;
      }
      if (std::memcmp(type, "IEND", 4) == 0) {
        if (!(state & kHaveData))
          outcome.problem = "PNG without image data";
        else if ((state & kNeedsPalette) && !(state & kHavePalette))
          outcome.problem = "PNG without its palette";
        else
          outcome.end = pos + 12 + length;
        break;
      }
      if (std::memcmp(type, "IDAT", 4) == 0) state |= kHaveData;
      if (std::memcmp(type, "PLTE", 4) == 0) state |= kHavePalette;
      pos += 12 + length;
    }
    for (uint64_t key : path) memo_[key] = outcome;
    return outcome;
  }

  // Chunk positions lie below 2^61 (the file is in memory).
  static uint64_t Key(uint64_t pos, uint8_t state) { return (pos << 3) | state; }

  IconImageSource& bytes_;
  uint64_t file_size_;
  std::unordered_map<uint64_t, Outcome> memo_;
  uint64_t visits_ = 0;
};

// A DIB icon image: header, colour table and colour bits, all of them
// inside the image. The height counts both bitmaps, but the AND mask after
// the colour bits may be missing, as some real icons have it: at every
// depth the shell then takes the mask as absent (the image is opaque but
// for what an alpha channel says) and reads no further. The shell's own
// size check multiplies in 32 bits and is fooled by a huge width, so the
// sizes are worked out here in 64 bits from bounded factors.
const char* CheckDib(const uint8_t* head, size_t size) {
  uint32_t header_size = 0;
  if (size < sizeof header_size) return "icon image too short";
  std::memcpy(&header_size, head, sizeof header_size);
  if (header_size < sizeof(BitmapCoreHeader) || header_size > size) return "bitmap header does not fit the image";
  uint64_t width = 0, rows = 0, bits = 0, colours = 0, masks = 0, entry_size = 4;
  if (header_size == sizeof(BitmapCoreHeader)) {
    BitmapCoreHeader h{};
    std::memcpy(&h, head, sizeof h);
    width = h.width;
    rows = h.height / 2;
    bits = h.bit_count;
    colours = bits <= 8 ? uint64_t{1} << bits : 0;
    entry_size = 3;
  } else {
    if (header_size < sizeof(BitmapInfoHeader)) return "bitmap header does not fit the image";
    BitmapInfoHeader h{};
    std::memcpy(&h, head, sizeof h);
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return "bad bitmap size";
    width = static_cast<uint64_t>(h.width);
    rows = static_cast<uint64_t>(h.height < 0 ? -h.height : h.height) / 2;
    bits = h.bit_count;
    if (h.compression == 3 && header_size == sizeof(BitmapInfoHeader))
      masks = 12;
    else if (h.compression != 0 && h.compression != 3)
      return "compressed icon image";
    colours = h.colours_used ? h.colours_used : (bits <= 8 ? uint64_t{1} << bits : 0);
    if (bits <= 8 && colours > (uint64_t{1} << bits)) return "colour table larger than the depth allows";
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return "bad bitmap depth";
  if (width == 0 || rows == 0 || width > 0x10000 || rows > 0x10000) return "bad bitmap size";
  const uint64_t colour_stride = (width * bits + 31) / 32 * 4;
  const uint64_t needed = header_size + masks + colours * entry_size + colour_stride * rows;
  if (needed > size) return "bitmap bits run past the image";
  return nullptr;
}

const char* CheckImageAt(PngWalk& png, IconImageSource& bytes, const ByteView& file, uint64_t offset, uint64_t size) {
  if (!file.Has(offset, size)) return "icon image lies past the end of the file";
  // A DIB's header, or a PNG's signature: all the check reads here.
  const size_t head_size = static_cast<size_t>(std::min<uint64_t>(size, sizeof(BitmapInfoHeader)));
  const uint8_t* head = bytes.Bytes(offset, head_size);
  if (!head) return kUnreadable;
  if (size >= 4 && std::memcmp(head, "\x89PNG", 4) == 0) return png.Check(offset, size);
  return CheckDib(head, static_cast<size_t>(size));
}

// Everything the shell reads of an executable: each group's header and
// entries, then each icon image it can look up.
IconFileCheck CheckExecutable(const ByteView& file, const IconResourceWalk& walk, PngWalk& png,
                              IconImageSource& bytes) {
  const IconFileFormat format = walk.format();
  if (walk.problem()) return Damaged(format, walk.problem());
  for (uint32_t i = 0; i < walk.GroupCount(); ++i) {
    ByteRange group;
    if (const char* problem = walk.Group(i, &group)) return Damaged(format, problem);
  }
  if (walk.ImageDirectoryProblem()) return Damaged(format, walk.ImageDirectoryProblem());
  for (uint32_t i = 0; i < walk.ImageCount(); ++i) {
    ByteRange image;
    if (const char* problem = walk.Image(i, &image)) return Damaged(format, problem);
    if (const char* problem = CheckImageAt(png, bytes, file, image.offset, image.size)) return Damaged(format, problem);
  }
  // The shell keeps the count in 16 bits.
  return Sound(format, static_cast<uint16_t>(walk.GroupCount()));
}

IconFileCheck CheckIco(const ByteView& file, PngWalk& png, IconImageSource& bytes) {
  const IconFileFormat ico = IconFileFormat::kIco;
  GroupIconHeader header{};
  if (!file.Read(0, &header)) return Damaged(ico, "icon file header cut short");
  if (header.count == 0) return Sound(ico, 0);
  const uint64_t entries = sizeof header;
  if (!file.Has(entries, uint64_t{header.count} * sizeof(IcoEntry)))
    return Damaged(ico, "icon file claims more images than it holds");
  for (uint16_t i = 0; i < header.count; ++i) {
    IcoEntry entry{};
    file.Read(entries + uint64_t{i} * sizeof entry, &entry);
    if (const char* problem = CheckImageAt(png, bytes, file, entry.offset, entry.bytes)) return Damaged(ico, problem);
  }
  // The shell counts an icon file as one icon, whatever number of images it holds.
  return Sound(ico, 1);
}

// The images read straight from the bytes the walk reads.
class InMemoryImages : public IconImageSource {
 public:
  explicit InMemoryImages(const ByteView& file) : file_(file) {}
  const uint8_t* Bytes(uint64_t offset, size_t /*length*/) override { return file_.At(offset); }

 private:
  const ByteView& file_;
};

}  // namespace

const char* CheckIconImage(const uint8_t* data, size_t size) {
  const ByteView image(data, size);
  InMemoryImages bytes(image);
  PngWalk png(bytes, image.size());
  return CheckImageAt(png, bytes, image, 0, size);
}

IconFileCheck CheckIconFile(const uint8_t* data, size_t size, IconImageSource* images) {
  const ByteView file(data, size);
  const IconResourceWalk walk(file);
  InMemoryImages in_memory(file);
  IconImageSource& bytes = images ? *images : in_memory;
  PngWalk png(bytes, file.size());
  IconFileCheck check = Sound(IconFileFormat::kOther, 0);
  switch (walk.format()) {
    case IconFileFormat::kPe:
    case IconFileFormat::kNe: check = CheckExecutable(file, walk, png, bytes); break;
    case IconFileFormat::kIco: check = CheckIco(file, png, bytes); break;
    case IconFileFormat::kOther: break;
  }
  check.png_chunk_visits = png.chunk_visits();
  return check;
}

}  // namespace imaging
