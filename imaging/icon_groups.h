// An icon's whole group as an icon file: every image the file stores for
// the icon, at every size and depth, exactly as stored.
//
// Icon i is the group the shell extracts as icon i (the order of
// util/icon_resource_walk). Its icon file is the group's directory rebuilt
// (the header and the entries in their stored order, each entry's image
// offset worked out anew and its size being that of the image that follows)
// and then every image's bytes as the file holds them, PNG images included.
// An icon file is its own only group and comes back unchanged.
//
// A group is read whole or not at all: an image it names that the file
// lacks, that lies outside the file or that is incomplete (the structural
// check's judgement of an image) leaves the caller to fall back on another
// way of saving the icon.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging {

// The largest icon file built from one group. A group may name one image
// many times; this keeps a small damaged file from asking for gigabytes.
constexpr uint64_t kMaxIconGroupFileSize = uint64_t{64} << 20;

// Builds the icon file of group `group_index` (0-based) of the file in
// data. Returns null and fills out, or returns why the group cannot be read
// whole (out is then left empty).
const char* BuildIconGroupFile(const uint8_t* data, size_t size, uint32_t group_index, std::vector<uint8_t>* out);

}  // namespace imaging
