// Program entry: the application object, the main window and the message loop.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/export/argv_split.h"
#include "app/export/windowless_batch_win.h"
#include "app/help_win.h"
#include "app/main_window_win.h"
#include "gui/application.h"
#include "gui/thread.h"
#include "imaging/xp_theme_win.h"
#include "util/file_utils_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  gui::TApplication& application = gui::Application();
  application.Initialize(instance);
  application.SetTitle(L"Tamsel");
  util::InstallLeadByteTest();
  gui::InstallSynchronizeTarget();  // worker threads call into this thread through it

  // Visual styles for the program's own buttons, from start to exit. A
  // theme library without one of the entries the program knows is not one
  // it was made for, and the start ends there.
  std::unique_ptr<imaging::ThemeUnit> theme_unit;
  try {
    theme_unit = std::make_unique<imaging::ThemeUnit>();
  } catch (const imaging::ThemeAssertionFailure&) {
    application.MessageBox(L"Assertion failure", MB_OK | MB_ICONERROR);
    return 1;
  }

  // The HTML Help library, loaded on first use, goes at the end.
  app::HtmlHelpUnit help_unit;

  // A closing batch that needs nothing of the window runs before there is
  // one, and a successful run ends the program there.
  std::vector<std::string> args = app::SplitCommandLine(GetCommandLineA());
  const app::TWindowlessBatch batch = app::RunWindowlessBatch(args);
  if (batch.finished) return 0;

  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);

  app::TForm1 form(std::move(args));
  form.TakeOverFailedBatch(batch.failure);
  if (!form.Create()) return 1;
  form.Start(show_command);
  return application.Run();
}
