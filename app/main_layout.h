// The main window's layout arithmetic: the places of the controls that are
// anchored to a right edge, the status bar's panels, and the search pane's
// height when the window is resized. The panels that stick to an edge are
// laid out by the aligned layout; what is left is here.
#pragma once

#include <array>

#include "util/rect.h"

namespace app {

// The window's sizes at 96 dots per inch.
constexpr int kFormLeft = 161;
constexpr int kFormTop = 98;
constexpr int kFormWidth = 526;
constexpr int kFormHeight = 445;
constexpr int kMinTrackWidth = 526;
constexpr int kMinTrackHeight = 455;
constexpr int kToolbarHeight = 33;     // the strip with the glyph buttons
constexpr int kSearchBarHeight = 41;   // the bar with the search button
constexpr int kFindPanelHeight = 172;  // the search pane's design height
constexpr int kFilePanelWidth = 248;   // its file list's design width
constexpr int kSplitterThickness = 3;
constexpr int kStatusPanelWidth = 50;

// The link label at the toolbar's top right: 140 x 18, wider when its text
// needs it.
util::TRect LinkLabelBounds(int toolbar_width, int text_width);
// The search button at the right of the search bar (179 x 25).
util::TRect SearchButtonBounds(int bar_width);

// Right edges of the status bar's four panels: the first half the client
// width, the others 50 pixels each.
std::array<int, 4> StatusPanelEdges(int client_width);

// The search pane's height after a resize: when the splitter above it has
// been pushed up past its minimum, the pane gives back what the upper part
// needs (client height - MinSize - splitter - status bar); otherwise it keeps
// its height.
int FindPanelHeightAfterResize(int pane_height, int splitter_top, int min_size, int client_height, int splitter_height,
                               int status_bar_height);

// The file list's width after a resize: when the splitter beside it has
// been pushed left past its minimum, the list gives back what the folder
// tree needs (pane client width - MinSize - splitter); otherwise it keeps
// its width.
int FilePanelWidthAfterResize(int file_width, int splitter_left, int min_size, int pane_client_width,
                              int splitter_width);

// The search pane's controls. The folder tree's panel holds its label and
// the tree; the file panel holds its label, the count with the failure
// mark under it, the save-all button, the decorative strip, the list and
// the subfolder check box below the list.
struct TSearchPanePlaces {
  util::TRect tree;
  util::TRect file_box;
  util::TRect check_box;
  util::TRect strip;
  util::TRect save_all;
  util::TRect count_label;
  util::TRect failed_label;
};
// The count label's box for a text `text_width` pixels wide: the column's
// box, widened about its centre as far as the text needs (a count in the
// thousands is wider than the column), but never past the pane's left edge.
util::TRect CountLabelBox(const util::TRect& column, int text_width);

constexpr int kPaneMargin = 8;    // the tree's left offset, the margin throughout
constexpr int kPaneListTop = 22;  // the tree and the list, under their labels
constexpr int kPaneLabelHeight = 13;
constexpr int kCheckBoxHeight = 17;
constexpr int kSaveAllWidth = 40;
constexpr int kSaveAllHeight = 27;
constexpr int kStripLeft = 50;
constexpr int kStripWidth = 13;
constexpr int kFileBoxLeft = 66;
TSearchPanePlaces SearchPanePlaces(int dir_width, int dir_height, int file_width, int file_height);

// The digits of a colour depth code for the status bar ("1" .. "32", "?").
const char* DepthDigits(int depth_code);

}  // namespace app
