#include "imaging/image_scale.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace imaging {

namespace {

// Premultiplied blue, green, red and alpha in 0 … 1 a channel.
struct Premultiplied {
  double b = 0, g = 0, r = 0, a = 0;
};

Premultiplied Premultiply(Pixel32 p) {
  const double a = PixelAlpha(p) / 255.0;
  return {PixelBlue(p) / 255.0 * a, PixelGreen(p) / 255.0 * a, PixelRed(p) / 255.0 * a, a};
}

uint8_t Channel(double value) { return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0)); }

Pixel32 Unpremultiply(const Premultiplied& p) {
  if (p.a <= 0) return 0;
  return MakePixel(Channel(p.r / p.a), Channel(p.g / p.a), Channel(p.b / p.a), Channel(p.a));
}

// One output position's share of the source positions it covers.
struct Tap {
  int first = 0;
  std::vector<double> weights;  // for first, first + 1, …; they sum to 1
};

std::vector<Tap> Taps(int from, int to) {
  std::vector<Tap> taps(static_cast<size_t>(to));
  const double step = static_cast<double>(from) / to;
  for (int i = 0; i < to; ++i) {
    const double begin = i * step;
    const double end = i + 1 == to ? from : (i + 1) * step;
    Tap& tap = taps[static_cast<size_t>(i)];
    tap.first = static_cast<int>(std::floor(begin));
    for (int s = tap.first; s < from && s < end; ++s) {
      const double covered = std::min<double>(s + 1, end) - std::max<double>(s, begin);
      tap.weights.push_back(covered / (end - begin));
    }
  }
  return taps;
}

}  // namespace

TFitSize FitWithin(int width, int height, int side) {
  if (width <= side && height <= side) return {width, height};
  const double scale = static_cast<double>(side) / std::max(width, height);
  return {std::max(1, static_cast<int>(std::lround(width * scale))),
          std::max(1, static_cast<int>(std::lround(height * scale)))};
}

Image32 ScaleDown(const Image32& image, int width, int height) {
  if (width <= 0 || height <= 0 || width > image.width || height > image.height) return Image32();
  const std::vector<Tap> columns = Taps(image.width, width);
  const std::vector<Tap> rows = Taps(image.height, height);

  // Across first, row by row of the source; then down each column. Rows
  // stay bottom-up throughout, which the filter does not mind.
  std::vector<Premultiplied> across(static_cast<size_t>(width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    const Pixel32* source = &image.pixels[static_cast<size_t>(y) * image.width];
    for (int x = 0; x < width; ++x) {
      const Tap& tap = columns[static_cast<size_t>(x)];
      Premultiplied sum;
      for (size_t k = 0; k < tap.weights.size(); ++k) {
        const Premultiplied p = Premultiply(source[tap.first + static_cast<int>(k)]);
        const double w = tap.weights[k];
        sum.b += p.b * w;
        sum.g += p.g * w;
        sum.r += p.r * w;
        sum.a += p.a * w;
      }
      across[static_cast<size_t>(y) * width + x] = sum;
    }
  }
  Image32 out(width, height);
  for (int y = 0; y < height; ++y) {
    const Tap& tap = rows[static_cast<size_t>(y)];
    for (int x = 0; x < width; ++x) {
      Premultiplied sum;
      for (size_t k = 0; k < tap.weights.size(); ++k) {
        const Premultiplied& p = across[static_cast<size_t>(tap.first + static_cast<int>(k)) * width + x];
        const double w = tap.weights[k];
        sum.b += p.b * w;
        sum.g += p.g * w;
        sum.r += p.r * w;
        sum.a += p.a * w;
      }
      out.pixels[static_cast<size_t>(y) * width + x] = Unpremultiply(sum);
    }
  }
  return out;
}

}  // namespace imaging
