// The application object: the program's title, its instance, the main
// window, the message loop and the default error display.
//
// There is one application per process (Application()). Errors that escape
// a message handler end up in HandleException, which shows them and lets the
// message loop go on, so a failing command never takes the program down.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace gui {

class TApplication {
 public:
  void Initialize(HINSTANCE instance);

  HINSTANCE Instance() const { return instance_; }
  const std::wstring& Title() const { return title_; }
  void SetTitle(std::wstring title) { title_ = std::move(title); }

  HWND MainWindow() const { return main_window_; }
  void SetMainWindow(HWND hwnd) { main_window_ = hwnd; }

  // Runs the message loop until the main window is gone; returns the exit code.
  int Run();

  // Handles every pending message, then returns (for long operations on the
  // window thread).
  void ProcessMessages();

  // The default error display: a box with the error's message, captioned
  // with the title, on the main window.
  void HandleException(const std::exception& e);
  void HandleUnknownException();

  // The message of an exception as a wide text.
  static std::wstring Describe(const std::exception& e);

  // A message box on the main window, captioned with the title.
  int MessageBox(const std::wstring& text, UINT flags) const;

  void BringToFront() const;

  // When set, accelerators and dialog navigation are left alone; the main
  // window's key preview sees every key first.
  void SetKeyPreview(HWND hwnd) { key_preview_ = hwnd; }

 private:
  HINSTANCE instance_ = nullptr;
  std::wstring title_ = L"Tamsel";
  HWND main_window_ = nullptr;
  HWND key_preview_ = nullptr;
};

TApplication& Application();

// Runs fn and sends any error it raises to the default error display.
// Returns false when an error was shown.
template <typename Fn>
bool RunGuarded(Fn&& fn) {
  try {
    fn();
    return true;
  } catch (const std::exception& e) {
    Application().HandleException(e);
  } catch (...) {
    Application().HandleUnknownException();
  }
  return false;
}

}  // namespace gui
