#include "imaging/png_reader.h"

#include <cstring>
#include <utility>

#include <png.h>

#include "imaging/png_clean_stream.h"

namespace imaging {

bool PngDecodes(const uint8_t* data, size_t size, uint64_t max_pixel_bytes) {
  if (PngStreamIsClean(data, size, max_pixel_bytes)) return true;
  Image32 picture;
  return DecodePng(data, size, max_pixel_bytes, &picture);
}

bool DecodePng(const uint8_t* data, size_t size, uint64_t max_pixel_bytes, Image32* out) {
  *out = Image32();
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) return false;
  // Blue, green, red, alpha in memory is a Pixel32; a negative stride
  // stores the rows bottom-up, as Image32 keeps them.
  image.format = PNG_FORMAT_BGRA;
  const uint64_t bytes = uint64_t{image.width} * image.height * 4;
  if (bytes == 0 || bytes > max_pixel_bytes || image.width > 0x7FFFFFFF / 4 || image.height > 0x7FFFFFFF) {
    png_image_free(&image);
    return false;
  }
  Image32 picture(static_cast<int>(image.width), static_cast<int>(image.height));
  const png_int_32 stride = -static_cast<png_int_32>(image.width * 4);
  // The call frees the image's state whether it succeeds or not.
  if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), stride, nullptr)) return false;
  *out = std::move(picture);
  return true;
}

}  // namespace imaging
