// The walk mirrors the shell's own: for an executable it finds the resource
// directory the way the loader maps a file that is not loaded as an image
// (an address below the size of the headers is a file offset, anything else
// goes through the first section whose raw data covers it), looks up the
// icon group and icon types in the root, follows each entry to its first
// language and reads the data entry there; a 16-bit executable's resource
// table is read type by type until both icon types are found; an icon file
// is any file that is no executable and has 1 as its second word. Wherever
// the shell would read, this code first checks that the bytes exist.
//
// On-disk structures are little-endian, as is every machine this runs on.
#include "util/icon_file_check.h"

#include <cstring>

namespace util {
namespace {

#pragma pack(push, 1)
struct DosHeader {
  uint16_t magic;
  uint16_t bytes_on_last_page;  // the shell reads this as an icon file's type
  uint8_t unused[56];
  uint32_t new_header;
};
struct FileHeader {
  uint16_t machine;
  uint16_t section_count;
  uint32_t time_stamp;
  uint32_t symbol_table;
  uint32_t symbol_count;
  uint16_t optional_header_size;
  uint16_t characteristics;
};
struct DataDirectory {
  uint32_t rva;
  uint32_t size;
};
struct SectionHeader {
  char name[8];
  uint32_t virtual_size;
  uint32_t virtual_address;
  uint32_t raw_size;
  uint32_t raw_pointer;
  uint32_t relocations;
  uint32_t line_numbers;
  uint16_t relocation_count;
  uint16_t line_number_count;
  uint32_t characteristics;
};
struct ResourceDirectory {
  uint32_t characteristics;
  uint32_t time_stamp;
  uint16_t major_version;
  uint16_t minor_version;
  uint16_t named_count;
  uint16_t id_count;
};
struct ResourceEntry {
  uint32_t name;
  uint32_t offset;  // high bit: points at a directory
};
struct ResourceDataEntry {
  uint32_t rva;
  uint32_t size;
  uint32_t code_page;
  uint32_t reserved;
};
struct GroupIconHeader {
  uint16_t reserved;
  uint16_t type;
  uint16_t count;
};
struct GroupIconEntry {
  uint8_t width, height, colour_count, reserved;
  uint16_t planes, bit_count;
  uint32_t bytes;
  uint16_t id;
};
struct IcoEntry {
  uint8_t width, height, colour_count, reserved;
  uint16_t planes, bit_count;
  uint32_t bytes;
  uint32_t offset;
};
struct NeHeader {
  uint16_t magic;
  uint8_t unused[0x22];
  uint16_t resource_table;
  uint16_t resident_names;
  uint8_t rest[0x18];
};
struct NeTypeInfo {
  uint16_t type_id;
  uint16_t count;
  uint32_t loader;
};
struct NeNameInfo {
  uint16_t offset;
  uint16_t length;
  uint16_t flags;
  uint16_t id;
  uint16_t handle;
  uint16_t usage;
};
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

static_assert(sizeof(DosHeader) == 64, "DOS header");
static_assert(sizeof(FileHeader) == 20, "PE file header");
static_assert(sizeof(DataDirectory) == 8, "data directory");
static_assert(sizeof(SectionHeader) == 40, "section header");
static_assert(sizeof(ResourceDirectory) == 16, "resource directory");
static_assert(sizeof(ResourceEntry) == 8, "resource entry");
static_assert(sizeof(ResourceDataEntry) == 16, "resource data entry");
static_assert(sizeof(GroupIconHeader) == 6, "icon group header");
static_assert(sizeof(GroupIconEntry) == 14, "icon group entry");
static_assert(sizeof(IcoEntry) == 16, "icon file entry");
static_assert(sizeof(NeHeader) == 64, "NE header");
static_assert(sizeof(NeTypeInfo) == 8, "NE type info");
static_assert(sizeof(NeNameInfo) == 12, "NE name info");
static_assert(sizeof(BitmapCoreHeader) == 12, "core header");
static_assert(sizeof(BitmapInfoHeader) == 40, "info header");

constexpr uint16_t kMz = 0x5A4D;
constexpr uint32_t kPeSignature = 0x00004550;
constexpr uint16_t kNeSignature = 0x454E;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kRtIcon = 3;
constexpr uint32_t kRtGroupIcon = 14;
constexpr uint16_t kNeRtIcon = 0x8003;
constexpr uint16_t kNeRtGroupIcon = 0x800E;
constexpr uint32_t kEntryOffsetMask = 0x7FFFFFFF;

// Bounds-checked view of the file. Offsets are 64-bit so that no sum of two
// 32-bit fields can wrap.
class View {
 public:
  View(const uint8_t* data, size_t size) : data_(data), size_(size) {}
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

const char* CheckImageAt(const View& file, uint64_t offset, uint64_t size) {
  if (!file.Has(offset, size)) return "icon image lies past the end of the file";
  return CheckIconImage(file.At(offset), static_cast<size_t>(size));
}

uint32_t ReadBigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool IsChunkLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool ValidPngDepth(uint8_t colour_type, uint8_t depth) {
  switch (colour_type) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2: case 4: case 6: return depth == 8 || depth == 16;
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
const char* CheckPng(const uint8_t* p, size_t size) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size < 8 || std::memcmp(p, kSignature, 8) != 0) return "bad PNG signature";
  uint64_t pos = 8;
  bool first = true, have_data = false, have_palette = false;
  uint8_t colour_type = 0;
  while (true) {
    if (size - pos < 12) return "PNG stream ends before its end chunk";
    uint64_t length = ReadBigEndian32(p + pos);
    const uint8_t* type = p + pos + 4;
    if (length > size - pos - 12) return "PNG chunk runs past the image";
    for (int i = 0; i < 4; ++i)
      if (!IsChunkLetter(type[i])) return "bad PNG chunk type";
    const uint8_t* body = p + pos + 8;
    if (first) {
      if (std::memcmp(type, "IHDR", 4) != 0 || length != 13) return "PNG does not start with its header";
      uint32_t width = ReadBigEndian32(body), height = ReadBigEndian32(body + 4);
      colour_type = body[9];
      if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return "bad PNG size";
      // Both factors are below 2^31, so the product stays below 2^64.
      if (uint64_t{width} * 4 * height > kMaxPngPixelBytes) return "PNG too large to decode";
      if (!ValidPngDepth(colour_type, body[8]) || body[10] != 0 || body[11] != 0 || body[12] > 1)
        return "bad PNG header";
      first = false;
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      have_data = true;
    } else if (std::memcmp(type, "PLTE", 4) == 0) {
      have_palette = true;
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      if (!have_data) return "PNG without image data";
      if (colour_type == 3 && !have_palette) return "PNG without its palette";
      return nullptr;
    }
    pos += 12 + length;
  }
}

// A DIB icon image: header, colour table and colour bits, all of them
// inside the image. The height counts both bitmaps, but the AND mask after
// the colour bits may be missing, as some real icons have it: at every
// depth the shell then takes the mask as absent (the image is opaque but
// for what an alpha channel says) and reads no further. The shell's own
// size check multiplies in 32 bits and is fooled by a huge width, so the
// sizes are worked out here in 64 bits from bounded factors.
const char* CheckDib(const uint8_t* data, size_t size) {
  View image(data, size);
  uint32_t header_size = 0;
  if (!image.Read(0, &header_size)) return "icon image too short";
  if (header_size < sizeof(BitmapCoreHeader) || header_size > size) return "bitmap header does not fit the image";
  uint64_t width = 0, rows = 0, bits = 0, colours = 0, masks = 0, entry_size = 4;
  if (header_size == sizeof(BitmapCoreHeader)) {
    BitmapCoreHeader h{};
    image.Read(0, &h);
    width = h.width;
    rows = h.height / 2;
    bits = h.bit_count;
    colours = bits <= 8 ? uint64_t{1} << bits : 0;
    entry_size = 3;
  } else {
    if (header_size < sizeof(BitmapInfoHeader)) return "bitmap header does not fit the image";
    BitmapInfoHeader h{};
    image.Read(0, &h);
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return "bad bitmap size";
    width = static_cast<uint64_t>(h.width);
    rows = static_cast<uint64_t>(h.height < 0 ? -h.height : h.height) / 2;
    bits = h.bit_count;
    if (h.compression == 3 && header_size == sizeof(BitmapInfoHeader)) masks = 12;
    else if (h.compression != 0 && h.compression != 3) return "compressed icon image";
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

// Offset in the file of a resource address, the way the loader resolves it
// for a file mapped as data: the first section whose raw data covers the
// address (its end computed in 32 bits, as the loader does).
bool RvaToOffset(const View& file, uint64_t sections, uint16_t section_count, uint32_t rva,
                 uint64_t* offset) {
  for (uint16_t i = 0; i < section_count; ++i) {
    SectionHeader s{};
    if (!file.Read(sections + uint64_t{i} * sizeof s, &s)) return false;
    uint32_t end = s.virtual_address + s.raw_size;
    if (s.virtual_address <= rva && end > rva) {
      *offset = uint64_t{s.raw_pointer} + (rva - s.virtual_address);
      return true;
    }
  }
  return false;
}

struct PeResources {
  const View& file;
  uint64_t root = 0;
  uint64_t sections;
  uint16_t section_count;

  // A directory whose entry array lies wholly inside the file.
  bool ReadDirectory(uint64_t offset, ResourceDirectory* dir) const {
    return file.Read(offset, dir) &&
           file.Has(offset + sizeof *dir, (uint64_t{dir->named_count} + dir->id_count) * sizeof(ResourceEntry));
  }
  ResourceEntry EntryAt(uint64_t dir_offset, uint32_t index) const {
    ResourceEntry e{};
    file.Read(dir_offset + sizeof(ResourceDirectory) + uint64_t{index} * sizeof e, &e);
    return e;
  }
  // The shell's lookup of an id: a binary search among the id entries,
  // comparing the low word of each entry's name.
  bool FindId(uint64_t dir_offset, const ResourceDirectory& dir, uint32_t id, ResourceEntry* found) const {
    int min = dir.named_count, max = dir.named_count + dir.id_count - 1;
    while (min <= max) {
      int pos = (min + max) / 2;
      ResourceEntry e = EntryAt(dir_offset, static_cast<uint32_t>(pos));
      if ((e.name & 0xFFFF) == id) {
        *found = e;
        return true;
      }
      if ((e.name & 0xFFFF) > id) max = pos - 1;
      else min = pos + 1;
    }
    return false;
  }
  // From a name entry down its first language to the data it describes.
  const char* DataOf(const ResourceEntry& name_entry, uint64_t* offset, uint32_t* size) const {
    uint64_t languages = root + (name_entry.offset & kEntryOffsetMask);
    ResourceDirectory dir{};
    if (!file.Read(languages, &dir)) return "resource directory lies past the end of the file";
    if (uint32_t{dir.named_count} + dir.id_count == 0) return "resource without a language";
    ResourceEntry first{};
    if (!file.Read(languages + sizeof dir, &first)) return "resource entry lies past the end of the file";
    ResourceDataEntry data{};
    if (!file.Read(root + (first.offset & kEntryOffsetMask), &data))
      return "resource data entry lies past the end of the file";
    if (!RvaToOffset(file, sections, section_count, data.rva, offset))
      return "resource data outside every section";
    if (!file.Has(*offset, data.size)) return "resource data lies past the end of the file";
    *size = data.size;
    return nullptr;
  }
};

IconFileCheck CheckPe(const View& file, uint64_t nt) {
  const IconFileFormat pe = IconFileFormat::kPe;
  FileHeader header{};
  if (!file.Read(nt + 4, &header)) return Damaged(pe, "PE header lies past the end of the file");
  uint64_t optional = nt + 4 + sizeof header;
  uint16_t magic = 0;
  if (!file.Read(optional, &magic)) return Damaged(pe, "optional header lies past the end of the file");
  uint64_t sections = optional + header.optional_header_size;
  if (!file.Has(sections, uint64_t{header.section_count} * sizeof(SectionHeader)))
    return Damaged(pe, "section table lies past the end of the file");
  if (magic != kPe32Magic && magic != kPe32PlusMagic) return Sound(pe, 0);  // the loader finds no resources

  const bool plus = magic == kPe32PlusMagic;
  uint32_t header_size = 0, directory_count = 0;
  DataDirectory resources{};
  if (!file.Read(optional + 60, &header_size) || !file.Read(optional + (plus ? 108 : 92), &directory_count))
    return Damaged(pe, "optional header lies past the end of the file");
  if (directory_count <= 2) return Sound(pe, 0);
  if (!file.Read(optional + (plus ? 112 : 96) + 2 * sizeof(DataDirectory), &resources))
    return Damaged(pe, "data directories lie past the end of the file");
  if (resources.rva == 0) return Sound(pe, 0);

  uint64_t root = 0;
  if (resources.rva < header_size) {
    root = resources.rva;
  } else if (!RvaToOffset(file, sections, header.section_count, resources.rva, &root)) {
    return Sound(pe, 0);  // the loader finds no section for it and gives up
  }
  PeResources res{file, root, sections, header.section_count};
  ResourceDirectory root_dir{};
  if (!res.ReadDirectory(root, &root_dir)) return Damaged(pe, "resource directory lies past the end of the file");

  ResourceEntry group_type{};
  if (!res.FindId(root, root_dir, kRtGroupIcon, &group_type)) return Sound(pe, 0);
  uint64_t groups = root + (group_type.offset & kEntryOffsetMask);
  ResourceDirectory groups_dir{};
  if (!res.ReadDirectory(groups, &groups_dir)) return Damaged(pe, "icon group directory lies past the end of the file");
  const uint32_t group_count = uint32_t{groups_dir.named_count} + groups_dir.id_count;

  for (uint32_t i = 0; i < group_count; ++i) {
    uint64_t offset = 0;
    uint32_t size = 0;
    if (const char* problem = res.DataOf(res.EntryAt(groups, i), &offset, &size)) return Damaged(pe, problem);
    GroupIconHeader group{};
    if (size < sizeof group || !file.Read(offset, &group)) return Damaged(pe, "icon group too short");
    if (uint64_t{group.count} * sizeof(GroupIconEntry) > size - sizeof group)
      return Damaged(pe, "icon group claims more entries than it holds");
  }

  ResourceEntry icon_type{};
  if (res.FindId(root, root_dir, kRtIcon, &icon_type)) {
    uint64_t icons = root + (icon_type.offset & kEntryOffsetMask);
    ResourceDirectory icons_dir{};
    if (!res.ReadDirectory(icons, &icons_dir)) return Damaged(pe, "icon directory lies past the end of the file");
    // Only id entries can be found by the shell's lookup.
    for (uint32_t i = icons_dir.named_count; i < uint32_t{icons_dir.named_count} + icons_dir.id_count; ++i) {
      uint64_t offset = 0;
      uint32_t size = 0;
      if (const char* problem = res.DataOf(res.EntryAt(icons, i), &offset, &size)) return Damaged(pe, problem);
      if (const char* problem = CheckImageAt(file, offset, size)) return Damaged(pe, problem);
    }
  }
  // The shell keeps the count in 16 bits.
  return Sound(pe, static_cast<uint16_t>(group_count));
}

IconFileCheck CheckNe(const View& file, uint64_t ne_offset) {
  const IconFileFormat ne = IconFileFormat::kNe;
  NeHeader header{};
  if (!file.Read(ne_offset, &header)) return Damaged(ne, "NE header lies past the end of the file");
  // The shell compares the distance to the next table as an unsigned
  // number: a table that follows at most one type record away means no
  // resources, one that comes before it does not.
  const int distance = int{header.resident_names} - int{header.resource_table};
  if (distance >= 0 && distance <= int{sizeof(NeTypeInfo)}) return Sound(ne, 0);

  const uint64_t table = ne_offset + header.resource_table;
  uint16_t shift = 0;
  if (!file.Read(table, &shift)) return Damaged(ne, "resource table lies past the end of the file");
  if (shift > 24) return Damaged(ne, "resource alignment out of range");

  uint64_t pos = table + 2;
  uint64_t group_names = 0, icon_names = 0;
  uint16_t group_count = 0, icon_count = 0;
  bool have_groups = false, have_icons = false;
  // Each step moves at least one type record on, so this ends within the file.
  while (!(have_groups && have_icons)) {
    uint16_t type_id = 0;
    if (!file.Read(pos, &type_id)) return Damaged(ne, "resource table runs past the end of the file");
    if (type_id == 0) break;
    NeTypeInfo info{};
    if (!file.Read(pos, &info)) return Damaged(ne, "resource table runs past the end of the file");
    const uint64_t names = pos + sizeof info;
    const uint64_t names_size = uint64_t{info.count} * sizeof(NeNameInfo);
    if (!file.Has(names, names_size)) return Damaged(ne, "resource table runs past the end of the file");
    if (info.type_id == kNeRtGroupIcon) {
      have_groups = true;
      group_names = names;
      group_count = info.count;
    }
    if (info.type_id == kNeRtIcon) {
      have_icons = true;
      icon_names = names;
      icon_count = info.count;
    }
    pos = names + names_size;
  }
  if (!(have_groups && have_icons)) return Sound(ne, 0);

  auto data_of = [&](uint64_t name_offset, uint64_t* offset, uint64_t* size) {
    NeNameInfo name{};
    file.Read(name_offset, &name);
    // The shell computes both in 32 bits.
    *offset = static_cast<uint32_t>(uint32_t{name.offset} << shift);
    *size = static_cast<uint32_t>(uint32_t{name.length} << shift);
    return file.Has(*offset, *size);
  };
  for (uint16_t i = 0; i < group_count; ++i) {
    uint64_t offset = 0, size = 0;
    if (!data_of(group_names + uint64_t{i} * sizeof(NeNameInfo), &offset, &size))
      return Damaged(ne, "icon group lies past the end of the file");
    GroupIconHeader group{};
    if (size < sizeof group || !file.Read(offset, &group)) return Damaged(ne, "icon group too short");
    if (uint64_t{group.count} * sizeof(GroupIconEntry) > size - sizeof group)
      return Damaged(ne, "icon group claims more entries than it holds");
  }
  for (uint16_t i = 0; i < icon_count; ++i) {
    uint64_t offset = 0, size = 0;
    if (!data_of(icon_names + uint64_t{i} * sizeof(NeNameInfo), &offset, &size))
      return Damaged(ne, "icon lies past the end of the file");
    if (const char* problem = CheckImageAt(file, offset, size)) return Damaged(ne, problem);
  }
  return Sound(ne, group_count);
}

IconFileCheck CheckIco(const View& file) {
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
    if (const char* problem = CheckImageAt(file, entry.offset, entry.bytes)) return Damaged(ico, problem);
  }
  // The shell counts an icon file as one icon, whatever number of images it holds.
  return Sound(ico, 1);
}

}  // namespace

const char* CheckIconImage(const uint8_t* data, size_t size) {
  if (size >= 4 && std::memcmp(data, "\x89PNG", 4) == 0) return CheckPng(data, size);
  return CheckDib(data, size);
}

IconFileCheck CheckIconFile(const uint8_t* data, size_t size) {
  View file(data, size);
  uint16_t magic = 0, second = 0;
  file.Read(0, &magic);
  file.Read(2, &second);
  if (size >= 2 && magic == kMz) {
    DosHeader dos{};
    if (!file.Read(0, &dos)) return Damaged(IconFileFormat::kPe, "DOS header cut short");
    if (dos.new_header >= size) return Sound(IconFileFormat::kOther, 0);  // a plain DOS program
    uint32_t signature = 0;
    if (!file.Read(dos.new_header, &signature)) return Damaged(IconFileFormat::kPe, "new header cut short");
    if (signature == kPeSignature) return CheckPe(file, dos.new_header);
    if ((signature & 0xFFFF) == kNeSignature) return CheckNe(file, dos.new_header);
    return Sound(IconFileFormat::kOther, 0);
  }
  // The shell takes any other file whose second word is 1 for an icon file.
  if (size >= 4 && second == 1) {
    if (magic != 0) return Sound(IconFileFormat::kOther, 0);  // it stops at the reserved word
    return CheckIco(file);
  }
  return Sound(IconFileFormat::kOther, 0);
}

}  // namespace util
