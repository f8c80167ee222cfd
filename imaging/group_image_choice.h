// One image of an icon's whole group (an icon file as imaging/icon_groups
// builds it), chosen by size: the export of one size from every icon.
//
// The image taken for a size of N pixels is the one whose larger side is
// nearest to N; of two equally near, the larger; of several that size, the
// one of the deepest colour; of images alike in all three, the first
// stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging {

struct TGroupImageSize {
  int width = 0;
  int height = 0;
  int bit_count = 0;  // as the entry gives it, else the image's own header (a PNG: 32)
};

// The index of the image to take for `pixels` (see above); images must not
// be empty.
size_t NearestGroupImage(const std::vector<TGroupImageSize>& images, int pixels);

// The size and depth of every entry of a group's icon file, in stored
// order, as the images' own headers give them; false (out emptied) when the
// file is not whole or an image's header cannot be read.
bool GroupImageSizes(const uint8_t* data, size_t size, std::vector<TGroupImageSize>* out);

// An icon file holding just entry `entry_index` of the group's icon file:
// the entry as it stands, its offset made that of the one image, and the
// image's bytes unchanged. False when there is no such entry.
bool SingleImageIconFile(const uint8_t* data, size_t size, size_t entry_index, std::vector<uint8_t>* out);

}  // namespace imaging
