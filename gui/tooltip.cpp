#include "gui/tooltip.h"

#include <commctrl.h>

#include "gui/application.h"

namespace gui {

namespace {

TOOLINFOW ToolInfo(HWND host, UINT_PTR id, UINT flags) {
  TOOLINFOW info{};
  // The size of the version-5 structure: it works with every comctl32.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = flags;
  info.hwnd = host;
  info.uId = id;
  return info;
}

}  // namespace

TToolTip::TToolTip(HWND host) : host_(host) {
  tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, host, nullptr,
                         Application().ModuleInstance(), nullptr);
}

TToolTip::~TToolTip() {
  if (tip_) DestroyWindow(tip_);
}

void TToolTip::SetRectTool(UINT_PTR id, const RECT& rect, const std::wstring& text) {
  if (!tip_) return;
  TOOLINFOW info = ToolInfo(host_, id, TTF_SUBCLASS);
  SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (text.empty()) return;
  info.rect = rect;
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void TToolTip::SetWindowTool(HWND child, const std::wstring& text) {
  if (!tip_) return;
  TOOLINFOW info = ToolInfo(host_, reinterpret_cast<UINT_PTR>(child), TTF_SUBCLASS | TTF_IDISHWND);
  SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (text.empty()) return;
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void TToolTip::Remove(UINT_PTR id) {
  if (!tip_) return;
  TOOLINFOW info = ToolInfo(host_, id, 0);
  SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void TToolTip::Pop() {
  if (tip_) SendMessageW(tip_, TTM_POP, 0, 0);
}

}  // namespace gui
