// Dialog templates built in memory: a DLGTEMPLATE followed by one
// DLGITEMTEMPLATE per control, each aligned to a DWORD, so that a dialog
// needs no resource script.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace gui {

// Atoms of the system control classes an item may name.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;

class TemplateBuilder {
 public:
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
  // The template's header: style, number of items, position and size in
  // dialog units, caption and, with DS_SETFONT, the font.
  void Header(DWORD style, WORD item_count, short x, short y, short cx, short cy, const std::wstring& caption,
              WORD font_points, const std::wstring& font_name) {
    Dword(style);
    Dword(0);  // extended style
    Word(item_count);
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(0);  // no menu
    Word(0);  // the dialog class
    Text(caption);
    if (style & DS_SETFONT) {
      Word(font_points);
      Text(font_name);
    }
  }
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
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  std::vector<WORD> words_;
};

}  // namespace gui
