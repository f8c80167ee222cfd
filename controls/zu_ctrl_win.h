// Two small window-less controls: Tzu3DLabel, a text drawn raised, sunken
// or filled with a vertical gradient through the letter shapes, and
// TzuSplitter, a bar that resizes the control beside it by dragging.
//
// The arithmetic of both (text passes, gradient bands, the sized control,
// size limits, the ghost line, the grip) lives in label_style and
// splitter_layout; these classes only paint and carry out its steps.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "controls/label_style.h"
#include "controls/splitter_layout.h"
#include "gui/control.h"
#include "imaging/zu_graphic_utils.h"
#include "util/handles_win.h"

namespace controls {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class Tzu3DLabel : public gui::TGraphicControl {
 public:
  void SetCaption(const std::wstring& caption);
  const std::wstring& Caption() const { return caption_; }
  void SetTextStyle(TTextStyle style);
  TTextStyle TextStyle() const { return style_; }
  void SetAlignment(TAlignment alignment);
  void SetTransparent(bool transparent);
  void SetShowAccelChar(bool show);
  void SetColor(imaging::TColor color);
  void SetFontColor(imaging::TColor color);
  // Fits the label's size to its text (one line, or the width it has).
  void SetAutoSize(bool auto_size);

  // A click: the left button pressed and released over the label.
  std::function<void(Tzu3DLabel& sender)> OnClick;

  // Draws or (with DT_CALCRECT in flags) measures the text into rect.
  void DrawLabelText(HDC dc, RECT& rect, UINT flags) const;

 protected:
  void Paint(HDC dc) override;
  void EnabledChanged() override { Invalidate(); }
  bool Opaque() const override { return !transparent_; }
  void MouseUp(gui::MouseButton button, int x, int y, UINT keys) override;

 private:
  void AdjustBounds();

  std::wstring caption_;
  TTextStyle style_ = TTextStyle::tsRaised;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool transparent_ = false;
  bool show_accel_char_ = true;
  bool auto_size_ = false;
  imaging::TColor color_ = imaging::SystemColor(COLOR_BTNFACE);  // a system colour
  imaging::TColor font_color_ = imaging::SystemColor(COLOR_WINDOWTEXT);
};

class TzuSplitter : public gui::TGraphicControl {
 public:
  TzuSplitter();
  ~TzuSplitter() override;

  // The edge the splitter sticks to (SetAlign, alLeft at first) also says
  // which way it resizes.
  void SetBeveled(bool beveled);
  void SetColor(imaging::TColor color);
  void SetMinSize(int min_size);  // 1 .. 2147483647
  int MinSize() const { return drag_.MinSize; }
  void SetResizeStyle(TResizeStyle style) { drag_.ResizeStyle = style; }

  std::function<void(TzuSplitter& sender, int& new_size, bool& accept)> OnCanResize;
  std::function<void(TzuSplitter& sender)> OnMoved;
  std::function<void(TzuSplitter& sender, HDC dc)> OnPaint;

  bool Dragging() const { return drag_.Dragging(); }
  bool GhostVisible() const { return drag_.GhostVisible(); }

 protected:
  void Paint(HDC dc) override;
  void MouseDown(gui::MouseButton button, int x, int y, UINT keys) override;
  void MouseMove(int x, int y, UINT keys) override;
  void MouseUp(gui::MouseButton button, int x, int y, UINT keys) override;
  HCURSOR Cursor() const override;

 private:
  // A sibling of the splitter: a window or a window-less control.
  struct Sibling {
    HWND window = nullptr;
    gui::TGraphicControl* control = nullptr;
  };

  void Run(const std::vector<TSplitterStep>& steps);
  void BeginSizing();
  void EndSizing();

  TSplitterDrag drag_;
  TSplitCursor cursor_ = TSplitCursor::crHSplit;
  bool beveled_ = false;
  imaging::TColor color_ = imaging::SystemColor(COLOR_BTNFACE);
  std::vector<Sibling> siblings_;  // as they were when the drag began

  // Held only while dragging.
  HDC line_dc_ = nullptr;
  util::UniqueBrush pattern_brush_;
  HGDIOBJ old_brush_ = nullptr;
  int key_handler_ = 0;
};

}  // namespace controls
