#include "imaging/png_writer.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <png.h>

namespace imaging {

namespace {

struct WriteState {
  util::ByteSink* sink;
  char message[200];
};

extern "C" void OnPngError(png_structp png, png_const_charp message) {
  WriteState* state = static_cast<WriteState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "%s", message);
  png_longjmp(png, 1);
}

// Warnings (an unusual chunk, a rounding note) are not errors for a writer.
extern "C" void OnPngWarning(png_structp, png_const_charp) {}

extern "C" void OnPngWrite(png_structp png, png_bytep data, png_size_t size) {
  WriteState* state = static_cast<WriteState*>(png_get_io_ptr(png));
  if (!state->sink->Write(data, size)) png_error(png, "the picture could not be written");
}

extern "C" void OnPngFlush(png_structp) {}

// Everything between setjmp and the last library call lives in this one
// frame and holds no object with a destructor, so the jump back skips
// nothing that needs cleaning up; the rows belong to the caller.
bool Compress(const Image32& image, png_bytep* rows, WriteState* state) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state, OnPngError, OnPngWarning);
  if (!png) {
    std::snprintf(state->message, sizeof state->message, "libpng could not start");
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    if (!state->message[0]) std::snprintf(state->message, sizeof state->message, "libpng could not start");
    return false;
  }
  png_set_write_fn(png, state, OnPngWrite, OnPngFlush);
  // Icons are a few kilobytes of pixels: trying two filters per row and a
  // light compression level make a file about a quarter larger than the
  // library's defaults in a third of the time.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB | PNG_FILTER_UP);
  png_set_compression_level(png, 3);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const Image32& image, util::ByteSink& sink, std::string* error) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
    if (error) *error = "unsupported picture for PNG";
    return false;
  }
  // PNG rows run top-down, red, green, blue, alpha; the picture's rows are
  // stored bottom-up as 0xAARRGGBB values.
  const size_t row_bytes = static_cast<size_t>(image.width) * 4;
  std::vector<png_byte> bytes(row_bytes * static_cast<size_t>(image.height));
  std::vector<png_bytep> rows(static_cast<size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    const Pixel32* src = image.pixels.data() + static_cast<size_t>(image.height - 1 - y) * image.width;
    png_bytep dst = bytes.data() + static_cast<size_t>(y) * row_bytes;
    rows[static_cast<size_t>(y)] = dst;
    for (int x = 0; x < image.width; ++x, dst += 4) {
      dst[0] = PixelRed(src[x]);
      dst[1] = PixelGreen(src[x]);
      dst[2] = PixelBlue(src[x]);
      dst[3] = PixelAlpha(src[x]);
    }
  }
  WriteState state{&sink, {}};
  const bool ok = Compress(image, rows.data(), &state);
  if (!ok && error) *error = state.message;
  return ok;
}

Image32 OpaqueImage(const BitmapView& view) {
  if (!view.Valid()) return Image32();
  Image32 image(view.width, view.height);
  const int bytes = view.bits_per_pixel / 8;
  for (int row = 0; row < view.height; ++row) {
    const uint8_t* p = view.Row(row);
    Pixel32* out = image.pixels.data() + static_cast<size_t>(row) * view.width;
    for (int x = 0; x < view.width; ++x, p += bytes) out[x] = MakePixel(p[2], p[1], p[0], 0xFF);
  }
  return image;
}

}  // namespace imaging
