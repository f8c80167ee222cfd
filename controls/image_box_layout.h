// Arithmetic of the icon grid (TZuImageBox) and of its scrolling host
// (TZuScrollBox): layout, cell geometry, hit test, selection and scroll
// decisions, and the keys and wheel steps that move the selection.
//
// Everything here is plain numbers and rectangles so that the window code
// only asks and obeys. Two pitches exist on purpose: drawing uses
// Offset + ItemWidth + 4 per cell, while the column count, the control's
// height and the hit test use CellWidth = ItemWidth + 2 * Offset - 2. With
// the program's values (32, 32, 6) both are 42.
#pragma once

#include "util/rect.h"

namespace controls {

struct TGridPoint {
  int X = 0;
  int Y = 0;
};

// The published sizes of the grid and the cell size derived from them.
class TGridMetrics {
 public:
  int ItemWidth() const { return item_width_; }
  int ItemHeight() const { return item_height_; }
  int Offset() const { return offset_; }
  int CellWidth() const { return cell_width_; }
  int CellHeight() const { return cell_height_; }

  // Each setter returns true when the value changed (the control then lays
  // itself out again and repaints); setting the same value does nothing.
  bool SetItemWidth(int value);
  bool SetItemHeight(int value);
  bool SetOffset(int value);

  // The vertical scroll increment of the host: one row.
  int ScrollIncrement() const { return item_height_ + 2 * offset_ - 2; }

 private:
  int item_width_ = 32;
  int item_height_ = 32;
  int offset_ = 6;
  int cell_width_ = 42;
  int cell_height_ = 42;
};

struct TGridLayout {
  int Columns = 1;
  int Rows = 1;
  int Height = 44;  // the control's height in pixels
};

// Columns from the control's width, rows from the icon count, height from the rows.
TGridLayout ComputeLayout(const TGridMetrics& metrics, int width, int icon_count);

// Where icon `index` is drawn (ItemWidth x ItemHeight from this point).
TGridPoint IconOrigin(const TGridMetrics& metrics, int columns, int index);

// The icons drawn (at least partly) between the lines top and bottom - 1 of
// the grid: First .. Last - 1, empty when First == Last. Painting asks only
// for these, so that a grid of many thousand icons paints what shows.
struct TIndexRange {
  int First = 0;
  int Last = 0;
};
TIndexRange IconsInBand(const TGridMetrics& metrics, int columns, int icon_count, int top, int bottom);

// The icons worth extracting before they are needed while the band top ..
// bottom is in view: as many again after the icons in view, then as many
// again before them. None when the three would not fit in `held` handles,
// as extracting the ones around would let go of the ones shown.
struct TPrefetchPlan {
  TIndexRange Ahead;
  TIndexRange Behind;
};
TPrefetchPlan PlanPrefetch(const TGridMetrics& metrics, int columns, int icon_count, int top, int bottom, int held);

// The highlight and focus rectangle of cell `index`, four pixels around the icon.
util::TRect SelectionRect(const TGridMetrics& metrics, int columns, int index);

// The icon a mouse click at (x, y), in the grid's own coordinates, selects:
// -1 … icon_count - 1. A click below or after the last icon selects the last
// icon; a click in the strip right of the last column selects that row's last
// cell rather than the first cell of the next row.
int HitTest(const TGridMetrics& metrics, int columns, int icon_count, int x, int y);

// The view of the grid through its host.
struct TScrollView {
  int Position = 0;      // vertical scroll position, 0 while the bar is hidden
  int ClientHeight = 0;  // the host's client height
  int MaxPosition = 0;   // largest position the host accepts
  int Increment = 42;    // one scroll step
};

// What SetItemIndex(requested) does.
struct TSelectionPlan {
  bool Changed = false;  // false: nothing at all happens, no event
  int OldIndex = -1;
  int NewIndex = -1;
  bool RepaintOld = false;  // repaint cell OldIndex (-1 meaning cell 0)
  bool RepaintNew = false;  // repaint cell NewIndex
  bool Scrolls = false;     // the view moves to ScrollPosition (which repaints it)
  int ScrollPosition = 0;
};

// Clamps the request to -1 … icon_count - 1 and decides the repaint or the
// scroll that brings the new row into view, stepping by the increment. The
// selection event fires exactly when Changed is true.
TSelectionPlan PlanSetItemIndex(const TGridMetrics& metrics, int columns, int icon_count, int item_index, int requested,
                                const TScrollView& view);

enum class TGridKey { kPageUp, kPageDown, kEnd, kHome, kLeft, kUp, kRight, kDown, kOther };

struct TKeyAction {
  bool Consumed = false;  // the key goes no further
  bool Request = false;   // ask SetItemIndex for Index
  int Index = 0;
};

// The host's key table. Only with at least one icon are the eight keys
// consumed; every other key, and every key on an empty grid, passes on.
TKeyAction KeyAction(TGridKey key, int item_index, int icon_count, int columns, int client_height, int cell_height);

// One selection step per wheel message: towards the user (delta < 0) moves a
// row down, away from the user a row up. Request is false when nothing moves.
TKeyAction WheelAction(int wheel_delta, int item_index, int columns);

}  // namespace controls
