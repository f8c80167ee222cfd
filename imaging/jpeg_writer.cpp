#include "imaging/jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace imaging {

namespace {

constexpr size_t kOutputChunk = 16384;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

struct SinkDestination {
  jpeg_destination_mgr base;
  util::ByteSink* sink;
  JOCTET* buffer;
};

extern "C" void OnJpegError(j_common_ptr cinfo) {
  ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings (such as corrupt-data notes) are not errors for a writer.
extern "C" void OnJpegMessage(j_common_ptr, int) {}

extern "C" void InitDestination(j_compress_ptr cinfo) {
  SinkDestination* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
  dest->base.next_output_byte = dest->buffer;
  dest->base.free_in_buffer = kOutputChunk;
}

extern "C" boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  SinkDestination* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
  if (!dest->sink->Write(dest->buffer, kOutputChunk)) ERREXIT(cinfo, JERR_FILE_WRITE);
  dest->base.next_output_byte = dest->buffer;
  dest->base.free_in_buffer = kOutputChunk;
  return TRUE;
}

extern "C" void TermDestination(j_compress_ptr cinfo) {
  SinkDestination* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
  size_t used = kOutputChunk - dest->base.free_in_buffer;
  if (used > 0 && !dest->sink->Write(dest->buffer, used)) ERREXIT(cinfo, JERR_FILE_WRITE);
}

// Everything between setjmp and the last library call lives in this one
// frame and holds no object with a destructor, so the jump back skips
// nothing that needs cleaning up; the buffers belong to the caller.
bool Compress(const BitmapView& view, util::ByteSink& sink, int quality, JOCTET* out_buffer, JSAMPLE* row_buffer,
              char* message) {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  SinkDestination dest;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = OnJpegError;
  err.base.emit_message = OnJpegMessage;
  err.message[0] = '\0';
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
    return false;
  }
  jpeg_create_compress(&cinfo);
  dest.base.init_destination = InitDestination;
  dest.base.empty_output_buffer = EmptyOutputBuffer;
  dest.base.term_destination = TermDestination;
  dest.sink = &sink;
  dest.buffer = out_buffer;
  cinfo.dest = &dest.base;

  cinfo.image_width = static_cast<JDIMENSION>(view.width);
  cinfo.image_height = static_cast<JDIMENSION>(view.height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  int bytes = view.bits_per_pixel / 8;
  while (cinfo.next_scanline < cinfo.image_height) {
    // JPEG rows run top-down; the view's rows are stored bottom-up.
    const uint8_t* src = view.Row(view.height - 1 - static_cast<int>(cinfo.next_scanline));
    JSAMPLE* dst = row_buffer;
    for (int x = 0; x < view.width; ++x, src += bytes) {
      *dst++ = src[2];
      *dst++ = src[1];
      *dst++ = src[0];
    }
    JSAMPROW row = row_buffer;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

bool WriteJpeg(const BitmapView& view, util::ByteSink& sink, std::string* error, int quality) {
  if (!view.Valid() || view.width > JPEG_MAX_DIMENSION || view.height > JPEG_MAX_DIMENSION) {
    if (error) *error = "unsupported bitmap for JPEG";
    return false;
  }
  std::vector<JOCTET> out_buffer(kOutputChunk);
  std::vector<JSAMPLE> row_buffer(static_cast<size_t>(view.width) * 3);
  char message[JMSG_LENGTH_MAX] = {};
  bool ok = Compress(view, sink, quality, out_buffer.data(), row_buffer.data(), message);
  if (!ok && error) *error = message;
  return ok;
}

}  // namespace imaging
