// The export commands that go through a dialog: save the selected icon,
// save all icons as one picture, save all icons one file each, export to
// HTML and export to dBase.
//
// The main window calls them with what it has (TExportContext): itself as
// the owner of every dialog, the icon grid, its save dialog and folder
// picker, the folder the save dialog starts in, and the help. The commands
// keep nothing between calls; the save dialog keeps its type (filter
// index) from one use to the next, and the start folder follows every
// confirmed save. Each command runs on the window thread to its end; a
// failed write raises gui::Error, which the window scheme shows, and the
// files written before it stay.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/export/export_engine_win.h"
#include "app/save_form_win.h"
#include "controls/zu_dialog_win.h"
#include "controls/zu_image_box_win.h"

namespace app {

struct TExportContext {
  TExportContext(HWND owner, controls::TZuImageBox& grid, controls::TZuSaveDialog& save_dialog,
                 controls::TZuDirDialog& dir_dialog, std::string& save_folder)
      : Owner(owner), Grid(grid), SaveDlg(save_dialog), DirDlg(dir_dialog), SaveFolder(save_folder) {}

  HWND Owner;
  controls::TZuImageBox& Grid;
  controls::TZuSaveDialog& SaveDlg;
  controls::TZuDirDialog& DirDlg;
  // The folder the save dialog starts in; the folder of every saved file.
  std::string& SaveFolder;
  // Opens the help topic the options window asks for.
  THelpRequest ShowHelp;
  // The question before a per-icon file is replaced.
  TOverwriteQuestion AskOverwrite = app::AskOverwrite;
  // Opens a saved file when OpenAfterSave is set (its associated program).
  std::function<void(const std::string& file_name)> OpenSaved;
};

// Sets the save dialog's extra check box up as "open after saving", ticked
// from ExportSettings.OpenAfterSave and written back to it after a
// confirmed run. The commands call it before every run.
void WireOpenAfterSave(controls::TZuSaveDialog& dialog);

// Ctrl+S: the selected icon as an icon file, bitmap, JPEG or metafile. With
// nothing selected it warns and does nothing.
void SaveSelected(TExportContext& context);

// The selected icon with its whole group (every size and depth) as an icon
// file; the single image when the group cannot be read whole, which the
// closing message then says.
void SaveSelectedWithAllSizes(TExportContext& context);

// All icons as one picture of the grid.
void SaveAllAsOne(TExportContext& context);

// All icons as files of one type into a chosen folder, and a message with
// the number of files written (also when an error ended the export).
// sources: the files to take the icons from, in order; none means the file
// shown. all_sizes (icon type): each icon's whole group, and a second line
// in the message with the number of icons saved as a single image instead.
void SaveAll(TExportContext& context, imaging::TExportType type, const std::vector<std::string>& sources = {},
             bool all_sizes = false);

// The HTML document with its image folder, and the dBase table with its
// memo file. skip_options: Ctrl and Shift were held as the command started
// (OptionsWindowSkipped), which skips the options window.
void ExportHtml(TExportContext& context, bool skip_options);
void ExportDBase(TExportContext& context, bool skip_options);

}  // namespace app
