#include "gui/form.h"

#include <utility>

#include "gui/application.h"

namespace gui {

bool TForm::CreateForm(const wchar_t* class_name, const std::wstring& caption, int x, int y, int width, int height,
                       HICON icon) {
  WindowClass cls{class_name};
  cls.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.icon = icon;
  WindowParams params;
  params.caption = caption.c_str();
  params.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  params.x = x;
  params.y = y;
  params.width = width;
  params.height = height;
  return CreateHandle(cls, params);
}

void TForm::Show(int show_command) const {
  ShowWindow(Handle(), show_command);
  UpdateWindow(Handle());
}

void TForm::SizeAsMaximized() const {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  // The frame alone, without the caption: a caption's border is the frame's.
  DWORD style = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE));
  if ((style & WS_CAPTION) == WS_CAPTION) style &= ~WS_BORDER;
  RECT frame{};
  AdjustWindowRectEx(&frame, style, FALSE, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
  const RECT& work = monitor.rcWork;
  SetWindowPos(Handle(), nullptr, work.left + frame.left, work.top + frame.top,
               work.right - work.left + frame.right - frame.left, work.bottom - work.top + frame.bottom - frame.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Close() const {
  if (Handle()) SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

bool TForm::PreviewKey(UINT msg, UINT key, LPARAM /*flags*/) {
  // A disabled form still sees its keys: Esc ends a long operation.
  if (!key_preview_) return false;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool alt = msg == WM_SYSKEYDOWN || GetKeyState(VK_MENU) < 0;
  return FormKeyDown(key, ctrl, shift, alt);
}

namespace {

BOOL CALLBACK OfferDialogChar(HWND child, LPARAM param) {
  auto* request = reinterpret_cast<std::pair<wchar_t, bool>*>(param);
  TWindow* window = TWindow::FromHandle(child);
  if (window && IsWindowVisible(child) && window->DialogCharToControls(request->first)) {
    request->second = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool TForm::DialogChar(wchar_t ch) {
  if (DialogCharToControls(ch)) return true;
  std::pair<wchar_t, bool> request{ch, false};
  EnumChildWindows(Handle(), &OfferDialogChar, reinterpret_cast<LPARAM>(&request));
  return request.second;
}

bool TForm::OnCreate() {
  FormCreate();
  return true;
}

bool TForm::OnClose() {
  if (FormCloseQuery()) DestroyWindow(Handle());
  return true;
}

bool TForm::OnDestroy() {
  // Settings are written even when something in FormDestroy fails.
  RunGuarded([&] { FormDestroy(); });
  if (Application().MainWindow() == Handle()) {
    Application().SetMainWindow(nullptr);
    PostQuitMessage(0);
  }
  return true;
}

}  // namespace gui
