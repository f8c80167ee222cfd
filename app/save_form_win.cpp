// The window is a template in memory with no items; its controls are made
// in pixels when it opens, in their tab order, so that the layout matches
// the window's design exactly whatever the dialog units come to, and so
// that the push buttons can be the program's own owner-drawn ones. The
// HTML controls lie where the dBase group boxes are: each form shows its
// own set and hides the other.
#include "app/save_form_win.h"

#include <algorithm>

#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "app/save_form.h"
#include "controls/zu_button_win.h"
#include "gui/application.h"
#include "gui/control.h"
#include "gui/dialog_template.h"
#include "gui/text.h"

namespace app {

namespace {

constexpr int kClientWidth = 473;
constexpr int kClientHeight = 241;
constexpr int kLabelHeight = 13;
constexpr int kTypeCount = 5;
constexpr int kTypeColumns = 2;

const int kHtmlIds[] = {kSaveFrmColumnLabelId, kSaveFrmColumnEditId, kSaveFrmBorderCheckId, kSaveFrmNumberCheckId,
                        kSaveFrmHtmlPngCheckId};
const int kDBaseIds[] = {kSaveFrmFieldGroupId, kSaveFrmFieldTypeLabelId, kSaveFrmFieldTypeId, kSaveFrmFieldNameLabelId,
                         kSaveFrmFieldEditId,  kSaveFrmTypeGroupId,      kSaveFrmTypeIconId,  kSaveFrmTypeBitmapId,
                         kSaveFrmTypeJpegId,   kSaveFrmTypeMetafileId,   kSaveFrmTypePngId};

// The column count box drops every typed character but digits and control
// characters; a pasted text still gets in and is judged by OK's state.
class TColumnEdit : public gui::TSystemControl {
 protected:
  bool OnChar(UINT ch, LPARAM /*flags*/) override { return !ColumnCountAccepts(ch); }
};

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetChecked(HWND dialog, int id, bool checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

std::wstring ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(item, &text[0], static_cast<int>(text.size()))));
  return text;
}

}  // namespace

class TSaveFrm::TControls {
 public:
  TColumnEdit ColumnEdit;
  controls::TZuButton Ok;
  controls::TZuButton Cancel;
  controls::TZuButton Help;
};

TSaveFrm::TSaveFrm(TSaveFrmKind kind, TSaveFrmValues values, THelpRequest help)
    : kind_(kind), values_(std::move(values)), help_(std::move(help)) {}

TSaveFrm::~TSaveFrm() = default;

bool TSaveFrm::Execute(HWND owner) {
  // The size is set in pixels once the window exists. The dialog face at
  // 8 points is 11 pixels high like the design's font, and unlike that
  // bitmap font it falls back to a face with the Chinese texts' characters.
  gui::DialogTemplate t(DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU, 320, 160,
                        Lang(kind_ == TSaveFrmKind::kHtml ? sExportHtml : sExportDbase), 8, L"MS Shell Dlg");
  controls_ = std::make_unique<TControls>();
  const INT_PTR result = ShowModal(owner, t.get());
  controls_.reset();
  return result == IDOK;
}

HWND TSaveFrm::AddControl(const wchar_t* system_class, DWORD style, int id, int x, int y, int width, int height,
                          const std::wstring& text, DWORD ex_style) {
  HWND control = CreateWindowExW(ex_style, system_class, text.c_str(), style | WS_CHILD | WS_VISIBLE, x, y, width,
                                 height, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 gui::Application().ModuleInstance(), nullptr);
  SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(SendMessageW(Handle(), WM_GETFONT, 0, 0)), FALSE);
  return control;
}

void TSaveFrm::CreateControls() {
  // The dBase group boxes first: the field, then the picture type.
  AddControl(L"BUTTON", BS_GROUPBOX, kSaveFrmFieldGroupId, 8, 16, 193, 73, Lang(sFieldGroup));
  AddControl(L"STATIC", SS_LEFT | SS_NOPREFIX, kSaveFrmFieldTypeLabelId, 24, 36, 72, kLabelHeight, Lang(sFieldType));
  AddControl(L"STATIC", SS_LEFT | SS_NOPREFIX, kSaveFrmFieldTypeId, 104, 36, 90, kLabelHeight, L"B (Binary)");
  AddControl(L"STATIC", SS_LEFT | SS_NOPREFIX, kSaveFrmFieldNameLabelId, 24, 62, 72, kLabelHeight, Lang(sFieldName));
  HWND field = AddControl(L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, kSaveFrmFieldEditId, 104, 58, 81, 21, L"ICON",
                          WS_EX_CLIENTEDGE);
  SendMessageW(field, EM_LIMITTEXT, 10, 0);

  const int group_left = 216, group_top = 16, group_width = 249, group_height = 73;
  AddControl(L"BUTTON", BS_GROUPBOX, kSaveFrmTypeGroupId, group_left, group_top, group_width, group_height,
             Lang(sExportAs));
  const unsigned type_names[kTypeCount] = {sTypeIcon, sTypeBitmap, sTypeJpeg, sTypeMetafile, sTypePng};
  for (int i = 0; i < kTypeCount; ++i) {
    const util::TRect r = RadioGroupItemBounds(group_width, group_height, kTypeCount, kTypeColumns, kLabelHeight, i);
    AddControl(L"BUTTON", BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0), kSaveFrmTypeIconId + i,
               group_left + r.left, group_top + r.top, r.Width(), r.Height(), Lang(type_names[i]));
  }

  // The HTML controls over them.
  AddControl(L"STATIC", SS_LEFT | WS_GROUP, kSaveFrmColumnLabelId, 8, 20, 100, kLabelHeight, Lang(sColumnCount));
  controls_->ColumnEdit.Create(L"EDIT", Handle(), kSaveFrmColumnEditId,
                               ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_VISIBLE, 112, 16, 41, 21, L"",
                               WS_EX_CLIENTEDGE);
  SendMessageW(controls_->ColumnEdit.Handle(), EM_LIMITTEXT, kColumnCountMaxLength, 0);
  AddControl(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, kSaveFrmBorderCheckId, 8, 54, 161, 17, Lang(sDrawBorder));
  AddControl(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, kSaveFrmNumberCheckId, 8, 74, 161, 17, Lang(sIncludeNumbers));
  AddControl(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, kSaveFrmHtmlPngCheckId, 200, 54, 265, 17, Lang(sHtmlPng));

  AddControl(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kSaveFrmGrayScaleCheckId, 8, 108, 233, 17,
             Lang(sGrayScale));
  AddControl(L"STATIC", SS_LEFT | SS_NOPREFIX, kSaveFrmNoteId, 24, 144, 425, 41, Lang(sSkipOptionsNote));

  controls_->Ok.Create(Handle(), kSaveFrmOkId, 104, 205, 75, 25, L"OK");
  controls_->Ok.SetDefault(true);
  controls_->Ok.OnClick = [this](controls::TZuButton&) { Confirm(); };
  controls_->Cancel.Create(Handle(), kSaveFrmCancelId, 199, 205, 75, 25, Lang(sCancel));
  controls_->Cancel.OnClick = [this](controls::TZuButton&) { End(IDCANCEL); };
  controls_->Help.Create(Handle(), kSaveFrmHelpId, 294, 205, 75, 25, Lang(sHelp));
  controls_->Help.OnClick = [this](controls::TZuButton&) {
    if (help_) help_("exp");
  };
  // Enter presses OK, and only while OK is enabled.
  SendMessageW(Handle(), DM_SETDEFID, kSaveFrmOkId, 0);

  if (kind_ == TSaveFrmKind::kHtml) {
    for (int id : kDBaseIds) ShowWindow(GetDlgItem(Handle(), id), SW_HIDE);
  } else {
    for (int id : kHtmlIds) ShowWindow(GetDlgItem(Handle(), id), SW_HIDE);
  }
}

bool TSaveFrm::OnInitDialog() {
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER);
  CreateControls();
  Fill();
  SetFocus(GetDlgItem(Handle(), kind_ == TSaveFrmKind::kHtml ? kSaveFrmColumnEditId : kSaveFrmFieldEditId));
  return false;  // the focus is set
}

void TSaveFrm::Fill() {
  const HWND dialog = Handle();
  if (kind_ == TSaveFrmKind::kHtml) {
    SetDlgItemTextW(dialog, kSaveFrmColumnEditId, std::to_wstring(values_.ColumnCount).c_str());
    SetChecked(dialog, kSaveFrmNumberCheckId, values_.IncludeNumbers);
    SetChecked(dialog, kSaveFrmBorderCheckId, values_.DrawBorder);
    SetChecked(dialog, kSaveFrmHtmlPngCheckId, values_.HtmlPng);
  } else {
    SetDlgItemTextW(dialog, kSaveFrmFieldEditId, gui::AnsiToWide(values_.FieldName).c_str());
    const int type = values_.MemoType >= 0 && values_.MemoType < kTypeCount ? values_.MemoType : 0;
    CheckRadioButton(dialog, kSaveFrmTypeIconId, kSaveFrmTypePngId, kSaveFrmTypeIconId + type);
  }
  SetChecked(dialog, kSaveFrmGrayScaleCheckId, values_.GrayScale);
  UpdateGrayScaleCheck();
  UpdateOkButton();
}

int TSaveFrm::SelectedType() const {
  for (int i = 0; i < kTypeCount; ++i)
    if (Checked(Handle(), kSaveFrmTypeIconId + i)) return i;
  return 0;
}

void TSaveFrm::UpdateOkButton() {
  if (kind_ != TSaveFrmKind::kHtml) return;
  const std::string text = gui::WideToAnsi(ItemText(Handle(), kSaveFrmColumnEditId));
  controls_->Ok.SetEnabled(ParseColumnCount(text).has_value());
}

// An icon is stored as it is; only the picture types can be made grey. The
// tick stays as it was, so that it comes back with a picture type.
void TSaveFrm::UpdateGrayScaleCheck() {
  if (kind_ != TSaveFrmKind::kDBase) return;
  EnableWindow(GetDlgItem(Handle(), kSaveFrmGrayScaleCheckId), GrayScaleAllowed(SelectedType()));
}

void TSaveFrm::ReadBack() {
  const HWND dialog = Handle();
  if (kind_ == TSaveFrmKind::kHtml) {
    values_.ColumnCount = ParseColumnCount(gui::WideToAnsi(ItemText(dialog, kSaveFrmColumnEditId))).value_or(0);
    values_.IncludeNumbers = Checked(dialog, kSaveFrmNumberCheckId);
    values_.DrawBorder = Checked(dialog, kSaveFrmBorderCheckId);
    values_.HtmlPng = Checked(dialog, kSaveFrmHtmlPngCheckId);
  } else {
    values_.FieldName = gui::WideToAnsi(ItemText(dialog, kSaveFrmFieldEditId));
    values_.MemoType = SelectedType();
  }
  values_.GrayScale = Checked(dialog, kSaveFrmGrayScaleCheckId);
}

// OK may also arrive as a command while the button is disabled (sent by
// another program); a column count that cannot lay out the table is never
// taken.
void TSaveFrm::Confirm() {
  if (!controls_->Ok.Enabled()) return;
  ReadBack();
  End(IDOK);
}

bool TSaveFrm::OnCommand(int id, int code, HWND /*control*/) {
  if (id == kSaveFrmColumnEditId && code == EN_CHANGE) {
    UpdateOkButton();
    return true;
  }
  if (id >= kSaveFrmTypeIconId && id <= kSaveFrmTypePngId && code == BN_CLICKED) {
    UpdateGrayScaleCheck();
    return true;
  }
  return false;
}

// The note on skipping the window is written in grey.
HBRUSH TSaveFrm::OnCtlColorStatic(HDC dc, HWND control) {
  if (control != GetDlgItem(Handle(), kSaveFrmNoteId)) return nullptr;
  SetTextColor(dc, RGB(128, 128, 128));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

bool EditHtmlOptions(HWND owner, TExportSettings& settings, int& column_count, const THelpRequest& help) {
  TSaveFrmValues values;
  values.ColumnCount = column_count;
  values.IncludeNumbers = settings.ExpIncludeNumbers;
  values.DrawBorder = settings.ExpDrawBorder;
  values.HtmlPng = settings.ExpHTMLPNG;
  values.GrayScale = settings.ExpGrayScale;
  TSaveFrm form(TSaveFrmKind::kHtml, values, help);
  if (!form.Execute(owner)) return false;
  settings.ExpIncludeNumbers = form.Values().IncludeNumbers;
  settings.ExpDrawBorder = form.Values().DrawBorder;
  settings.ExpHTMLPNG = form.Values().HtmlPng;
  settings.ExpGrayScale = form.Values().GrayScale;
  column_count = form.Values().ColumnCount;
  return true;
}

bool EditDBaseOptions(HWND owner, TExportSettings& settings, const THelpRequest& help) {
  TSaveFrmValues values;
  values.FieldName = settings.ExpDBFFieldName;
  values.MemoType = settings.ExpDBFType;
  values.GrayScale = settings.ExpGrayScale;
  TSaveFrm form(TSaveFrmKind::kDBase, values, help);
  if (!form.Execute(owner)) return false;
  settings.ExpDBFFieldName = form.Values().FieldName;
  settings.ExpDBFType = form.Values().MemoType;
  settings.ExpGrayScale = form.Values().GrayScale;
  return true;
}

bool OptionsWindowSkipped() { return GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) < 0; }

}  // namespace app
