// Commands whose windows are being built; they do nothing yet.
#include "app/main_window_win.h"

namespace app {

void TForm1::SaveSelClick() {}
void TForm1::SaveAllAsOneClick() {}
void TForm1::SaveAllClick(TExportType) {}
void TForm1::NHTMClick() {}
void TForm1::NDBFClick() {}

}  // namespace app
