// Each command follows one shape: set the save dialog up for its types
// (title, filter, default extension, a proposed name that is not taken
// yet), run it, remember the chosen folder, write through the export
// engine and, when asked, open what was written.
#include "app/export/export_commands_win.h"

#include <algorithm>

#include "app/export/export_request.h"
#include "app/export/save_dialog_filter.h"
#include "app/globals.h"
#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "gui/application.h"
#include "gui/cursor.h"
#include "util/file_utils.h"
#include "util/file_utils_win.h"

namespace app {

namespace {

// Runs the save dialog for one command; true when a file was chosen. The
// type chosen last time stays chosen when this filter has it.
bool RunSaveDialog(TExportContext& context, unsigned title, const std::wstring& filter) {
  controls::TZuSaveDialog& dialog = context.SaveDlg;
  dialog.Title = Lang(title);
  dialog.Filter = filter;
  dialog.FilterIndex = std::clamp(dialog.FilterIndex, 1, std::max(FilterCount(filter), 1));
  // A name typed without an extension gets the chosen type's; the dialog
  // takes it from the type's pattern when the user picks another type.
  dialog.DefaultExt = FilterDefaultExtension(filter, dialog.FilterIndex);
  dialog.InitialDir = context.SaveFolder;
  dialog.FileName = util::GetUniqueFileName(dialog.InitialDir, CurrentFileName, dialog.DefaultExt);
  // The dialog itself asks before it lets an existing file be chosen.
  dialog.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
  WireOpenAfterSave(dialog);
  if (!dialog.Execute(context.Owner)) return false;
  context.SaveFolder = util::ExtractFileDir(dialog.FileName);
  return true;
}

void OpenIfAsked(const TExportContext& context, const std::string& file_name) {
  if (!ExportSettings.OpenAfterSave) return;
  if (context.OpenSaved)
    context.OpenSaved(file_name);
  else
    OpenExportedFile(context.Owner, file_name, "");
}

// One export of the file shown into a document (HTML or dBase).
void ExportDocument(TExportContext& context, const TExportRequest& request) {
  gui::HourglassCursor hourglass;
  TExportWork work;
  int count = 0;
  ExportIcons(work, count, request, context.Grid.IconCount(), context.AskOverwrite);
}

}  // namespace

void WireOpenAfterSave(controls::TZuSaveDialog& dialog) {
  dialog.OnGetCheckParams = [](controls::TZuCheckBox& check_box) {
    check_box.Caption = Lang(sOpenAfterSave);
    check_box.Checked = ExportSettings.OpenAfterSave;
    check_box.Visible = true;
  };
  dialog.OnGetChecked = [](bool checked) { ExportSettings.OpenAfterSave = checked; };
}

void SaveSelected(TExportContext& context) {
  const int selected = context.Grid.ItemIndex();
  if (selected < 0) {
    gui::Application().MessageBox(Lang(sSelectAnIcon), MB_OK | MB_ICONWARNING);
    return;
  }
  if (!RunSaveDialog(context, sSelectImageFile,
                     Lang(sIconFilter) + L"|" + Lang(sImageFilter) + L"|" + Lang(sPngFilter)))
    return;
  const std::string file_name = context.SaveDlg.FileName;
  // The types stand in the filter in export-type order, icon first, PNG last.
  SaveSingleIcon(context.Grid, selected, file_name, false,
                 static_cast<imaging::TExportType>(context.SaveDlg.FilterIndex - 1));
  OpenIfAsked(context, file_name);
}

void SaveSelectedWithAllSizes(TExportContext& context) {
  const int selected = context.Grid.ItemIndex();
  if (selected < 0) {
    gui::Application().MessageBox(Lang(sSelectAnIcon), MB_OK | MB_ICONWARNING);
    return;
  }
  if (!RunSaveDialog(context, sSelectImageFile, Lang(sIconFilter))) return;
  const std::string file_name = context.SaveDlg.FileName;
  if (!SaveSingleIconGroup(context.Grid, selected, file_name))
    gui::Application().MessageBox(CountMessage(LangFormat(sFilesCreated, 1), 1), MB_OK | MB_ICONINFORMATION);
  OpenIfAsked(context, file_name);
}

void SaveAllAsOne(TExportContext& context) {
  if (!RunSaveDialog(context, sSelectImageFile, Lang(sImageFilter) + L"|" + Lang(sPngFilter))) return;
  const std::string file_name = context.SaveDlg.FileName;
  {
    gui::HourglassCursor hourglass;
    // Bitmap, JPEG, metafile and PNG stand in the filter in export-type order.
    SaveCompositeImage(context.Grid, file_name, static_cast<imaging::TExportType>(context.SaveDlg.FilterIndex), false);
  }
  OpenIfAsked(context, file_name);
}

void SaveAll(TExportContext& context, imaging::TExportType type, const std::vector<std::string>& sources,
             bool all_sizes) {
  context.DirDlg.Title = Lang(sSelectFolder);
  if (!context.DirDlg.Execute(context.Owner)) return;
  TExportRequest request = SettingsExportRequest(ExportSettings, type, context.DirDlg.Directory, all_sizes);

  int count = 0;
  TExportWork work;
  // The count is told also when an error ended the export, before the
  // error itself is shown.
  auto tell_count = [&count, &work] {
    gui::Application().MessageBox(CountMessage(LangFormat(sFilesCreated, count), work.SingleImageIcons),
                                  MB_OK | MB_ICONINFORMATION);
  };
  try {
    gui::HourglassCursor hourglass;
    const std::vector<std::string> shown{std::string()};
    for (const std::string& source : sources.empty() ? shown : sources) {
      request.Source = source;
      ExportIcons(work, count, request, context.Grid.IconCount(), context.AskOverwrite);
    }
  } catch (...) {
    tell_count();
    throw;
  }
  tell_count();
}

void ExportHtml(TExportContext& context, bool skip_options) {
  if (!skip_options && !EditHtmlOptions(context.Owner, ExportSettings, HTMLColumnCount, context.ShowHelp)) return;
  if (!RunSaveDialog(context, sSaveAsHtml, Lang(sHtmlFilter))) return;
  const std::string file_name = context.SaveDlg.FileName;
  ExportDocument(context, SettingsExportRequest(ExportSettings, imaging::etHTML, file_name));
  OpenIfAsked(context, file_name);
}

void ExportDBase(TExportContext& context, bool skip_options) {
  if (!skip_options && !EditDBaseOptions(context.Owner, ExportSettings, context.ShowHelp)) return;
  if (!RunSaveDialog(context, sSaveToDbase, Lang(sDbaseFilter))) return;
  const std::string file_name = context.SaveDlg.FileName;
  // The save dialog asked about the table; a memo file of the same name
  // beside a new table would be replaced unasked.
  const std::string memo = util::ChangeFileExt(file_name, ".dbt");
  if (util::FileExists(memo) && !util::FileExists(file_name) &&
      gui::Application().MessageBox(LangFormat(sReplaceQuestion, memo), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  ExportDocument(context, SettingsExportRequest(ExportSettings, imaging::etDBase, file_name));
  OpenIfAsked(context, file_name);
}

}  // namespace app
