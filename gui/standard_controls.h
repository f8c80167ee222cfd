// Thin wrappers of the standard controls the forms place: a window-less
// label and picture, and the system check box, edit, spin button and status
// bar with their notifications as events.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "gui/control.h"
#include "util/handles_win.h"

namespace gui {

// A line of text drawn on its host; greyed while disabled.
class TLabel : public TGraphicControl {
 public:
  void SetCaption(const std::wstring& caption);
  const std::wstring& Caption() const { return caption_; }
  // DT_LEFT, DT_CENTER or DT_RIGHT.
  void SetAlignment(UINT alignment);
  // The text colour; CLR_INVALID for the window text colour.
  void SetFontColor(COLORREF color);

 protected:
  void Paint(HDC dc) override;
  void EnabledChanged() override { Invalidate(); }

 private:
  std::wstring caption_;
  UINT alignment_ = DT_LEFT;
  COLORREF color_ = CLR_INVALID;
};

// A bitmap stretched over the control's area; the colour of its
// bottom-left pixel shows the host through.
class TImage : public TGraphicControl {
 public:
  // Loads a bitmap resource of the application; false when it is missing.
  bool LoadBitmapResource(const wchar_t* name);

 protected:
  void Paint(HDC dc) override;

 private:
  util::UniqueBitmap bitmap_;
  SIZE size_{0, 0};
  COLORREF transparent_ = 0;
};

class TCheckBox : public TSystemControl {
 public:
  bool Create(HWND parent, UINT_PTR id, int x, int y, int width, int height, const std::wstring& caption);
  bool Checked() const;
  void SetChecked(bool checked) const;
  std::function<void()> OnClick;

 protected:
  bool OnReflectedCommand(int code) override;
};

class TEdit : public TSystemControl {
 public:
  bool Create(HWND parent, UINT_PTR id, int x, int y, int width, int height, const std::wstring& text = L"");
  void SetMaxLength(int length) const;
  void SelectAll() const;
  // Every change of the text, typed or set.
  std::function<void()> OnChange;
  // Each typed character before the edit sees it; setting it to 0 drops it.
  std::function<void(wchar_t& key)> OnKeyPress;

 protected:
  bool OnChar(UINT ch, LPARAM flags) override;
  bool OnReflectedCommand(int code) override;
};

// A spin button that steps the number of the edit beside it and writes it
// there as plain digits.
class TUpDown : public TSystemControl {
 public:
  bool Create(HWND parent, UINT_PTR id, const TEdit& buddy, int min, int max, int position);
  int Position() const;
};

// The status bar along the bottom of a window, in parts.
class TStatusBar : public TSystemControl {
 public:
  // A bar with a size grip; it places itself at the bottom of parent.
  bool Create(HWND parent);
  // The parts end at the given right edges in the bar (-1: its right end).
  void SetParts(const int* right_edges, int count) const;
  void SetPartText(int part, const std::wstring& text) const;
  std::wstring PartText(int part) const;
  // Places the bar again at the bottom of its parent after the parent was
  // sized.
  void FitParent() const;
};

}  // namespace gui
