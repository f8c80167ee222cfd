#include "controls/zu_button_win.h"

#include <windowsx.h>

#include "gui/application.h"
#include "gui/text.h"
#include "imaging/bitmap_win.h"
#include "imaging/button_face_win.h"
#include "imaging/xp_theme_win.h"
#include "util/file_utils_win.h"
#include "util/rect_win.h"

namespace controls {

namespace {

// The text colour of a canvas as the drawing layer's colour.
imaging::TColor CanvasTextColor(HDC dc) { return static_cast<imaging::TColor>(GetTextColor(dc)); }

}  // namespace

// --- TButtonGlyph -------------------------------------------------------------

bool TButtonGlyph::Assign(HBITMAP bitmap) {
  bitmap_.reset();
  width_ = height_ = 0;
  if (!bitmap) return true;
  BITMAP info{};
  if (!GetObjectW(bitmap, sizeof info, &info)) return false;
  // A DIB section of our own: the source may be selected into a DC, and
  // the face painter cuts frames out of this one.
  bitmap_.reset(static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap_) return false;
  width_ = info.bmWidth;
  height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  return true;
}

bool TButtonGlyph::LoadResource(const wchar_t* name) {
  HINSTANCE instance = gui::Application().ModuleInstance();
  util::UniqueBitmap loaded(static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  return loaded && Assign(loaded.get());
}

// --- TzuSoftButton ------------------------------------------------------------

TzuSoftButton::TzuSoftButton() : TzuSoftButton(std::make_unique<TSoftButton>()) {}

TzuSoftButton::TzuSoftButton(std::unique_ptr<TSoftButton> model) : model_(std::move(model)) {
  model_->SetGroupHost(this);
  SetBounds(0, 0, 25, 25);
}

TzuSoftButton::~TzuSoftButton() { model_->SetGroupHost(nullptr); }

void TzuSoftButton::SetCaption(const std::wstring& caption) {
  caption_ = caption;
  model_->SetCaption(gui::WideToAnsi(caption));
  Invalidate();
}

void TzuSoftButton::SetGlyph(HBITMAP glyph) {
  glyph_.Assign(glyph);
  Act(model_->SetGlyphSize(glyph_.Width(), glyph_.Height()));
  Invalidate();
}

void TzuSoftButton::LoadGlyph(const wchar_t* resource_name) {
  glyph_.LoadResource(resource_name);
  Act(model_->SetGlyphSize(glyph_.Width(), glyph_.Height()));
  Invalidate();
}

void TzuSoftButton::SetShadowed(bool shadowed) {
  Act(model_->SetShadowed(shadowed, imaging::ScreenBitsPerPixel(), imaging::ThemesInUse()));
}

void TzuSoftButton::SetLayout(TzuButtonLayout layout) {
  layout_ = layout;
  Invalidate();
}

void TzuSoftButton::SetEdgeForm(imaging::TzuBtnForm form) {
  edge_form_ = form;
  Invalidate();
}

void TzuSoftButton::SetSpacing(int spacing) {
  spacing_ = spacing;
  Invalidate();
}

void TzuSoftButton::SetTransparent(bool transparent) {
  transparent_ = transparent;
  Invalidate();
}

void TzuSoftButton::SetColor(imaging::TColor color) {
  color_ = color;
  Invalidate();
}

imaging::ButtonFaceParams TzuSoftButton::FaceParams(HDC dc, imaging::FaceState face_state) const {
  imaging::ButtonFaceParams p;
  p.shadowed = model_->Shadowed();
  p.glyph_right = layout_ == TzuButtonLayout::blGlyphRight;
  p.flat = model_->Flat();
  p.highlight_mode = model_->HiLightMode();
  p.shape = edge_form_;
  p.state = face_state;
  p.glyph_count = model_->NumGlyphs();
  p.focused_text_color = CanvasTextColor(dc);
  p.highlight_color = color_;
  p.face_color = color_;
  p.rect = util::FromRECT(ClientRect());
  p.caption = caption_;
  return p;
}

void TzuSoftButton::Paint(HDC dc) {
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  imaging::DrawButtonFace(dc, ParentHandle(), glyph_.Handle(), FaceParams(dc, model_->PaintFace()));
}

void TzuSoftButton::Act(const TButtonActions& actions) {
  if (actions.Repaint || actions.RepaintNow) {
    if (actions.RepaintNow)
      Repaint();
    else
      Invalidate();
  }
  if (actions.DoubleClick && OnDblClick) OnDblClick(*this);
  if (actions.Click && OnClick) OnClick(*this);
  if (actions.DropDown) DropDown();
  if (actions.Track && Parent() && Enabled()) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(ParentHandle(), &p);
    Act(model_->UpdateTracking({Parent()->GraphicControlAt(p) == this, GetCapture() != nullptr}));
  }
}

void TzuSoftButton::MouseDown(gui::MouseButton button, int x, int y, UINT /*keys*/) {
  Act(model_->Press(x, y, button == gui::MouseButton::kLeft));
}

void TzuSoftButton::MouseMove(int x, int y, UINT /*keys*/) { Act(model_->Move(x, y)); }

void TzuSoftButton::MouseUp(gui::MouseButton button, int x, int y, UINT /*keys*/) {
  if (button == gui::MouseButton::kLeft) Act(model_->Release(x, y));
}

void TzuSoftButton::DoubleClick(gui::MouseButton button, int x, int y, UINT /*keys*/) {
  if (button == gui::MouseButton::kLeft) Act(model_->DoubleClick(x, y));
}

void TzuSoftButton::MouseEnter() { Act(model_->MouseEnter(GetCapture() != nullptr)); }

void TzuSoftButton::MouseLeave() { Act(model_->MouseLeave()); }

void TzuSoftButton::EnabledChanged() { Act(model_->SetEnabled(Enabled())); }

bool TzuSoftButton::DialogChar(wchar_t ch) {
  if (ch == 0 || ch > 0x7F) return false;
  HWND parent = ParentHandle();
  const bool parent_showing = parent && IsWindowVisible(parent);
  const TButtonActions actions = model_->Accelerator(static_cast<char>(ch), Visible(), parent_showing);
  Act(actions);
  return actions.Handled;
}

std::vector<TSoftButton*> TzuSoftButton::SiblingButtons() {
  std::vector<TSoftButton*> buttons;
  if (!Parent()) return buttons;
  for (gui::TGraphicControl* control : Parent()->GraphicControls()) {
    if (auto* button = dynamic_cast<TzuSoftButton*>(control)) buttons.push_back(button->model_.get());
  }
  return buttons;
}

void TzuSoftButton::RepaintButton(TSoftButton& model) {
  if (!Parent()) return;
  for (gui::TGraphicControl* control : Parent()->GraphicControls()) {
    auto* button = dynamic_cast<TzuSoftButton*>(control);
    if (button && button->model_.get() == &model) button->Repaint();
  }
}

// --- TzuPopupButton -----------------------------------------------------------

TzuPopupButton::TzuPopupButton() : TzuSoftButton(std::make_unique<TPopupButton>()) {
  popup_ = static_cast<TPopupButton*>(&Model());
}

void TzuPopupButton::Paint(HDC dc) {
  const TPopupFace face = popup_->PaintPopupFace(imaging::ThemesInUse());
  if (!face.Arrow) {
    TzuSoftButton::Paint(dc);
    return;
  }
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  imaging::ButtonFaceParams params = FaceParams(dc, face.State);
  params.drop_down_arrow = true;
  if (face.PressedPart) {
    imaging::ButtonFaceParams pressed = params;
    pressed.state = imaging::FaceState::kPressed;
    pressed.arrow_offset = 1;
    imaging::DrawButtonFace(dc, ParentHandle(), Glyph().Handle(), pressed);
    ExcludeClipRect(dc, face.ExcludeLeft, 0, Width(), Height());
  }
  params.arrow_offset = face.ArrowPressed ? 1 : 0;
  imaging::DrawButtonFace(dc, ParentHandle(), Glyph().Handle(), params);
  if (face.EtchedLine) {
    SelectClipRgn(dc, nullptr);
    IntersectClipRect(dc, 0, 0, Width(), Height());
    RECT line{face.LineX, face.LineTop, face.LineX + 2, face.LineBottom};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
  }
}

void TzuPopupButton::DropDown() {
  bool handled = false;
  if (OnPopup) OnPopup(*this, handled);
  if (handled || (!menu_ && !window_) || !ParentHandle()) return;
  const TButtonPoint corner = DropDownPoint(Left(), Top(), Height());
  POINT p{corner.X, corner.Y};
  ClientToScreen(ParentHandle(), &p);
  if (menu_) {
    // The button's tool tip would lie over the menu: it stays hidden while
    // the menu is open. The commands go to the top-level window, where the
    // command table is.
    struct TipHidden {
      TzuPopupButton& button;
      explicit TipHidden(TzuPopupButton& b) : button(b) { button.SuppressToolTip(true); }
      ~TipHidden() { button.SuppressToolTip(false); }
    } hidden(*this);
    TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, p.x, p.y, 0,
                   GetAncestor(ParentHandle(), GA_ROOT), nullptr);
  } else {
    HWND owner = GetParent(window_);
    if (owner && (GetWindowLongW(window_, GWL_STYLE) & WS_CHILD)) ScreenToClient(owner, &p);
    SetWindowPos(window_, HWND_TOP, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  }
}

// --- TZuButton ----------------------------------------------------------------

bool TZuButton::Create(HWND parent, UINT_PTR id, int x, int y, int width, int height, const std::wstring& caption) {
  if (!TSystemControl::Create(L"BUTTON", parent, id, WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, x, y, width, height,
                              caption))
    return false;
  UpdateRegion();
  return true;
}

void TZuButton::SetGlyph(HBITMAP glyph) {
  glyph_.Assign(glyph);
  num_glyphs_ = NumGlyphsForGlyph(num_glyphs_, glyph_.Width(), glyph_.Height());
  Changed();
}

void TZuButton::SetNumGlyphs(int count) {
  num_glyphs_ = ClampNumGlyphs(count);
  Changed();
}

void TZuButton::SetLeftText(bool left_text) {
  left_text_ = left_text;
  Changed();
}

void TZuButton::SetColor(imaging::TColor color) {
  color_ = color;
  Changed();
}

void TZuButton::SetHiLightColor(imaging::TColor color) {
  hi_light_color_ = color;
  if (mouse_over_) Changed();
}

void TZuButton::SetFocusedTextColor(imaging::TColor color) {
  focused_text_color_ = color;
  if (GetFocus() == Handle()) Changed();
}

void TZuButton::SetDoFocusText(bool on) {
  do_focus_text_ = on;
  if (GetFocus() == Handle()) Changed();
}

void TZuButton::SetShadowed(bool shadowed) {
  if (!ShadowedAllowed(shadowed, imaging::ScreenBitsPerPixel(), imaging::ThemesInUse())) return;
  shadowed_ = shadowed;
  Changed();
}

void TZuButton::SetFlat(bool flat) {
  flat_ = flat;
  Changed();
}

void TZuButton::SetDrawFocus(bool on) {
  draw_focus_ = on;
  if (GetFocus() == Handle()) Changed();
}

void TZuButton::SetEdgeForm(imaging::TzuBtnForm form) {
  edge_form_ = form;
  UpdateRegion();
  Changed();
}

void TZuButton::SetHiLightMode(int mode) { hi_light_mode_ = ClampHiLightMode(mode); }

void TZuButton::SetDefault(bool is_default) {
  default_ = is_default;
  Changed();
}

void TZuButton::UpdateRegion() {
  const RECT client = ClientRect();
  const TWindowRegion region = PushButtonRegion(edge_form_, util::GetWindowsVersionName(), client.right, client.bottom);
  if (region.Form == imaging::efRect) {
    if (has_region_) SetWindowRgn(Handle(), nullptr, TRUE);
    has_region_ = false;
    return;
  }
  util::UniqueRegion shape(region.Form == imaging::efEllipse
                               ? CreateEllipticRgn(0, 0, region.Right, region.Bottom)
                               : CreateRoundRectRgn(0, 0, region.Right, region.Bottom, region.Corner, region.Corner));
  // The window owns the region once it accepted it.
  if (shape && SetWindowRgn(Handle(), shape.get(), TRUE)) {
    shape.release();
    has_region_ = true;
  }
}

bool TZuButton::OnReflectedDrawItem(DRAWITEMSTRUCT* item) {
  HDC dc = item->hDC;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
  util::UniqueFont bold;
  if (default_ && font) {
    LOGFONTW description{};
    GetObjectW(font, sizeof description, &description);
    description.lfWeight = FW_BOLD;
    bold.reset(CreateFontIndirectW(&description));
  }
  const int saved = SaveDC(dc);
  if (bold)
    SelectObject(dc, bold.get());
  else if (font)
    SelectObject(dc, font);

  imaging::ButtonFaceParams p;
  p.draw_focus = draw_focus_;
  p.focus_text = do_focus_text_;
  p.shadowed = shadowed_;
  p.glyph_right = left_text_;
  p.flat = flat_;
  p.focused = (item->itemState & ODS_FOCUS) != 0;
  p.highlight_mode = hi_light_mode_;
  p.shape = edge_form_;
  p.state =
      PushButtonFaceState((item->itemState & ODS_DISABLED) == 0, (item->itemState & ODS_SELECTED) != 0, mouse_over_);
  p.glyph_count = num_glyphs_;
  p.focused_text_color = focused_text_color_;
  p.highlight_color = hi_light_color_;
  p.face_color = color_;
  p.rect = util::FromRECT(ClientRect());
  p.caption = Text();
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  imaging::DrawButtonFace(dc, Handle(), glyph_.Handle(), p);
  RestoreDC(dc, saved);
  return true;
}

bool TZuButton::OnReflectedCommand(int code) {
  if (code != BN_CLICKED) return false;
  if (OnClick) OnClick(*this);
  return true;
}

bool TZuButton::OnMouseMove(int /*x*/, int /*y*/, UINT /*keys*/) {
  if (!tracking_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
    tracking_ = TrackMouseEvent(&track) != FALSE;
  }
  if (!mouse_over_ && IsWindowEnabled(Handle())) {
    mouse_over_ = true;
    Changed();
  }
  return false;
}

void TZuButton::OnMouseLeave() {
  tracking_ = false;
  if (mouse_over_) {
    mouse_over_ = false;
    if (IsWindowEnabled(Handle())) Changed();
  }
}

bool TZuButton::OnMouseDoubleClick(gui::MouseButton button, int x, int y, UINT keys) {
  if (button != gui::MouseButton::kLeft) return false;
  // A quick second click is a second press, not a double click.
  DefaultHandler(WM_LBUTTONDOWN, keys, MAKELPARAM(x, y));
  return true;
}

void TZuButton::OnSize(UINT /*type*/, int /*width*/, int /*height*/) { UpdateRegion(); }

bool TZuButton::OnSetFocus(HWND /*previous*/) {
  Default();
  Changed();
  return true;
}

bool TZuButton::OnKillFocus(HWND /*next*/) {
  Default();
  Changed();
  return true;
}

// The face follows the state the button keeps itself.
LRESULT TZuButton::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT: {
      const LRESULT result = TSystemControl::HandleMessage(msg, wp, lp);
      Changed();
      return result;
    }
    default: return TSystemControl::HandleMessage(msg, wp, lp);
  }
}

}  // namespace controls
