#include "gui/application.h"

#include "gui/error.h"
#include "gui/text.h"

namespace gui {

TApplication& Application() {
  static TApplication app;
  return app;
}

void TApplication::Initialize(HINSTANCE instance) { instance_ = instance; }

int TApplication::Run() {
  MSG msg;
  int result;
  while ((result = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (result == -1) return 1;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::wstring TApplication::Describe(const std::exception& e) {
  if (const auto* error = dynamic_cast<const Error*>(&e)) return error->message();
  if (dynamic_cast<const std::bad_alloc*>(&e)) return L"Out of memory.";
  return AnsiToWide(e.what());
}

void TApplication::HandleException(const std::exception& e) { MessageBox(Describe(e), MB_OK | MB_ICONERROR); }

void TApplication::HandleUnknownException() { MessageBox(L"An unexpected error occurred.", MB_OK | MB_ICONERROR); }

int TApplication::MessageBox(const std::wstring& text, UINT flags) const {
  HWND owner = main_window_ && IsWindow(main_window_) ? main_window_ : nullptr;
  return MessageBoxW(owner, text.c_str(), title_.c_str(), flags);
}

void TApplication::BringToFront() const {
  if (main_window_) SetForegroundWindow(main_window_);
}

}  // namespace gui
