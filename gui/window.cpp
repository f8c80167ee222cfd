#include "gui/window.h"

#include <windowsx.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "gui/application.h"
#include "gui/control.h"
#include "gui/model/hint_text.h"
#include "gui/tooltip.h"
#include "util/handles_win.h"

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
  HWND hwnd = CreateWindowExW(params.ex_style, cls.name, params.caption, params.style, params.x, params.y, params.width,
                              params.height, params.parent, reinterpret_cast<HMENU>(params.id), instance, this);
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

LRESULT TWindow::Default() {
  return current_ ? DefaultHandler(current_->message, current_->wParam, current_->lParam) : 0;
}

LRESULT TWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return Crack(msg, wp, lp); }

LRESULT TWindow::Crack(UINT msg, WPARAM wp, LPARAM lp) {
  // A handler may send this window further messages; each has its own.
  const MSG message{hwnd_, msg, wp, lp, 0, {0, 0}};
  struct Current {
    const MSG*& slot;
    const MSG* outer;
    ~Current() { slot = outer; }
  } current{current_, current_};
  current_ = &message;

  switch (msg) {
    case WM_CREATE:
      if (OnCreate()) return 0;
      break;
    case WM_INITDIALOG: return OnInitDialog() ? TRUE : FALSE;
    case WM_CLOSE:
      if (OnClose()) return 0;
      break;
    case WM_DESTROY:
      if (OnDestroy()) return 0;
      break;
    case WM_COMMAND: {
      HWND control = reinterpret_cast<HWND>(lp);
      TWindow* owner = ReflectionTarget(control);
      if (owner && owner->OnReflectedCommand(HIWORD(wp))) return 0;
      if (OnCommand(LOWORD(wp), HIWORD(wp), control)) return 0;
      break;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      if (TWindow* owner = ReflectionTarget(header->hwndFrom)) {
        if (auto handled = owner->OnReflectedNotify(header)) return *handled;
      }
      if (auto handled = OnNotify(header)) return *handled;
      break;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      TWindow* owner = item->CtlType == ODT_MENU ? nullptr : ReflectionTarget(item->hwndItem);
      if (owner && owner->OnReflectedDrawItem(item)) return TRUE;
      if (OnDrawItem(item)) return TRUE;
      break;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      TWindow* owner =
          item->CtlType == ODT_MENU ? nullptr : ReflectionTarget(GetDlgItem(hwnd_, static_cast<int>(item->CtlID)));
      if (owner && owner->OnReflectedMeasureItem(item)) return TRUE;
      if (OnMeasureItem(item)) return TRUE;
      break;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      HWND control = reinterpret_cast<HWND>(lp);
      TWindow* owner = ReflectionTarget(control);
      HBRUSH brush = owner ? owner->OnReflectedColor(dc) : nullptr;
      if (!brush) brush = OnCtlColorStatic(dc, control);
      if (brush) return reinterpret_cast<LRESULT>(brush);
      break;
    }
    case WM_SIZE:
      Realign();
      OnSize(static_cast<UINT>(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      break;
    case WM_GETMINMAXINFO:
      if (OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp))) return 0;
      break;
    case WM_PAINT:
      // A subclassed system control paints itself; our own windows paint
      // here and then their window-less controls.
      if (base_proc_) {
        const LRESULT painted = DefaultHandler(msg, wp, lp);
        OnSystemPainted();
        return painted;
      }
      if (!dialog_) {
        util::PaintDc dc(hwnd_);
        OnPaint(dc.get(), dc.update_rect());
        PaintGraphicControls(dc.get(), dc.update_rect());
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      if (OnEraseBackground(reinterpret_cast<HDC>(wp))) return TRUE;
      break;
    case WM_KEYDOWN:
      if (OnKeyDown(static_cast<UINT>(wp), lp)) return 0;
      break;
    case WM_SYSKEYDOWN:
      if (OnSysKeyDown(static_cast<UINT>(wp), lp)) return 0;
      break;
    case WM_CHAR:
      if (OnChar(static_cast<UINT>(wp), lp)) return 0;
      break;
    case WM_GETDLGCODE:
      if (auto code = OnGetDlgCode(static_cast<UINT>(wp), reinterpret_cast<MSG*>(lp))) return *code;
      break;
    case WM_TIMER:
      if (OnTimer(wp)) return 0;
      break;
    case WM_SETFOCUS:
      if (OnSetFocus(reinterpret_cast<HWND>(wp))) return 0;
      break;
    case WM_KILLFOCUS:
      if (OnKillFocus(reinterpret_cast<HWND>(wp))) return 0;
      break;
    case WM_SETCURSOR: {
      HWND window = reinterpret_cast<HWND>(wp);
      if (LOWORD(lp) == HTCLIENT && window == hwnd_ && !graphic_controls_.empty()) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd_, &p);
        TGraphicControl* control = mouse_control_ ? mouse_control_ : GraphicControlAt(p);
        if (control && control->Cursor()) {
          SetCursor(control->Cursor());
          return TRUE;
        }
      }
      if (OnSetCursor(window, LOWORD(lp))) return TRUE;
      break;
    }
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      SetHoverControl(nullptr);
      OnMouseLeave();
      break;
    case WM_CAPTURECHANGED: mouse_control_ = nullptr; break;
    case WM_MOUSEWHEEL:
      if (OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wp), GET_KEYSTATE_WPARAM(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp)))
        return 0;
      break;
    case WM_VSCROLL:
      if (OnVScroll(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return 0;
      break;
    case WM_DROPFILES:
      if (OnFilesDropped(reinterpret_cast<HDROP>(wp))) return 0;
      break;
    case WM_MENUSELECT:
      if (OnMenuSelect(LOWORD(wp), HIWORD(wp), reinterpret_cast<HMENU>(lp))) return 0;
      break;
    default:
      if (const auto mouse = MouseEventOf(msg); mouse && CrackMouse(*mouse, wp, lp)) return 0;
      break;
  }
  return DefaultHandler(msg, wp, lp);
}

TWindow* TWindow::ReflectionTarget(HWND child) const {
  if (!child || child == hwnd_) return nullptr;
  return FromHandle(child);
}

std::optional<TWindow::MouseEvent> TWindow::MouseEventOf(UINT msg) {
  using E = MouseEvent;
  switch (msg) {
    case WM_MOUSEMOVE: return E{E::Action::kMove, MouseButton::kLeft};
    case WM_LBUTTONDOWN: return E{E::Action::kDown, MouseButton::kLeft};
    case WM_LBUTTONUP: return E{E::Action::kUp, MouseButton::kLeft};
    case WM_LBUTTONDBLCLK: return E{E::Action::kDoubleClick, MouseButton::kLeft};
    case WM_RBUTTONDOWN: return E{E::Action::kDown, MouseButton::kRight};
    case WM_RBUTTONUP: return E{E::Action::kUp, MouseButton::kRight};
    case WM_RBUTTONDBLCLK: return E{E::Action::kDoubleClick, MouseButton::kRight};
    case WM_MBUTTONDOWN: return E{E::Action::kDown, MouseButton::kMiddle};
    case WM_MBUTTONUP: return E{E::Action::kUp, MouseButton::kMiddle};
    case WM_MBUTTONDBLCLK: return E{E::Action::kDoubleClick, MouseButton::kMiddle};
    default: return std::nullopt;
  }
}

bool TWindow::CrackMouse(const MouseEvent& event, WPARAM wp, LPARAM lp) {
  const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  const UINT keys = static_cast<UINT>(wp);
  if (RouteMouse(event, p, keys)) return true;
  switch (event.action) {
    case MouseEvent::Action::kMove: return OnMouseMove(p.x, p.y, keys);
    case MouseEvent::Action::kDown: return OnMouseButtonDown(event.button, p.x, p.y, keys);
    case MouseEvent::Action::kUp: return OnMouseButtonUp(event.button, p.x, p.y, keys);
    case MouseEvent::Action::kDoubleClick: return OnMouseDoubleClick(event.button, p.x, p.y, keys);
  }
  return false;
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

bool TWindow::RouteMouse(const MouseEvent& event, POINT p, UINT keys) {
  if (graphic_controls_.empty()) return false;

  if (event.action == MouseEvent::Action::kMove) {
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
  if (event.action == MouseEvent::Action::kUp) {
    const bool captured = mouse_control_ == target;
    if (captured) {
      mouse_control_ = nullptr;
      ReleaseCapture();
    }
    if (target->Enabled() || captured) target->MouseUp(event.button, x, y, keys);
    return true;
  }
  if (!target->Enabled()) return true;
  if (target->CapturesMouse()) {
    mouse_control_ = target;
    SetCapture(hwnd_);
  }
  if (event.action == MouseEvent::Action::kDown)
    target->MouseDown(event.button, x, y, keys);
  else
    target->DoubleClick(event.button, x, y, keys);
  return true;
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
    IntersectClipRect(dc, control->Left(), control->Top(), control->BoundsRect().right, control->BoundsRect().bottom);
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
