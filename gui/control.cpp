#include "gui/control.h"

#include <vector>

namespace gui {

TGraphicControl::~TGraphicControl() { SetParent(nullptr); }

void TGraphicControl::SetParent(TWindow* host) {
  if (host == host_) return;
  if (host_) {
    Invalidate();
    host_->RemoveGraphicControl(this);
  }
  host_ = host;
  if (host_) {
    host_->AddGraphicControl(this);
    Invalidate();
  }
}

void TGraphicControl::SetBounds(int x, int y, int width, int height) {
  const RECT bounds{x, y, x + width, y + height};
  if (EqualRect(&bounds, &bounds_)) return;
  Invalidate();
  bounds_ = bounds;
  BoundsChanged();
  Invalidate();
  if (host_) host_->UpdateToolTip(this);
}

void TGraphicControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (host_) {
    if (!visible_ && host_->hover_control_ == this) host_->SetHoverControl(nullptr);
    InvalidateRect(host_->Handle(), &bounds_, TRUE);
    host_->UpdateToolTip(this);
  }
}

void TGraphicControl::SetAlign(gui::TAlign align) {
  align_ = align;
  if (host_) host_->Realign();
}

void TGraphicControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  EnabledChanged();
}

void TGraphicControl::SetHint(const std::wstring& hint) {
  hint_ = hint;
  if (host_) host_->UpdateToolTip(this);
}

void TGraphicControl::SetFont(HFONT font) {
  font_ = font;
  Invalidate();
}

HFONT TGraphicControl::Font() const {
  if (font_) return font_;
  HWND parent = ParentHandle();
  return parent ? reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
}

void TGraphicControl::SuppressToolTip(bool suppress) {
  if (host_) host_->SuppressToolTip(this, suppress);
}

void TGraphicControl::Invalidate() const {
  if (host_ && host_->Handle() && visible_) InvalidateRect(host_->Handle(), &bounds_, !Opaque());
}

void TGraphicControl::Repaint() const {
  Invalidate();
  if (host_ && host_->Handle()) UpdateWindow(host_->Handle());
}

bool TGraphicControl::MouseInControl() const { return host_ && host_->hover_control_ == this; }

bool TSystemControl::Create(const wchar_t* system_class, HWND parent, UINT_PTR id, DWORD style, int x, int y, int width,
                            int height, const std::wstring& text, DWORD ex_style) {
  WindowParams params = WindowParams::Child(parent, id, style, x, y, width, height);
  params.caption = text.c_str();
  params.ex_style = ex_style;
  if (!CreateSubclassed(system_class, params)) return false;
  SetFont(reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0)));
  return true;
}

void TSystemControl::SetFont(HFONT font) const {
  if (font) SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace gui
