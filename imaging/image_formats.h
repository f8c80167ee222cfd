// Writing a bitmap in one of the export formats, to a sink or to a file.
//
// The export type chooses the format: JPEG (2), enhanced metafile (3), PNG
// (4, opaque: a bitmap holds a picture already drawn on its background), and
// a Windows bitmap for 1 and any other value. A file is written beside its
// target and replaces it only once complete; a failure leaves an existing
// file as it was and no partial file behind.
#pragma once

#include <string>

#include "imaging/emf_writer.h"
#include "imaging/pixels.h"
#include "util/byte_sink.h"

namespace imaging {

enum class ImageWriteResult {
  kOk,
  kUnsupportedBitmap,  // not 24 or 32 bits per pixel, or empty
  kEncodeFailed,       // the encoder reported an error
  kCreateFailed,       // the file could not be created or could not replace the old one
  kWriteFailed,        // a write or the close failed; nothing was changed
};

const char* DescribeImageWriteResult(ImageWriteResult result);

// The format's bytes, written straight into the sink. A metafile names
// `device` as the device it was made for (the screen, on Windows).
ImageWriteResult EncodeBitmap(const BitmapView& view, util::ByteSink& sink, int export_type,
                              std::string* error = nullptr, const EmfReferenceDevice& device = {});

// Encodes into memory first and appends everything in one write, so that a
// stream receives either the whole picture or nothing from the encoder.
ImageWriteResult SaveBitmapViewToSink(const BitmapView& view, util::ByteSink& sink, int export_type,
                                      std::string* error = nullptr, const EmfReferenceDevice& device = {});

ImageWriteResult SaveBitmapViewToFile(const BitmapView& view, const std::string& file_name, int export_type,
                                      std::string* error = nullptr, const EmfReferenceDevice& device = {});

// A picture with its own alpha channel (an icon's, see imaging/icon_alpha.h)
// as PNG, into a sink or into a file written as above.
ImageWriteResult EncodePng(const Image32& image, util::ByteSink& sink, std::string* error = nullptr);
ImageWriteResult SavePngToFile(const Image32& image, const std::string& file_name, std::string* error = nullptr);

}  // namespace imaging
