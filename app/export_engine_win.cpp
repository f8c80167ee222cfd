// The export engine of the main window.
#include <windows.h>

#include "app/unit1_win.h"
#include "gui/error.h"
#include "gui/text.h"

namespace app {

namespace {
[[noreturn]] void NotBuilt(const char* what) {
  throw gui::Error(L"This export is not available in this build (" + gui::AnsiToWide(what) +
                   L"); nothing was written.");
}
}  // namespace

void TForm1::SaveSingleIcon(int, const std::string&, bool, TExportType) { NotBuilt("single icon"); }

void TForm1::SaveCompositeImage(const std::string&, TExportType, bool) { NotBuilt("all icons as one image"); }

void TForm1::ExportIcons(int&, bool, bool, bool, int, TExportType, const std::string&, const std::string&,
                         const std::string&, const std::string&, const std::string&) {
  NotBuilt("all icons");
}

void TForm1::OpenExported(const std::string& file_name, const std::string& hint) {
  (void)file_name;
  (void)hint;
}

}  // namespace app
