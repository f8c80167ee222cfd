// The rules of the file list box (TZuListBox) that need no window: which
// typed characters open its search edit, how the search edit completes the
// typed text from the list's items, where a row's picture and text go, and
// where the hint of a long row lies.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "util/rect.h"

namespace controls {

// A character typed into the list opens the search edit (with DirectSearch
// on and the search closed): any but space, ESC, Enter and Backspace,
// typed without Ctrl.
bool OpensSearch(unsigned ch, bool ctrl_down);

// The search edit's state when its text changed.
struct TSearchText {
  std::string text;
  size_t caret = 0;            // where the caret is
  size_t selection_start = 0;  // selection = [start, start + length)
  size_t selection_length = 0;
};

struct TCompletion {
  bool changed = false;  // the edit's text and selection are to be replaced by these
  TSearchText result;
  bool select_all = false;  // the typed text names an item exactly: select the whole text
  size_t prev_length = 0;   // PrevLength after this change
};

// The completion step: items in the list's order, prev_length the trimmed
// length after the last change, selected_item the item selected in the
// list (-1 for none).
TCompletion Complete(const TSearchText& edit, size_t prev_length, const std::vector<std::string>& items,
                     int selected_item);

// What Enter does to the search edit's selection [start, end) in a text of
// `length` characters before it looks the text up: a selection that does
// not start at 0 becomes the whole text, one that already covers the whole
// text gives way to the caret at the end, and anything else (the caret at
// 0, the start of the text) becomes the whole text again.
enum class TEnterSelection { kSelectAll, kCaretToEnd };
TEnterSelection EnterSelection(unsigned long start, unsigned long end, unsigned long length);

// Where a row's picture goes vertically, centred in the row (a row one
// pixel taller than the picture puts it one pixel lower).
int PictureTop(int row_top, int row_bottom, int picture_height);
int TextTop(int row_top, int row_bottom, int text_height);

// The hint of a row whose text (text_width pixels, drawn at offset) does not
// fit the client width: over the row from offset - 2 to the client width
// plus offset - 2. None for a row that fits.
std::optional<util::TRect> LongRowHint(int text_width, int offset, int client_width, int row_top, int row_bottom,
                                       bool text_empty);

}  // namespace controls
