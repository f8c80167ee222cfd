#include "imaging/image_formats.h"

#include "imaging/bmp_writer.h"
#include "imaging/emf_writer.h"
#include "imaging/export_types.h"
#include "imaging/jpeg_writer.h"
#include "imaging/png_writer.h"
#include "util/atomic_file.h"

namespace imaging {

const char* DescribeImageWriteResult(ImageWriteResult result) {
  switch (result) {
    case ImageWriteResult::kOk: return "ok";
    case ImageWriteResult::kUnsupportedBitmap: return "the bitmap has no pixels of 24 or 32 bits";
    case ImageWriteResult::kEncodeFailed: return "the picture could not be encoded";
    case ImageWriteResult::kCreateFailed: return "the file could not be created";
    case ImageWriteResult::kWriteFailed: return "the file could not be written";
  }
  return "unknown error";
}

namespace {

// Remembers whether the sink refused a write, so that an encoder's failure
// can be told apart: a refused write, or an error of the encoder itself.
class TrackingSink : public util::ByteSink {
 public:
  explicit TrackingSink(util::ByteSink& inner) : inner_(inner) {}
  bool Write(const void* data, size_t size) override {
    if (!inner_.Write(data, size)) failed_ = true;
    return !failed_;
  }
  bool failed() const { return failed_; }

 private:
  util::ByteSink& inner_;
  bool failed_ = false;
};

}  // namespace

namespace {

template <typename Encode>
ImageWriteResult EncodeTracked(util::ByteSink& sink, Encode encode) {
  TrackingSink tracked(sink);
  if (encode(tracked)) return ImageWriteResult::kOk;
  return tracked.failed() ? ImageWriteResult::kWriteFailed : ImageWriteResult::kEncodeFailed;
}

// Writes what `encode` puts into the sink beside the target and lets it
// replace the target only once complete.
template <typename Encode>
ImageWriteResult SaveToFile(const std::string& file_name, Encode encode) {
  util::AtomicFile file(file_name);
  if (!file.Open()) return ImageWriteResult::kCreateFailed;
  ImageWriteResult result = encode(file);
  if (result != ImageWriteResult::kOk) {
    file.Discard();
    return result;
  }
  switch (file.Commit()) {
    case util::FileWriteResult::kOk: return ImageWriteResult::kOk;
    case util::FileWriteResult::kWriteFailed: return ImageWriteResult::kWriteFailed;
    default: return ImageWriteResult::kCreateFailed;  // the target could not be replaced
  }
}

}  // namespace

ImageWriteResult EncodeBitmap(const BitmapView& view, util::ByteSink& sink, int export_type, std::string* error,
                              const EmfReferenceDevice& device) {
  if (!view.Valid()) return ImageWriteResult::kUnsupportedBitmap;
  return EncodeTracked(sink, [&](util::ByteSink& tracked) {
    switch (export_type) {
      case etJPEG: return WriteJpeg(view, tracked, error);
      case etMetafile: return WriteEmf(view, tracked, device);
      case etPNG: return WritePng(OpaqueImage(view), tracked, error);
      default: return WriteBmp(view, tracked);
    }
  });
}

ImageWriteResult SaveBitmapViewToSink(const BitmapView& view, util::ByteSink& sink, int export_type, std::string* error,
                                      const EmfReferenceDevice& device) {
  util::MemorySink buffer;
  ImageWriteResult result = EncodeBitmap(view, buffer, export_type, error, device);
  if (result != ImageWriteResult::kOk) return result;
  return sink.Write(buffer.bytes().data(), buffer.bytes().size()) ? ImageWriteResult::kOk
                                                                  : ImageWriteResult::kWriteFailed;
}

ImageWriteResult SaveBitmapViewToFile(const BitmapView& view, const std::string& file_name, int export_type,
                                      std::string* error, const EmfReferenceDevice& device) {
  if (!view.Valid()) return ImageWriteResult::kUnsupportedBitmap;
  return SaveToFile(file_name,
                    [&](util::ByteSink& file) { return EncodeBitmap(view, file, export_type, error, device); });
}

ImageWriteResult EncodePng(const Image32& image, util::ByteSink& sink, std::string* error) {
  if (image.width <= 0 || image.height <= 0) return ImageWriteResult::kUnsupportedBitmap;
  return EncodeTracked(sink, [&](util::ByteSink& tracked) { return WritePng(image, tracked, error); });
}

ImageWriteResult SavePngToFile(const Image32& image, const std::string& file_name, std::string* error) {
  if (image.width <= 0 || image.height <= 0) return ImageWriteResult::kUnsupportedBitmap;
  return SaveToFile(file_name, [&](util::ByteSink& file) { return EncodePng(image, file, error); });
}

}  // namespace imaging
