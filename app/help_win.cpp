// The library is looked for once per program run: the first request marks
// the attempt, so a system without HTML Help costs one failed LoadLibrary
// and never a message. Closing all help windows is asked at every exit; it
// must not load a library only to find that there is nothing to close.
#include "app/help_win.h"

#include "app/help_request.h"
#include "gui/application.h"
#include "util/file_utils.h"
#include "util/file_utils_win.h"
#include "util/handles_win.h"

namespace app {

namespace {

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

struct HtmlHelpLibrary {
  bool tried = false;
  util::UniqueModule module;
  HtmlHelpProc entry = nullptr;
};

HtmlHelpLibrary& Library() {
  static HtmlHelpLibrary library;
  return library;
}

std::string& HelpFileSetting() {
  static std::string file;
  return file;
}

}  // namespace

HWND CallHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data) {
  HtmlHelpLibrary& library = Library();
  if (command == hhCloseAll && !library.tried) return nullptr;
  if (!library.tried) {
    library.tried = true;
    library.module.reset(LoadLibraryA("HHCTRL.OCX"));
    if (library.module)
      library.entry = reinterpret_cast<HtmlHelpProc>(GetProcAddress(library.module.get(), "HtmlHelpA"));
  }
  if (!library.entry) return nullptr;
  return library.entry(caller, file, command, data);
}

bool HtmlHelpTried() { return Library().tried; }
bool HtmlHelpLoaded() { return Library().entry != nullptr; }

void UnloadHtmlHelp() {
  HtmlHelpLibrary& library = Library();
  library.entry = nullptr;
  library.module.reset();
  library.tried = false;
}

std::string HelpFile() {
  const std::string& file = HelpFileSetting();
  return file.empty() ? util::ProgramFolder() + "glimbo.chm" : file;
}

void SetHelpFile(const std::string& path) { HelpFileSetting() = path; }

void ShowHelp(const std::string& topic) {
  const std::string file = HelpFile();
  const auto request = MakeHelpRequest(file, topic);
  if (!request) return;
  // HTML Help reports a missing file in a box of its own on some systems;
  // the program promises to stay silent instead.
  const DWORD attributes = GetFileAttributesA(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  CallHtmlHelp(gui::Application().MainWindow(), request->argument.c_str(), request->command, 0);
}

void CloseAllHelp() { CallHtmlHelp(nullptr, nullptr, hhCloseAll, 0); }

}  // namespace app
