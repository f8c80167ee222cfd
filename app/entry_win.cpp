// Program entry: the application object, the main window and the message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/argv_split.h"
#include "app/unit1_win.h"
#include "gui/application.h"
#include "util/file_utils_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  gui::TApplication& application = gui::Application();
  application.Initialize(instance);
  application.SetTitle(L"Tamsel");
  util::InstallLeadByteTest();

  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);

  app::TForm1 form(app::SplitCommandLine(GetCommandLineA()));
  if (!form.Create()) return 1;
  form.Show(show_command);
  return application.Run();
}
