#include "imaging/icon_alpha.h"

#include <algorithm>

#include "imaging/zu_graphic_utils.h"

namespace imaging {

Image32 IconWithAlpha(const Image32& color, const MaskImage& mask) {
  Image32 out = color;
  const bool has_alpha =
      std::any_of(color.pixels.begin(), color.pixels.end(), [](Pixel32 p) { return PixelAlpha(p) != 0; });
  if (has_alpha) return out;
  const bool mask_fits = mask.width == color.width && mask.height == color.height &&
                         mask.bits.size() >= DibStride(mask.width, 1) * static_cast<size_t>(mask.height);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      Pixel32& p = out.At(x, y);
      const bool transparent = mask_fits && mask.Get(x, y);
      p = (p & 0x00FFFFFFu) | (transparent ? 0u : 0xFF000000u);
    }
  }
  return out;
}

void MakeGrayscaleKeepingAlpha(Image32& image) {
  for (Pixel32& p : image.pixels) {
    const uint8_t grey = GrayValue(PixelRed(p), PixelGreen(p), PixelBlue(p));
    p = MakePixel(grey, grey, grey, PixelAlpha(p));
  }
}

void PlaceImage(Image32& canvas, const Image32& image, int left, int top) {
  const int x0 = std::max(0, -left);
  const int y0 = std::max(0, -top);
  const int x1 = std::min(image.width, canvas.width - left);
  const int y1 = std::min(image.height, canvas.height - top);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) canvas.At(left + x, top + y) = image.At(x, y);
}

}  // namespace imaging
