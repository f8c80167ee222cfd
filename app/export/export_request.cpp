#include "app/export/export_request.h"

#include "app/export/export_names.h"
#include "app/save_form.h"
#include "util/file_utils.h"

namespace app {

TExportRequest SettingsExportRequest(const TExportSettings& settings, imaging::TExportType type,
                                     const std::string& target, bool all_sizes) {
  TExportRequest request;
  request.Type = type;
  request.GrayScale = settings.ExpGrayScale && (type != imaging::etDBase || GrayScaleAllowed(settings.ExpDBFType));
  request.DrawBorder = settings.ExpDrawBorder;
  request.IncludeNumbers = settings.ExpIncludeNumbers;
  request.HtmlImageType = settings.ExpHTMLPNG ? imaging::etPNG : imaging::etJPEG;
  request.MemoType = settings.ExpDBFType;
  request.FieldName = settings.ExpDBFFieldName;
  request.Extension = util::ExtractFileExt(target);
  request.Target = target;
  request.DestFolder = ExportDestinationFolder(target, type);
  request.AllSizes = all_sizes;
  return request;
}

TExportRequest BatchExportRequest(const ParsedCommandLine& cmd, const BatchPlan& plan, const std::string& target,
                                  const std::string& source) {
  TExportRequest request;
  request.Type = plan.export_type;
  request.GrayScale = cmd.gray_scale;
  request.DrawBorder = cmd.draw_borders;
  request.IncludeNumbers = cmd.include_numbers;
  request.HtmlImageType = plan.html_image_type;
  request.MemoType = plan.memo_type;
  request.FieldName = cmd.dbase_field_name;
  request.Extension = plan.extension;
  request.Target = target;
  request.DestFolder = plan.dest_folder;
  request.Source = source;
  request.AllSizes = plan.all_sizes;
  return request;
}

namespace {

// Whether an export of the type writes one icon file per icon (codes that
// name no other type count as the icon type).
bool WritesIconFiles(imaging::TExportType type) {
  return type < imaging::etBitmap ||
         (type > imaging::etMetafile && type != imaging::etHTML && type != imaging::etDBase && type != imaging::etPNG);
}

}  // namespace

TIconDestination DestinationOf(imaging::TExportType type, int image_type) {
  if (type == imaging::etDBase) return TIconDestination::kDBaseMemo;
  if (image_type == imaging::etPNG) return TIconDestination::kPngFiles;
  if (WritesIconFiles(type)) return TIconDestination::kIconFile;
  return TIconDestination::kPicture;
}

}  // namespace app
