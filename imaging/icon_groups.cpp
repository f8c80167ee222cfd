#include "imaging/icon_groups.h"

#include "imaging/icon_file_check.h"
#include "imaging/icon_resource_walk.h"

namespace imaging {
namespace {

void Append(std::vector<uint8_t>* out, const void* data, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  out->insert(out->end(), p, p + size);
}

// An icon file holds one icon: the file itself, once the check found every
// image in it complete.
const char* IcoFileGroup(const uint8_t* data, size_t size, uint32_t group_index, std::vector<uint8_t>* out) {
  const IconFileCheck check = CheckIconFile(data, size);
  if (check.damaged) return check.problem;
  if (group_index >= check.icon_count) return "no such icon group";
  if (size > kMaxIconGroupFileSize) return "icon group too large";
  out->assign(data, data + size);
  return nullptr;
}

}  // namespace

const char* BuildIconGroupFile(const uint8_t* data, size_t size, uint32_t group_index, std::vector<uint8_t>* out) {
  out->clear();
  const ByteView file(data, size);
  const IconResourceWalk walk(file);
  if (walk.format() == IconFileFormat::kIco) return IcoFileGroup(data, size, group_index, out);
  if (walk.format() == IconFileFormat::kOther) return "no icon groups in this file";
  if (walk.problem()) return walk.problem();

  ByteRange group;
  if (const char* problem = walk.Group(group_index, &group)) return problem;
  GroupIconHeader header{};
  file.Read(group.offset, &header);
  // The header goes into the icon file as it stands, so it must be an icon
  // file's; the shell does not take any other group for an icon either.
  if (header.reserved != 0 || header.type != 1) return "icon group header is not an icon's";
  if (header.count == 0) return "icon group without images";
  if (walk.ImageDirectoryProblem()) return walk.ImageDirectoryProblem();

  // Find every image first, so that nothing is built for a group that
  // cannot be read whole; the group's entries lie inside it (Group checked).
  std::vector<ByteRange> images(header.count);
  uint64_t total = sizeof header + uint64_t{header.count} * sizeof(IcoEntry);
  for (uint16_t i = 0; i < header.count; ++i) {
    GroupIconEntry entry{};
    file.Read(group.offset + sizeof header + uint64_t{i} * sizeof entry, &entry);
    uint32_t index = 0;
    if (!walk.FindImage(entry.id, &index)) return "icon image missing";
    if (const char* problem = walk.Image(index, &images[i])) return problem;
    if (const char* problem = CheckIconImage(file.At(images[i].offset), static_cast<size_t>(images[i].size)))
      return problem;
    total += images[i].size;
    if (total > kMaxIconGroupFileSize) return "icon group too large";
  }

  out->reserve(static_cast<size_t>(total));
  Append(out, &header, sizeof header);
  uint64_t offset = sizeof header + uint64_t{header.count} * sizeof(IcoEntry);
  for (uint16_t i = 0; i < header.count; ++i) {
    GroupIconEntry stored{};
    file.Read(group.offset + sizeof header + uint64_t{i} * sizeof stored, &stored);
    // The description as stored; the size is the image's own, which the
    // shell goes by as well (it equals the stored one in every sound file).
    IcoEntry entry{};
    entry.width = stored.width;
    entry.height = stored.height;
    entry.colour_count = stored.colour_count;
    entry.reserved = stored.reserved;
    entry.planes = stored.planes;
    entry.bit_count = stored.bit_count;
    entry.bytes = static_cast<uint32_t>(images[i].size);
    entry.offset = static_cast<uint32_t>(offset);
    Append(out, &entry, sizeof entry);
    offset += images[i].size;
  }
  for (const ByteRange& image : images) Append(out, file.At(image.offset), static_cast<size_t>(image.size));
  return nullptr;
}

}  // namespace imaging
