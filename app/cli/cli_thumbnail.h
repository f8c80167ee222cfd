// tamsel-thumbnailer's work: a desktop's preview of a program, library or
// icon file, made from the file's own first icon.
//
// The image taken is the one the -size= export takes for the size asked
// (the nearest, the larger on a tie, the deepest colour), written as the
// -size= PNG export writes it: a stored PNG image as it is, any other image
// as a PNG with its alpha. Desktops ask for a square of at most N pixels
// (the freedesktop.org thumbnail sizes: 128, 256, …) and take a larger
// result for a damaged one, so an image larger than asked is made smaller
// to fit, keeping its aspect (imaging/image_scale.h).
#pragma once

#include <string>

namespace app {

struct TThumbnail {
  bool ok = false;
  std::string reason;  // why there is no thumbnail; empty when there is
};

// Writes the thumbnail of source, at most `size` pixels square, to target
// through the atomic writer; on failure target is left as it was.
TThumbnail WriteThumbnail(const std::string& source, const std::string& target, int size);

}  // namespace app
