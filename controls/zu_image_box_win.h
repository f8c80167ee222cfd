// TZuImageBox: the icon grid. It owns the icon set of the open file, draws
// it as equal cells numbered row by row, highlights the selected cell,
// frames it while the host has the focus and turns clicks into a selection.
//
// The grid is a child window of its scrolling host TZuScrollBox, which
// keeps it as wide as its own client area and scrolls it by moving it. The
// grid has no events of its own: selection, custom painting, mouse-down and
// double-click all go through the host. The icons are extracted as they are
// painted; after each paint a timer extracts a page ahead and a page behind
// the view, a slice at a time. All arithmetic (layout, cell
// rectangles, hit test, selection and scroll plans) is in image_box_layout.
#pragma once

#include <windows.h>

#include <string>

#include "controls/icon_set_win.h"
#include "controls/image_box_layout.h"
#include "gui/window.h"
#include "imaging/icon_win.h"

namespace controls {

class TZuScrollBox;

class TZuImageBox : public gui::TWindow {
 public:
  explicit TZuImageBox(TZuScrollBox& host) : host_(host) {}

  // Creates the window inside the host at (0, 0), 44 x 44 pixels.
  bool Create(HWND host_window);

  // Replaces the icon set with the icons of `path`. After every load,
  // successful or not, nothing is selected; a successful one lays the grid
  // out again for the host's width and repaints it.
  void LoadIcons(const std::string& path);
  int IconCount() const { return icons_.IconCount(); }
  const imaging::TIcon& Icons(int index) const { return icons_.Icons(index); }
  const std::string& FileName() const { return icons_.FileName(); }
  const TIconSet& IconSet() const { return icons_; }

  int ItemIndex() const { return item_index_; }
  // Clamps to -1 … IconCount - 1, repaints the two cells or scrolls the new
  // row into view, and raises the host's OnSelectItem once when the
  // selection changed.
  void SetItemIndex(int value);

  int ItemWidth() const { return metrics_.ItemWidth(); }
  int ItemHeight() const { return metrics_.ItemHeight(); }
  int Offset() const { return metrics_.Offset(); }
  int CellWidth() const { return metrics_.CellWidth(); }
  int CellHeight() const { return metrics_.CellHeight(); }
  int Columns() const { return layout_.Columns; }
  int Rows() const { return layout_.Rows; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  const TGridMetrics& Metrics() const { return metrics_; }
  void SetItemWidth(int value);
  void SetItemHeight(int value);
  void SetOffset(int value);

  // Columns, rows and the height from the current width and icon count.
  void UpdateLayout();
  // Sets the width (the host calls this when it is resized); the height
  // follows from UpdateLayout.
  void SetWidth(int width);

  // Repaints one cell in place (-1 meaning cell 0).
  void DrawCell(int index);
  // Draws every icon at its grid position, and nothing else, onto any
  // device context (composite image, printer), extracting the icons not
  // held one at a time.
  void DrawAllIcons(HDC dc) const;

 protected:
  bool OnEraseBackground(HDC dc) override;
  void OnPaint(HDC dc, const RECT& update) override;
  bool OnTimer(UINT_PTR id) override;
  bool OnMouseButtonDown(gui::MouseButton button, int x, int y, UINT keys) override;
  bool OnMouseDoubleClick(gui::MouseButton button, int x, int y, UINT keys) override;

 private:
  void Paint(HDC dc);
  // Extracts a few of the icons around the view that are not yet; true
  // when more may be left.
  bool PrefetchSlice();
  void DrawIconAt(HDC dc, int index, const imaging::TIcon& icon) const;
  // The icons the device context shows; hold: they keep their handles
  // (the screen's), or they go again once drawn.
  void DrawIcons(HDC dc, bool hold) const;
  void MouseDown(gui::MouseButton button, UINT keys, int x, int y);
  void Resize(int width, int height);

  TZuScrollBox& host_;
  TIconSet icons_;
  int item_index_ = -1;
  TGridMetrics metrics_;
  TGridLayout layout_;
  int width_ = 44;
  int height_ = 44;
};

}  // namespace controls
