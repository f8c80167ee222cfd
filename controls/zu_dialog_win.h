// The program's file dialogs and its folder picker.
//
// TZuOpenDialog and TZuSaveDialog run the system's explorer-style open and
// save dialogs with a hook. When the owner sets OnGetCheckParams, the child
// template "DLGTEMPLATE" (app/tamsel.rc) leaves a strip below the standard
// controls, and a panel with a check box and an information label fills it;
// the owner sets the check box up before the dialog shows and reads its
// state after a confirmed run. Paths are ANSI, as everywhere in the program;
// the check box and the label get their texts through the wide API, so that
// Chinese captions show whatever the system's code page.
//
// TZuDirDialog picks a folder with the shell's folder browser, starting at
// Directory and showing the selected folder's path in the status line.
//
// Everything runs on the calling thread, inside the modal dialog's loop.
// Errors raised by the event handlers while the dialog is up go to the
// application's error display and the dialog goes on.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <memory>
#include <string>

#include "util/late_bound_win.h"

namespace controls {

// The extra check box as its owner sets it up; after a run it holds the
// state the user left it in.
struct TZuCheckBox {
  std::wstring Caption;
  bool Checked = false;
  bool Visible = true;
};

// The information label that shares the strip with the check box; hidden
// and empty whenever the dialog shows.
struct TZuInfoLabel {
  std::wstring Caption;
  bool Visible = false;
};

// Control ids inside the strip (children of the hook's child dialog).
enum TZuDialogIds : int {
  kZuStripPanelId = 0x2F01,
  kZuCheckBoxId = 0x2F02,
  kZuInfoLabelId = 0x2F03,
};

class TZuOpenDialog {
  class TChildDialog;

 public:
  using TOnGetCheckParamsEvent = std::function<void(TZuCheckBox& check_box)>;
  using TOnGetCheckedEvent = std::function<void(bool checked)>;
  using TOnGetFileInfoEvent = std::function<void(const std::string& file_name, TZuInfoLabel& info_label)>;

  TZuOpenDialog();
  virtual ~TZuOpenDialog();
  TZuOpenDialog(const TZuOpenDialog&) = delete;
  TZuOpenDialog& operator=(const TZuOpenDialog&) = delete;

  std::wstring Title;
  std::string InitialDir;
  // The proposed file before a run, the chosen one after a confirmed run.
  std::string FileName;
  // Pairs of description and pattern, all separated by "|".
  std::wstring Filter;
  // 1-based; after a confirmed run the type the user chose.
  int FilterIndex = 1;
  // Without a dot; appended to a typed name that has no extension.
  std::string DefaultExt;
  // OFN_* flags such as OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY; the
  // explorer style and the hook are always added.
  DWORD Options = 0;

  // Raised each time the dialog shows; its presence switches the strip on.
  TOnGetCheckParamsEvent OnGetCheckParams;
  // Raised after a confirmed run with the check box's final state.
  TOnGetCheckedEvent OnGetChecked;
  // Raised each time the dialog's folder changes, with its current file name.
  TOnGetFileInfoEvent OnGetFileInfo;

  const TZuCheckBox& CheckBox() const { return check_box_; }

  // Runs the dialog; true when the user confirmed a file.
  bool Execute(HWND owner);

 protected:
  virtual BOOL RunSystemDialog(OPENFILENAMEW& ofn) { return util::late::GetOpenFileNameW(&ofn); }

 private:
  static UINT_PTR CALLBACK HookProc(HWND hook, UINT msg, WPARAM wp, LPARAM lp);
  std::unique_ptr<TChildDialog> child_;
  void CreateStrip(HWND hook);
  void Show(HWND hook);
  void FolderChange(HWND hook);
  void ShowInfoLabel();
  void KeepCheckState();

  TZuCheckBox check_box_;
  TZuInfoLabel info_label_;
  // The strip's windows while the dialog is up; the dialog destroys them.
  HWND panel_ = nullptr;
  HWND check_window_ = nullptr;
  HWND label_window_ = nullptr;
};

class TZuSaveDialog : public TZuOpenDialog {
 protected:
  BOOL RunSystemDialog(OPENFILENAMEW& ofn) override { return util::late::GetSaveFileNameW(&ofn); }
};

class TZuDirDialog {
 public:
  // The text above the folder tree.
  std::wstring Title;
  // The start folder before a run (empty: the current directory), the
  // chosen folder after a confirmed run. A run takes a trailing backslash
  // off, also when it is cancelled.
  std::string Directory;

  // True when the user chose a folder of the file system; a virtual folder
  // (one without a path) counts as cancelled. The owner defaults to the
  // active window.
  bool Execute(HWND owner);
};

}  // namespace controls
