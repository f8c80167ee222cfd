#include "controls/image_box_layout.h"

#include <algorithm>

namespace controls {

bool TGridMetrics::SetItemWidth(int value) {
  if (value == item_width_) return false;
  item_width_ = value;
  cell_width_ = value + 2 * offset_ - 2;
  return true;
}

bool TGridMetrics::SetItemHeight(int value) {
  if (value == item_height_) return false;
  item_height_ = value;
  cell_height_ = value + 2 * offset_ - 2;
  return true;
}

bool TGridMetrics::SetOffset(int value) {
  if (value == offset_) return false;
  offset_ = value;
  cell_width_ = 2 * (value - 1) + item_width_;
  cell_height_ = 2 * (value - 1) + item_height_;
  return true;
}

namespace {

// Cell sizes below one pixel would divide by zero or run backwards; the
// published setters accept any value, so every division goes through here.
int AtLeastOne(int v) { return v < 1 ? 1 : v; }

}  // namespace

TGridLayout ComputeLayout(const TGridMetrics& metrics, int width, int icon_count) {
  TGridLayout layout;
  const int cell_width = AtLeastOne(metrics.CellWidth());
  layout.Columns = width > 0 ? width / cell_width : 0;
  if (layout.Columns == 0) layout.Columns = 1;
  const int count = std::max(icon_count, 0);
  layout.Rows = count / layout.Columns + (count % layout.Columns > 0 ? 1 : 0);
  if (layout.Rows == 0) layout.Rows = 1;
  layout.Height = layout.Rows * metrics.CellHeight() + 2;
  return layout;
}

TGridPoint IconOrigin(const TGridMetrics& metrics, int columns, int index) {
  columns = AtLeastOne(columns);
  const int col = index % columns;
  const int row = index / columns;
  TGridPoint p;
  p.X = (col + 1) * metrics.Offset() + col * (metrics.ItemWidth() + 4);
  p.Y = (row + 1) * metrics.Offset() + row * (metrics.ItemHeight() + 4);
  return p;
}

TIndexRange IconsInBand(const TGridMetrics& metrics, int columns, int icon_count, int top, int bottom) {
  columns = AtLeastOne(columns);
  TIndexRange range;
  if (icon_count <= 0 || bottom <= top) return range;
  // Row r's icons cover the lines Offset + r * pitch .. that + ItemHeight - 1.
  const long long pitch = metrics.Offset() + metrics.ItemHeight() + 4;
  const long long rows = (icon_count + columns - 1) / columns;
  auto clamp_row = [&](long long r) { return r < 0 ? 0 : r > rows ? rows : r; };
  const long long above = top - metrics.Offset() - metrics.ItemHeight() + 1;  // last line of a row at or above it
  const long long first_row = clamp_row(above <= 0 ? 0 : (above + pitch - 1) / pitch);
  const long long below = bottom - metrics.Offset();  // a row starting before it reaches the band
  const long long last_row = clamp_row(below <= 0 ? 0 : (below + pitch - 1) / pitch);
  range.First = static_cast<int>(std::min<long long>(first_row * columns, icon_count));
  range.Last = static_cast<int>(std::min<long long>(last_row * columns, icon_count));
  if (range.Last < range.First) range.Last = range.First;
  return range;
}

TPrefetchPlan PlanPrefetch(const TGridMetrics& metrics, int columns, int icon_count, int top, int bottom, int held) {
  TPrefetchPlan plan;
  const TIndexRange view = IconsInBand(metrics, columns, icon_count, top, bottom);
  const int shown = view.Last - view.First;
  if (shown <= 0 || shown > held / 3) return plan;
  plan.Ahead = {view.Last, std::min(icon_count, view.Last + shown)};
  plan.Behind = {std::max(0, view.First - shown), view.First};
  return plan;
}

util::TRect SelectionRect(const TGridMetrics& metrics, int columns, int index) {
  columns = AtLeastOne(columns);
  const int col = index % columns;
  const int row = index / columns;
  const int offset = metrics.Offset();
  util::TRect r;
  r.left = (offset - 4) * (col + 1) + (metrics.ItemWidth() + 8) * col;
  r.top = (offset - 4) * (row + 1) + (metrics.ItemHeight() + 8) * row;
  r.right = (offset + metrics.ItemWidth() + 4) * (col + 1);
  r.bottom = (offset + metrics.ItemHeight() + 4) * (row + 1);
  return r;
}

int HitTest(const TGridMetrics& metrics, int columns, int icon_count, int x, int y) {
  if (icon_count <= 0) return -1;
  columns = AtLeastOne(columns);
  const int col = std::min(std::max(x, 0) / AtLeastOne(metrics.CellWidth()), columns - 1);
  const int row = std::max(y, 0) / AtLeastOne(metrics.CellHeight());
  // Rows beyond the last are clamped before multiplying, so a click far
  // below a huge grid cannot overflow.
  const int last_row = (icon_count - 1) / columns;
  if (row > last_row) return icon_count - 1;
  return std::min(row * columns + col, icon_count - 1);
}

TSelectionPlan PlanSetItemIndex(const TGridMetrics& metrics, int columns, int icon_count, int item_index, int requested,
                                const TScrollView& view) {
  TSelectionPlan plan;
  plan.OldIndex = item_index;
  plan.NewIndex = item_index;
  plan.ScrollPosition = view.Position;

  int v = requested;
  if (v < -1) v = -1;
  if (v > icon_count - 1) v = icon_count - 1;
  if (v == item_index) return plan;

  columns = AtLeastOne(columns);
  plan.Changed = true;
  plan.NewIndex = v;
  const int cell_height = metrics.CellHeight();
  const int row = v / columns;  // truncates: -1 lies in row 0
  const int old_row = item_index / columns;
  const int increment = view.Increment > 0 ? view.Increment : AtLeastOne(cell_height);
  const int max_position = std::max(view.MaxPosition, 0);

  auto below_view = [&](int pos) { return pos + view.ClientHeight < (row + 1) * cell_height - metrics.Offset(); };
  auto above_view = [&](int pos) { return row * cell_height < pos; };

  if (row == old_row) {
    plan.RepaintOld = item_index < icon_count;
    plan.RepaintNew = true;
    return plan;
  }

  int pos = view.Position;
  if (below_view(pos)) {
    // Step as the host's scroll bar does; stop where the bar stops.
    while (below_view(pos)) {
      const int next = std::min(pos + increment, max_position);
      if (next <= pos) break;
      pos = next;
    }
  } else if (above_view(pos)) {
    while (above_view(pos)) {
      const int next = std::max(pos - increment, 0);
      if (next >= pos) break;
      pos = next;
    }
  }

  if (pos != view.Position) {
    plan.Scrolls = true;
    plan.ScrollPosition = pos;
  } else {
    // Already in view, or the bar could not move: only the two cells change.
    plan.RepaintOld = true;
    plan.RepaintNew = true;
  }
  return plan;
}

TKeyAction KeyAction(TGridKey key, int item_index, int icon_count, int columns, int client_height, int cell_height) {
  TKeyAction action;
  if (icon_count <= 0 || key == TGridKey::kOther) return action;
  columns = AtLeastOne(columns);
  action.Consumed = true;
  action.Request = true;
  const int page = (std::max(client_height, 0) / AtLeastOne(cell_height)) * columns;
  switch (key) {
    case TGridKey::kPageUp: action.Index = std::max(item_index - page, 0); break;
    case TGridKey::kPageDown: action.Index = item_index + page; break;
    case TGridKey::kEnd: action.Index = icon_count - 1; break;
    case TGridKey::kHome: action.Index = 0; break;
    case TGridKey::kLeft:
      action.Request = item_index != 0;
      action.Index = item_index - 1;
      break;
    case TGridKey::kUp:
      action.Request = item_index != 0;
      action.Index = std::max(0, item_index - columns);
      break;
    case TGridKey::kRight: action.Index = item_index + 1; break;
    case TGridKey::kDown: action.Index = item_index + columns; break;
    case TGridKey::kOther: break;
  }
  return action;
}

TKeyAction WheelAction(int wheel_delta, int item_index, int columns) {
  TKeyAction action;
  action.Consumed = true;
  columns = AtLeastOne(columns);
  if (wheel_delta < 0) {
    action.Request = true;
    action.Index = item_index + columns;
  } else if (wheel_delta > 0 && item_index != 0) {
    action.Request = true;
    action.Index = std::max(0, item_index - columns);
  }
  return action;
}

}  // namespace controls
