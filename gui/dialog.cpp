#include "gui/dialog.h"

#include "gui/application.h"

namespace gui {

namespace {

// Messages whose answer a dialog procedure returns itself instead of
// through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT msg) {
  switch (msg) {
    case WM_INITDIALOG:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON: return true;
    default: return false;
  }
}

}  // namespace

INT_PTR TDialog::ShowModal(HWND owner, const DLGTEMPLATE* dialog_template) {
  modal_ = true;
  return DialogBoxIndirectParamW(Application().ModuleInstance(), dialog_template, owner, &TDialog::DialogProc,
                                 reinterpret_cast<LPARAM>(this));
}

INT_PTR TDialog::ShowModal(HWND owner, const wchar_t* resource_name) {
  modal_ = true;
  return DialogBoxParamW(Application().ModuleInstance(), resource_name, owner, &TDialog::DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

bool TDialog::CreateModeless(HWND owner, const DLGTEMPLATE* dialog_template) {
  modal_ = false;
  HWND hwnd = CreateDialogIndirectParamW(Application().ModuleInstance(), dialog_template, owner, &TDialog::DialogProc,
                                         reinterpret_cast<LPARAM>(this));
  if (!hwnd) return false;
  Application().AddModeless(hwnd);
  return true;
}

void TDialog::End(INT_PTR result) {
  if (!Handle()) return;
  if (modal_)
    EndDialog(Handle(), result);
  else
    DestroyWindow(Handle());
}

bool TDialog::OnDestroy() {
  Application().RemoveModeless(Handle());
  return false;
}

INT_PTR CALLBACK TDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<TDialog*>(lp);
    if (self) self->BindDialog(hwnd);
  }
  return Route(hwnd, msg, wp, lp);
}

INT_PTR TDialog::Route(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWindow* self = FromHandle(hwnd);
  if (!self || !self->dialog_) return FALSE;
  if (msg == WM_NCDESTROY) {
    self->Unbind();
    self->HandleDestroyed();
    return FALSE;
  }
  // A handler may send the dialog further messages; each keeps its own
  // answer to "handled".
  const bool outer_unhandled = self->unhandled_;
  self->unhandled_ = false;
  LRESULT result = 0;
  const bool ok = RunGuarded([&] { result = self->HandleMessage(msg, wp, lp); });
  const bool unhandled = self->unhandled_;
  self->unhandled_ = outer_unhandled;
  // OK and Cancel that no class handled end the dialog.
  if (ok && unhandled && msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
    static_cast<TDialog*>(self)->End(LOWORD(wp));
    result = 0;
  } else if (ok && unhandled) {
    return FALSE;
  }
  if (ReturnsDirectly(msg)) return static_cast<INT_PTR>(result);
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace gui
