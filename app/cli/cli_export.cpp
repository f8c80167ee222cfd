#include "app/cli/cli_export.h"

#include <cstdint>
#include <vector>

#include "app/export/export_names.h"
#include "imaging/group_image_choice.h"
#include "imaging/icon_group_png.h"
#include "imaging/icon_groups.h"
#include "util/atomic_file.h"
#include "util/file_utils.h"

namespace app {

namespace {

// What one icon came to: written, or not readable whole (the window
// program's fallback, which draws), or a file that could not be written,
// which ends the source.
enum class TIconOutcome { kWritten, kNotWhole, kWriteFailed };

// The icons of one source written into the target folder.
class TSourceWriter {
 public:
  TSourceWriter(const CliOptions& options, const util::PosixMappedFile& file, std::string base)
      : options_(options), file_(file), base_(std::move(base)), extension_(PerIconExtension(options.export_type)) {}

  // Writes icon `index` (0-based); on kNotWhole, why is in problem_.
  TIconOutcome Write(int index);

  int files() const { return files_; }
  const std::string& problem() const { return problem_; }

 private:
  TIconOutcome WriteWholeGroupPngs(const std::string& name);
  TIconOutcome WriteChosenImage(const std::string& name);
  TIconOutcome WriteFile(const std::string& name, const std::vector<uint8_t>& bytes);
  TIconOutcome NotWhole(const char* problem) {
    problem_ = problem;
    return TIconOutcome::kNotWhole;
  }

  const CliOptions& options_;
  const util::PosixMappedFile& file_;
  const std::string base_;
  const std::string extension_;
  std::vector<uint8_t> group_;
  std::vector<uint8_t> bytes_;
  int files_ = 0;
  std::string problem_;
};

TIconOutcome TSourceWriter::Write(int index) {
  // With no folder the name is the file's own; the folder is joined the
  // way this system joins it.
  const std::string name = PerIconFileName("", base_, index, extension_);
  if (const char* problem =
          imaging::BuildIconGroupFile(file_.data(), file_.size(), static_cast<uint32_t>(index), &group_))
    return NotWhole(problem);
  if (options_.size > 0) return WriteChosenImage(name);
  if (options_.export_type == imaging::etPNG) return WriteWholeGroupPngs(name);
  if (!imaging::GroupPngImagesDecode(group_.data(), group_.size())) return NotWhole("a PNG image does not decode");
  return WriteFile(name, group_);
}

TIconOutcome TSourceWriter::WriteWholeGroupPngs(const std::string& name) {
  std::vector<imaging::TGroupImagePng> images;
  if (!imaging::GroupImagesAsPng(group_.data(), group_.size(), &images)) return NotWhole("an image does not decode");
  const std::vector<std::string> names = GroupImagePngNames(name, images);
  for (size_t i = 0; i < images.size(); ++i) {
    const TIconOutcome outcome = WriteFile(names[i], images[i].png);
    if (outcome != TIconOutcome::kWritten) return outcome;
  }
  return TIconOutcome::kWritten;
}

TIconOutcome TSourceWriter::WriteChosenImage(const std::string& name) {
  std::vector<imaging::TGroupImageSize> sizes;
  if (!imaging::GroupImageSizes(group_.data(), group_.size(), &sizes)) return NotWhole("an image has no size");
  const size_t chosen = imaging::NearestGroupImage(sizes, options_.size);
  if (options_.export_type == imaging::etPNG) {
    imaging::TGroupImagePng image;
    if (!imaging::GroupImageAsPng(group_.data(), group_.size(), chosen, &image))
      return NotWhole("the image does not decode");
    return WriteFile(name, image.png);
  }
  if (!imaging::SingleImageIconFile(group_.data(), group_.size(), chosen, &bytes_) ||
      !imaging::GroupPngImagesDecode(bytes_.data(), bytes_.size()))
    return NotWhole("the image does not decode");
  return WriteFile(name, bytes_);
}

TIconOutcome TSourceWriter::WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = CliOutputPath(options_.target, name);
  const util::FileWriteResult result = util::WriteFileAtomically(
      path, [&bytes](util::ByteSink& sink) { return sink.Write(bytes.data(), bytes.size()); });
  if (result != util::FileWriteResult::kOk) {
    problem_ = path + " could not be written: " + DescribeWriteResult(result);
    return TIconOutcome::kWriteFailed;
  }
  ++files_;
  return TIconOutcome::kWritten;
}

TSourceExport Failed(std::string reason) {
  TSourceExport result;
  result.ok = false;
  result.reason = std::move(reason);
  return result;
}

}  // namespace

const char* DescribeWriteResult(util::FileWriteResult result) {
  switch (result) {
    case util::FileWriteResult::kOk: return "written";
    case util::FileWriteResult::kCreateFailed: return "the file could not be created there";
    case util::FileWriteResult::kWriteFailed: return "writing it failed, nothing was changed";
    case util::FileWriteResult::kReplaceFailed: return "the file there could not be replaced";
  }
  return "it could not be written";
}

std::string CliOutputPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string SourceProblem(const util::PosixMappedFile& file, imaging::IconFileCheck* check) {
  if (!file.opened()) return "cannot be opened: " + file.error();
  if (!file.mapped()) return "cannot be read: " + file.error();
  *check = imaging::CheckIconFile(file.data(), file.size());
  if (check->damaged) return std::string("refused as damaged: ") + check->problem;
  return "";
}

TSourceExport ExportSource(const std::string& source, const CliOptions& options) {
  const std::string unavailable = UnavailableReason(options);
  if (!unavailable.empty()) return Failed(unavailable);

  const util::PosixMappedFile file(source);
  imaging::IconFileCheck check;
  const std::string problem = SourceProblem(file, &check);
  if (!problem.empty()) return Failed(problem);

  const int count = static_cast<int>(check.icon_count);
  std::vector<int> icons;
  if (options.icon_index == 0) {
    // As in the window program, a file without icons of its own exports none.
    for (int i = 0; i < count; ++i) icons.push_back(i);
  } else if (count == 0) {
    return Failed("holds no icons of its own; the icon Windows shows for it is Windows' alone");
  } else if (options.icon_index > count) {
    return Failed("has no icon number " + std::to_string(options.icon_index) + "; it holds " + std::to_string(count) +
                  " icons");
  } else {
    icons.push_back(options.icon_index - 1);
  }

  TSourceWriter writer(options, file, util::BaseNameWithoutExt(source));
  TSourceExport result;
  int not_whole = 0;
  std::string first_not_whole;
  for (int index : icons) {
    switch (writer.Write(index)) {
      case TIconOutcome::kWritten: ++result.icons; break;
      case TIconOutcome::kWriteFailed: return Failed(writer.problem());
      case TIconOutcome::kNotWhole:
        if (not_whole++ == 0) first_not_whole = "icon " + std::to_string(index + 1) + ": " + writer.problem();
        break;
    }
  }
  result.files = writer.files();
  if (not_whole > 0) {
    result.ok = false;
    result.reason = std::to_string(not_whole) + " of " + std::to_string(icons.size()) +
                    " icons cannot be read whole (" + first_not_whole +
                    "); saving the shell's single image draws it, which this build cannot do yet";
  }
  return result;
}

}  // namespace app
