// TSaveFrm, the export options window: the small modal window that the HTML
// and dBase exports show before their save dialog.
//
// One window serves both exports. The HTML form shows the column count,
// the table border and the icon numbers; the dBase form shows, in their
// place, the memo field's name and the picture type stored in it. Both
// have the grey-scale choice, a note on skipping the window, and OK,
// Cancel and Help. The window keeps no state of its own: the commands fill
// it from the export settings and write its values back after OK
// (EditHtmlOptions, EditDBaseOptions), and it is made and freed by each use.
//
// Holding Ctrl and Shift down while choosing an export skips the window;
// the command reads the keys as it starts (OptionsWindowSkipped) and goes
// straight to its save dialog with the settings as they are.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/globals.h"
#include "gui/dialog.h"

namespace app {

// Control ids, for the code that drives the window.
enum TSaveFrmIds : int {
  kSaveFrmOkId = IDOK,
  kSaveFrmCancelId = IDCANCEL,
  kSaveFrmHelpId = IDHELP,
  kSaveFrmColumnLabelId = 200,
  kSaveFrmColumnEditId,
  kSaveFrmBorderCheckId,
  kSaveFrmNumberCheckId,
  kSaveFrmFieldGroupId,
  kSaveFrmFieldTypeLabelId,
  kSaveFrmFieldTypeId,
  kSaveFrmFieldNameLabelId,
  kSaveFrmFieldEditId,
  kSaveFrmTypeGroupId,
  kSaveFrmTypeIconId,  // the five picture types follow in memo-type order
  kSaveFrmTypeBitmapId,
  kSaveFrmTypeJpegId,
  kSaveFrmTypeMetafileId,
  kSaveFrmTypePngId,
  kSaveFrmGrayScaleCheckId,
  kSaveFrmNoteId,
  kSaveFrmHtmlPngCheckId,
};

enum class TSaveFrmKind { kHtml, kDBase };

// Opens a help topic; the window asks for "exp".
using THelpRequest = std::function<void(const std::string& topic)>;

// What the window shows and, after OK, what the user chose. The HTML form
// uses the column count, border and numbers, the dBase form the field name
// and memo type; both use grey scale.
struct TSaveFrmValues {
  int ColumnCount = 0;
  bool DrawBorder = false;
  bool IncludeNumbers = false;
  bool HtmlPng = false;  // the HTML images as PNG
  std::string FieldName;
  int MemoType = 0;
  bool GrayScale = false;
};

class TSaveFrm : public gui::TDialog {
 public:
  TSaveFrm(TSaveFrmKind kind, TSaveFrmValues values, THelpRequest help);
  ~TSaveFrm() override;

  // Shows the window modally; true when it was closed with OK, and Values
  // then holds the user's choice.
  bool Execute(HWND owner);
  const TSaveFrmValues& Values() const { return values_; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  HBRUSH OnCtlColorStatic(HDC dc, HWND control) override;

 private:
  class TControls;

  HWND AddControl(const wchar_t* system_class, DWORD style, int id, int x, int y, int width, int height,
                  const std::wstring& text, DWORD ex_style = 0);
  void CreateControls();
  void Fill();
  void ReadBack();
  void Confirm();
  int SelectedType() const;
  void UpdateOkButton();
  void UpdateGrayScaleCheck();

  TSaveFrmKind kind_;
  TSaveFrmValues values_;
  THelpRequest help_;
  std::unique_ptr<TControls> controls_;
};

// The HTML command's use of the window: filled from the settings and the
// column count; after OK the check boxes go to the settings and the count
// to column_count. Any other end changes nothing and returns false.
bool EditHtmlOptions(HWND owner, TExportSettings& settings, int& column_count, const THelpRequest& help);

// The dBase command's use: filled from the settings; after OK the field
// name (as typed), the memo type and grey scale go to the settings.
bool EditDBaseOptions(HWND owner, TExportSettings& settings, const THelpRequest& help);

// True while both Shift and Ctrl are held down.
bool OptionsWindowSkipped();

}  // namespace app
