#include "app/export/dbase_export_win.h"

#include <utility>
#include <vector>

#include "gui/text.h"
#include "imaging/color_depth.h"
#include "imaging/icon_png_win.h"
#include "imaging/saveicons.h"
#include "imaging/saveicons_win.h"
#include "imaging/zu_graphic_utils_win.h"
#include "util/atomic_file.h"

namespace app {

bool TWinPatchableFile::CreateBeside(const std::string& target) {
  Discard();
  intptr_t handle = -1;
  if (!util::CreateFileBeside(target, &path_, &handle)) return false;
  file_.reset(reinterpret_cast<HANDLE>(handle));
  return true;
}

void TWinPatchableFile::Discard() {
  file_.reset();
  if (!path_.empty()) util::RemoveFileAt(path_);
  path_.clear();
  size_ = 0;
}

bool TWinPatchableFile::WriteHere(const void* data, size_t size) {
  return util::WriteToFile(reinterpret_cast<intptr_t>(file_.get()), data, size);
}

bool TWinPatchableFile::Write(const void* data, size_t size) {
  if (!file_) return false;
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size_);
  if (!SetFilePointerEx(file_.get(), end, nullptr, FILE_BEGIN)) return false;
  if (!WriteHere(data, size)) {
    // Whatever part went in stays uncounted: the next write starts where
    // the last complete one ended.
    return false;
  }
  size_ += size;
  return true;
}

bool TWinPatchableFile::WriteAt(uint64_t offset, const void* data, size_t size) {
  if (!file_ || offset > size_ || size > size_ - offset) return false;
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file_.get(), at, nullptr, FILE_BEGIN) && WriteHere(data, size);
}

bool TWinPatchableFile::Close() {
  if (!file_) return true;
  // A write that failed part-way may have left bytes past the last complete
  // one; they are cut off, so the file ends where its contents end.
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size_);
  bool ok = SetFilePointerEx(file_.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file_.get());
  ok = util::CloseChecked(file_) && ok;
  return ok;
}

int SaveIconAs16Colors(util::ByteSink& sink, HICON icon) {
  imaging::Image32 color;
  imaging::MaskImage mask;
  const int read = imaging::ReadIconImages(icon, &color, &mask);
  if (read < 0) return read;
  return SaveIconImageAs16Colors(sink, color, mask);
}

bool WriteMemoPicture(util::ByteSink& sink, const TExportWork& work, int memo_type, bool gray_scale) {
  if (memo_type == imaging::etPNG) {
    // Encoded whole first, so that the memo gets all of it or nothing.
    util::MemorySink png;
    if (imaging::EncodeIconPng(work.Icon.Handle(), gray_scale, png) != imaging::ImageWriteResult::kOk) return false;
    return sink.Write(png.bytes().data(), png.bytes().size());
  }
  if (memo_type <= imaging::etIcon || memo_type > imaging::etMetafile) {
    if (GetGraphicColorDepth(work.Icon) >= imaging::kDepth8)
      return imaging::SaveIconToStream(sink, work.Icon.Handle()) > 0;
    return SaveIconAs16Colors(sink, work.Icon.Handle()) > 0;
  }
  return imaging::SaveBitmapToStream(work.Bitmap, sink, memo_type) == imaging::ImageWriteResult::kOk;
}

TDBaseExport::TDBaseExport(TDBasePaths paths, std::string field_name)
    : paths_(std::move(paths)), field_name_(std::move(field_name)) {}

TDBaseExport::~TDBaseExport() {
  // Reached without Finish only when an error ended the export; that error
  // is already on its way to the user, and this only tidies up.
  Complete(true);
}

void TDBaseExport::Open() {
  if (opened_) return;
  for (const std::string* path : {&paths_.Table, &paths_.Memo}) {
    switch (util::InspectTarget(*path)) {
      case util::TargetState::kReadOnly: RaiseWriteError(*path, "the file is read-only");
      case util::TargetState::kNotAFile: RaiseWriteError(*path, "a folder has that name");
      case util::TargetState::kFile: old_files_ = true; break;
      case util::TargetState::kAbsent: break;
    }
  }
  opened_ = true;
  if (!table_.CreateBeside(paths_.Table)) RaiseWriteError(paths_.Table, "the file could not be created");
  writer_ = std::make_unique<TDBaseWriter>(table_, memo_);
  if (!memo_.CreateBeside(paths_.Memo)) {
    writer_.reset();
    Complete(true);
    RaiseWriteError(paths_.Memo, "the file could not be created");
  }
  if (!writer_->Begin(TDBaseDate::Today(), field_name_, DBaseMemoName(paths_.Memo))) {
    const std::string why = writer_->Error();
    Complete(true);
    RaiseWriteError(why.find("memo") != std::string::npos ? paths_.Memo : paths_.Table, why);
  }
}

void TDBaseExport::AddIcon(const TExportWork& work, int memo_type, bool gray_scale) {
  Open();
  if (!writer_) RaiseWriteError(paths_.Table, "the dBase table is closed already");
  if (!writer_->AddMemo([&](util::ByteSink& sink) { return WriteMemoPicture(sink, work, memo_type, gray_scale); })) {
    const std::string why = writer_->Error();
    Complete(true);
    RaiseWriteError(why.find("table") != std::string::npos ? paths_.Table : paths_.Memo, why);
  }
}

void TDBaseExport::Finish() {
  const TProblem problem = Complete(false);
  if (!problem.reason.empty()) RaiseWriteError(problem.path, problem.reason);
}

TDBaseExport::TProblem TDBaseExport::Complete(bool failed) {
  if (finished_ || !opened_) return TProblem();
  finished_ = true;
  TProblem problem;
  if (writer_) {
    if (!writer_->Finish() && !writer_->Error().empty()) problem = {paths_.Table, writer_->Error()};
    writer_.reset();
  } else if (table_.IsOpen()) {
    // The memo file could not be made: the table still gets its header, a
    // count of 0 and its end-of-file byte.
    TMemoryFile unused;
    TDBaseWriter header_only(table_, unused);
    header_only.Begin(TDBaseDate::Today(), field_name_, std::string());
    header_only.Finish();
  }
  if (!memo_.Close() && problem.reason.empty()) problem = {paths_.Memo, "the memo file could not be completed"};
  if (!table_.Close() && problem.reason.empty()) problem = {paths_.Table, "the dBase table could not be completed"};

  if ((failed || !problem.reason.empty()) && old_files_) {
    table_.Discard();
    memo_.Discard();
    return problem;
  }
  std::vector<util::FileReplacement> files;
  if (!table_.Path().empty()) files.push_back({table_.Path(), paths_.Table});
  if (!memo_.Path().empty()) files.push_back({memo_.Path(), paths_.Memo});
  std::string refused;
  if (util::ReplaceFilesTogether(files, &refused) == util::FileWriteResult::kOk) {
    table_.Placed();
    memo_.Placed();
  } else {
    table_.Discard();
    memo_.Discard();
    if (problem.reason.empty()) problem = {refused, "the new file could not take the old one's place"};
  }
  return problem;
}

}  // namespace app
