#include "imaging/image_formats.h"

#include "imaging/export_types.h"
#include "imaging/bmp_writer.h"
#include "imaging/emf_writer.h"
#include "imaging/jpeg_writer.h"
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

ImageWriteResult EncodeBitmap(const BitmapView& view, util::ByteSink& sink, int export_type,
                              std::string* error, const EmfReferenceDevice& device) {
  if (!view.Valid()) return ImageWriteResult::kUnsupportedBitmap;
  TrackingSink tracked(sink);
  bool ok;
  switch (export_type) {
    case etJPEG: ok = WriteJpeg(view, tracked, error); break;
    case etMetafile: ok = WriteEmf(view, tracked, device); break;
    default: ok = WriteBmp(view, tracked); break;
  }
  if (ok) return ImageWriteResult::kOk;
  return tracked.failed() ? ImageWriteResult::kWriteFailed : ImageWriteResult::kEncodeFailed;
}

ImageWriteResult SaveBitmapViewToSink(const BitmapView& view, util::ByteSink& sink, int export_type,
                                      std::string* error, const EmfReferenceDevice& device) {
  util::MemorySink buffer;
  ImageWriteResult result = EncodeBitmap(view, buffer, export_type, error, device);
  if (result != ImageWriteResult::kOk) return result;
  return sink.Write(buffer.bytes().data(), buffer.bytes().size()) ? ImageWriteResult::kOk
                                                                  : ImageWriteResult::kWriteFailed;
}

ImageWriteResult SaveBitmapViewToFile(const BitmapView& view, const std::string& file_name, int export_type,
                                      std::string* error, const EmfReferenceDevice& device) {
  if (!view.Valid()) return ImageWriteResult::kUnsupportedBitmap;
  util::AtomicFile file(file_name);
  if (!file.Open()) return ImageWriteResult::kCreateFailed;
  ImageWriteResult result = EncodeBitmap(view, file, export_type, error, device);
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

}  // namespace imaging
