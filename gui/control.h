// Control bases.
//
// TGraphicControl is a control without a window of its own: it lives on a
// host window (TWindow), which paints it, routes the mouse to it and tracks
// whether the mouse is over it. Its coordinates are its host's client
// coordinates; its own drawing and mouse positions start at its top left.
// A press captures the mouse for it (through the host's window), so it sees
// the move and release wherever the pointer goes.
//
// TSystemControl is a system control (button, static, edit, …) whose
// messages run through the window scheme: its notifications come back to
// it reflected from its parent, and what it does not handle goes to the
// control's own procedure.
#pragma once

#include <windows.h>

#include <string>

#include "gui/window.h"

namespace gui {

class TGraphicControl {
 public:
  TGraphicControl() = default;
  virtual ~TGraphicControl();
  TGraphicControl(const TGraphicControl&) = delete;
  TGraphicControl& operator=(const TGraphicControl&) = delete;

  // Places the control on a host (null takes it off).
  void SetParent(TWindow* host);
  TWindow* Parent() const { return host_; }
  HWND ParentHandle() const { return host_ ? host_->Handle() : nullptr; }

  void SetBounds(int x, int y, int width, int height);
  const RECT& BoundsRect() const { return bounds_; }
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.right - bounds_.left; }
  int Height() const { return bounds_.bottom - bounds_.top; }
  RECT ClientRect() const { return RECT{0, 0, Width(), Height()}; }

  void SetVisible(bool visible);
  bool Visible() const { return visible_; }
  // The edge the control sticks to in its host (alNone: placed by hand).
  void SetAlign(gui::TAlign align);
  gui::TAlign Align() const { return align_; }
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }

  // "short|long": the short part is the tool tip, the long part goes to the
  // application's hint display while the mouse is over the control.
  void SetHint(const std::wstring& hint);
  const std::wstring& Hint() const { return hint_; }

  // The control's font (the host's when none is set; not owned).
  void SetFont(HFONT font);
  HFONT Font() const;

  // The cursor over the control (not owned; null leaves the host's).
  void SetCursor(HCURSOR cursor) { cursor_ = cursor; }

  // Asks the host to repaint the control's area; Repaint does it at once.
  void Invalidate() const;
  // Hides the host's tool tip and keeps it hidden until allowed again.
  void SuppressToolTip(bool suppress);
  void Repaint() const;

  // Whether the mouse is over the control, as the host tracks it.
  bool MouseInControl() const;

 protected:
  friend class TWindow;

  // Draws the control; the DC's origin is the control's top left and it is
  // clipped to the control.
  virtual void Paint(HDC dc) = 0;

  virtual void MouseDown(MouseButton /*button*/, int /*x*/, int /*y*/, UINT /*keys*/) {}
  virtual void MouseMove(int /*x*/, int /*y*/, UINT /*keys*/) {}
  virtual void MouseUp(MouseButton /*button*/, int /*x*/, int /*y*/, UINT /*keys*/) {}
  virtual void DoubleClick(MouseButton /*button*/, int /*x*/, int /*y*/, UINT /*keys*/) {}
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  virtual void EnabledChanged() {}
  virtual void BoundsChanged() {}
  // An accelerator character (Alt+letter); true when the control took it.
  virtual bool DialogChar(wchar_t /*ch*/) { return false; }
  // The cursor over the control; null leaves the host's.
  virtual HCURSOR Cursor() const { return cursor_; }
  // A control that captures the mouse on a press sees the release too.
  virtual bool CapturesMouse() const { return true; }
  // An opaque control paints all of its area, so the host need not erase
  // beneath it when it is repainted.
  virtual bool Opaque() const { return false; }

 private:
  TWindow* host_ = nullptr;
  RECT bounds_{0, 0, 0, 0};
  bool visible_ = true;
  bool enabled_ = true;
  gui::TAlign align_ = gui::TAlign::alNone;
  std::wstring hint_;
  HFONT font_ = nullptr;
  HCURSOR cursor_ = nullptr;
};

class TSystemControl : public TWindow {
 public:
  // Creates the control as a child of parent.
  bool Create(const wchar_t* system_class, HWND parent, UINT_PTR id, DWORD style, int x, int y, int width, int height,
              const std::wstring& text = L"", DWORD ex_style = 0);

  void SetFont(HFONT font) const;
};

}  // namespace gui
