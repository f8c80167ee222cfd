// Aligned layout: controls that stick to an edge of their parent (top,
// bottom, left, right) or fill what is left (client), as splitters and the
// panels they size expect.
//
// The edges are served in the order top, bottom, left, right, client; each
// aligned control takes its own height (top, bottom) or width (left, right)
// off the remaining area, in the order of its current position: top ones
// from the top down, bottom ones from the bottom up, left ones from the left,
// right ones from the right. A splitter therefore only has to change the
// size of the control beside it and ask for a new layout.
#pragma once

#include <vector>

#include "util/rect.h"

namespace gui {

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct TAlignedItem {
  TAlign align = TAlign::alNone;
  util::TRect bounds;  // current bounds; the result replaces them
  bool visible = true;
};

// Lays the visible aligned items out in the client area; items aligned
// alNone and hidden ones keep their bounds.
void AlignItems(int client_width, int client_height, std::vector<TAlignedItem>& items);

}  // namespace gui
