#include "controls/splitter_layout.h"

#include <climits>

namespace controls {

using util::TRect;

namespace {

bool OnAxis(TAlign align, bool vertical) {
  return vertical ? align == TAlign::alLeft || align == TAlign::alRight
                  : align == TAlign::alTop || align == TAlign::alBottom;
}

int Extent(const TRect& bounds, bool vertical) { return vertical ? bounds.Width() : bounds.Height(); }

// The far side of the bar grows against the pointer: moving right or down
// shrinks a control aligned right or bottom.
bool FarSide(TAlign align) { return align == TAlign::alRight || align == TAlign::alBottom; }

TSplitterStep Step(TSplitterStep::TKind kind) {
  TSplitterStep step;
  step.Kind = kind;
  return step;
}

int ToInt(long long value) { return static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value); }

}  // namespace

bool IsVerticalBar(TAlign align) { return OnAxis(align, true); }

int FindSizedControl(const TRect& splitter, TAlign align, const std::vector<TSiblingControl>& siblings) {
  long long px = splitter.left;
  long long py = splitter.top;
  switch (align) {
    case TAlign::alTop: py -= 1; break;
    case TAlign::alBottom: py = splitter.bottom; break;
    case TAlign::alLeft: px -= 1; break;
    case TAlign::alRight: px = splitter.right; break;
    default: return -1;
  }
  // A control of no width or height would hold no point at all; it is
  // widened by one pixel towards the splitter so that it can still be found.
  const bool near_side = align == TAlign::alTop || align == TAlign::alLeft;
  for (size_t i = 0; i < siblings.size(); ++i) {
    const TSiblingControl& s = siblings[i];
    if (!s.Visible || !s.Enabled) continue;
    long long left = s.Bounds.left, top = s.Bounds.top;
    long long right = s.Bounds.right, bottom = s.Bounds.bottom;
    if (right == left) {
      if (near_side)
        --left;
      else
        ++right;
    }
    if (bottom == top) {
      if (near_side)
        --top;
      else
        ++bottom;
    }
    if (px >= left && px < right && py >= top && py < bottom) return static_cast<int>(i);
  }
  return -1;
}

int LargestAllowedSize(TAlign align, int min_size, int parent_client_width, int parent_client_height,
                       const std::vector<TSiblingControl>& siblings, int sized) {
  const bool vertical = IsVerticalBar(align);
  long long size = static_cast<long long>(vertical ? parent_client_width : parent_client_height) - min_size;
  for (const TSiblingControl& s : siblings) {
    if (s.Visible && OnAxis(s.Align, vertical)) size -= Extent(s.Bounds, vertical);
  }
  if (sized >= 0 && sized < static_cast<int>(siblings.size())) size += Extent(siblings[sized].Bounds, vertical);
  return ToInt(size);
}

TNewSize ComputeNewSize(TAlign align, int min_size, int max_size, const TRect& control, int split) {
  const bool vertical = IsVerticalBar(align);
  const long long wanted = static_cast<long long>(Extent(control, vertical)) + (FarSide(align) ? -split : split);
  // MinSize wins over a largest size below it only for a pointer below
  // MinSize; otherwise the largest size caps the control.
  long long size = wanted;
  if (size < min_size) {
    size = min_size;
  } else if (size > max_size) {
    size = max_size;
  }
  long long moved = split;
  if (size != wanted) moved += FarSide(align) ? wanted - size : size - wanted;
  return {ToInt(size), ToInt(moved)};
}

TRect GhostLineRect(const TRect& splitter, TAlign align, int offset) {
  return IsVerticalBar(align) ? splitter.Moved(offset, 0) : splitter.Moved(0, offset);
}

TRect AppliedBounds(TAlign align, const TRect& control, int new_size) {
  TRect bounds = control;
  switch (align) {
    case TAlign::alTop: bounds.bottom = bounds.top + new_size; break;
    case TAlign::alBottom: bounds.top = bounds.bottom - new_size; break;
    case TAlign::alLeft: bounds.right = bounds.left + new_size; break;
    case TAlign::alRight: bounds.left = bounds.right - new_size; break;
    default: break;
  }
  return bounds;
}

// The client rectangle is narrowed by a pixel on each side across the bar
// and lengthened by two along it, so that the frames' ends fall outside the
// bar and only their long sides show.
TBevelFrames BevelFrames(TAlign align, int client_width, int client_height) {
  const TRect rect = IsVerticalBar(align) ? TRect::FromBounds(1, -2, client_width - 2, client_height + 4)
                                          : TRect::FromBounds(-2, 1, client_width + 4, client_height - 2);
  TBevelFrames frames;
  frames.Highlight = rect.Moved(1, 1);
  frames.Shadow = rect.Moved(-1, -1);
  return frames;
}

std::vector<TPixelPoint> GripDots(TAlign align, int client_width, int client_height) {
  std::vector<TPixelPoint> dots;
  const bool vertical = IsVerticalBar(align);
  if ((vertical ? client_width : client_height) <= 2) return dots;
  for (int j = 1; j <= 6; ++j) {
    const int along = 12 - 4 * j;
    if (vertical) {
      dots.push_back({client_width / 2 - 1, client_height / 2 + along});
    } else {
      dots.push_back({client_width / 2 + along, client_height / 2 - 1});
    }
  }
  return dots;
}

std::vector<TGripPixel> GripDotPixels(int screen_bits_per_pixel) {
  std::vector<TGripPixel> pixels = {{0, 1, 192}, {1, 1, 128}, {2, 2, 255}, {1, 2, 255}, {2, 1, 255}};
  if (screen_bits_per_pixel > 8) {
    pixels.push_back({0, 0, 212});
    pixels.push_back({1, 0, 165});
  }
  return pixels;
}

TSplitCursor CursorForAlign(TSplitCursor current, TAlign align) {
  if (current == TSplitCursor::crOther) return current;
  return align == TAlign::alTop || align == TAlign::alBottom ? TSplitCursor::crVSplit : TSplitCursor::crHSplit;
}

bool TSplitterDrag::LineStyle() const {
  return ResizeStyle == TResizeStyle::rsLine || ResizeStyle == TResizeStyle::rsPattern;
}

void TSplitterDrag::ToggleGhost(std::vector<TSplitterStep>& steps) {
  ghost_visible_ = !ghost_visible_;
  TSplitterStep step = Step(TSplitterStep::TKind::kInvertGhost);
  step.Rect = GhostLineRect(splitter_, Align, split_);
  steps.push_back(step);
}

// The size last given to the control is the one the control has when the
// drag starts: a size remembered from an earlier drag may have been undone
// since (the parent's layout or the program resized the control), and a
// drag back to it must still apply.
std::vector<TSplitterStep> TSplitterDrag::Press(const TSplitterParent& parent, int x, int y, bool left_button) {
  std::vector<TSplitterStep> steps;
  if (!left_button || Dragging()) return steps;
  down_x_ = x;
  down_y_ = y;
  control_ = FindSizedControl(parent.Splitter, Align, parent.Siblings);
  if (control_ < 0) return steps;
  splitter_ = parent.Splitter;
  control_bounds_ = parent.Siblings[control_].Bounds;
  applied_size_ = Extent(control_bounds_, IsVerticalBar(Align));
  max_size_ = LargestAllowedSize(Align, MinSize, parent.ClientWidth, parent.ClientHeight, parent.Siblings, control_);
  const TNewSize first = ComputeNewSize(Align, MinSize, max_size_, control_bounds_, 0);
  new_size_ = first.Size;
  split_ = first.Split;
  steps.push_back(Step(TSplitterStep::TKind::kBeginSizing));
  if (LineStyle()) ToggleGhost(steps);
  return steps;
}

std::vector<TSplitterStep> TSplitterDrag::Move(int x, int y, bool left_button_held, const TCanResize& can_resize) {
  std::vector<TSplitterStep> steps;
  if (!left_button_held || !Dragging()) return steps;
  const int split = IsVerticalBar(Align) ? x - down_x_ : y - down_y_;
  const TNewSize next = ComputeNewSize(Align, MinSize, max_size_, control_bounds_, split);
  int size = next.Size;
  if (can_resize && !can_resize(size)) return steps;
  if (LineStyle()) ToggleGhost(steps);
  new_size_ = size;
  split_ = next.Split;
  if (ResizeStyle == TResizeStyle::rsUpdate) ApplyNewSize(steps);
  if (LineStyle()) ToggleGhost(steps);
  return steps;
}

std::vector<TSplitterStep> TSplitterDrag::Release() {
  std::vector<TSplitterStep> steps;
  if (!Dragging()) return steps;
  if (LineStyle() && ghost_visible_) ToggleGhost(steps);
  ApplyNewSize(steps);
  EndSizing(steps);
  return steps;
}

std::vector<TSplitterStep> TSplitterDrag::KeyDown(bool escape, bool& pass_on) {
  std::vector<TSplitterStep> steps;
  pass_on = !escape || !Dragging();
  if (!pass_on) EndSizing(steps);
  return steps;
}

void TSplitterDrag::ApplyNewSize(std::vector<TSplitterStep>& steps) {
  if (new_size_ == applied_size_) return;
  control_bounds_ = AppliedBounds(Align, control_bounds_, new_size_);
  TSplitterStep set = Step(TSplitterStep::TKind::kSetBounds);
  set.Control = control_;
  set.Rect = control_bounds_;
  steps.push_back(set);
  steps.push_back(Step(TSplitterStep::TKind::kMoved));
  applied_size_ = new_size_;
}

void TSplitterDrag::EndSizing(std::vector<TSplitterStep>& steps) {
  if (Dragging()) {
    if (ghost_visible_) ToggleGhost(steps);
    control_ = -1;
    steps.push_back(Step(TSplitterStep::TKind::kEndSizing));
  }
  // OnMoved also ends every drag, applied or not.
  steps.push_back(Step(TSplitterStep::TKind::kMoved));
}

}  // namespace controls
