// TForm1, the program's main window.
//
// It owns every control on it and carries the commands. Its files are split
// by concern: creation, layout, the status bar and the open routine in
// main_window_win.cpp; the command table, menus, toolbar and shortcuts in
// main_commands_win.cpp; the command line in command_line_win.cpp. The
// exports are the engine's (export_engine_win, export_commands_win), which
// the commands call with the grid and a request.
//
// Layout: the status bar at the bottom; above it Panel1, in which MainPanel
// (toolbar strip Bevel1 on top, the search bar Panel2 at the bottom, the
// grid's ScrollBox in between) fills what the search pane FindPanel and its
// splitter HSplitter leave at the bottom. The panels stick to their edges
// (aligned layout); the controls anchored to a right edge are placed on
// every resize.
//
// The search pane (FindPanel, search_pane_win.cpp): the folder tree on the
// left, the list of files found on the right, and in the search bar the
// minimum icon count and the button that finds the open file's folder.
//
// The command line is not read while the window is created: FormCreate
// posts itself message 4025 and RunCommandLine handles it once the window is
// shown and the message loop runs.
#pragma once

#include <windows.h>

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/export/command_line.h"
#include "app/export/export_commands_win.h"
#include "app/main_layout.h"
#include "app/main_settings_win.h"
#include "app/settings.h"
#include "controls/icon_set_win.h"
#include "controls/zu_button_win.h"
#include "controls/zu_ctrl_win.h"
#include "controls/zu_dialog_win.h"
#include "controls/zu_folder_tree_win.h"
#include "controls/zu_list_box_win.h"
#include "controls/zu_scroll_box_win.h"
#include "gui/form.h"
#include "gui/model/command_list.h"
#include "gui/panel.h"
#include "gui/standard_controls.h"
#include "util/handles_win.h"

namespace app {

constexpr UINT WM_RUNCOMMANDLINE = 4025;
// The minimum icon count changed: the folder is scanned again (see SpinChange).
constexpr UINT WM_MINIMUMCHANGED = 4026;

// The window's commands, also the ids of their menu items.
enum TMainCommand : int {
  cmOpen = 200,
  cmSaveSelected,
  cmSaveAllAsOne,
  cmSaveAllIcons,  // the four types in export-type order
  cmSaveAllBitmaps,
  cmSaveAllJpeg,
  cmSaveAllMetafiles,
  cmExportHtml,
  cmExportDBase,
  cmCopy,     // the toolbar button: only with icons
  cmCopyKey,  // Ctrl+C: always, warning without a selection
  cmPrint,
  cmRefresh,
  cmHelp,
  cmAbout,
  cmSearchPane,
  cmWebSite,
  cmSaveFoundIcons,  // the four types over the files found, in export-type order
  cmSaveFoundBitmaps,
  cmSaveFoundJpeg,
  cmSaveFoundMetafiles,
  cmSaveSelectedAllSizes,  // the selected icon with its whole group, every size
  cmSaveAllIconGroups,     // every icon with its whole group
  cmSaveFoundIconGroups,   // every icon of the files found with its whole group
  cmSaveAllPng,            // every icon as a PNG with its transparency
  cmSaveFoundPng,          // every icon of the files found as a PNG
  cmCopyDir,               // the open file's folder into the search pane's tree
};

class TForm1 : public gui::TForm {
 public:
  // args: the command line split into arguments, argument 0 the program's path.
  explicit TForm1(std::vector<std::string> args);
  ~TForm1() override;

  bool Create();

  // The error of a batch that ran before the window (windowless_batch_win.h):
  // the command line then shows it as the batch's own.
  void TakeOverFailedBatch(std::exception_ptr failure) { batch_failure_ = std::move(failure); }

  // Makes path the current file, loads its icons and updates the window.
  void OpenIconFile(const std::string& path);

  const controls::TIconSet& IconSet() const { return ScrollBox.ImageBox().IconSet(); }
  controls::TZuImageBox& Grid() { return ScrollBox.ImageBox(); }
  const controls::TZuImageBox& Grid() const { return ScrollBox.ImageBox(); }
  gui::TCommandList& Commands() { return commands_; }

  // The batch half of the command line (message 4025).
  void RunCommandLine();

  // The folder scan's hooks: the window and the search controls are
  // disabled while it runs, and each report lets the window breathe.
  void EnterScanState();
  void LeaveScanState();
  // Shows the count found so far, handles pending messages; false when the
  // user asked to stop (Esc).
  bool ScanProgress(int count);

  // The search pane as a test sees it.
  controls::TzuFolderTree& FolderTree() { return Tree; }
  const controls::TZuListBox& FoundFiles() const { return FileBox; }
  std::wstring FoundCountText() const { return Label4.Caption(); }
  bool ScanFailedMarkShown() const { return Label6.Visible(); }

  // How the window shows first: maximized when it was left so, otherwise
  // as the program was started.
  int InitialShowCommand(int start_command) const {
    return initial_show_ == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : start_command;
  }

  // Shows the window, unless the command line asks for an export: the
  // window then stays hidden, at the size it would show at, and appears
  // once the export is done (never, when it closes then).
  void Start(int start_command);

  // The status bar's panel text (for tests and the hint display).
  std::wstring StatusText(int panel) const;

 protected:
  void FormCreate() override;
  bool FormCloseQuery() override;
  void FormDestroy() override;
  bool FormKeyDown(UINT key, bool ctrl, bool shift, bool alt) override;
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnTimer(UINT_PTR id) override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnSize(UINT type, int width, int height) override;
  bool OnGetMinMaxInfo(MINMAXINFO* info) override;
  bool OnSetFocus(HWND previous) override;
  bool OnMenuSelect(UINT item, UINT flags, HMENU menu) override;

 private:
  void RunBatch(const ParsedCommandLine& cmd, const std::string& target);
  void ShowCommandLineError(const std::wstring& detail);
  // Shows the window held hidden for an export, in its stored state.
  void ShowAfterBatch();

  // main_window_win.cpp
  void CreateControls();
  void CreateStatusBar();
  void CreatePanes();
  void CreateToolbar(HFONT font);
  void CreateSearchBar(HFONT font);
  void CreateGrid();
  void SetUpFileDialogs();
  void FormResize();
  void HSplitterMoved();
  void SetStatusText(int panel, const std::wstring& text) const;
  void AppOnHint(const std::wstring& long_hint);
  void ScrollBoxSelectItem(int index);
  void ScrollBoxCustomPaint(controls::TZuImageBox& sender, HDC canvas) const;
  void ScrollBoxDropFiles(const std::vector<std::string>& files);
  // OpenIconFile's parts: the file becomes the current one (caption,
  // recent files), its icons are loaded into the grid, the grid is shown.
  void MakeCurrentFile(const std::string& path);
  void LoadGrid();
  void ShowLoadedGrid();
  void UpdateRecentFiles(const std::string& path);
  void RebuildRecentFilesMenu();
  // What the stored settings are measured against, and the pane as it is.
  TSettingsTarget SettingsTarget() const;

  // search_pane_win.cpp
  // The pane's controls are made the first time it is shown.
  void BuildSearchPane();
  void CreateSearchPane(HFONT font);
  void CreateSearchPaneMenu();
  void LayOutSearchPane();
  void VSplitterMoved();
  void TreeChange();
  void DirBoxChange();
  void SetFoundCountText(const std::wstring& text);
  void FitFoundCountLabel();
  void MinimumChanged();
  void RunScan(const std::string& folder);
  void SpinChange();
  void Edit1KeyPress(wchar_t& key);
  void FileBoxClick();
  void FileBoxGetItemParams(int index, imaging::TBitmap* bitmap, int& offset, std::string& text) const;
  void CopyDirBtnClick();
  void SaveFoundClick(imaging::TExportType type, bool all_sizes = false);
  // The full names of the files listed, in list order.
  std::vector<std::string> FoundFileNames() const;

  // main_commands_win.cpp
  void CreateCommands();
  void CreateMenus();
  // The per-icon entries of a save-all menu: the four classic types from
  // first_type on, the whole groups after the icons, PNG last.
  static void AppendSaveAllItems(HMENU menu, int first_type, int groups, int png);
  void OpenBtnClick();
  void CopyBtnClick();
  void RefreshBtnClick();
  void SaveSelClick();
  void SaveAllAsOneClick();
  void SaveAllClick(imaging::TExportType type, bool all_sizes = false);
  void SaveSelAllSizesClick();
  void NHTMClick();
  void NDBFClick();
  void SearchBtnClick();
  void AboutBtnClick();
  void PrintBtnClick();
  void ShowHelp(const std::string& topic);
  void Label1Click();
  TExportContext ExportContext();
  // Warns and returns false when no icon is selected.
  bool RequireSelection();

  std::vector<std::string> args_;
  std::string program_path_;
  std::string help_file_;
  bool icons_loaded_ = false;
  gui::TCommandList commands_;

  // The controls, in the order they are laid out.
  gui::TPanel Panel1;
  gui::TPanel MainPanel;
  gui::TPanel Bevel1;  // the toolbar strip
  controls::TzuPopupButton OpenBtn;
  controls::TzuPopupButton SaveBtn;
  controls::TzuSoftButton CopyBtn;
  controls::TzuSoftButton PrintBtn;
  controls::TzuSoftButton RefreshBtn;
  controls::TzuSoftButton HelpBtn;
  controls::TzuSoftButton AboutBtn;
  controls::Tzu3DLabel Label1;
  gui::TPanel Panel2;  // the search bar
  controls::TZuButton SearchBtn;
  controls::TZuScrollBox ScrollBox;
  controls::TzuSplitter HSplitter;
  gui::TPanel FindPanel;
  gui::TPanel FilePanel;
  controls::TzuSplitter VSplitter;
  gui::TPanel DirPanel;
  gui::TLabel Label2;
  controls::TzuFolderTree Tree;
  gui::TLabel Label3;
  controls::TZuListBox FileBox;
  gui::TCheckBox ChkSubFolders;
  gui::TImage Img;
  gui::TLabel Label4;                  // the count found
  util::TRect count_column_;           // the count's place in the pane's layout (see SetFoundCountText)
  bool minimum_scan_pending_ = false;  // a WM_MINIMUMCHANGED or its timer is on its way
  gui::TLabel Label6;                  // the mark of a cancelled scan
  controls::TzuPopupButton SaveAllBtn;
  gui::TLabel Label5;  // the search bar's minimum count, and the button
  gui::TEdit Edit1;    // that finds the open file's folder
  gui::TUpDown UpDown1;
  controls::TzuSoftButton CopyDirBtn;
  gui::TStatusBar StatusBar;

  controls::TZuOpenDialog OpenDlg;
  controls::TZuSaveDialog SaveDlg;
  controls::TZuDirDialog DirDlg;
  util::UniqueMenu PopupSave;
  util::UniqueMenu MRUPopup;
  util::UniqueMenu PopupSaveAll;
  // A folder chosen while a scan ran: scanned once that one has ended.
  bool rescan_pending_ = false;
  // The window was asked to close while a scan ran.
  bool close_after_scan_ = false;
  TRecentFiles recent_;
  bool search_pane_built_ = false;
  int file_panel_width_ = kFilePanelWidth;  // the file list's width until the pane is built
  int initial_show_ = SW_SHOWNORMAL;
  int start_show_ = SW_SHOWNORMAL;
  // The window's placement while it is held hidden for an export, as it
  // would be shown: what the settings store if it never is.
  std::optional<WINDOWPLACEMENT> hidden_placement_;
  std::exception_ptr batch_failure_;
  util::UniqueFont label_font_;
};

}  // namespace app
