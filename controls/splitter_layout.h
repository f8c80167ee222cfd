// Arithmetic and drag model of the splitter bar (TzuSplitter): which sibling
// it resizes, the limits of the new size, the ghost line, what a new size
// does to the sibling's bounds, the grip it paints and its cursor.
//
// The Win32 control forwards press, move, release and ESC to TSplitterDrag
// and carries out the returned steps in order. The ghost line is drawn by
// inversion, so drawing it twice at the same place erases it; the model
// keeps track of whether it shows.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "gui/model/align_layout.h"
#include "util/rect.h"

namespace controls {

// The edges a control sticks to, as the aligned layout knows them.
using TAlign = gui::TAlign;
enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };

// One control on the splitter's parent, as the window side reports it.
struct TSiblingControl {
  util::TRect Bounds;  // in the parent's client coordinates
  TAlign Align = TAlign::alNone;
  bool Visible = true;
  bool Enabled = true;
};

// A bar aligned left or right is vertical and resizes widths; any other
// alignment makes a horizontal bar that resizes heights.
bool IsVerticalBar(TAlign align);

// The index of the sibling the splitter resizes, -1 for none: the first
// visible and enabled control that holds the point just outside the
// splitter on its aligned side.
int FindSizedControl(const util::TRect& splitter, TAlign align, const std::vector<TSiblingControl>& siblings);

// The largest size the resized control may take: the parent's client extent
// across the bar, less MinSize, less every control aligned on the same axis
// (the splitter among them), plus the resized control itself. Hidden
// controls are left out, as they take no room in the parent's alignment.
int LargestAllowedSize(TAlign align, int min_size, int parent_client_width, int parent_client_height,
                       const std::vector<TSiblingControl>& siblings, int sized);

struct TNewSize {
  int Size = 0;
  int Split = 0;  // the ghost line's offset from the splitter
};

// The size for a pointer `split` pixels from the press point (along the
// bar's axis), clamped to min_size .. max_size; a clamp moves the split so
// that the ghost line stops at the limit.
TNewSize ComputeNewSize(TAlign align, int min_size, int max_size, const util::TRect& control, int split);

// The ghost line: a rectangle as large as the splitter, moved by the offset.
util::TRect GhostLineRect(const util::TRect& splitter, TAlign align, int offset);

// The resized control's bounds for a new size: a control above or left of
// the bar grows away from its origin, one below or right of it keeps its far
// edge and moves its top or left.
util::TRect AppliedBounds(TAlign align, const util::TRect& control, int new_size);

// The two bevel frames, highlight first then shadow, in client coordinates.
struct TBevelFrames {
  util::TRect Highlight;
  util::TRect Shadow;
};
TBevelFrames BevelFrames(TAlign align, int client_width, int client_height);

struct TPixelPoint {
  int X = 0;
  int Y = 0;
};

// The top-left points of the six grip dots; none when the bar is 2 pixels
// thick or thinner.
std::vector<TPixelPoint> GripDots(TAlign align, int client_width, int client_height);

// One pixel of a grip dot, relative to the dot's point, in grey Grey
// (red = green = blue).
struct TGripPixel {
  int Dx = 0;
  int Dy = 0;
  uint8_t Grey = 0;
};

// The pixels of one grip dot; screens of 8 bits per pixel or fewer get
// only the five lower pixels, not the two of the top row.
std::vector<TGripPixel> GripDotPixels(int screen_bits_per_pixel);

enum TSplitCursor { crHSplit, crVSplit, crOther };

// The cursor after Align changes: a split cursor follows the bar's
// direction, any other cursor stays.
TSplitCursor CursorForAlign(TSplitCursor current, TAlign align);

// One thing the window side does, in the order given.
struct TSplitterStep {
  enum class TKind {
    kBeginSizing,  // take a drawing context on the parent (with the checker brush
                   // for rsPattern) and catch the active control's keys
    kInvertGhost,  // invert Rect on the parent
    kSetBounds,    // give sibling Control the bounds Rect (the parent's alignment
                   // suspended meanwhile) and repaint at once
    kMoved,        // raise OnMoved
    kEndSizing,    // release the drawing context and brush, give the keys back
  };
  TKind Kind = TKind::kMoved;
  util::TRect Rect;
  int Control = -1;
};

// What the parent looks like when the drag starts.
struct TSplitterParent {
  util::TRect Splitter;
  int ClientWidth = 0;
  int ClientHeight = 0;
  std::vector<TSiblingControl> Siblings;
};

// OnCanResize: may change the size; returns whether the size is accepted.
using TCanResize = std::function<bool(int& new_size)>;

class TSplitterDrag {
 public:
  TAlign Align = TAlign::alLeft;
  int MinSize = 40;
  TResizeStyle ResizeStyle = TResizeStyle::rsPattern;

  // Pointer positions are in the splitter's own client coordinates, which
  // move with it when rsUpdate resizes the control during the drag.
  // A press with the left button starts a drag when there is a control to resize.
  std::vector<TSplitterStep> Press(const TSplitterParent& parent, int x, int y, bool left_button);
  std::vector<TSplitterStep> Move(int x, int y, bool left_button_held, const TCanResize& can_resize = nullptr);
  std::vector<TSplitterStep> Release();
  // A key on the form's active control while dragging. Returns the steps;
  // `pass_on` tells whether the key goes on to the control's own handler.
  std::vector<TSplitterStep> KeyDown(bool escape, bool& pass_on);

  bool Dragging() const { return control_ >= 0; }
  bool GhostVisible() const { return ghost_visible_; }
  int NewSize() const { return new_size_; }
  int MaxSize() const { return max_size_; }

 private:
  bool LineStyle() const;
  void ToggleGhost(std::vector<TSplitterStep>& steps);
  void ApplyNewSize(std::vector<TSplitterStep>& steps);
  void EndSizing(std::vector<TSplitterStep>& steps);

  util::TRect splitter_;
  util::TRect control_bounds_;
  int control_ = -1;
  int down_x_ = 0;
  int down_y_ = 0;
  int max_size_ = 0;
  int new_size_ = 0;
  int applied_size_ = -1;
  int split_ = 0;
  bool ghost_visible_ = false;
};

}  // namespace controls
