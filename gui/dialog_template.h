// Dialog templates built in memory (a DLGTEMPLATE followed by one
// DLGITEMTEMPLATE per control, each aligned to a DWORD), so that a dialog
// needs no resource script. Dialogs built this way usually place their
// controls in pixels once they know their font; CenterDialog then gives
// the dialog its client size in the middle of the screen.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace gui {

class DialogTemplate {
 public:
  // System control classes by their atoms.
  static constexpr WORD kButton = 0x0080;
  static constexpr WORD kStatic = 0x0082;

  // The dialog itself: style (DS_SETFONT is added), a size in dialog units,
  // the caption and the font.
  DialogTemplate(DWORD style, short cx, short cy, const std::wstring& caption, WORD font_size = 8,
                 const std::wstring& font = L"MS Shell Dlg") {
    Dword(style | DS_SETFONT);
    Dword(0);  // extended style
    count_at_ = words_.size();
    Word(0);  // number of controls, counted by Item
    Word(0);
    Word(0);
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(0);  // no menu
    Word(0);  // the dialog class
    Text(caption);
    Word(font_size);
    Text(font);
  }

  // One control; WS_CHILD and WS_VISIBLE are added.
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD class_atom, const std::wstring& text) {
    AlignToDword();
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);  // extended style
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(id);
    Word(0xFFFF);
    Word(class_atom);
    Text(text);
    Word(0);  // no creation data
    ++words_[count_at_];
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void AlignToDword() {
    while (words_.size() % 2 != 0) words_.push_back(0);
  }
  void Dword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
  }
  void Word(WORD v) { words_.push_back(v); }
  void Text(const std::wstring& s) {
    for (wchar_t c : s) words_.push_back(static_cast<WORD>(c));
    words_.push_back(0);
  }

  std::vector<WORD> words_;
  size_t count_at_ = 0;
};

// Gives the dialog a client area of width x height pixels and puts it in
// the middle of the screen.
inline void CenterDialog(HWND dialog, int width, int height) {
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
  const int w = frame.right - frame.left;
  const int h = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h,
               SWP_NOZORDER);
}

}  // namespace gui
