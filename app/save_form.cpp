#include "app/save_form.h"

#include <algorithm>

#include "util/file_utils.h"

namespace app {

bool ColumnCountAccepts(unsigned ch) { return ch < 32 || (ch >= '0' && ch <= '9'); }

std::optional<int> ParseColumnCount(const std::string& text) {
  const std::string digits = util::Trim(text);
  if (digits.empty() || digits.size() > static_cast<size_t>(kColumnCountMaxLength)) return std::nullopt;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < 1) return std::nullopt;
  return value;
}

util::TRect RadioGroupItemBounds(int width, int height, int count, int columns, int font_height, int index) {
  columns = std::max(columns, 1);
  const int per_column = std::max((count + columns - 1) / columns, 1);
  // The choices share the height below the caption evenly; what is left
  // over goes half above them.
  const int free_height = height - font_height - 5;
  const int item_height = free_height / per_column;
  const int top_margin = font_height + 1 + (free_height % per_column) / 2;
  const int item_width = (width - 10) / columns;
  return util::TRect::FromBounds((index / per_column) * item_width + 8, (index % per_column) * item_height + top_margin,
                                 item_width, item_height);
}

}  // namespace app
