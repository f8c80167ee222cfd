#include "gui/panel.h"

#include "util/handles_win.h"

namespace gui {

bool TPanel::Create(HWND parent, int x, int y, int width, int height, DWORD style) {
  WindowClass cls{L"TamselPanel"};
  cls.style = CS_DBLCLKS;  // children repaint what changes; no full redraw on size
  const WindowParams params =
      WindowParams::Child(parent, 0, style | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y, width, height);
  return CreateHandle(cls, params);
}

void TPanel::OnPaint(HDC dc, const RECT& /*update*/) {
  RECT r = ClientRect();
  if (bevel_ != Bevel::kNone) DrawEdge(dc, &r, bevel_ == Bevel::kRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
}

bool TPanel::OnEraseBackground(HDC dc) {
  RECT r = ClientRect();
  if (color_ == CLR_INVALID) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  } else {
    util::UniqueBrush brush(CreateSolidBrush(color_));
    FillRect(dc, &r, brush.get());
  }
  return true;
}

// A panel passes what its children report and nobody handled on to its own
// parent, so that the window that owns the panel hears it.
bool TPanel::OnCommand(int id, int code, HWND control) {
  if (!control) return false;
  SendMessageW(GetParent(Handle()), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
  return true;
}

std::optional<LRESULT> TPanel::OnNotify(NMHDR* header) {
  return SendMessageW(GetParent(Handle()), WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

bool TPanel::OnDrawItem(DRAWITEMSTRUCT* item) {
  return SendMessageW(GetParent(Handle()), WM_DRAWITEM, item->CtlID, reinterpret_cast<LPARAM>(item)) != 0;
}

}  // namespace gui
