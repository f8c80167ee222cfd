#include "gui/standard_controls.h"

#include <commctrl.h>

#include "gui/application.h"

namespace gui {

void TLabel::SetCaption(const std::wstring& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Invalidate();
}

void TLabel::SetAlignment(UINT alignment) {
  alignment_ = alignment;
  Invalidate();
}

void TLabel::SetFontColor(COLORREF color) {
  color_ = color;
  Invalidate();
}

void TLabel::Paint(HDC dc) {
  util::SelectGuard font(dc, Font());
  SetBkMode(dc, TRANSPARENT);
  RECT r = ClientRect();
  const UINT format = alignment_ | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  if (!Enabled()) {
    // The engraved look of disabled text: a highlight below right, grey on top.
    OffsetRect(&r, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, format);
    OffsetRect(&r, -1, -1);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else {
    SetTextColor(dc, color_ == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : color_);
  }
  DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, format);
}

bool TImage::LoadBitmapResource(const wchar_t* name) {
  bitmap_.reset(
      static_cast<HBITMAP>(LoadImageW(Application().ModuleInstance(), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap_) return false;
  BITMAP info{};
  GetObjectW(bitmap_.get(), sizeof info, &info);
  size_ = SIZE{info.bmWidth, info.bmHeight};
  util::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  util::SelectGuard select(dc.get(), bitmap_.get());
  transparent_ = GetPixel(dc.get(), 0, size_.cy - 1);
  Invalidate();
  return true;
}

void TImage::Paint(HDC dc) {
  if (!bitmap_) return;
  util::UniqueMemoryDc source(CreateCompatibleDC(dc));
  util::SelectGuard select(source.get(), bitmap_.get());
  GdiTransparentBlt(dc, 0, 0, Width(), Height(), source.get(), 0, 0, size_.cx, size_.cy, transparent_);
}

bool TCheckBox::Create(HWND parent, UINT_PTR id, int x, int y, int width, int height, const std::wstring& caption) {
  return TSystemControl::Create(L"BUTTON", parent, id, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, x, y, width, height,
                                caption);
}

bool TCheckBox::Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) const {
  SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::OnReflectedCommand(int code) {
  if (code != BN_CLICKED) return false;
  if (OnClick) OnClick();
  return true;
}

bool TEdit::Create(HWND parent, UINT_PTR id, int x, int y, int width, int height, const std::wstring& text) {
  return TSystemControl::Create(L"EDIT", parent, id, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, x, y, width, height,
                                text, WS_EX_CLIENTEDGE);
}

void TEdit::SetMaxLength(int length) const { SendMessageW(Handle(), EM_LIMITTEXT, length, 0); }

void TEdit::SelectAll() const { SendMessageW(Handle(), EM_SETSEL, 0, -1); }

bool TEdit::OnChar(UINT ch, LPARAM flags) {
  if (!OnKeyPress) return false;
  wchar_t key = static_cast<wchar_t>(ch);
  OnKeyPress(key);
  // The edit gets the character the handler left.
  if (key != 0) DefaultHandler(WM_CHAR, key, flags);
  return true;
}

bool TEdit::OnReflectedCommand(int code) {
  if (code != EN_CHANGE) return false;
  if (OnChange) OnChange();
  return true;
}

bool TUpDown::Create(HWND parent, UINT_PTR id, const TEdit& buddy, int min, int max, int position) {
  const DWORD style = WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
  if (!TSystemControl::Create(UPDOWN_CLASSW, parent, id, style, 0, 0, 0, 0)) return false;
  SendMessageW(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy.Handle()), 0);
  SendMessageW(Handle(), UDM_SETRANGE32, min, max);
  SendMessageW(Handle(), UDM_SETPOS32, 0, position);
  return true;
}

int TUpDown::Position() const { return static_cast<int>(SendMessageW(Handle(), UDM_GETPOS32, 0, 0)); }

bool TStatusBar::Create(HWND parent) {
  return TSystemControl::Create(STATUSCLASSNAMEW, parent, 0, WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0);
}

void TStatusBar::SetParts(const int* right_edges, int count) const {
  SendMessageW(Handle(), SB_SETPARTS, count, reinterpret_cast<LPARAM>(right_edges));
}

void TStatusBar::SetPartText(int part, const std::wstring& text) const {
  SendMessageW(Handle(), SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring TStatusBar::PartText(int part) const {
  if (!Handle()) return std::wstring();
  const LRESULT length = LOWORD(SendMessageW(Handle(), SB_GETTEXTLENGTHW, part, 0));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(Handle(), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(length));
  return text;
}

void TStatusBar::FitParent() const { SendMessageW(Handle(), WM_SIZE, 0, 0); }

}  // namespace gui
