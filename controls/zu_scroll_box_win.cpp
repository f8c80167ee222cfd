#include "controls/zu_scroll_box_win.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

namespace controls {

namespace {

gui::WindowClass HostClass() {
  gui::WindowClass cls = {L"TZuScrollBox"};
  cls.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  return cls;
}

bool ToGridKey(WPARAM vk, TGridKey* key) {
  switch (vk) {
    case VK_PRIOR: *key = TGridKey::kPageUp; return true;
    case VK_NEXT: *key = TGridKey::kPageDown; return true;
    case VK_END: *key = TGridKey::kEnd; return true;
    case VK_HOME: *key = TGridKey::kHome; return true;
    case VK_LEFT: *key = TGridKey::kLeft; return true;
    case VK_UP: *key = TGridKey::kUp; return true;
    case VK_RIGHT: *key = TGridKey::kRight; return true;
    case VK_DOWN: *key = TGridKey::kDown; return true;
    default: return false;
  }
}

// Gives the drop handle back to the shell on every path, also when the
// drop handler raises an error.
class DropGuard {
 public:
  explicit DropGuard(HDROP drop) : drop_(drop) {}
  ~DropGuard() { DragFinish(drop_); }
  DropGuard(const DropGuard&) = delete;
  DropGuard& operator=(const DropGuard&) = delete;

 private:
  HDROP drop_;
};

}  // namespace

bool TZuScrollBox::Create(HWND parent, int x, int y, int width, int height, UINT_PTR id) {
  gui::WindowParams params =
      gui::WindowParams::Child(parent, id, WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | WS_CLIPCHILDREN, x, y, width, height);
  params.ex_style = WS_EX_CLIENTEDGE;
  if (!CreateHandle(HostClass(), params)) return false;
  if (!image_box_.Create(Handle())) return false;
  increment_ = image_box_.Metrics().ScrollIncrement();
  if (on_drop_files_) DragAcceptFiles(Handle(), TRUE);
  Resized();
  return true;
}

void TZuScrollBox::SetOnDropFiles(TDropFilesEvent handler) {
  const bool had = static_cast<bool>(on_drop_files_);
  on_drop_files_ = std::move(handler);
  const bool has = static_cast<bool>(on_drop_files_);
  if (Handle() && had != has) DragAcceptFiles(Handle(), has ? TRUE : FALSE);
}

int TZuScrollBox::ClientWidth() const { return ClientRect().right; }
int TZuScrollBox::ClientHeight() const { return ClientRect().bottom; }
bool TZuScrollBox::Focused() const { return Handle() != nullptr && GetFocus() == Handle(); }

int TZuScrollBox::MaxScrollPosition() const { return std::max(image_box_.Height() - ClientHeight(), 0); }

void TZuScrollBox::SetScrollPosition(int position) {
  position = std::min(std::max(position, 0), MaxScrollPosition());
  if (position == scroll_pos_) return;
  scroll_pos_ = position;
  if (!Handle()) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_POS;
  si.nPos = scroll_pos_;
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
  if (image_box_.Handle())
    SetWindowPos(image_box_.Handle(), nullptr, 0, -scroll_pos_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TZuScrollBox::UpdateScrollBar() {
  if (!Handle()) return;
  // The bar shows only while the grid is taller than the client area; its
  // appearing narrows the client area, which lays the grid out again
  // through WM_SIZE.
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(image_box_.Height() - 1, 0);
  si.nPage = static_cast<UINT>(std::max(ClientHeight(), 0));
  si.nPos = scroll_pos_;
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
}

void TZuScrollBox::GridResized() {
  if (!Handle()) return;
  UpdateScrollBar();
  const int clamped = std::min(scroll_pos_, MaxScrollPosition());
  if (clamped != scroll_pos_) {
    scroll_pos_ = clamped;
    UpdateScrollBar();
  }
  if (image_box_.Handle())
    SetWindowPos(image_box_.Handle(), nullptr, 0, -scroll_pos_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TZuScrollBox::Resized() {
  // Showing or hiding the bar resizes the client area from inside this
  // call; the nesting settles after one or two rounds, the limit only
  // guards against a pathological flip-flop.
  if (layout_depth_ > 3) return;
  ++layout_depth_;
  image_box_.SetWidth(ClientWidth());
  --layout_depth_;
  Invalidate();
}

void TZuScrollBox::Scroll(UINT request) {
  int position = scroll_pos_;
  switch (request) {
    case SB_LINEUP: position -= increment_; break;
    case SB_LINEDOWN: position += increment_; break;
    case SB_PAGEUP: position -= ClientHeight(); break;
    case SB_PAGEDOWN: position += ClientHeight(); break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = MaxScrollPosition(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      if (GetScrollInfo(Handle(), SB_VERT, &si)) position = si.nTrackPos;
      break;
    }
    default: return;
  }
  SetScrollPosition(position);
}

bool TZuScrollBox::HandleKeyDown(WPARAM virtual_key) {
  TGridKey key;
  if (!ToGridKey(virtual_key, &key)) return false;
  const TKeyAction action = KeyAction(key, image_box_.ItemIndex(), image_box_.IconCount(), image_box_.Columns(),
                                      ClientHeight(), image_box_.CellHeight());
  if (action.Request) image_box_.SetItemIndex(action.Index);
  return action.Consumed;
}

bool TZuScrollBox::HandleWheel(int wheel_delta) {
  const TKeyAction action = WheelAction(wheel_delta, image_box_.ItemIndex(), image_box_.Columns());
  if (action.Request) image_box_.SetItemIndex(action.Index);
  return action.Consumed;
}

void TZuScrollBox::MouseDown(gui::MouseButton button, UINT keys, int x, int y) {
  if (OnMouseDown) OnMouseDown(*this, button, keys, x, y);
  if (image_box_.IconCount() > 0) image_box_.DrawCell(image_box_.ItemIndex());
}

void TZuScrollBox::DblClick() {
  if (OnDblClick) OnDblClick(*this);
}

void TZuScrollBox::DropFiles(HDROP drop) {
  DropGuard guard(drop);
  std::vector<std::string> files;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  POINT point{0, 0};
  DragQueryPoint(drop, &point);
  for (UINT i = 0; i < count; ++i) {
    // Sized from the name's own length, so that a long path is never cut
    // into the name of another file.
    const UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::string name(length + 1, '\0');
    const UINT copied = DragQueryFileA(drop, i, &name[0], length + 1);
    name.resize(std::min(copied, length));
    files.push_back(std::move(name));
  }
  if (on_drop_files_) on_drop_files_(*this, point.x, point.y, files);
}

void TZuScrollBox::OnSize(UINT /*type*/, int /*width*/, int /*height*/) { Resized(); }

bool TZuScrollBox::OnVScroll(int code, int /*position*/, HWND /*bar*/) {
  Scroll(static_cast<UINT>(code));
  return true;
}

// Arrows move the selection instead of the focus, but only while there is
// something to select.
std::optional<LRESULT> TZuScrollBox::OnGetDlgCode(UINT /*key*/, MSG* /*msg*/) {
  if (image_box_.IconCount() > 0) return Default() | DLGC_WANTARROWS;
  return Default();
}

bool TZuScrollBox::OnKeyDown(UINT key, LPARAM /*flags*/) { return HandleKeyDown(key); }

bool TZuScrollBox::OnMouseWheel(int delta, UINT /*keys*/, int /*x*/, int /*y*/) {
  return Focused() && HandleWheel(delta);
}

bool TZuScrollBox::OnMouseButtonDown(gui::MouseButton button, int x, int y, UINT keys) {
  SetFocus(Handle());
  MouseDown(button, keys, x, y);
  return true;
}

bool TZuScrollBox::OnMouseDoubleClick(gui::MouseButton button, int /*x*/, int /*y*/, UINT /*keys*/) {
  if (button != gui::MouseButton::kLeft) return false;
  DblClick();
  return true;
}

bool TZuScrollBox::OnSetFocus(HWND /*previous*/) {
  FocusChanged();
  return true;
}

bool TZuScrollBox::OnKillFocus(HWND /*next*/) {
  FocusChanged();
  return true;
}

// Draws or removes the focus rectangle; an empty grid shows none.
void TZuScrollBox::FocusChanged() {
  Default();
  if (image_box_.IconCount() > 0) image_box_.DrawCell(image_box_.ItemIndex());
}

bool TZuScrollBox::OnFilesDropped(HDROP drop) {
  DropFiles(drop);
  return true;
}

}  // namespace controls
