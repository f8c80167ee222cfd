// The images of an icon's whole group (an icon file as util/icon_groups
// builds it) as PNG files of their own: a PNG image as it is stored, any
// other image decoded to 32 bits with its alpha and written anew.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/icon_resource_walk.h"

namespace imaging {

// The entries of an icon file, each lying inside it; false when the file is
// no icon file, names no image or an entry points outside it.
bool ReadIconFileEntries(const uint8_t* data, size_t size, std::vector<IcoEntry>* entries);

struct TGroupImagePng {
  int width = 0;
  int height = 0;
  int bit_count = 0;  // the stored image's depth, as its entry or header gives it
  std::vector<uint8_t> png;
};

// The group's images in their stored order, an image named again taken
// once; false (out emptied) when the icon file is not whole, one of its
// images cannot be decoded (a stored PNG included, which is checked by
// decoding it) or the images decode to more than a group's icon file may
// hold, so that the caller saves the icon another way.
bool GroupImagesAsPng(const uint8_t* data, size_t size, std::vector<TGroupImagePng>* out);

// The image entry `entry_index` of the group's icon file names, as the
// whole group's export writes it; false when it cannot be decoded.
bool GroupImageAsPng(const uint8_t* data, size_t size, size_t entry_index, TGroupImagePng* out);

// Whether every PNG image of the group's icon file decodes whole, before
// the file is written with them as they are stored.
bool GroupPngImagesDecode(const uint8_t* data, size_t size);

}  // namespace imaging
