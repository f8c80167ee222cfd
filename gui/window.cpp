#include "gui/window.h"

#include <windowsx.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "gui/application.h"
#include "gui/control.h"
#include "gui/tooltip.h"
#include "util/handles_win.h"
#include "gui/model/hint_text.h"

namespace gui {

namespace {

// The object of each window bound to one, by handle. A window property
// would do the same, but under Wine every property lookup is a round trip
// to the server, and the lookup runs for every message.
struct TWindowRegistry {
  std::mutex lock;
  std::unordered_map<HWND, TWindow*> objects;
};

// Never destroyed: a window object living in static storage may go after
// every other static object.
TWindowRegistry& Registry() {
  static TWindowRegistry* registry = new TWindowRegistry;
  return *registry;
}

MouseButton ButtonOf(UINT msg) {
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK: return MouseButton::Right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: return MouseButton::Middle;
    default: return MouseButton::Left;
  }
}

}  // namespace

TWindow::TWindow() = default;

TWindow::~TWindow() {
  for (TGraphicControl* control : graphic_controls_) control->host_ = nullptr;
  tool_tip_.reset();
  if (hwnd_) {
    HWND hwnd = hwnd_;
    Unbind();
    // The object is no longer whole here, so the window goes without its
    // handlers; a main window that goes this way stops being the main window.
    if (Application().MainWindow() == hwnd) Application().SetMainWindow(nullptr);
    DestroyWindow(hwnd);
  }
}

void TWindow::DestroyHandle() {
  if (hwnd_) DestroyWindow(hwnd_);
}

TWindow* TWindow::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  TWindowRegistry& registry = Registry();
  std::lock_guard<std::mutex> hold(registry.lock);
  const auto found = registry.objects.find(hwnd);
  return found == registry.objects.end() ? nullptr : found->second;
}

void TWindow::Bind(HWND hwnd) {
  hwnd_ = hwnd;
  TWindowRegistry& registry = Registry();
  std::lock_guard<std::mutex> hold(registry.lock);
  registry.objects[hwnd] = this;
}

void TWindow::Unbind() {
  if (!hwnd_) return;
  {
    TWindowRegistry& registry = Registry();
    std::lock_guard<std::mutex> hold(registry.lock);
    registry.objects.erase(hwnd_);
  }
  if (base_proc_) {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base_proc_));
  }
  hwnd_ = nullptr;
}

bool TWindow::CreateHandle(const WindowClass& cls, const WindowParams& params) {
  HINSTANCE instance = Application().ModuleInstance();
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

bool TWindow::CreateSubclassed(const wchar_t* system_class, const WindowParams& params) {
  HWND hwnd = CreateWindowExW(params.ex_style, system_class, params.caption, params.style, params.x, params.y,
                              params.width, params.height, params.parent, reinterpret_cast<HMENU>(params.id),
                              Application().ModuleInstance(), nullptr);
  if (!hwnd) return false;
  Bind(hwnd);
  base_proc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindow::SubclassProc)));
  return true;
}

void TWindow::BindDialog(HWND hwnd) {
  dialog_ = true;
  Bind(hwnd);
}

LRESULT TWindow::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) {
  if (base_proc_) return CallWindowProcW(base_proc_, hwnd_, msg, wp, lp);
  if (dialog_) {
    unhandled_ = true;
    return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT TWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return Crack(msg, wp, lp); }

LRESULT TWindow::Crack(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  switch (msg) {
    case WM_COMMAND: {
      HWND control = reinterpret_cast<HWND>(lp);
      if (control && Reflect(control, msg, wp, lp, &result)) return result;
      if (OnCommand(LOWORD(wp), HIWORD(wp), control)) return 0;
      break;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      if (Reflect(header->hwndFrom, msg, wp, lp, &result)) return result;
      if (auto handled = OnNotify(header)) return *handled;
      break;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (item->CtlType != ODT_MENU && Reflect(item->hwndItem, msg, wp, lp, &result)) return result;
      if (OnDrawItem(item)) return TRUE;
      break;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (item->CtlType != ODT_MENU && Reflect(GetDlgItem(hwnd_, static_cast<int>(item->CtlID)), msg, wp, lp, &result))
        return result;
      if (OnMeasureItem(item)) return TRUE;
      break;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (Reflect(reinterpret_cast<HWND>(lp), msg, wp, lp, &result)) return result;
      break;
    case WM_SIZE:
      Realign();
      OnSize(static_cast<UINT>(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      break;
    case WM_PAINT:
      // A subclassed system control paints itself; our own windows paint
      // here and then their window-less controls.
      if (!base_proc_ && !dialog_) {
        util::PaintDc dc(hwnd_);
        OnPaint(dc.get(), dc.update_rect());
        PaintGraphicControls(dc.get(), dc.update_rect());
        return 0;
      }
      break;
    case WM_KEYDOWN:
      if (OnKeyDown(static_cast<UINT>(wp), lp)) return 0;
      break;
    case WM_TIMER:
      if (OnTimer(wp)) return 0;
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (RouteMouse(msg, wp, lp)) return 0;
      break;
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      SetHoverControl(nullptr);
      break;
    case WM_CAPTURECHANGED:
      mouse_control_ = nullptr;
      break;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hwnd_ && !graphic_controls_.empty()) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd_, &p);
        TGraphicControl* control = mouse_control_ ? mouse_control_ : GraphicControlAt(p);
        if (control && control->Cursor()) {
          SetCursor(control->Cursor());
          return TRUE;
        }
      }
      break;
  }
  return DefaultHandler(msg, wp, lp);
}

bool TWindow::Reflect(HWND child, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (!child || child == hwnd_) return false;
  TWindow* owner = FromHandle(child);
  if (!owner) return false;
  switch (msg) {
    case WM_COMMAND:
      if (!owner->OnReflectedCommand(HIWORD(wp))) return false;
      *result = 0;
      return true;
    case WM_NOTIFY: {
      auto handled = owner->OnReflectedNotify(reinterpret_cast<NMHDR*>(lp));
      if (!handled) return false;
      *result = *handled;
      return true;
    }
    case WM_DRAWITEM:
      if (!owner->OnReflectedDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return false;
      *result = TRUE;
      return true;
    case WM_MEASUREITEM:
      if (!owner->OnReflectedMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return false;
      *result = TRUE;
      return true;
    default: {
      HBRUSH brush = owner->OnReflectedColor(reinterpret_cast<HDC>(wp));
      if (!brush) return false;
      *result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
  }
}

// --- window-less controls ---------------------------------------------------

TGraphicControl* TWindow::GraphicControlAt(POINT p) const {
  for (auto it = graphic_controls_.rbegin(); it != graphic_controls_.rend(); ++it) {
    TGraphicControl* control = *it;
    if (control->Visible() && PtInRect(&control->BoundsRect(), p)) return control;
  }
  return nullptr;
}

bool TWindow::DialogCharToControls(wchar_t ch) {
  // A handler may change the list (a click that rebuilds a toolbar).
  const std::vector<TGraphicControl*> controls = graphic_controls_;
  for (TGraphicControl* control : controls) {
    if (control->Visible() && control->DialogChar(ch)) return true;
  }
  return false;
}

bool TWindow::RouteMouse(UINT msg, WPARAM wp, LPARAM lp) {
  if (graphic_controls_.empty()) return false;
  const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  const UINT keys = static_cast<UINT>(wp);

  if (msg == WM_MOUSEMOVE) {
    if (!mouse_control_) SetHoverControl(GraphicControlAt(p));
    TGraphicControl* target = mouse_control_ ? mouse_control_ : hover_control_;
    if (!target) return false;
    if (target->Enabled()) target->MouseMove(p.x - target->Left(), p.y - target->Top(), keys);
    return true;
  }

  TGraphicControl* target = mouse_control_ ? mouse_control_ : GraphicControlAt(p);
  if (!target) return false;
  const int x = p.x - target->Left();
  const int y = p.y - target->Top();
  const MouseButton button = ButtonOf(msg);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (!target->Enabled()) return true;
      if (target->CapturesMouse()) {
        mouse_control_ = target;
        SetCapture(hwnd_);
      }
      target->MouseDown(button, x, y, keys);
      return true;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (!target->Enabled()) return true;
      if (target->CapturesMouse()) {
        mouse_control_ = target;
        SetCapture(hwnd_);
      }
      target->DoubleClick(button, x, y, keys);
      return true;
    default: {  // a release
      const bool captured = mouse_control_ == target;
      if (captured) {
        mouse_control_ = nullptr;
        ReleaseCapture();
      }
      if (target->Enabled() || captured) target->MouseUp(button, x, y, keys);
      return true;
    }
  }
}

void TWindow::SetHoverControl(TGraphicControl* control) {
  if (control == hover_control_) return;
  TGraphicControl* previous = hover_control_;
  hover_control_ = control;
  if (previous) {
    previous->MouseLeave();
    Application().ShowHint(L"");
  }
  if (control) {
    if (!tracking_leave_) {
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
      tracking_leave_ = TrackMouseEvent(&track) != FALSE;
    }
    control->MouseEnter();
    Application().ShowHint(gui::LongHint(control->Hint()));
  }
}

void TWindow::PaintGraphicControls(HDC dc, const RECT& update) {
  for (TGraphicControl* control : graphic_controls_) {
    RECT area;
    if (!control->Visible() || !IntersectRect(&area, &control->BoundsRect(), &update)) continue;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, control->Left(), control->Top(), control->BoundsRect().right,
                      control->BoundsRect().bottom);
    POINT old_origin;
    OffsetViewportOrgEx(dc, control->Left(), control->Top(), &old_origin);
    if (control->Font()) SelectObject(dc, control->Font());
    control->Paint(dc);
    RestoreDC(dc, saved);
  }
}

void TWindow::AddGraphicControl(TGraphicControl* control) {
  graphic_controls_.push_back(control);
  UpdateToolTip(control);
}

void TWindow::RemoveGraphicControl(TGraphicControl* control) {
  graphic_controls_.erase(std::remove(graphic_controls_.begin(), graphic_controls_.end(), control),
                          graphic_controls_.end());
  if (mouse_control_ == control) {
    mouse_control_ = nullptr;
    if (GetCapture() == hwnd_) ReleaseCapture();
  }
  if (hover_control_ == control) hover_control_ = nullptr;
  if (tool_tip_) tool_tip_->Remove(reinterpret_cast<UINT_PTR>(control));
}

void TWindow::UpdateToolTip(TGraphicControl* control) {
  if (!hwnd_) return;
  const std::wstring text = control->Visible() ? gui::ShortHint(control->Hint()) : std::wstring();
  if (text.empty() && !tool_tip_) return;
  if (!tool_tip_) tool_tip_ = std::make_unique<TToolTip>(hwnd_);
  tool_tip_->SetRectTool(reinterpret_cast<UINT_PTR>(control), control->BoundsRect(), text);
}

void TWindow::SuppressToolTip(TGraphicControl* control, bool suppress) {
  if (!tool_tip_) return;
  if (!suppress) {
    UpdateToolTip(control);
    return;
  }
  tool_tip_->Pop();
  tool_tip_->Remove(reinterpret_cast<UINT_PTR>(control));
}

void TWindow::Realign() {
  if (!hwnd_) return;
  // Direct children only (EnumChildWindows would also walk grandchildren).
  std::vector<TWindow*> windows;
  for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    TWindow* window = FromHandle(child);
    if (window && window->align_ != gui::TAlign::alNone) windows.push_back(window);
  }
  std::vector<TGraphicControl*> controls;
  for (TGraphicControl* control : graphic_controls_) {
    if (control->Align() != gui::TAlign::alNone) controls.push_back(control);
  }
  if (windows.empty() && controls.empty()) return;

  std::vector<gui::TAlignedItem> items;
  for (TWindow* window : windows) {
    const RECT r = window->BoundsRect();
    items.push_back({window->align_, {r.left, r.top, r.right, r.bottom}, window->Visible()});
  }
  for (TGraphicControl* control : controls) {
    const RECT& r = control->BoundsRect();
    items.push_back({control->Align(), {r.left, r.top, r.right, r.bottom}, control->Visible()});
  }
  const RECT client = ClientRect();
  gui::AlignItems(client.right, client.bottom, items);
  size_t i = 0;
  for (TWindow* window : windows) {
    const util::TRect& b = items[i++].bounds;
    window->SetBounds(b.left, b.top, b.Width(), b.Height());
  }
  for (TGraphicControl* control : controls) {
    const util::TRect& b = items[i++].bounds;
    control->SetBounds(b.left, b.top, b.Width(), b.Height());
  }
}

// --- plain window helpers ----------------------------------------------------

void TWindow::Invalidate() const {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

std::wstring WindowText(HWND hwnd) {
  if (!hwnd) return std::wstring();
  int n = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(hwnd, &text[0], n + 1);
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return text;
}

std::wstring TWindow::Text() const { return WindowText(hwnd_); }

void TWindow::SetText(const std::wstring& text) const {
  if (hwnd_) SetWindowTextW(hwnd_, text.c_str());
}

RECT TWindow::ClientRect() const {
  RECT r{0, 0, 0, 0};
  if (hwnd_) GetClientRect(hwnd_, &r);
  return r;
}

RECT TWindow::BoundsRect() const {
  RECT r{0, 0, 0, 0};
  if (!hwnd_) return r;
  GetWindowRect(hwnd_, &r);
  if (HWND parent = GetParent(hwnd_); parent && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

void TWindow::SetBounds(int x, int y, int width, int height) const {
  if (hwnd_) SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWindow::SetVisible(bool visible) const {
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

bool TWindow::Visible() const { return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

void TWindow::SetEnabled(bool enabled) const {
  if (hwnd_) EnableWindow(hwnd_, enabled);
}

bool TWindow::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

// --- the procedures ------------------------------------------------------------

LRESULT TWindow::Dispatch(TWindow* self, UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = self->hwnd_;
  if (msg == WM_NCDESTROY) {
    WNDPROC base = self->base_proc_;
    self->Unbind();
    self->base_proc_ = nullptr;
    const LRESULT result = base ? CallWindowProcW(base, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
    self->HandleDestroyed();
    return result;
  }
  LRESULT result = 0;
  if (!RunGuarded([&] { result = self->HandleMessage(msg, wp, lp); })) return 0;
  return result;
}

LRESULT CALLBACK TWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWindow* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    if (self) self->Bind(hwnd);
  } else {
    self = FromHandle(hwnd);
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  return Dispatch(self, msg, wp, lp);
}

LRESULT CALLBACK TWindow::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWindow* self = FromHandle(hwnd);
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  return Dispatch(self, msg, wp, lp);
}

}  // namespace gui
