// The dialog is a template built in memory. The message and buttons are
// placed in pixels once the dialog knows its font: the path may make the
// text long, and the dialog grows with it up to two thirds of the screen's
// width.
#include "app/export/overwrite_dialog_win.h"

#include <algorithm>

#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "gui/application.h"
#include "gui/dialog.h"
#include "gui/dialog_template.h"
#include "gui/text.h"
#include "util/handles_win.h"

namespace app {

namespace {

struct Button {
  int id;
  const wchar_t* caption;
};
// In the order they stand, left to right.
const Button kButtons[] = {
    {kOverwriteYesId, L"&Yes"},
    {kOverwriteNoId, L"&No"},
    {kOverwriteNoToAllId, L"N&o to All"},
    {kOverwriteYesToAllId, L"Yes to &All"},
};

// Places the icon, the text and the buttons for the text's size.
void Arrange(HWND dialog, const std::wstring& text) {
  HWND label = GetDlgItem(dialog, kOverwriteTextId);
  RECT unit{0, 0, 4, 8};
  MapDialogRect(dialog, &unit);
  const int margin = unit.right * 2;  // 8 dialog units
  const int screen_width = GetSystemMetrics(SM_CXSCREEN);
  const int max_text_width = std::max(200, screen_width * 2 / 3 - 4 * margin - 32);
  RECT text_rect{0, 0, max_text_width, 0};
  {
    util::WindowDc dc(label);
    util::SelectGuard font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &text_rect,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  }

  const int icon_size = GetSystemMetrics(SM_CXICON);
  const int button_width = MulDiv(unit.right, 50, 4);  // 50 dialog units
  const int button_height = MulDiv(unit.bottom, 14, 8);
  const int gap = unit.right;
  const int buttons_width = 4 * button_width + 3 * gap;
  const int text_width = text_rect.right - text_rect.left;
  const int text_height = std::max(static_cast<int>(text_rect.bottom - text_rect.top), icon_size);
  const int client_width = std::max(margin + icon_size + margin + text_width + margin, margin + buttons_width + margin);
  const int buttons_top = margin + text_height + margin;
  const int client_height = buttons_top + button_height + margin;

  SetWindowPos(GetDlgItem(dialog, kOverwriteIconId), nullptr, margin, margin, icon_size, icon_size, SWP_NOZORDER);
  SetWindowPos(label, nullptr, margin + icon_size + margin, margin, text_width, text_height, SWP_NOZORDER);
  int x = (client_width - buttons_width) / 2;
  for (const Button& b : kButtons) {
    SetWindowPos(GetDlgItem(dialog, b.id), nullptr, x, buttons_top, button_width, button_height, SWP_NOZORDER);
    x += button_width + gap;
  }
  gui::CenterDialog(dialog, client_width, client_height);
}

class OverwriteDialog : public gui::TDialog {
 public:
  explicit OverwriteDialog(std::wstring text) : text_(std::move(text)) {}

 protected:
  bool OnInitDialog() override {
    SetDlgItemTextW(Handle(), kOverwriteTextId, text_.c_str());
    SendDlgItemMessageW(Handle(), kOverwriteIconId, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_QUESTION))), 0);
    Arrange(Handle(), text_);
    MessageBeep(MB_ICONQUESTION);
    return true;  // focus on the first button, Yes
  }

  bool OnCommand(int id, int /*code*/, HWND /*control*/) override {
    switch (id) {
      case kOverwriteYesId:
      case kOverwriteNoId:
      case kOverwriteNoToAllId:
      case kOverwriteYesToAllId: End(id); return true;
      case IDCANCEL:  // Escape and the close box
        End(kOverwriteNoId);
        return true;
      default: return false;
    }
  }

 private:
  std::wstring text_;
};

}  // namespace

TOverwriteAnswer ShowOverwriteDialog(HWND owner, const std::string& path) {
  // The size is replaced by Arrange.
  gui::DialogTemplate t(DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU, 240, 80,
                        gui::Application().Title());
  t.Item(SS_ICON, 0, 0, 0, 0, kOverwriteIconId, gui::DialogTemplate::kStatic, L"");
  t.Item(SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, 0, 0, 0, 0, kOverwriteTextId, gui::DialogTemplate::kStatic, L"");
  bool first = true;
  for (const Button& b : kButtons) {
    t.Item((first ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP | (first ? WS_GROUP : 0), 0, 0, 0, 0,
           static_cast<WORD>(b.id), gui::DialogTemplate::kButton, b.caption);
    first = false;
  }

  OverwriteDialog dialog(LangFormat(sReplaceQuestion, path));
  const INT_PTR result = dialog.ShowModal(owner, t.get());
  switch (result) {
    case kOverwriteYesId: return TOverwriteAnswer::kYes;
    case kOverwriteNoToAllId: return TOverwriteAnswer::kNoToAll;
    case kOverwriteYesToAllId: return TOverwriteAnswer::kYesToAll;
    default: return TOverwriteAnswer::kNo;
  }
}

}  // namespace app
