#include "imaging/icon_resource_walk.h"

namespace imaging {
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
#pragma pack(pop)

static_assert(sizeof(DosHeader) == 64, "DOS header");
static_assert(sizeof(FileHeader) == 20, "PE file header");
static_assert(sizeof(DataDirectory) == 8, "data directory");
static_assert(sizeof(SectionHeader) == 40, "section header");
static_assert(sizeof(ResourceDirectory) == 16, "resource directory");
static_assert(sizeof(ResourceEntry) == 8, "resource entry");
static_assert(sizeof(ResourceDataEntry) == 16, "resource data entry");
static_assert(sizeof(NeHeader) == 64, "NE header");
static_assert(sizeof(NeTypeInfo) == 8, "NE type info");
static_assert(sizeof(NeNameInfo) == 12, "NE name info");

constexpr uint16_t kMz = 0x5A4D;
constexpr uint32_t kPeSignature = 0x00004550;
constexpr uint16_t kNeSignature = 0x454E;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kRtIcon = 3;
constexpr uint32_t kRtGroupIcon = 14;
constexpr uint16_t kNeRtIcon = 0x8003;
constexpr uint16_t kNeRtGroupIcon = 0x800E;
constexpr uint16_t kNeNumbered = 0x8000;
constexpr uint32_t kEntryOffsetMask = 0x7FFFFFFF;

// Offset in the file of a resource address, the way the loader resolves it
// for a file mapped as data: the first section whose raw data covers the
// address (its end computed in 32 bits, as the loader does).
bool RvaToOffset(const ByteView& file, uint64_t sections, uint16_t section_count, uint32_t rva, uint64_t* offset) {
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

// A directory whose entry array lies wholly inside the file.
bool ReadDirectory(const ByteView& file, uint64_t offset, ResourceDirectory* dir) {
  return file.Read(offset, dir) &&
         file.Has(offset + sizeof *dir, (uint64_t{dir->named_count} + dir->id_count) * sizeof(ResourceEntry));
}

ResourceEntry EntryAt(const ByteView& file, uint64_t dir_offset, uint32_t index) {
  ResourceEntry e{};
  file.Read(dir_offset + sizeof(ResourceDirectory) + uint64_t{index} * sizeof e, &e);
  return e;
}

// The shell's lookup of an id: a binary search among the id entries,
// comparing the low word of each entry's name. Returns the entry's position.
bool FindId(const ByteView& file, uint64_t dir_offset, const ResourceDirectory& dir, uint32_t id, uint32_t* found) {
  int min = dir.named_count, max = dir.named_count + dir.id_count - 1;
  while (min <= max) {
    int pos = (min + max) / 2;
    ResourceEntry e = EntryAt(file, dir_offset, static_cast<uint32_t>(pos));
    if ((e.name & 0xFFFF) == id) {
      *found = static_cast<uint32_t>(pos);
      return true;
    }
    if ((e.name & 0xFFFF) > id)
      max = pos - 1;
    else
      min = pos + 1;
  }
  return false;
}

}  // namespace

IconResourceWalk::IconResourceWalk(ByteView file) : file_(file) {
  uint16_t magic = 0, second = 0;
  file.Read(0, &magic);
  file.Read(2, &second);
  if (file.size() >= 2 && magic == kMz) {
    DosHeader dos{};
    format_ = IconFileFormat::kPe;
    if (!file.Read(0, &dos)) {
      problem_ = "DOS header cut short";
      return;
    }
    if (dos.new_header >= file.size()) {  // a plain DOS program
      format_ = IconFileFormat::kOther;
      return;
    }
    uint32_t signature = 0;
    if (!file.Read(dos.new_header, &signature)) {
      problem_ = "new header cut short";
      return;
    }
    if (signature == kPeSignature) {
      WalkPe(dos.new_header);
    } else if ((signature & 0xFFFF) == kNeSignature) {
      format_ = IconFileFormat::kNe;
      WalkNe(dos.new_header);
    } else {
      format_ = IconFileFormat::kOther;
    }
    return;
  }
  // The shell takes any other file whose second word is 1 for an icon file;
  // it stops at a reserved word that is not 0.
  if (file.size() >= 4 && second == 1 && magic == 0) format_ = IconFileFormat::kIco;
}

void IconResourceWalk::WalkPe(uint64_t nt) {
  FileHeader header{};
  if (!file_.Read(nt + 4, &header)) {
    problem_ = "PE header lies past the end of the file";
    return;
  }
  const uint64_t optional = nt + 4 + sizeof header;
  uint16_t magic = 0;
  if (!file_.Read(optional, &magic)) {
    problem_ = "optional header lies past the end of the file";
    return;
  }
  sections_ = optional + header.optional_header_size;
  section_count_ = header.section_count;
  if (!file_.Has(sections_, uint64_t{section_count_} * sizeof(SectionHeader))) {
    problem_ = "section table lies past the end of the file";
    return;
  }
  if (magic != kPe32Magic && magic != kPe32PlusMagic) return;  // the loader finds no resources

  const bool plus = magic == kPe32PlusMagic;
  uint32_t header_size = 0, directory_count = 0;
  DataDirectory resources{};
  if (!file_.Read(optional + 60, &header_size) || !file_.Read(optional + (plus ? 108 : 92), &directory_count)) {
    problem_ = "optional header lies past the end of the file";
    return;
  }
  if (directory_count <= 2) return;
  if (!file_.Read(optional + (plus ? 112 : 96) + 2 * sizeof(DataDirectory), &resources)) {
    problem_ = "data directories lie past the end of the file";
    return;
  }
  if (resources.rva == 0) return;
  if (resources.rva < header_size) {
    root_ = resources.rva;
  } else if (!RvaToOffset(file_, sections_, section_count_, resources.rva, &root_)) {
    return;  // the loader finds no section for it and gives up
  }
  ResourceDirectory root_dir{};
  if (!ReadDirectory(file_, root_, &root_dir)) {
    problem_ = "resource directory lies past the end of the file";
    return;
  }

  uint32_t group_type = 0;
  if (!FindId(file_, root_, root_dir, kRtGroupIcon, &group_type)) return;
  groups_ = root_ + (EntryAt(file_, root_, group_type).offset & kEntryOffsetMask);
  ResourceDirectory groups_dir{};
  if (!ReadDirectory(file_, groups_, &groups_dir)) {
    problem_ = "icon group directory lies past the end of the file";
    return;
  }
  group_count_ = uint32_t{groups_dir.named_count} + groups_dir.id_count;

  // The icon directory's own damage is told after the groups', the order
  // in which the shell meets them.
  uint32_t icon_type = 0;
  if (!FindId(file_, root_, root_dir, kRtIcon, &icon_type)) return;
  images_ = root_ + (EntryAt(file_, root_, icon_type).offset & kEntryOffsetMask);
  ResourceDirectory images_dir{};
  if (!ReadDirectory(file_, images_, &images_dir)) {
    image_directory_problem_ = "icon directory lies past the end of the file";
    return;
  }
  // Only id entries can be found by the shell's lookup.
  image_named_count_ = images_dir.named_count;
  image_count_ = images_dir.id_count;
}

void IconResourceWalk::WalkNe(uint64_t ne_offset) {
  NeHeader header{};
  if (!file_.Read(ne_offset, &header)) {
    problem_ = "NE header lies past the end of the file";
    return;
  }
  // The shell compares the distance to the next table as an unsigned
  // number: a table that follows at most one type record away means no
  // resources, one that comes before it does not.
  const int distance = int{header.resident_names} - int{header.resource_table};
  if (distance >= 0 && distance <= int{sizeof(NeTypeInfo)}) return;

  const uint64_t table = ne_offset + header.resource_table;
  if (!file_.Read(table, &shift_)) {
    problem_ = "resource table lies past the end of the file";
    return;
  }
  if (shift_ > 24) {
    problem_ = "resource alignment out of range";
    return;
  }

  uint64_t pos = table + 2;
  uint64_t group_names = 0, icon_names = 0;
  uint16_t group_count = 0, icon_count = 0;
  bool have_groups = false, have_icons = false;
  // Each step moves at least one type record on, so this ends within the file.
  while (!(have_groups && have_icons)) {
    uint16_t type_id = 0;
    if (!file_.Read(pos, &type_id)) {
      problem_ = "resource table runs past the end of the file";
      return;
    }
    if (type_id == 0) break;
    NeTypeInfo info{};
    if (!file_.Read(pos, &info)) {
      problem_ = "resource table runs past the end of the file";
      return;
    }
    const uint64_t names = pos + sizeof info;
    const uint64_t names_size = uint64_t{info.count} * sizeof(NeNameInfo);
    if (!file_.Has(names, names_size)) {
      problem_ = "resource table runs past the end of the file";
      return;
    }
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
  if (!(have_groups && have_icons)) return;
  groups_ = group_names;
  group_count_ = group_count;
  images_ = icon_names;
  image_count_ = icon_count;
}

// From a name entry down its first language to the data it describes.
const char* IconResourceWalk::PeData(uint64_t type_directory, uint32_t entry, ByteRange* range) const {
  const ResourceEntry name_entry = EntryAt(file_, type_directory, entry);
  const uint64_t languages = root_ + (name_entry.offset & kEntryOffsetMask);
  ResourceDirectory dir{};
  if (!file_.Read(languages, &dir)) return "resource directory lies past the end of the file";
  if (uint32_t{dir.named_count} + dir.id_count == 0) return "resource without a language";
  ResourceEntry first{};
  if (!file_.Read(languages + sizeof dir, &first)) return "resource entry lies past the end of the file";
  ResourceDataEntry data{};
  if (!file_.Read(root_ + (first.offset & kEntryOffsetMask), &data))
    return "resource data entry lies past the end of the file";
  if (!RvaToOffset(file_, sections_, section_count_, data.rva, &range->offset))
    return "resource data outside every section";
  if (!file_.Has(range->offset, data.size)) return "resource data lies past the end of the file";
  range->size = data.size;
  return nullptr;
}

const char* IconResourceWalk::NeData(uint64_t names, uint32_t index, const char* past_end, ByteRange* range) const {
  NeNameInfo name{};
  file_.Read(names + uint64_t{index} * sizeof name, &name);
  // The shell computes both in 32 bits.
  range->offset = static_cast<uint32_t>(uint32_t{name.offset} << shift_);
  range->size = static_cast<uint32_t>(uint32_t{name.length} << shift_);
  return file_.Has(range->offset, range->size) ? nullptr : past_end;
}

const char* IconResourceWalk::CheckGroupHeader(const ByteRange& range) const {
  GroupIconHeader group{};
  if (range.size < sizeof group || !file_.Read(range.offset, &group)) return "icon group too short";
  if (uint64_t{group.count} * sizeof(GroupIconEntry) > range.size - sizeof group)
    return "icon group claims more entries than it holds";
  return nullptr;
}

const char* IconResourceWalk::Group(uint32_t index, ByteRange* range) const {
  if (index >= group_count_) return "no such icon group";
  const char* problem = format_ == IconFileFormat::kPe
                            ? PeData(groups_, index, range)
                            : NeData(groups_, index, "icon group lies past the end of the file", range);
  return problem ? problem : CheckGroupHeader(*range);
}

const char* IconResourceWalk::Image(uint32_t index, ByteRange* range) const {
  if (index >= image_count_) return "no such icon image";
  if (format_ == IconFileFormat::kPe) return PeData(images_, image_named_count_ + index, range);
  return NeData(images_, index, "icon lies past the end of the file", range);
}

bool IconResourceWalk::FindImage(uint16_t id, uint32_t* index) const {
  if (image_directory_problem_ || image_count_ == 0) return false;
  if (format_ == IconFileFormat::kPe) {
    ResourceDirectory dir{};
    dir.named_count = static_cast<uint16_t>(image_named_count_);
    dir.id_count = static_cast<uint16_t>(image_count_);
    uint32_t pos = 0;
    if (!FindId(file_, images_, dir, id, &pos)) return false;
    *index = pos - image_named_count_;
    return true;
  }
  // A 16-bit executable numbers its resources with the high bit set.
  const uint16_t wanted = static_cast<uint16_t>(id | kNeNumbered);
  for (uint32_t i = 0; i < image_count_; ++i) {
    NeNameInfo name{};
    file_.Read(images_ + uint64_t{i} * sizeof name, &name);
    if (name.id == wanted) {
      *index = i;
      return true;
    }
  }
  return false;
}

}  // namespace imaging
