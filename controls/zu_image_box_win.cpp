#include "controls/zu_image_box_win.h"

#include <windowsx.h>

#include "controls/zu_scroll_box_win.h"
#include "util/handles_win.h"
#include "util/rect_win.h"

namespace controls {

namespace {

const gui::WindowClass kGridClass = {L"TZuImageBox"};

// Icons around the view are extracted on a timer, which comes only once
// every paint is done, a few at a time, so that input is never kept waiting.
constexpr UINT_PTR kPrefetchTimer = 1;
constexpr int kPrefetchSlice = 16;

// Fills with a system colour brush; those brushes are the system's and are
// never deleted.
void FillWithSysColor(HDC dc, const RECT& r, int color) { FillRect(dc, &r, GetSysColorBrush(color)); }

}  // namespace

bool TZuImageBox::Create(HWND host_window) {
  gui::WindowParams params;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  params.ex_style = WS_EX_NOPARENTNOTIFY;
  params.x = 0;
  params.y = 0;
  params.width = width_;
  params.height = height_;
  params.parent = host_window;
  return CreateHandle(kGridClass, params);
}

void TZuImageBox::LoadIcons(const std::string& path) {
  const bool loaded = icons_.LoadIcons(path);
  item_index_ = -1;
  if (!loaded) return;
  // Lay out for the host's width; when the rows will not fit, the host's
  // scroll bar appears and narrows the client area, so lay out once more.
  height_ = 0;
  SetWidth(host_.ClientWidth());
  if (host_.ClientHeight() < height_) SetWidth(host_.ClientWidth());
  Invalidate();
}

void TZuImageBox::SetItemWidth(int value) {
  if (!metrics_.SetItemWidth(value)) return;
  UpdateLayout();
  Invalidate();
}

void TZuImageBox::SetItemHeight(int value) {
  if (!metrics_.SetItemHeight(value)) return;
  UpdateLayout();
  Invalidate();
}

void TZuImageBox::SetOffset(int value) {
  if (!metrics_.SetOffset(value)) return;
  UpdateLayout();
  Invalidate();
}

void TZuImageBox::SetWidth(int width) {
  width_ = width;
  UpdateLayout();
}

void TZuImageBox::UpdateLayout() {
  layout_ = ComputeLayout(metrics_, width_, IconCount());
  Resize(width_, layout_.Height);
}

void TZuImageBox::Resize(int width, int height) {
  width_ = width;
  height_ = height;
  if (Handle()) SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  host_.GridResized();
}

void TZuImageBox::SetItemIndex(int value) {
  TScrollView view;
  view.Position = host_.ScrollPosition();
  view.ClientHeight = host_.ClientHeight();
  view.MaxPosition = host_.MaxScrollPosition();
  view.Increment = host_.ScrollIncrement();
  const TSelectionPlan plan = PlanSetItemIndex(metrics_, layout_.Columns, IconCount(), item_index_, value, view);
  if (!plan.Changed) return;
  item_index_ = plan.NewIndex;
  if (plan.Scrolls) {
    host_.SetScrollPosition(plan.ScrollPosition);
    // Moving the grid only repaints what comes into view; the old and the
    // new selection may both have been visible before.
    Invalidate();
  }
  if (plan.RepaintOld) DrawCell(plan.OldIndex);
  if (plan.RepaintNew) DrawCell(plan.NewIndex);
  if (host_.OnSelectItem) host_.OnSelectItem(host_, item_index_);
}

void TZuImageBox::DrawIconAt(HDC dc, int index, const imaging::TIcon& icon) const {
  if (icon.Empty()) return;  // an empty icon object draws nothing
  const TGridPoint p = IconOrigin(metrics_, layout_.Columns, index);
  DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.Handle()), 1, p.X, p.Y, metrics_.ItemWidth(),
             metrics_.ItemHeight(), DST_ICON);
}

void TZuImageBox::DrawAllIcons(HDC dc) const { DrawIcons(dc, false); }

void TZuImageBox::DrawIcons(HDC dc, bool hold) const {
  // Only what the device context can show: the part of the grid in view, or
  // the whole picture of a bitmap. A large library then costs no more to
  // paint than a small one.
  RECT clip{};
  if (GetClipBox(dc, &clip) == ERROR) return;
  const TIndexRange range = IconsInBand(metrics_, layout_.Columns, IconCount(), clip.top, clip.bottom);
  if (hold) {
    for (int index = range.First; index < range.Last; ++index) DrawIconAt(dc, index, Icons(index));
  } else {
    icons_.VisitIcons(range.First, range.Last,
                      [&](int index, const imaging::TIcon& icon) { DrawIconAt(dc, index, icon); });
  }
}

void TZuImageBox::DrawCell(int index) {
  if (!Handle()) return;
  if (index < 0) index = 0;
  util::WindowDc dc(Handle());
  if (!dc) return;
  const RECT r = util::ToRECT(SelectionRect(metrics_, layout_.Columns, index));
  FillWithSysColor(dc.get(), r, index == item_index_ ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
  if (index < IconCount()) DrawIconAt(dc.get(), index, Icons(index));
  if (host_.Focused() && (index == item_index_ || item_index_ == -1)) DrawFocusRect(dc.get(), &r);
}

void TZuImageBox::Paint(HDC dc) {
  const RECT client = ClientRect();
  FillWithSysColor(dc, client, COLOR_BTNFACE);
  // Custom content lies on the background, under the icons.
  if (host_.OnCustomPaint) host_.OnCustomPaint(*this, dc);
  if (IconCount() == 0) return;
  const int focus_cell = item_index_ >= 0 ? item_index_ : 0;
  const RECT focus_rect = util::ToRECT(SelectionRect(metrics_, layout_.Columns, focus_cell));
  if (item_index_ >= 0) FillWithSysColor(dc, focus_rect, COLOR_HIGHLIGHT);
  DrawIcons(dc, true);
  if (host_.Focused()) DrawFocusRect(dc, &focus_rect);
  SetTimer(Handle(), kPrefetchTimer, 0, nullptr);
}

bool TZuImageBox::PrefetchSlice() {
  const int top = host_.ScrollPosition();
  const TPrefetchPlan plan =
      PlanPrefetch(metrics_, layout_.Columns, IconCount(), top, top + host_.ClientHeight(), TIconSet::kMaxHeldIcons);
  int left = kPrefetchSlice;
  for (const TIndexRange& range : {plan.Ahead, plan.Behind}) {
    for (int index = range.First; index < range.Last && left > 0; ++index) {
      if (icons_.Extracted(index)) continue;
      icons_.Icons(index);
      --left;
    }
  }
  return left == 0;
}

void TZuImageBox::MouseDown(gui::MouseButton button, UINT keys, int x, int y) {
  SetFocus(host_.Handle());
  const int index = HitTest(metrics_, layout_.Columns, IconCount(), x, y);
  if (index != item_index_) SetItemIndex(index);
  POINT p{x, y};
  MapWindowPoints(Handle(), host_.Handle(), &p, 1);
  host_.MouseDown(button, keys, p.x, p.y);
}

bool TZuImageBox::OnEraseBackground(HDC /*dc*/) { return true; }  // OnPaint fills the background itself

void TZuImageBox::OnPaint(HDC dc, const RECT& /*update*/) { Paint(dc); }

bool TZuImageBox::OnTimer(UINT_PTR id) {
  if (id != kPrefetchTimer) return false;
  if (!PrefetchSlice()) KillTimer(Handle(), kPrefetchTimer);
  return true;
}

bool TZuImageBox::OnMouseButtonDown(gui::MouseButton button, int x, int y, UINT keys) {
  MouseDown(button, keys, x, y);
  return true;
}

bool TZuImageBox::OnMouseDoubleClick(gui::MouseButton button, int x, int y, UINT keys) {
  if (button != gui::MouseButton::kLeft) return false;
  // The second press of a double click is a press as well.
  MouseDown(button, keys, x, y);
  host_.DblClick();
  return true;
}

}  // namespace controls
