#include "imaging/image_stretch.h"

#include <vector>

namespace imaging {

namespace {

// For each source index along one side, the destination index it falls on;
// -1 for a source pixel left out.
std::vector<int> MapSide(int source, int destination) {
  std::vector<int> map(static_cast<size_t>(source), -1);
  if (source == destination) {
    for (int i = 0; i < source; ++i) map[static_cast<size_t>(i)] = i;
    return map;
  }
  if (source > destination) {
    // Several source pixels to one: step the destination when the error says so.
    int err = 3 * destination - 2 * source;
    int d = 0;
    for (int s = 0; s < source && d < destination; ++s) {
      map[static_cast<size_t>(s)] = d;
      if (err > 0) {
        ++d;
        err += 2 * destination - 2 * source;
      } else {
        err += 2 * destination;
      }
    }
    return map;
  }
  return map;  // enlarging is mapped from the destination side, see SourceOf
}

// For an enlarged side: the source index each destination index repeats.
std::vector<int> SourceOf(int source, int destination) {
  std::vector<int> from(static_cast<size_t>(destination), -1);
  int err = 3 * source - 2 * destination;
  int s = 0;
  for (int d = 0; d < destination && s < source; ++d) {
    from[static_cast<size_t>(d)] = s;
    if (err > 0) {
      ++s;
      err += 2 * source - 2 * destination;
    } else {
      err += 2 * source;
    }
  }
  return from;
}

// The source indices that fall on each destination index.
std::vector<std::vector<int>> Preimages(int source, int destination) {
  std::vector<std::vector<int>> pre(static_cast<size_t>(destination > 0 ? destination : 0));
  if (source <= 0 || destination <= 0) return pre;
  if (source >= destination) {
    const std::vector<int> map = MapSide(source, destination);
    for (int s = 0; s < source; ++s)
      if (map[static_cast<size_t>(s)] >= 0) pre[static_cast<size_t>(map[static_cast<size_t>(s)])].push_back(s);
  } else {
    const std::vector<int> from = SourceOf(source, destination);
    for (int d = 0; d < destination; ++d)
      if (from[static_cast<size_t>(d)] >= 0) pre[static_cast<size_t>(d)].push_back(from[static_cast<size_t>(d)]);
  }
  return pre;
}

// Stretches pixel values given by get(x, y) (y from the top) into set(x, y, v).
template <typename Get, typename Set>
void Stretch(int source_width, int source_height, int width, int height, Get get, Set set) {
  const auto columns = Preimages(source_width, width);
  const auto rows = Preimages(source_height, height);
  for (int y = 0; y < height; ++y) {
    if (rows[static_cast<size_t>(y)].empty()) continue;
    for (int x = 0; x < width; ++x) {
      if (columns[static_cast<size_t>(x)].empty()) continue;
      uint32_t value = ~0u;
      for (int sy : rows[static_cast<size_t>(y)])
        for (int sx : columns[static_cast<size_t>(x)]) value &= get(sx, sy);
      set(x, y, value);
    }
  }
}

}  // namespace

Image32 StretchColors(const Image32& image, int width, int height) {
  if (image.width == width && image.height == height) return image;
  Image32 out(width, height);
  Stretch(
      image.width, image.height, width, height, [&](int x, int y) { return image.At(x, y); },
      [&](int x, int y, uint32_t v) { out.At(x, y) = v; });
  return out;
}

MaskImage StretchMask(const MaskImage& mask, int width, int height) {
  if (mask.width == width && mask.height == height) return mask;
  MaskImage out(width, height);
  Stretch(
      mask.width, mask.height, width, height, [&](int x, int y) { return mask.Get(x, y) ? 1u : 0u; },
      [&](int x, int y, uint32_t v) { out.Set(x, y, v != 0); });
  return out;
}

}  // namespace imaging
