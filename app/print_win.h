// Printing: the print options window TPrintFrm, which asks what to print
// (the whole grid or the selected icon) and at which scale (real size or
// fitted to the page), and the print command that draws the picture and
// prints it as one page on the default printer.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "controls/zu_button_win.h"
#include "gui/dialog.h"
#include "imaging/bitmap_win.h"
#include "imaging/icon_win.h"
#include "util/handles_win.h"

namespace app {

// Control ids of the print options window, for the code that drives it.
enum TPrintFrmIds : int {
  kPrintOkId = IDOK,
  kPrintCancelId = IDCANCEL,
  kPrintHelpId = IDHELP,
  kPrintImageLabelId = 101,
  kPrintFullId = 102,
  kPrintSelId = 103,
  kPrintPanelId = 104,
  kPrintScaleLabelId = 105,
  kPrintRealId = 106,
  kPrintFitId = 107,
};

// What the window's two radio groups say.
struct TPrintChoice {
  bool whole = true;  // the whole grid, not the selected icon
  int mode = 0;       // 0 real size, 1 fitted to the page
};

class TPrintFrm : public gui::TDialog {
 public:
  // The selected-icon choice is offered only when there is a selection.
  explicit TPrintFrm(bool has_selection) : has_selection_(has_selection) {}

  // Shows the window modally; the choice on OK, nothing on Cancel (or when
  // the window could not be made).
  std::optional<TPrintChoice> Execute(HWND owner);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  // OK, Cancel and Help, from the buttons, the keys and the close box.
  void Choose(int id);

  bool has_selection_;
  TPrintChoice choice_;
  controls::TZuButton ok_btn_;
  controls::TZuButton cancel_btn_;
  controls::TZuButton help_btn_;
};

// What the main window gives the print command to draw from.
struct TPrintSource {
  // The selected icon; null when nothing is selected.
  const imaging::TIcon* selected_icon = nullptr;
  // Makes the bitmap of the whole grid and draws every icon onto it.
  std::function<void(imaging::TBitmap& bitmap)> draw_grid;
};

// The default printer's device context. Raises gui::Error with the
// language string "no default printer" when none is set up.
util::UniquePrinterDc DefaultPrinterDc();

// Prints the bitmap as a one-page document on the default printer, at the
// top left of the page (mode 0 at its size on screen, mode 1 fitted to the
// page). Raises gui::Error when there is no printer or the job fails.
void PrintPicture(const imaging::TBitmap& bitmap, int mode);

// Draws the whole grid, or the selected icon on a 32 x 32 picture, and
// prints it; without a selected icon the whole grid is printed.
void PrintImage(const TPrintSource& source, bool whole, int mode);

// The Print command: asks with TPrintFrm, then prints; Cancel ends it
// without a message.
void PrintCommand(HWND owner, const TPrintSource& source);

}  // namespace app
