#include "imaging/image_stretch.h"

#include <vector>

namespace imaging {

namespace {

// The source indices that fall on each destination index. The longer side
// is walked a pixel a step and the shorter one steps on when the error term
// says so; equal sides map one to one.
std::vector<std::vector<int>> Preimages(int source, int destination) {
  std::vector<std::vector<int>> pre(static_cast<size_t>(destination > 0 ? destination : 0));
  if (source <= 0 || destination <= 0) return pre;
  const bool reducing = source >= destination;
  const int major = reducing ? source : destination;
  const int minor = reducing ? destination : source;
  int err = 3 * minor - 2 * major;
  int m = 0;
  for (int i = 0; i < major && m < minor; ++i) {
    pre[static_cast<size_t>(reducing ? m : i)].push_back(reducing ? i : m);
    if (err > 0) {
      ++m;
      err += 2 * minor - 2 * major;
    } else {
      err += 2 * minor;
    }
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
