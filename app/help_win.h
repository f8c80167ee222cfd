// Help: the HTML Help library, loaded on the first request, and ShowHelp,
// which opens the contents or a topic of the program's help file.
//
// The library (HHCTRL.OCX) is optional: where it is missing, or the help
// file is, a help request opens nothing and shows no message. Window thread
// only.
#pragma once

#include <windows.h>

#include <string>

namespace app {

// Calls the library's HtmlHelpA. The first call loads the library, except
// a request to close every help window, which needs no library that was
// never loaded and answers 0. Without the library or its entry: 0.
HWND CallHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data);

// Whether loading was tried and whether it gave the entry point (for tests).
bool HtmlHelpTried();
bool HtmlHelpLoaded();

// Frees the library if it was loaded and forgets that loading was tried.
void UnloadHtmlHelp();

// The library's lifetime in the program: WinMain holds one from start to
// exit, so the library goes when the program ends.
class HtmlHelpUnit {
 public:
  HtmlHelpUnit() = default;
  ~HtmlHelpUnit() { UnloadHtmlHelp(); }
  HtmlHelpUnit(const HtmlHelpUnit&) = delete;
  HtmlHelpUnit& operator=(const HtmlHelpUnit&) = delete;
};

// The application's help file: the program's folder + "glimbo.chm" until
// SetHelpFile names another.
std::string HelpFile();
void SetHelpFile(const std::string& path);

// Opens topic ("print", "exp") of the help file, or its contents when topic
// is empty, on the application's main window. A missing library or help
// file, or a help file of another kind, opens nothing.
void ShowHelp(const std::string& topic = "");

// Closes every help window (the main window's close query).
void CloseAllHelp();

}  // namespace app
