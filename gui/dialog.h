// Dialogs in the one window scheme. The object is bound at WM_INITDIALOG and
// its messages are cracked and guarded like every other window's; what a
// dialog class does not handle goes back to the dialog manager, except OK
// and Cancel, which end the dialog unless a class handles them.
#pragma once

#include <windows.h>

#include "gui/window.h"

namespace gui {

class TDialog : public TWindow {
 public:
  // Runs the dialog modally from a template in memory; returns the value
  // given to End, or -1 when the system could not make the dialog.
  INT_PTR ShowModal(HWND owner, const DLGTEMPLATE* dialog_template);
  // The same from a dialog resource of the program.
  INT_PTR ShowModal(HWND owner, const wchar_t* resource_name);
  // Makes the dialog modeless; the message loop gives it keyboard
  // navigation while it is active. False when the system refused.
  bool CreateModeless(HWND owner, const DLGTEMPLATE* dialog_template);

  // Ends a modal dialog with result (a modeless one is destroyed).
  void End(INT_PTR result);

  // The dialog procedure. Dialogs that another component makes (the child
  // template of a common dialog) bind their object with BindAtInit from
  // their hook's WM_INITDIALOG and send every message through Route.
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static INT_PTR Route(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void BindAtInit(HWND hwnd) { BindDialog(hwnd); }

 protected:
  bool OnDestroy() override;

 private:
  bool modal_ = false;
};

}  // namespace gui
