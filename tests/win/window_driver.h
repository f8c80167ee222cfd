// Drives another process's windows from a test: starts tamsel.exe, finds its
// windows, reads their texts and presses their buttons.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

class Process {
 public:
  // Starts program with the given command-line tail (already quoted).
  Process(const std::string& program, const std::string& arguments, const std::string& directory = "");
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool started() const { return info_.hProcess != nullptr; }
  DWORD id() const { return info_.dwProcessId; }
  // Waits for the process to end; true when it did within the time.
  bool WaitForExit(DWORD timeout_ms);
  DWORD ExitCode() const;

 private:
  PROCESS_INFORMATION info_{};
};

// The first visible top-level window of the process with this class
// ("#32770" for a message box), waiting up to timeout_ms; null if none.
HWND WaitForWindow(DWORD process_id, const std::wstring& class_name, DWORD timeout_ms);
// The same, for a window with this caption.
HWND WaitForWindow(DWORD process_id, const std::wstring& class_name, const std::wstring& caption, DWORD timeout_ms);

// Waits until the window is destroyed; true when it was.
bool WaitUntilGone(HWND hwnd, DWORD timeout_ms);

// Waits until the window's caption equals caption; true when it did.
bool WaitForCaption(HWND hwnd, const std::wstring& caption, DWORD timeout_ms);

std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);

// Children of a window with the given class (any class when empty).
std::vector<HWND> ChildWindows(HWND parent, const std::wstring& class_name = L"");

// The message text of a message box (its static control with id 0xFFFF).
std::wstring MessageBoxText(HWND box);

// Presses the button with this id in a dialog.
void PressButton(HWND dialog, int id);

// Runs a Unix shell command (ImageMagick, xdotool, …) and returns what it
// printed. Wine gives no usable handle for a Unix process, so the command's
// last step renames its output into place and this waits for that name,
// at most timeout_seconds.
std::string RunUnix(const std::string& command, int timeout_seconds = 30);

// Starts a Unix program (a Z:\ path and its arguments) from this Wine
// process, without waiting for it. Wine hands back no usable handles for a
// Unix program: the thread handle it reports is whatever its stack held,
// and closing it can close a handle of this process's own (seen: the
// thread's desktop, after which no window could be created). They are
// therefore never touched.
bool StartUnixProgram(std::string command_line);

// Wine's name on the host for a Windows path; empty outside Wine.
std::string UnixPath(const std::string& path);

// Real input through X: runs xdotool with these arguments against the
// Xvfb display the test runs in.
std::string Xdotool(const std::string& arguments);

// The text of a panel of another process's status bar (SB_GETTEXTW with a
// buffer inside that process).
std::wstring StatusBarText(HWND status_bar, int panel);

// The number of pixels of a screen rectangle whose colour passes the test,
// read off the X screen (another process's window contents cannot be read
// through GDI under Wine).
int ScreenPixels(const RECT& screen_rect, const std::function<bool(int red, int green, int blue)>& wanted);

// The text of a tree view's item, and of its selected item ("" for none);
// the tree may belong to another process of the same bitness.
std::wstring TreeItemText(HWND tree, HTREEITEM item);
std::wstring TreeSelectionText(HWND tree);

// Quotes one argument for a command line.
std::string Quote(const std::string& arg);

}  // namespace testing_support
