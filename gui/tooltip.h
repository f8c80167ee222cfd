// A tool tip window for one host window: each tool is a rectangle of the
// host's client area (a window-less control) or a child window, with its text.
#pragma once

#include <windows.h>

#include <string>

namespace gui {

class TToolTip {
 public:
  explicit TToolTip(HWND host);
  ~TToolTip();
  TToolTip(const TToolTip&) = delete;
  TToolTip& operator=(const TToolTip&) = delete;

  HWND Handle() const { return tip_; }

  // Adds or updates the tool id over rect of the host; an empty text removes it.
  void SetRectTool(UINT_PTR id, const RECT& rect, const std::wstring& text);
  // Adds or updates a child window as a tool; an empty text removes it.
  void SetWindowTool(HWND child, const std::wstring& text);
  void Remove(UINT_PTR id);
  // Hides the tip now showing.
  void Pop();

 private:
  HWND host_;
  HWND tip_ = nullptr;
};

}  // namespace gui
