// The About window: the program's icon, name and version, a notice line,
// and two link labels, a mail address and the web address, that open the
// user's mail program or browser when clicked.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "controls/zu_button_win.h"
#include "gui/dialog.h"
#include "util/handles_win.h"

namespace app {

// Control ids of the About window, for the code that drives it.
enum TAboutFrmIds : int {
  kAboutOkId = IDOK,
  kAboutIconId = 101,
  kAboutNameId = 102,     // Label1
  kAboutVersionId = 103,  // Label2
  kAboutNoticeId = 104,   // Label5
  kAboutMailId = 105,     // Label6
  kAboutWebId = 106,      // Label3
};

class TAboutFrm : public gui::TDialog {
 public:
  TAboutFrm();

  // Shows the window modally until Enter, Escape or OK closes it.
  void Execute(HWND owner);

  // The click handler of both link labels: opens the address that the
  // clicked label's text names (see LinkTarget).
  void Label4Click(HWND label);

  // Opens an address; the shell by default. Tests put a recorder here.
  std::function<void(const std::string& address)> OnOpenLink;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  HBRUSH OnCtlColorStatic(HDC dc, HWND control) override;
  bool OnSetCursor(HWND window, UINT hit_test) override;

 private:
  bool IsLink(HWND control) const;

  util::UniqueFont name_font_;
  util::UniqueFont version_font_;
  controls::TZuButton ok_btn_;
};

// The About command: shows the window on the owner and frees it.
void ShowAbout(HWND owner);

}  // namespace app
