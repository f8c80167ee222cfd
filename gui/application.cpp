#include "gui/application.h"

#include <algorithm>

#include "gui/error.h"
#include "gui/form.h"
#include "gui/model/hint_text.h"
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
    if (PreTranslate(msg)) continue;
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
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TApplication::ShowHint(const std::wstring& long_hint) {
  if (long_hint == hint_) return;
  hint_ = long_hint;
  if (hint_handler_) hint_handler_(long_hint);
}

bool TApplication::PreTranslate(MSG& msg) {
  if (!msg.hwnd) return false;
  if (msg.message == WM_MOUSEMOVE) {
    // The hint of the window under the mouse, or of its nearest parent
    // that has one; window-less controls report their own.
    TWindow* window = TWindow::FromHandle(msg.hwnd);
    const POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    if (!window || !window->GraphicControlAt(p)) {
      std::wstring hint;
      for (HWND h = msg.hwnd; h && hint.empty(); h = GetParent(h)) {
        if (TWindow* w = TWindow::FromHandle(h)) hint = w->Hint();
        if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
      }
      ShowHint(gui::LongHint(hint));
    }
  }
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    // A handler may remove itself when it sees its key: ask a copy.
    const auto handlers = key_handlers_;
    for (auto it = handlers.rbegin(); it != handlers.rend(); ++it) {
      if (it->second(static_cast<UINT>(msg.wParam))) return true;
    }
    if (auto* form = dynamic_cast<TForm*>(TWindow::FromHandle(root))) {
      bool consumed = false;
      RunGuarded([&] { consumed = form->PreviewKey(msg.message, static_cast<UINT>(msg.wParam), msg.lParam); });
      if (consumed) return true;
    }
  }
  if (msg.message == WM_SYSCHAR) {
    if (auto* form = dynamic_cast<TForm*>(TWindow::FromHandle(root))) {
      bool consumed = false;
      RunGuarded([&] { consumed = form->DialogChar(static_cast<wchar_t>(msg.wParam)); });
      if (consumed) return true;
    }
  }
  if (accelerators_ && root == accelerator_window_ && TranslateAcceleratorW(accelerator_window_, accelerators_, &msg))
    return true;
  if (std::find(modeless_.begin(), modeless_.end(), root) != modeless_.end() && IsDialogMessageW(root, &msg))
    return true;
  return false;
}

void TApplication::AddModeless(HWND dialog) {
  if (std::find(modeless_.begin(), modeless_.end(), dialog) == modeless_.end()) modeless_.push_back(dialog);
}

void TApplication::RemoveModeless(HWND dialog) {
  modeless_.erase(std::remove(modeless_.begin(), modeless_.end(), dialog), modeless_.end());
}

int TApplication::PushKeyHandler(KeyHandler handler) {
  const int token = next_key_token_++;
  key_handlers_.emplace_back(token, std::move(handler));
  return token;
}

void TApplication::RemoveKeyHandler(int token) {
  key_handlers_.erase(std::remove_if(key_handlers_.begin(), key_handlers_.end(),
                                     [token](const auto& entry) { return entry.first == token; }),
                      key_handlers_.end());
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
