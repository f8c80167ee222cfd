// The overwrite question of the export loop: a small confirmation dialog
// built in memory, captioned with the application's title, showing the
// question icon, the text 65264 with the file's full path, and the buttons
// Yes, No, No to All and Yes to All in that order. Escape (and closing the
// dialog) answers No.
#pragma once

#include <windows.h>

#include <string>

#include "app/export/export_engine_win.h"

namespace app {

// Control ids of the dialog, for the code that drives it.
enum TOverwriteDialogIds : int {
  kOverwriteYesId = IDYES,
  kOverwriteNoId = IDNO,
  kOverwriteNoToAllId = 13,
  kOverwriteYesToAllId = 14,
  kOverwriteTextId = 0xFFFF,
  kOverwriteIconId = 20,
};

// Asks and waits for the answer; the owner is disabled meanwhile.
TOverwriteAnswer ShowOverwriteDialog(HWND owner, const std::string& path);

}  // namespace app
