// A panel: a plain child window that holds other controls, windowed or
// window-less, on the button-face colour, optionally with a bevel.
#pragma once

#include <windows.h>

#include "gui/window.h"

namespace gui {

enum class Bevel { kNone, kRaised, kLowered };

class TPanel : public TWindow {
 public:
  bool Create(HWND parent, int x, int y, int width, int height, DWORD style = WS_VISIBLE);

  void SetBevel(Bevel outer) {
    bevel_ = outer;
    Invalidate();
  }
  // The fill colour (a COLORREF); CLR_INVALID for the button face.
  void SetColor(COLORREF color) {
    color_ = color;
    Invalidate();
  }

 protected:
  void OnPaint(HDC dc, const RECT& update) override;
  bool OnEraseBackground(HDC dc) override;
  bool OnCommand(int id, int code, HWND control) override;
  std::optional<LRESULT> OnNotify(NMHDR* header) override;
  bool OnDrawItem(DRAWITEMSTRUCT* item) override;

 private:
  Bevel bevel_ = Bevel::kNone;
  COLORREF color_ = CLR_INVALID;
};

}  // namespace gui
