#include "app/cli/cli_export.h"

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "app/export/dbase_export.h"
#include "app/export/export_names.h"
#include "app/export/export_request.h"
#include "app/export/html_export.h"
#include "imaging/color_depth.h"
#include "imaging/group_image_choice.h"
#include "imaging/icon_alpha.h"
#include "imaging/icon_group_png.h"
#include "imaging/icon_groups.h"
#include "imaging/image_formats.h"
#include "imaging/saveicons.h"
#include "imaging/shell_icon.h"
#include "imaging/zu_graphic_utils.h"
#include "util/byte_sink.h"
#include "util/file_utils.h"

namespace app {

namespace {

// What one icon came to: written; left out (the shell gives no icon for
// it, or its group is not whole where only the group will do), with why in
// the writer's problem; or a file that could not be written, which ends
// the source.
enum class TIconOutcome { kWritten, kLeftOut, kWriteFailed };

// The icon's colour picture and mask as its handle's bitmaps give them.
struct TIconImages {
  imaging::Image32 color;
  imaging::MaskImage mask;
};

TIconImages ImagesOf(const imaging::ShellIcon& icon) {
  TIconImages images;
  imaging::ShellIconImages(icon, &images.color, &images.mask);
  return images;
}

// The icon on white as the window program draws it for a picture: at the
// screen's 32 bits, or at 24 and grey.
imaging::PixelBuffer Drawing(const imaging::ShellIcon& icon, bool gray_scale) {
  imaging::PixelBuffer picture = imaging::ShellIconOnWhite(icon, gray_scale ? 24 : 32);
  if (gray_scale) imaging::MakeGrayscale(picture.view());
  return picture;
}

bool EncodeIconFile(const imaging::ShellIcon& icon, util::ByteSink& sink) {
  const TIconImages images = ImagesOf(icon);
  return imaging::SaveIconImageToSink(sink, images.color, images.mask) > 0;
}

bool EncodeIconPng(const imaging::ShellIcon& icon, bool gray_scale, util::ByteSink& sink) {
  const TIconImages images = ImagesOf(icon);
  imaging::Image32 image = imaging::IconWithAlpha(images.color, images.mask);
  if (gray_scale) imaging::MakeGrayscaleKeepingAlpha(image);
  return imaging::EncodePng(image, sink) == imaging::ImageWriteResult::kOk;
}

bool EncodePicture(const imaging::ShellIcon& icon, bool gray_scale, int picture_type, util::ByteSink& sink) {
  imaging::PixelBuffer picture = Drawing(icon, gray_scale);
  return imaging::SaveBitmapViewToSink(picture.view(), sink, picture_type) == imaging::ImageWriteResult::kOk;
}

// A memo's picture, as the window program makes it: the icon file at its
// own depth when the drawn icon needs 256 colours or more, else in the 16
// standard colours; a PNG of the icon itself; a bitmap or JPEG of the
// drawing (grey when asked).
bool EncodeMemo(const imaging::ShellIcon& icon, int memo_type, bool gray_scale, util::ByteSink& sink) {
  if (memo_type == imaging::etPNG) return EncodeIconPng(icon, gray_scale, sink);
  if (memo_type == imaging::etBitmap || memo_type == imaging::etJPEG) {
    // Drawn grey only when asked, at 32 bits otherwise.
    return EncodePicture(icon, gray_scale, memo_type, sink);
  }
  imaging::PixelBuffer drawn = imaging::ShellIconOnWhite(icon, 32);
  imaging::Image32 seen(icon.width, icon.height);
  for (int y = 0; y < icon.height; ++y)
    for (int x = 0; x < icon.width; ++x) seen.At(x, y) = drawn.Get(x, y);
  if (imaging::GetIconColorDepth(seen) >= imaging::kDepth8) return EncodeIconFile(icon, sink);
  const TIconImages images = ImagesOf(icon);
  return SaveIconImageAs16Colors(sink, images.color, images.mask) > 0;
}

// The icons of one source written as the request asks.
class TSourceWriter {
 public:
  TSourceWriter(const CliOptions& options, const util::PosixMappedFile& file, const TExportRequest& request, int total,
                std::string shown_file);

  // Writes icon `index` (0-based) to `path` (empty for a dBase memo).
  TIconOutcome Write(int index, const std::string& path);
  // Completes the HTML page or the dBase table after the last icon.
  TIconOutcome Finish();

  int files() const { return files_; }
  int single_image_icons() const { return single_image_icons_; }
  const std::string& problem() const { return problem_; }

 private:
  TIconOutcome WriteIconFile(int index, const std::string& path);
  TIconOutcome WritePngFiles(int index, const std::string& path);
  TIconOutcome WritePicture(int index, const std::string& path);
  TIconOutcome AddMemo(int index);
  TIconOutcome WriteChosenImage(const std::string& path);
  bool WholeGroup(int index);
  bool ShellIcon(int index);
  TIconOutcome WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
  TIconOutcome Encoded(const std::string& path, bool ok, const char* what);
  TIconOutcome LeftOut(std::string problem) {
    problem_ = std::move(problem);
    return TIconOutcome::kLeftOut;
  }
  void AddCell(int index, const std::string& path) {
    if (table_) table_->AddCell(index + 1, util::ExtractFileName(path), icon_.width, icon_.height);
  }

  const CliOptions& options_;
  const util::PosixMappedFile& file_;
  const TExportRequest& request_;
  const TIconDestination destination_;
  const std::string shown_file_;
  std::unique_ptr<THtmlTable> table_;
  std::unique_ptr<TMemoryFile> dbase_table_;
  std::unique_ptr<TMemoryFile> dbase_memo_;
  std::unique_ptr<TDBaseWriter> dbase_;
  TDBasePaths dbase_paths_;
  imaging::ShellIcon icon_;
  std::vector<uint8_t> group_;
  util::MemorySink bytes_;
  int files_ = 0;
  int single_image_icons_ = 0;
  std::string problem_;
};

TSourceWriter::TSourceWriter(const CliOptions& options, const util::PosixMappedFile& file,
                             const TExportRequest& request, int total, std::string shown_file)
    : options_(options), file_(file), request_(request),
      destination_(DestinationOf(request.Type, request.Type == imaging::etHTML ? request.HtmlImageType : request.Type)),
      shown_file_(std::move(shown_file)) {
  if (request.Type == imaging::etHTML) {
    const int columns = options.html_columns > 0 ? options.html_columns : WindowHtmlColumns(total);
    table_ = std::make_unique<THtmlTable>(total, std::min(total, columns), request.IncludeNumbers,
                                          HtmlImageFolderName(request.DestFolder));
  }
  if (destination_ == TIconDestination::kDBaseMemo) {
    const std::string extension = DocumentExtension(request.Type, request.Extension);
    dbase_paths_.Table = request.Target;
    if (util::ExtractFileExt(util::ExtractFileName(request.Target)).empty()) dbase_paths_.Table += extension;
    dbase_paths_.Memo = util::ChangeFileExt(request.Target, ".dbt");
  }
}

bool TSourceWriter::WholeGroup(int index) {
  const char* problem = imaging::BuildIconGroupFile(file_.data(), file_.size(), static_cast<uint32_t>(index), &group_);
  if (!problem && !imaging::GroupPngImagesDecode(group_.data(), group_.size())) problem = "a PNG image does not decode";
  if (problem) problem_ = problem;
  return problem == nullptr;
}

bool TSourceWriter::ShellIcon(int index) {
  const char* problem = imaging::ExtractShellIcon(file_.data(), file_.size(), static_cast<uint32_t>(index), &icon_);
  if (problem) problem_ = std::string("the shell makes no icon of it: ") + problem;
  return problem == nullptr;
}

TIconOutcome TSourceWriter::Write(int index, const std::string& path) {
  switch (destination_) {
    case TIconDestination::kIconFile: return WriteIconFile(index, path);
    case TIconDestination::kPngFiles: return WritePngFiles(index, path);
    case TIconDestination::kPicture: return WritePicture(index, path);
    case TIconDestination::kDBaseMemo: return AddMemo(index);
  }
  return TIconOutcome::kLeftOut;
}

TIconOutcome TSourceWriter::WriteIconFile(int index, const std::string& path) {
  if (options_.size > 0) {
    if (!WholeGroup(index)) return TIconOutcome::kLeftOut;
    return WriteChosenImage(path);
  }
  if (request_.AllSizes) {
    if (WholeGroup(index)) return WriteFile(path, group_);
    ++single_image_icons_;
  }
  if (!ShellIcon(index)) return TIconOutcome::kLeftOut;
  bytes_.Clear();
  return Encoded(path, EncodeIconFile(icon_, bytes_), "the icon file could not be made");
}

TIconOutcome TSourceWriter::WritePngFiles(int index, const std::string& path) {
  if (options_.size > 0) {
    if (!WholeGroup(index)) return TIconOutcome::kLeftOut;
    return WriteChosenImage(path);
  }
  if (request_.AllSizes) {
    std::vector<imaging::TGroupImagePng> images;
    if (imaging::BuildIconGroupFile(file_.data(), file_.size(), static_cast<uint32_t>(index), &group_) == nullptr &&
        imaging::GroupImagesAsPng(group_.data(), group_.size(), &images)) {
      const std::vector<std::string> names = GroupImagePngNames(path, images);
      for (size_t i = 0; i < images.size(); ++i) {
        const TIconOutcome outcome = WriteFile(names[i], images[i].png);
        if (outcome != TIconOutcome::kWritten) return outcome;
      }
      return TIconOutcome::kWritten;
    }
    ++single_image_icons_;
  }
  if (!ShellIcon(index)) return TIconOutcome::kLeftOut;
  bytes_.Clear();
  const TIconOutcome outcome =
      Encoded(path, EncodeIconPng(icon_, request_.GrayScale, bytes_), "the PNG could not be made");
  if (outcome == TIconOutcome::kWritten) AddCell(index, path);
  return outcome;
}

TIconOutcome TSourceWriter::WriteChosenImage(const std::string& path) {
  std::vector<imaging::TGroupImageSize> sizes;
  if (!imaging::GroupImageSizes(group_.data(), group_.size(), &sizes)) return LeftOut("an image has no size");
  const size_t chosen = imaging::NearestGroupImage(sizes, options_.size);
  if (destination_ == TIconDestination::kPngFiles) {
    imaging::TGroupImagePng image;
    if (!imaging::GroupImageAsPng(group_.data(), group_.size(), chosen, &image))
      return LeftOut("the image does not decode");
    return WriteFile(path, image.png);
  }
  std::vector<uint8_t> single;
  if (!imaging::SingleImageIconFile(group_.data(), group_.size(), chosen, &single) ||
      !imaging::GroupPngImagesDecode(single.data(), single.size()))
    return LeftOut("the image does not decode");
  return WriteFile(path, single);
}

TIconOutcome TSourceWriter::WritePicture(int index, const std::string& path) {
  if (!ShellIcon(index)) return TIconOutcome::kLeftOut;
  const int picture_type = request_.Type == imaging::etHTML ? imaging::etJPEG : request_.Type;
  bytes_.Clear();
  const TIconOutcome outcome =
      Encoded(path, EncodePicture(icon_, request_.GrayScale, picture_type, bytes_), "the picture could not be made");
  if (outcome == TIconOutcome::kWritten) AddCell(index, path);
  return outcome;
}

TIconOutcome TSourceWriter::AddMemo(int index) {
  if (!ShellIcon(index)) return TIconOutcome::kLeftOut;
  if (!dbase_) {
    dbase_table_ = std::make_unique<TMemoryFile>();
    dbase_memo_ = std::make_unique<TMemoryFile>();
    dbase_ = std::make_unique<TDBaseWriter>(*dbase_table_, *dbase_memo_);
    if (!dbase_->Begin(TDBaseDate::Today(), request_.FieldName, DBaseMemoName(dbase_paths_.Memo)))
      return LeftOut(dbase_->Error());
  }
  const bool added = dbase_->AddMemo(
      [&](util::ByteSink& sink) { return EncodeMemo(icon_, request_.MemoType, request_.GrayScale, sink); });
  if (!added) {
    problem_ = "the memo of icon " + std::to_string(index + 1) + " could not be made: " + dbase_->Error();
    return TIconOutcome::kWriteFailed;
  }
  return TIconOutcome::kWritten;
}

TIconOutcome TSourceWriter::Finish() {
  if (table_) {
    // Without a single icon the window program writes no page.
    table_->Close();
    const std::string document =
        HtmlDocumentPath(request_.DestFolder, DocumentExtension(request_.Type, request_.Extension));
    util::MemorySink page;
    WriteHtmlDocument(page, shown_file_, request_.DrawBorder, table_->Text());
    return WriteFile(document, page.bytes());
  }
  if (dbase_) {
    dbase_->Finish();
    // The memo file first: a table never names memos its file lacks.
    const TIconOutcome memo = WriteFile(dbase_paths_.Memo, dbase_memo_->bytes());
    if (memo != TIconOutcome::kWritten) return memo;
    return WriteFile(dbase_paths_.Table, dbase_table_->bytes());
  }
  return TIconOutcome::kWritten;
}

TIconOutcome TSourceWriter::Encoded(const std::string& path, bool ok, const char* what) {
  if (!ok) {
    problem_ = path + ": " + what;
    return TIconOutcome::kWriteFailed;
  }
  return WriteFile(path, bytes_.bytes());
}

TIconOutcome TSourceWriter::WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
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

TSourceExport ExportSource(const std::string& source, const CliOptions& options, bool target_is_file) {
  const std::string unavailable = UnavailableReason(options);
  if (!unavailable.empty()) return Failed(unavailable);

  const util::PosixMappedFile file(source);
  imaging::IconFileCheck check;
  const std::string problem = SourceProblem(file, &check);
  if (!problem.empty()) return Failed(problem);

  // The window program's plan and request for this source; one icon into a
  // folder when several sources share the target.
  const BatchPlan plan = PlanBatch(options.command, options.target);
  TExportRequest request = BatchExportRequest(options.command, plan, options.target, source);
  if (plan.action == BatchAction::kSingleIcon && !target_is_file) request.DestFolder = options.target;
  if (!request.DestFolder.empty()) ::mkdir(request.DestFolder.c_str(), 0777);

  const int count = static_cast<int>(check.icon_count);
  std::vector<int> icons;
  if (plan.action == BatchAction::kExportIcons) {
    // As in the window program, a file without icons of its own exports none.
    for (int i = 0; i < count; ++i) icons.push_back(i);
  } else if (count == 0) {
    return Failed("holds no icons of its own; the icon Windows shows for it is Windows' alone");
  } else if (plan.icon_index > count) {
    return Failed("has no icon number " + std::to_string(plan.icon_index) + "; it holds " + std::to_string(count) +
                  " icons");
  } else {
    icons.push_back(plan.icon_index - 1);
  }

  TSourceWriter writer(options, file, request, count, source);
  const std::string base = util::BaseNameWithoutExt(source);
  const std::string extension =
      PerIconExtension(request.Type == imaging::etHTML ? request.HtmlImageType : request.Type);
  TSourceExport result;
  int left_out = 0;
  std::string first_left_out;
  for (int index : icons) {
    std::string path;
    if (target_is_file)
      path = SingleIconFileName(options.target, request.Type);
    else if (request.Type != imaging::etDBase)
      path = CliOutputPath(request.DestFolder, PerIconFileName("", base, index, extension));
    switch (writer.Write(index, path)) {
      case TIconOutcome::kWritten: ++result.icons; break;
      case TIconOutcome::kWriteFailed: return Failed(writer.problem());
      case TIconOutcome::kLeftOut:
        if (left_out++ == 0) first_left_out = "icon " + std::to_string(index + 1) + ": " + writer.problem();
        break;
    }
  }
  if (result.icons > 0 && writer.Finish() != TIconOutcome::kWritten) return Failed(writer.problem());
  result.files = writer.files();
  result.single_image_icons = writer.single_image_icons();
  if (left_out > 0) {
    result.ok = false;
    result.reason = std::to_string(left_out) + " of " + std::to_string(icons.size()) + " icons were left out (" +
                    first_left_out + ")";
  }
  return result;
}

}  // namespace app
