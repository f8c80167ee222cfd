// The rules of the export options window that need no window: what the
// column count box accepts, when its text is a usable count, and where the
// picture-type choices stand inside their group box.
#pragma once

#include <optional>
#include <string>

#include "util/rect.h"

namespace app {

// The most characters the column count box holds.
constexpr int kColumnCountMaxLength = 5;

// Whether a character typed into the column count box reaches it: the
// digits and the control characters (Backspace, Ctrl+V, ...).
bool ColumnCountAccepts(unsigned ch);

// The column count the box's text gives: the text trimmed, as a decimal
// number of at least 1. Nothing for an empty text, for a text that is not a
// number (one pasted in) and for 0, which cannot lay out a table row; the
// window keeps OK disabled then.
std::optional<int> ParseColumnCount(const std::string& text);

// The picture types of a dBase memo can be made grey; the icon type cannot.
inline bool GrayScaleAllowed(int memo_type) { return memo_type > 0; }

// The place of choice `index` of a radio group of width x height pixels
// with `count` choices in `columns` columns, filled column by column, below
// a caption of font_height pixels; relative to the group's top left.
util::TRect RadioGroupItemBounds(int width, int height, int count, int columns, int font_height, int index);

}  // namespace app
