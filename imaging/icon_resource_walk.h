// The walk through a file's icon resources, as the shell takes it: shared by
// the structural check, which must see every structure the shell follows,
// and by the reader of whole icon groups, which must number the groups as
// the shell numbers its icons.
//
// For an executable the walk finds the resource directory the way the
// loader maps a file that is not loaded as an image (an address below the
// size of the headers is a file offset, anything else goes through the
// first section whose raw data covers it), looks up the icon group and icon
// types in the root, follows each entry to its first language and reads the
// data entry there. The groups come in the order of their directory, which
// is the shell's icon order: named groups first, then numbered ones. A
// 16-bit executable's resource table is read type by type until both icon
// types are found; its groups come in table order. An icon file is any file
// that is no executable and has 1 as its second word; it is its own single
// group and the walk only names its format.
//
// Every read is checked against the buffer first, and the work is bounded:
// every loop runs over entries already known to lie inside the buffer.
// On-disk structures are little-endian, as is every machine this runs on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/icon_file_check.h"

namespace imaging {

#pragma pack(push, 1)
// The header of an icon group resource, and of an icon file.
struct GroupIconHeader {
  uint16_t reserved;
  uint16_t type;
  uint16_t count;
};
// One image of an icon group: its description and the id of its icon resource.
struct GroupIconEntry {
  uint8_t width, height, colour_count, reserved;
  uint16_t planes, bit_count;
  uint32_t bytes;
  uint16_t id;
};
// One image of an icon file: the same description and where the image lies.
struct IcoEntry {
  uint8_t width, height, colour_count, reserved;
  uint16_t planes, bit_count;
  uint32_t bytes;
  uint32_t offset;
};
#pragma pack(pop)

static_assert(sizeof(GroupIconHeader) == 6, "icon group header");
static_assert(sizeof(GroupIconEntry) == 14, "icon group entry");
static_assert(sizeof(IcoEntry) == 16, "icon file entry");

// Bounds-checked view of a file. Offsets are 64-bit so that no sum of two
// 32-bit fields can wrap.
class ByteView {
 public:
  ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t size() const { return size_; }
  bool Has(uint64_t offset, uint64_t length) const { return offset <= size_ && length <= size_ - offset; }
  template <typename T>
  bool Read(uint64_t offset, T* out) const {
    if (!Has(offset, sizeof(T))) return false;
    std::memcpy(out, data_ + offset, sizeof(T));
    return true;
  }
  const uint8_t* At(uint64_t offset) const { return data_ + offset; }

 private:
  const uint8_t* data_;
  uint64_t size_;
};

// A stretch of the file, known to lie inside it.
struct ByteRange {
  uint64_t offset = 0;
  uint64_t size = 0;
};

class IconResourceWalk {
 public:
  // Walks the headers of the file down to its icon group and icon
  // directories. The bytes must outlive the walk.
  explicit IconResourceWalk(ByteView file);

  IconFileFormat format() const { return format_; }
  // Why the walk could not reach the icon directories: a header or
  // directory on the way lies outside the file. Null when it could; a file
  // without icon resources then simply holds no groups.
  const char* problem() const { return problem_; }

  // The groups of an executable, in the shell's order (none for any other
  // format). The shell keeps the count in 16 bits; this is the full count.
  uint32_t GroupCount() const { return group_count_; }
  // Where group `index` lies; its header and every entry it claims are
  // inside it. Returns null, or the problem.
  const char* Group(uint32_t index, ByteRange* range) const;

  // The icon images the shell can look up by id, in directory order, once
  // ImageDirectoryProblem() is null.
  const char* ImageDirectoryProblem() const { return image_directory_problem_; }
  uint32_t ImageCount() const { return image_count_; }
  // Where image `index` lies. Returns null, or the problem.
  const char* Image(uint32_t index, ByteRange* range) const;
  // The index of the image a group entry names by id, as the shell looks it
  // up; false when the file has none of that id.
  bool FindImage(uint16_t id, uint32_t* index) const;

 private:
  void WalkPe(uint64_t nt);
  void WalkNe(uint64_t ne_offset);
  const char* PeData(uint64_t type_directory, uint32_t entry, ByteRange* range) const;
  const char* NeData(uint64_t names, uint32_t index, const char* past_end, ByteRange* range) const;
  const char* CheckGroupHeader(const ByteRange& range) const;

  ByteView file_;
  IconFileFormat format_ = IconFileFormat::kOther;
  const char* problem_ = nullptr;
  const char* image_directory_problem_ = nullptr;
  uint32_t group_count_ = 0;
  uint32_t image_count_ = 0;
  // PE: the resource root, the section table, and the two type directories
  // with the number of named entries before the id entries.
  uint64_t root_ = 0;
  uint64_t sections_ = 0;
  uint16_t section_count_ = 0;
  uint64_t groups_ = 0;
  uint64_t images_ = 0;
  uint32_t image_named_count_ = 0;
  // NE: the two name tables and the alignment shift.
  uint16_t shift_ = 0;
};

}  // namespace imaging
