#include "app/cli/cli_thumbnail.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "app/cli/cli_export.h"
#include "imaging/group_image_choice.h"
#include "imaging/icon_group_png.h"
#include "imaging/icon_groups.h"
#include "imaging/image_scale.h"
#include "imaging/png_reader.h"
#include "imaging/png_writer.h"
#include "util/byte_sink.h"

namespace app {

namespace {

TThumbnail Failed(std::string reason) {
  TThumbnail result;
  result.reason = std::move(reason);
  return result;
}

}  // namespace

TThumbnail WriteThumbnail(const std::string& source, const std::string& target, int size) {
  const util::PosixMappedFile file(source);
  imaging::IconFileCheck check;
  const std::string problem = SourceProblem(file, &check);
  if (!problem.empty()) return Failed(problem);
  if (check.icon_count == 0) return Failed("holds no icons of its own");

  std::vector<uint8_t> group;
  if (const char* why = imaging::BuildIconGroupFile(file.data(), file.size(), 0, &group))
    return Failed(std::string("its first icon cannot be read whole: ") + why);
  std::vector<imaging::TGroupImageSize> sizes;
  if (!imaging::GroupImageSizes(group.data(), group.size(), &sizes))
    return Failed("an image of its first icon has no size");
  imaging::TGroupImagePng image;
  if (!imaging::GroupImageAsPng(group.data(), group.size(), imaging::NearestGroupImage(sizes, size), &image))
    return Failed("the image of its first icon does not decode");

  std::vector<uint8_t> png = std::move(image.png);
  const imaging::TFitSize fit = imaging::FitWithin(image.width, image.height, size);
  if (fit.width != image.width || fit.height != image.height) {
    imaging::Image32 picture;
    util::MemorySink sink;
    if (!imaging::DecodePng(png.data(), png.size(), imaging::kMaxIconGroupFileSize, &picture) ||
        !imaging::WritePng(imaging::ScaleDown(picture, fit.width, fit.height), sink))
      return Failed("the image of its first icon could not be made smaller");
    png = sink.take();
  }
  const util::FileWriteResult result =
      util::WriteFileAtomically(target, [&png](util::ByteSink& sink) { return sink.Write(png.data(), png.size()); });
  if (result != util::FileWriteResult::kOk)
    return Failed(target + " could not be written: " + DescribeWriteResult(result));
  TThumbnail done;
  done.ok = true;
  return done;
}

}  // namespace app
