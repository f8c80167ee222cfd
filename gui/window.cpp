#include "gui/window.h"

#include "gui/application.h"

namespace gui {

namespace {
const wchar_t kObjectProperty[] = L"TamselWindowObject";
}  // namespace

TWindow::~TWindow() {
  if (hwnd_) {
    HWND hwnd = hwnd_;
    RemovePropW(hwnd, kObjectProperty);
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
  }
}

bool TWindow::CreateHandle(const WindowClass& cls, const WindowParams& params) {
  HINSTANCE instance = Application().Instance() ? Application().Instance() : GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(instance, cls.name, &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.style = cls.style;
    wc.lpfnWndProc = &TWindow::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = cls.cursor ? cls.cursor : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = cls.background;
    wc.hIcon = cls.icon;
    wc.lpszClassName = cls.name;
    if (!RegisterClassExW(&wc)) return false;
  }
  HWND hwnd = CreateWindowExW(params.ex_style, cls.name, params.caption, params.style, params.x, params.y,
                              params.width, params.height, params.parent, reinterpret_cast<HMENU>(params.id),
                              instance, this);
  return hwnd != nullptr;
}

LRESULT TWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return DefaultHandler(msg, wp, lp); }

LRESULT TWindow::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) const { return DefWindowProcW(hwnd_, msg, wp, lp); }

void TWindow::Invalidate() const {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

RECT TWindow::ClientRect() const {
  RECT r{0, 0, 0, 0};
  if (hwnd_) GetClientRect(hwnd_, &r);
  return r;
}

void TWindow::SetBounds(int x, int y, int width, int height) const {
  if (hwnd_) SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK TWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWindow* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetPropW(hwnd, kObjectProperty, self);
  } else {
    self = static_cast<TWindow*>(GetPropW(hwnd, kObjectProperty));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);

  if (msg == WM_NCDESTROY) {
    RemovePropW(hwnd, kObjectProperty);
    LRESULT result = DefWindowProcW(hwnd, msg, wp, lp);
    self->hwnd_ = nullptr;
    self->HandleDestroyed();
    return result;
  }

  LRESULT result = 0;
  if (!RunGuarded([&] { result = self->HandleMessage(msg, wp, lp); })) return 0;
  return result;
}

}  // namespace gui
