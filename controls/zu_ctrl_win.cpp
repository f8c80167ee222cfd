#include "controls/zu_ctrl_win.h"

#include <algorithm>

#include "gui/application.h"
#include "imaging/bitmap_win.h"
#include "imaging/zu_graphic_utils_win.h"
#include "util/rect_win.h"

namespace controls {

namespace {

COLORREF ToRgb(imaging::TColor color) { return imaging::ColorToRGB(color); }

COLORREF PassColor(TLabelColor color, imaging::TColor font_color) {
  switch (color) {
    case TLabelColor::kButtonShadow: return GetSysColor(COLOR_BTNSHADOW);
    case TLabelColor::kButtonHighlight: return GetSysColor(COLOR_BTNHIGHLIGHT);
    case TLabelColor::kGrayText: return GetSysColor(COLOR_GRAYTEXT);
    default: return ToRgb(font_color);
  }
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  util::UniqueBrush brush(CreateSolidBrush(color));
  FillRect(dc, &rect, brush.get());
}

}  // namespace

// --- Tzu3DLabel ---------------------------------------------------------------

void Tzu3DLabel::SetCaption(const std::wstring& caption) {
  caption_ = caption;
  AdjustBounds();
  Invalidate();
}

void Tzu3DLabel::SetTextStyle(TTextStyle style) {
  style_ = style;
  Invalidate();
}

void Tzu3DLabel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  Invalidate();
}

void Tzu3DLabel::SetTransparent(bool transparent) {
  transparent_ = transparent;
  Invalidate();
}

void Tzu3DLabel::SetShowAccelChar(bool show) {
  show_accel_char_ = show;
  AdjustBounds();
  Invalidate();
}

void Tzu3DLabel::SetColor(imaging::TColor color) {
  color_ = color;
  Invalidate();
}

void Tzu3DLabel::SetFontColor(imaging::TColor color) {
  font_color_ = color;
  Invalidate();
}

void Tzu3DLabel::SetAutoSize(bool auto_size) {
  auto_size_ = auto_size;
  AdjustBounds();
}

void Tzu3DLabel::AdjustBounds() {
  if (!auto_size_ || !ParentHandle()) return;
  util::WindowDc dc(ParentHandle());
  util::SelectGuard font(dc.get(), Font());
  RECT rect = ClientRect();
  DrawLabelText(dc.get(), rect, DT_EXPANDTABS | DT_CALCRECT);
  SetBounds(Left(), Top(), rect.right - rect.left, rect.bottom - rect.top);
}

void Tzu3DLabel::MouseUp(gui::MouseButton button, int x, int y, UINT /*keys*/) {
  if (button == gui::MouseButton::kLeft && x >= 0 && y >= 0 && x < Width() && y < Height() && OnClick) OnClick(*this);
}

void Tzu3DLabel::Paint(HDC dc) {
  const RECT client = ClientRect();
  if (!transparent_) FillSolid(dc, client, ToRgb(color_));
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  static const UINT kAlignment[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  RECT rect = client;
  DrawLabelText(dc, rect, DT_EXPANDTABS | DT_WORDBREAK | kAlignment[static_cast<int>(alignment_)]);
}

void Tzu3DLabel::DrawLabelText(HDC dc, RECT& rect, UINT flags) const {
  const bool measuring = (flags & DT_CALCRECT) != 0;
  std::wstring text = caption_.substr(0, 255);
  if (measuring && (text.empty() || (show_accel_char_ && text == L"&"))) text = L" ";
  if (!show_accel_char_) flags |= DT_NOPREFIX;
  SetBkMode(dc, TRANSPARENT);

  if (!DrawsThroughPath(style_, measuring)) {
    for (const TTextPass& pass : PlainTextPasses(style_, Enabled())) {
      SetTextColor(dc, PassColor(pass.Color, font_color_));
      RECT moved = rect;
      OffsetRect(&moved, pass.Dx, pass.Dy);
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &moved, flags);
      if (measuring) rect = moved;  // a measurement keeps the text's own extent
    }
    return;
  }

  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  const TPathText points = CombinedTextPoints(style_, rect.left, rect.top, rect.bottom, extent.cy);
  const int length = static_cast<int>(text.size());
  SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  for (const TTextPoint& p : points.Highlight) TextOutW(dc, p.X, p.Y, text.c_str(), length);

  // The host clips the DC to the label's bounds; the letter shapes narrow it further.
  BeginPath(dc);
  for (const TTextPoint& p : points.Path) TextOutW(dc, p.X, p.Y, text.c_str(), length);
  EndPath(dc);
  SelectClipPath(dc, RGN_AND);
  for (const TGradientBand& band : GradientBands(rect.top, rect.bottom, imaging::ScreenBitsPerPixel())) {
    COLORREF color = ToRgb(font_color_);
    if (band.Shade == TBandShade::kLighten) color = imaging::LightenColor(font_color_, band.Amount);
    if (band.Shade == TBandShade::kDarken) color = imaging::DarkenColor(font_color_, band.Amount);
    FillSolid(dc, RECT{rect.left, band.Top, rect.right, band.Top + band.Height}, color);
  }
}

// --- TzuSplitter --------------------------------------------------------------

TzuSplitter::TzuSplitter() {
  SetAlign(gui::TAlign::alLeft);
  SetBounds(0, 0, 3, 100);
  drag_.MinSize = 40;
}

TzuSplitter::~TzuSplitter() { EndSizing(); }

void TzuSplitter::SetBeveled(bool beveled) {
  beveled_ = beveled;
  Invalidate();
}

void TzuSplitter::SetColor(imaging::TColor color) {
  color_ = color;
  Invalidate();
}

void TzuSplitter::SetMinSize(int min_size) { drag_.MinSize = std::max(1, min_size); }

HCURSOR TzuSplitter::Cursor() const {
  const TSplitCursor cursor = CursorForAlign(cursor_, Align());
  if (cursor == TSplitCursor::crOther) return nullptr;
  return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(cursor == TSplitCursor::crVSplit ? IDC_SIZENS : IDC_SIZEWE));
}

void TzuSplitter::Paint(HDC dc) {
  const RECT client = ClientRect();
  FillSolid(dc, client, ToRgb(color_));
  if (beveled_) {
    const TBevelFrames frames = BevelFrames(Align(), client.right, client.bottom);
    auto frame = [&](const util::TRect& b, int system_color) {
      const RECT r = util::ToRECT(b);
      FrameRect(dc, &r, GetSysColorBrush(system_color));
    };
    frame(frames.Highlight, COLOR_BTNHIGHLIGHT);
    frame(frames.Shadow, COLOR_BTNSHADOW);
  }
  const std::vector<TGripPixel> dot = GripDotPixels(imaging::ScreenBitsPerPixel());
  for (const TPixelPoint& p : GripDots(Align(), client.right, client.bottom)) {
    for (const TGripPixel& pixel : dot)
      SetPixelV(dc, p.X + pixel.Dx, p.Y + pixel.Dy, RGB(pixel.Grey, pixel.Grey, pixel.Grey));
  }
  if (OnPaint) OnPaint(*this, dc);
}

void TzuSplitter::MouseDown(gui::MouseButton button, int x, int y, UINT /*keys*/) {
  gui::TWindow* host = Parent();
  if (!host || button != gui::MouseButton::kLeft) return;
  TSplitterParent parent;
  parent.Splitter = util::TRect::FromBounds(Left(), Top(), Width(), Height());
  const RECT client = host->ClientRect();
  parent.ClientWidth = client.right;
  parent.ClientHeight = client.bottom;
  siblings_.clear();
  for (HWND child = GetWindow(host->Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, host->Handle(), reinterpret_cast<POINT*>(&r), 2);
    gui::TWindow* window = gui::TWindow::FromHandle(child);
    parent.Siblings.push_back({util::FromRECT(r), window ? window->Align() : gui::TAlign::alNone,
                               IsWindowVisible(child) != FALSE, IsWindowEnabled(child) != FALSE});
    siblings_.push_back({child, nullptr});
  }
  for (gui::TGraphicControl* control : host->GraphicControls()) {
    const RECT& r = control->BoundsRect();
    parent.Siblings.push_back({util::FromRECT(r), control->Align(), control->Visible(), control->Enabled()});
    siblings_.push_back({nullptr, control});
  }
  drag_.Align = Align();
  Run(drag_.Press(parent, x, y, true));
}

void TzuSplitter::MouseMove(int x, int y, UINT keys) {
  if (!drag_.Dragging()) return;
  TCanResize can_resize;
  if (OnCanResize) {
    can_resize = [this](int& size) {
      bool accept = true;
      OnCanResize(*this, size, accept);
      return accept;
    };
  }
  Run(drag_.Move(x, y, (keys & MK_LBUTTON) != 0, can_resize));
}

void TzuSplitter::MouseUp(gui::MouseButton button, int /*x*/, int /*y*/, UINT /*keys*/) {
  if (button == gui::MouseButton::kLeft && drag_.Dragging()) Run(drag_.Release());
}

void TzuSplitter::Run(const std::vector<TSplitterStep>& steps) {
  for (const TSplitterStep& step : steps) {
    switch (step.Kind) {
      case TSplitterStep::TKind::kBeginSizing: BeginSizing(); break;
      case TSplitterStep::TKind::kInvertGhost:
        if (line_dc_) {
          // The ghost line lies in the host's client area; the splitter's
          // own drawing origin does not apply to the host's DC.
          PatBlt(line_dc_, step.Rect.left, step.Rect.top, step.Rect.Width(), step.Rect.Height(), PATINVERT);
        }
        break;
      case TSplitterStep::TKind::kSetBounds: {
        if (step.Control < 0 || static_cast<size_t>(step.Control) >= siblings_.size()) break;
        const Sibling& sibling = siblings_[static_cast<size_t>(step.Control)];
        const util::TRect& b = step.Rect;
        if (sibling.window) {
          SetWindowPos(sibling.window, nullptr, b.left, b.top, b.Width(), b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        } else if (sibling.control) {
          sibling.control->SetBounds(b.left, b.top, b.Width(), b.Height());
        }
        if (Parent()) {
          Parent()->Realign();
          UpdateWindow(Parent()->Handle());
        }
        break;
      }
      case TSplitterStep::TKind::kMoved:
        if (OnMoved) OnMoved(*this);
        break;
      case TSplitterStep::TKind::kEndSizing: EndSizing(); break;
    }
  }
}

void TzuSplitter::BeginSizing() {
  HWND host = ParentHandle();
  if (!host) return;
  line_dc_ = GetDCEx(host, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
  if (line_dc_ && drag_.ResizeStyle == TResizeStyle::rsPattern) {
    static const WORD kChecker[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    util::UniqueBitmap pattern(CreateBitmap(8, 8, 1, 1, kChecker));
    pattern_brush_.reset(CreatePatternBrush(pattern.get()));
    old_brush_ = SelectObject(line_dc_, pattern_brush_.get());
  }
  // ESC ends the drag wherever the keyboard focus is.
  key_handler_ = gui::Application().PushKeyHandler([this](UINT key) {
    bool pass_on = true;
    Run(drag_.KeyDown(key == VK_ESCAPE, pass_on));
    return !pass_on;
  });
}

void TzuSplitter::EndSizing() {
  if (key_handler_) {
    gui::Application().RemoveKeyHandler(key_handler_);
    key_handler_ = 0;
  }
  if (line_dc_) {
    if (old_brush_) SelectObject(line_dc_, old_brush_);
    old_brush_ = nullptr;
    ReleaseDC(ParentHandle(), line_dc_);
    line_dc_ = nullptr;
  }
  pattern_brush_.reset();
  siblings_.clear();
  if (GetCapture() == ParentHandle()) ReleaseCapture();
}

}  // namespace controls
