#include "imaging/png_reader.h"

#include <cstring>
#include <vector>

#include <png.h>

namespace imaging {

bool PngDecodes(const uint8_t* data, size_t size, uint64_t max_pixel_bytes) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) return false;
  image.format = PNG_FORMAT_RGBA;
  const uint64_t bytes = uint64_t{image.width} * image.height * 4;
  if (bytes == 0 || bytes > max_pixel_bytes) {
    png_image_free(&image);
    return false;
  }
  std::vector<png_byte> pixels(static_cast<size_t>(bytes));
  // The call frees the image's state whether it succeeds or not.
  return png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
}

}  // namespace imaging
