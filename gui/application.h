// The application object: the program's title, its instance, the main
// window, the message loop and the default error display.
//
// There is one application per process (Application()). Errors that escape
// a message handler end up in HandleException, which shows them and lets the
// message loop go on, so a failing command never takes the program down.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace gui {

class TApplication {
 public:
  void Initialize(HINSTANCE instance);

  HINSTANCE Instance() const { return instance_; }
  // The instance windows and resources belong to: the application's, or the
  // running module's before Initialize (tests).
  HINSTANCE ModuleInstance() const { return instance_ ? instance_ : GetModuleHandleW(nullptr); }
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

  // The hint display: receives the long part of the hint of the control
  // the mouse is over (an empty text when it leaves).
  void SetHintHandler(std::function<void(const std::wstring&)> handler) {
    hint_handler_ = std::move(handler);
    hint_.clear();
  }
  // Passes a changed hint on to the handler.
  void ShowHint(const std::wstring& long_hint);

  // Keyboard accelerators of a window, translated by the message loop for
  // the window and everything on it (null removes them; not owned).
  void SetAccelerators(HWND window, HACCEL accelerators) {
    accelerator_window_ = window;
    accelerators_ = accelerators;
  }

  // Modeless dialogs get keyboard navigation (IsDialogMessage) while one of
  // their windows has the message.
  void AddModeless(HWND dialog);
  void RemoveModeless(HWND dialog);

  // A key handler that sees every key-down before anything else (a drag
  // that ESC cancels); it returns true to consume the key. The latest one
  // pushed is asked first.
  using KeyHandler = std::function<bool(UINT key)>;
  int PushKeyHandler(KeyHandler handler);
  void RemoveKeyHandler(int token);

  // What the message loop does with one message before dispatching it:
  // key handlers, the form's key preview, accelerator characters of
  // window-less controls, accelerators and dialog navigation. True when the
  // message was consumed.
  bool PreTranslate(MSG& msg);

 private:
  HINSTANCE instance_ = nullptr;
  std::wstring title_ = L"Tamsel";
  HWND main_window_ = nullptr;
  std::function<void(const std::wstring&)> hint_handler_;
  std::wstring hint_;
  HWND accelerator_window_ = nullptr;
  HACCEL accelerators_ = nullptr;
  std::vector<HWND> modeless_;
  std::vector<std::pair<int, KeyHandler>> key_handlers_;
  int next_key_token_ = 1;
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
