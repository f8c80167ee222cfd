// Structural check of a file before the shell's icon extraction sees it.
//
// The shell maps a file and follows the offsets and counts it finds there
// without comparing them with the file's size: a truncated library, a
// resource directory that lies past the end, an icon group claiming 65535
// entries or an icon file with an image offset of 2 GB make it read outside
// the mapping and take the process down. This check walks exactly the
// structures the shell walks (headers, the resource or icon directory, the
// icon groups and the images they name) and lets a file through only when
// every offset and size lies inside it and every count is backed by data.
//
// The check works on a byte buffer, reads nothing outside it and does
// bounded work: every loop runs over entries already known to lie inside
// the buffer, the resource tree is walked to a fixed depth, and each PNG
// chunk is walked a bounded number of times, whatever number of images
// lead to it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging {

enum class IconFileFormat : uint8_t {
  kOther,  // neither an executable, a library nor an icon file
  kPe,     // 32- or 64-bit Windows executable (PE32, PE32+)
  kNe,     // 16-bit Windows executable (NE)
  kIco,    // icon file
};

struct IconFileCheck {
  IconFileFormat format = IconFileFormat::kOther;
  // The file looks like an executable or an icon file but a structure the
  // shell would follow is broken: the shell must not see it.
  bool damaged = false;
  // What the shell's count query answers for the file: the number of icon
  // groups of an executable, 1 for an icon file, 0 for anything else.
  uint32_t icon_count = 0;
  // Why the file counts as damaged; a static string, empty when it is not.
  const char* problem = "";
  // How many PNG chunks the check walked: its work, which the file's size
  // bounds however often the file names its images (for tests).
  uint64_t png_chunk_visits = 0;

  bool HoldsIconStructure() const { return format != IconFileFormat::kOther && !damaged; }
};

// Where the check reads what it looks at inside the icon images: a DIB's
// header, a PNG's signature, header and chunk headers. Each image lies
// inside the file, but touching them all through one mapping keeps every
// page touched resident until the check ends; the inspection of a large file
// on disk reads them through a small buffer instead.
class IconImageSource {
 public:
  virtual ~IconImageSource() = default;
  // The `length` bytes at `offset` (at most 40, inside the file), valid
  // until the next call; null when they cannot be read.
  virtual const uint8_t* Bytes(uint64_t offset, size_t length) = 0;
};

// Checks the file in data; the images are read through `images` when given,
// else from data.
IconFileCheck CheckIconFile(const uint8_t* data, size_t size, IconImageSource* images = nullptr);

// Checks one icon image as the shell stores it (a DIB, with or without its
// AND mask, or a PNG stream); exposed for the tests and for callers that
// hold a single image. Returns nullptr when the image is sound, else the
// problem.
const char* CheckIconImage(const uint8_t* data, size_t size);

}  // namespace imaging
