// The export engine of the main window.
//
// ExportIcons is one loop over the icons of a source file. What each icon
// becomes (an icon file, PNG files, a picture drawn on white, a dBase memo)
// is chosen once, before the loop, as one step of TIconExport; the HTML
// document takes a cell from the steps that write its images. The documents
// that span the loop are completed after it: the dBase table on every path
// (its owner's destructor), the HTML document only when the loop ended
// without an error.
#include "app/export/export_engine_win.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "app/export/composite_image_win.h"
#include "app/export/dbase_export_win.h"
#include "app/export/export_file_win.h"
#include "app/export/export_names.h"
#include "app/export/html_export.h"
#include "app/export/overwrite_dialog_win.h"
#include "app/globals.h"
#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "app/main_window_win.h"
#include "gui/application.h"
#include "gui/error.h"
#include "gui/text.h"
#include "imaging/icon_file_check_win.h"
#include "imaging/icon_group_png.h"
#include "imaging/icon_groups.h"
#include "imaging/icon_png_win.h"
#include "imaging/image_formats.h"
#include "imaging/saveicons.h"
#include "imaging/saveicons_win.h"
#include "imaging/zu_graphic_utils_win.h"
#include "util/atomic_file.h"
#include "util/byte_sink.h"
#include "util/file_utils.h"
#include "util/file_utils_win.h"
#include "util/handles_win.h"
#include "util/mapped_file_win.h"

namespace app {

namespace {

// The icons of one file as the engine extracts them. The file passes the
// same structural check as the icon source before the shell may read it: a
// damaged file would take the process down inside ExtractIconA. Such a file,
// and a file that is no executable or icon file, yields no icon.
class TExtraction {
 public:
  TExtraction(controls::IconShell& shell, const std::string& path)
      : shell_(shell), inspection_(shell.Inspect(path)), path_(inspection_.Source(path)),
        size_(shell.ExtractedIconSize()) {}

  // The file the icons are read from (see imaging::IconFileInspection).
  const std::string& Source() const { return path_; }

  bool ShellMayRead() const { return inspection_.ShellMayRead() && !inspection_.HoldsNoIconFormat(); }

  int Count() const {
    if (!ShellMayRead()) return 0;
    return static_cast<int>(std::min(shell_.Count(path_), controls::TIconSet::kMaxIcons));
  }

  HICON Extract(int index) const {
    if (!ShellMayRead()) return nullptr;
    HICON icon = shell_.Extract(path_, static_cast<UINT>(index));
    return icon == controls::NotAnIconFileAnswer() ? nullptr : icon;
  }

  // The shell makes every icon it extracts at one size: taking it spares
  // reading the size back from each icon's bitmaps.
  imaging::TIcon ExtractIcon(int index) const {
    HICON icon = Extract(index);
    return icon ? imaging::TIcon(icon, size_) : imaging::TIcon();
  }

 private:
  controls::IconShell& shell_;
  imaging::IconFileInspection inspection_;
  std::string path_;
  SIZE size_;
};

std::string ImageWriteReason(imaging::ImageWriteResult result, const std::string& detail) {
  std::string reason = imaging::DescribeImageWriteResult(result);
  if (!detail.empty()) reason += " (" + detail + ")";
  return reason;
}

void SaveBitmapOrRaise(const imaging::TBitmap& bitmap, const std::string& file_name, int image_type) {
  std::string detail;
  const imaging::ImageWriteResult result = imaging::SaveBitmapToFile(bitmap, file_name, image_type, &detail);
  if (result != imaging::ImageWriteResult::kOk) RaiseWriteError(file_name, ImageWriteReason(result, detail));
}

void SavePngOrRaise(const imaging::Image32& image, const std::string& file_name) {
  std::string detail;
  const imaging::ImageWriteResult result = imaging::SavePngToFile(image, file_name, &detail);
  if (result != imaging::ImageWriteResult::kOk) RaiseWriteError(file_name, ImageWriteReason(result, detail));
}

// The icon file's bytes; false when the icon cannot be written as one.
bool EncodeIcon(HICON icon, util::MemorySink* bytes) {
  imaging::Image32 color;
  imaging::MaskImage mask;
  if (imaging::ReadIconImages(icon, &color, &mask) < 0) return false;
  bytes->Clear();
  return imaging::SaveIconImageToSink(*bytes, color, mask) > 0;
}

void EncodePictureOrRaise(const imaging::TBitmap& bitmap, const std::string& file_name, int image_type,
                          const imaging::EmfReferenceDevice& screen, util::MemorySink* bytes) {
  bytes->Clear();
  std::string detail;
  const imaging::ImageWriteResult result = imaging::EncodeBitmap(bitmap.View(), *bytes, image_type, &detail, screen);
  if (result != imaging::ImageWriteResult::kOk) RaiseWriteError(file_name, ImageWriteReason(result, detail));
}

// The PNG file's bytes of the icon's own pixels; false when the icon's
// bitmaps cannot be read.
bool EncodeIconPngOrRaise(HICON icon, bool gray_scale, const std::string& file_name, util::MemorySink* bytes) {
  bytes->Clear();
  std::string detail;
  const imaging::ImageWriteResult result = imaging::EncodeIconPng(icon, gray_scale, *bytes, &detail);
  if (result == imaging::ImageWriteResult::kUnsupportedBitmap) return false;
  if (result != imaging::ImageWriteResult::kOk) RaiseWriteError(file_name, ImageWriteReason(result, detail));
  return true;
}

void WriteOrRaise(TExportFolder& folder, const std::string& file_name, const std::vector<uint8_t>& bytes) {
  const util::FileWriteResult result = folder.Write(file_name, bytes);
  if (result != util::FileWriteResult::kOk) RaiseWriteError(file_name, DescribeFileWriteResult(result));
}

// The icon file of group `index` of a source whose bytes are at hand; false
// when there are none or the group cannot be read whole. Its stored PNG
// images are still to be checked (see WholeGroupFile).
bool BuildGroup(const util::MappedFile& source, int index, std::vector<uint8_t>* bytes) {
  return source.mapped() && index >= 0 &&
         imaging::BuildIconGroupFile(source.data(), source.size(), static_cast<uint32_t>(index), bytes) == nullptr;
}

// The group's icon file, to be written as it is: a stored PNG image that
// does not decode counts as an image that cannot be read.
bool WholeGroupFile(const util::MappedFile& source, int index, std::vector<uint8_t>* bytes) {
  return BuildGroup(source, index, bytes) && imaging::GroupPngImagesDecode(bytes->data(), bytes->size());
}

// The question before an existing per-icon file is replaced; its "to all"
// answers hold for the rest of the export.
class TReplaceQuestion {
 public:
  explicit TReplaceQuestion(const TOverwriteQuestion& ask) : ask_(ask) {}

  bool MayReplace(const std::string& path) {
    if (no_to_all_) return false;
    if (yes_to_all_) return true;
    const TOverwriteAnswer answer = ask_(path);
    if (answer == TOverwriteAnswer::kNoToAll) no_to_all_ = true;
    if (answer == TOverwriteAnswer::kYesToAll) yes_to_all_ = true;
    return answer == TOverwriteAnswer::kYes || answer == TOverwriteAnswer::kYesToAll;
  }

 private:
  const TOverwriteQuestion& ask_;
  bool yes_to_all_ = false;
  bool no_to_all_ = false;
};

// One export's writing: the step that makes each icon's file, the folder
// and the documents the files go into, and the buffers reused from icon to
// icon. An icon the step leaves out (the shell yields none for its index, as
// for a file shown by its associated icon only, or its bitmaps cannot be
// read) writes nothing and is not counted.
class TIconExport {
 public:
  TIconExport(TExportWork& work, const TExportRequest& request, const TExtraction& extraction, int total,
              int html_columns);

  // The file icon `index` is written to (base: the source's name without
  // extension); empty for a dBase memo, which goes into the table.
  std::string FileName(const std::string& base, int index) const;
  bool FileExists(const std::string& name) { return folder_.Exists(name); }
  // Writes icon `index`; false when it was left out.
  bool Write(int index, const std::string& name) { return (this->*write_)(index, name); }
  // Completes the documents after the last icon; shown_file: the file
  // shown, which the HTML document names.
  void Finish(const std::string& shown_file);

 private:
  using TStep = bool (TIconExport::*)(int index, const std::string& name);
  static TStep StepFor(TIconDestination destination);

  bool WriteIconFile(int index, const std::string& name);
  bool WritePngFiles(int index, const std::string& name);
  bool WritePicture(int index, const std::string& name);
  bool AddMemo(int index, const std::string& name);
  bool WriteGroupPngs(int index, const std::string& name);
  void AddCell(int index, const std::string& name, int width, int height);
  void WriteHtmlDocumentOrRaise(const std::string& shown_file);

  TExportWork& work_;
  const TExportRequest& request_;
  const TExtraction& extraction_;
  const int image_type_;
  const TIconDestination destination_;
  const TStep write_;
  const std::string extension_;           // of the per-icon files
  const std::string document_extension_;  // of the HTML document or the dBase table
  std::unique_ptr<THtmlTable> table_;
  std::unique_ptr<TDBaseExport> dbase_;
  TExportFolder folder_;
  const imaging::EmfReferenceDevice screen_;
  util::MemorySink bytes_;
  // An all-sizes export copies each group from the source's own bytes, read
  // once for the whole file, and asks the shell only for the icons whose
  // group cannot be read whole. A file the shell must not read has no icons
  // to take groups from.
  std::unique_ptr<util::MappedFile> groups_;
  std::vector<uint8_t> group_bytes_;
  std::vector<imaging::TGroupImagePng> group_pngs_;
};

TIconExport::TIconExport(TExportWork& work, const TExportRequest& request, const TExtraction& extraction, int total,
                         int html_columns)
    : work_(work), request_(request), extraction_(extraction),
      image_type_(request.Type == imaging::etHTML ? request.HtmlImageType : request.Type),
      destination_(DestinationOf(request.Type, image_type_)), write_(StepFor(destination_)),
      extension_(PerIconExtension(image_type_)),
      document_extension_(DocumentExtension(request.Type, request.Extension)), folder_(request.DestFolder),
      screen_(request.Type == imaging::etMetafile ? imaging::ScreenReferenceDevice() : imaging::EmfReferenceDevice()) {
  if (request.Type == imaging::etHTML)
    table_ = std::make_unique<THtmlTable>(total, html_columns, request.IncludeNumbers,
                                          HtmlImageFolderName(request.DestFolder));
  if (destination_ == TIconDestination::kDBaseMemo)
    dbase_ = std::make_unique<TDBaseExport>(DBasePaths(request.DestFolder, request.Target, document_extension_),
                                            request.FieldName);
  const bool icon_files = destination_ == TIconDestination::kIconFile || destination_ == TIconDestination::kPngFiles;
  if (request.AllSizes && icon_files && extraction.ShellMayRead())
    groups_ = std::make_unique<util::MappedFile>(extraction.Source());
}

TIconExport::TStep TIconExport::StepFor(TIconDestination destination) {
  switch (destination) {
    case TIconDestination::kIconFile: return &TIconExport::WriteIconFile;
    case TIconDestination::kPngFiles: return &TIconExport::WritePngFiles;
    case TIconDestination::kPicture: return &TIconExport::WritePicture;
    case TIconDestination::kDBaseMemo: return &TIconExport::AddMemo;
  }
  return &TIconExport::WriteIconFile;
}

std::string TIconExport::FileName(const std::string& base, int index) const {
  if (destination_ == TIconDestination::kDBaseMemo) return std::string();
  return PerIconFileName(request_.DestFolder, base, index, extension_);
}

bool TIconExport::WriteIconFile(int index, const std::string& name) {
  if (groups_ && WholeGroupFile(*groups_, index, &group_bytes_)) {
    WriteOrRaise(folder_, name, group_bytes_);
    return true;
  }
  const imaging::TIcon icon = extraction_.ExtractIcon(index);
  // Written straight from the handle, which goes once written; an icon too
  // large for the format is left out.
  if (icon.Empty() || !EncodeIcon(icon.Handle(), &bytes_)) return false;
  WriteOrRaise(folder_, name, bytes_.bytes());
  if (groups_) ++work_.SingleImageIcons;
  return true;
}

bool TIconExport::WritePngFiles(int index, const std::string& name) {
  if (groups_ && WriteGroupPngs(index, name)) return true;
  const imaging::TIcon icon = extraction_.ExtractIcon(index);
  if (icon.Empty() || !EncodeIconPngOrRaise(icon.Handle(), request_.GrayScale, name, &bytes_)) return false;
  WriteOrRaise(folder_, name, bytes_.bytes());
  if (groups_) ++work_.SingleImageIcons;
  AddCell(index, name, icon.Width(), icon.Height());
  return true;
}

// As PNG, every image of the group is a file of its own; false when the
// group cannot be read whole.
bool TIconExport::WriteGroupPngs(int index, const std::string& name) {
  if (!BuildGroup(*groups_, index, &group_bytes_) ||
      !imaging::GroupImagesAsPng(group_bytes_.data(), group_bytes_.size(), &group_pngs_))
    return false;
  const std::vector<std::string> names = GroupImagePngNames(name, group_pngs_);
  for (size_t i = 0; i < group_pngs_.size(); ++i) WriteOrRaise(folder_, names[i], group_pngs_[i].png);
  return true;
}

bool TIconExport::WritePicture(int index, const std::string& name) {
  imaging::TIcon icon = extraction_.ExtractIcon(index);
  if (icon.Empty()) return false;
  work_.Icon = std::move(icon);
  DrawIconOnBitmap(work_.Bitmap, work_.Icon, request_.GrayScale);
  const int picture_type = request_.Type == imaging::etHTML ? imaging::etJPEG : request_.Type;
  EncodePictureOrRaise(work_.Bitmap, name, picture_type, screen_, &bytes_);
  WriteOrRaise(folder_, name, bytes_.bytes());
  AddCell(index, name, work_.Icon.Width(), work_.Icon.Height());
  return true;
}

bool TIconExport::AddMemo(int index, const std::string& /*name*/) {
  imaging::TIcon icon = extraction_.ExtractIcon(index);
  if (icon.Empty()) return false;
  work_.Icon = std::move(icon);
  // A PNG memo is made from the icon itself, not from a drawing of it.
  if (request_.MemoType != imaging::etPNG && (request_.GrayScale || request_.MemoType > 0))
    DrawIconOnBitmap(work_.Bitmap, work_.Icon, request_.GrayScale);
  dbase_->AddIcon(work_, request_.MemoType, request_.GrayScale);
  return true;
}

void TIconExport::AddCell(int index, const std::string& name, int width, int height) {
  if (table_) table_->AddCell(index + 1, util::ExtractFileName(name), width, height);
}

void TIconExport::Finish(const std::string& shown_file) {
  // Without a single icon no table is made, and files of its name stay.
  if (dbase_) dbase_->Finish();
  if (table_) WriteHtmlDocumentOrRaise(shown_file);
}

void TIconExport::WriteHtmlDocumentOrRaise(const std::string& shown_file) {
  table_->Close();
  const std::string document = HtmlDocumentPath(request_.DestFolder, document_extension_);
  const util::FileWriteResult result = util::WriteFileAtomically(document, [&](util::ByteSink& sink) {
    return WriteHtmlDocument(sink, shown_file, request_.DrawBorder, table_->Text());
  });
  if (result != util::FileWriteResult::kOk) RaiseWriteError(document, DescribeFileWriteResult(result));
}

}  // namespace

void RaiseWriteError(const std::string& path, const std::string& reason) {
  throw gui::Error(L"The file '" + gui::AnsiToWide(path) + L"' could not be written: " + gui::AnsiToWide(reason) +
                   L".");
}

const char* DescribeIconResult(int result) {
  switch (result) {
    case imaging::kIconNameTooShort: return "the file name is too short";
    case imaging::kIconNoInfo: return "the icon could not be read";
    case imaging::kIconNoColorBitmap: return "the icon has no picture";
    case imaging::kIconConversionFailed: return "the icon's picture could not be converted";
    case imaging::kIconBufferMissing: return "the icon's picture is missing";
    case imaging::kIconCreateFailed: return "the file could not be created";
    case imaging::kIconWriteFailed: return "the file could not be written";
    case imaging::kIconTooLarge: return "the icon is larger than 256 pixels";
    default: return "the icon could not be saved";
  }
}

TOverwriteAnswer AskOverwrite(const std::string& path) {
  return ShowOverwriteDialog(gui::Application().MainWindow(), path);
}

void DrawIconOnBitmap(imaging::TBitmap& bitmap, const imaging::TIcon& icon, bool gray_scale) {
  const imaging::PixelFormat format = gray_scale ? imaging::PixelFormat::pf24bit : imaging::PixelFormat::pfDevice;
  if (!bitmap.Empty() && bitmap.Width() == icon.Width() && bitmap.Height() == icon.Height() &&
      bitmap.Format() == format) {
    bitmap.Fill(RGB(255, 255, 255));
  } else if (!bitmap.SetSize(icon.Width(), icon.Height(), format)) {
    throw gui::Error(L"A picture of " + std::to_wstring(icon.Width()) + L" x " + std::to_wstring(icon.Height()) +
                     L" pixels could not be made.");
  }
  icon.Draw(bitmap.Canvas(), 0, 0);
  if (gray_scale) imaging::MakeGrayscale(bitmap);
}

uint8_t GetGraphicColorDepth(const imaging::TIcon& icon) {
  imaging::TBitmap bitmap;
  if (!bitmap.SetSize(icon.Width(), icon.Height(), imaging::PixelFormat::pfDevice)) return imaging::kDepth4;
  icon.Draw(bitmap.Canvas(), 0, 0);
  return imaging::GetIconColorDepth(bitmap);
}

void OpenExportedFile(HWND owner, const std::string& file_name, const std::string& hint) {
  const std::string name =
      OpenExportedFileName(file_name, hint, [](const std::string& path) { return util::FileExists(path); });
  ShellExecuteA(owner, nullptr, name.c_str(), nullptr, nullptr, SW_SHOW);
}

void ExportIcons(TExportWork& work, int& count, const TExportRequest& request, int grid_icon_count,
                 const TOverwriteQuestion& ask, controls::IconShell* shell) {
  // The program's state the export depends on, read once.
  const std::string shown_file = CurrentFileName;
  const bool ask_before_replacing = !BatchMode;
  const int html_columns = HTMLColumnCount;

  // Source, count and the base of the per-icon names.
  controls::ShellIcons real_shell;
  const bool named = !request.Source.empty();
  const std::string& path = named ? request.Source : shown_file;
  const TExtraction extraction(shell ? *shell : real_shell, path);
  const int total = named ? extraction.Count() : std::max(grid_icon_count, 0);
  const std::string base = util::BaseNameWithoutExt(path);

  if (!request.DestFolder.empty() && !util::FolderExists(request.DestFolder))
    CreateDirectoryA(request.DestFolder.c_str(), nullptr);

  TIconExport run(work, request, extraction, total, html_columns);
  TReplaceQuestion replace(ask);
  for (int i = 0; i < total; ++i) {
    const std::string name = run.FileName(base, i);
    if (!name.empty() && ask_before_replacing && run.FileExists(name) && !replace.MayReplace(name)) continue;
    if (run.Write(i, name)) ++count;
  }
  run.Finish(shown_file);
}

// TForm1's side: the work objects live for one command.

void SaveSingleIcon(const controls::TZuImageBox& grid, int position, const std::string& file_name, bool gray_scale,
                    imaging::TExportType type) {
  const controls::TIconSet& icons = grid.IconSet();
  if (position < 0 || position >= icons.IconCount()) {
    throw gui::Error(L"The file '" + gui::AnsiToWide(CurrentFileName) + L"' has no icon number " +
                     std::to_wstring(position + 1) + L"; it holds " + std::to_wstring(icons.IconCount()) +
                     L" icons. Nothing was written.");
  }
  const imaging::TIcon& icon = icons.Icons(position);
  const std::string name = SingleIconFileName(file_name, type);
  if (icon.Empty()) RaiseWriteError(name, "the shell gave no picture for this icon");
  if (type == imaging::etPNG) {
    imaging::Image32 image;
    if (!imaging::ReadIconWithAlpha(icon.Handle(), gray_scale, &image))
      RaiseWriteError(name, DescribeIconResult(imaging::kIconNoInfo));
    SavePngOrRaise(image, name);
    return;
  }
  if (type < imaging::etBitmap || type > imaging::etMetafile) {
    const int result = imaging::SaveIconToFile(name, icon.Handle());
    if (result < 1) RaiseWriteError(name, DescribeIconResult(result));
    return;
  }
  imaging::TBitmap bitmap;
  DrawIconOnBitmap(bitmap, icon, gray_scale);
  SaveBitmapOrRaise(bitmap, name, type);
}

namespace {

void WriteBytesOrRaise(const std::string& name, const std::vector<uint8_t>& bytes) {
  const util::FileWriteResult result = util::WriteFileAtomically(
      name, [&bytes](util::ByteSink& sink) { return sink.Write(bytes.data(), bytes.size()); });
  if (result != util::FileWriteResult::kOk) RaiseWriteError(name, DescribeFileWriteResult(result));
}

}  // namespace

bool SaveSingleIconGroup(const controls::TZuImageBox& grid, int position, const std::string& file_name,
                         imaging::TExportType type, bool gray_scale) {
  // The grid shows the file's groups only when the file is sound; a damaged
  // file shows the icon of its type instead.
  const imaging::IconFileInspection inspection = imaging::InspectIconFile(CurrentFileName);
  const util::MappedFile source(inspection.Source(CurrentFileName));
  const bool png = type == imaging::etPNG;
  std::vector<uint8_t> bytes;
  std::vector<imaging::TGroupImagePng> images;
  const bool whole =
      inspection.opened && inspection.check.HoldsIconStructure() && position < grid.IconSet().IconCount() &&
      (png ? BuildGroup(source, position, &bytes) && imaging::GroupImagesAsPng(bytes.data(), bytes.size(), &images)
           : WholeGroupFile(source, position, &bytes));
  if (!whole) {
    SaveSingleIcon(grid, position, file_name, png && gray_scale, png ? imaging::etPNG : imaging::etIcon);
    return false;
  }
  if (!png) {
    WriteBytesOrRaise(SingleIconFileName(file_name, imaging::etIcon), bytes);
    return true;
  }
  // As PNG, every image of the group is a file of its own.
  const std::vector<std::string> names = GroupImagePngNames(SingleIconFileName(file_name, imaging::etPNG), images);
  for (size_t i = 0; i < images.size(); ++i) WriteBytesOrRaise(names[i], images[i].png);
  return true;
}

std::wstring CountMessage(const std::wstring& text, int single_image_icons) {
  if (single_image_icons <= 0) return text;
  return text + L"\r\n" + LangFormat(sSingleImageIcons, single_image_icons);
}

void SaveCompositeImage(const controls::TZuImageBox& grid, const std::string& file_name, imaging::TExportType type,
                        bool gray_scale) {
  const std::string name = CompositeImageFileName(file_name, type);
  if (type == imaging::etPNG) {
    SavePngOrRaise(CompositeImageWithAlpha(grid, gray_scale), name);
    return;
  }
  imaging::TBitmap bitmap;
  DrawCompositeImage(bitmap, grid, gray_scale);
  if (gray_scale) imaging::MakeGrayscale(bitmap);
  SaveBitmapOrRaise(bitmap, name, type);
}

}  // namespace app
