#include "controls/list_search.h"

#include "util/file_utils.h"

namespace controls {

namespace {

std::string TrimLeft(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first);
}

// The list's own exact search: the first item equal to text, without regard to case.
int FindExact(const std::vector<std::string>& items, const std::string& text) {
  const std::string wanted = util::LowerCase(text);
  for (size_t i = 0; i < items.size(); ++i) {
    if (util::LowerCase(items[i]) == wanted) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

bool OpensSearch(unsigned ch, bool ctrl_down) {
  if (ctrl_down) return false;
  return ch != 32 && ch != 27 && ch != 13 && ch != 8;
}

TCompletion Complete(const TSearchText& edit, size_t prev_length, const std::vector<std::string>& items,
                     int selected_item) {
  TCompletion out;
  out.result = edit;
  const std::string trimmed = util::Trim(edit.text);
  out.prev_length = trimmed.size();
  // Only when something was typed (not deleted) and nothing is selected.
  if (trimmed.size() <= prev_length || edit.selection_length != 0) return out;
  const std::string prefix = TrimLeft(edit.text.substr(0, edit.caret));
  if (prefix.empty() || prefix.back() == ' ') return out;

  const int exact = FindExact(items, prefix);
  if (exact >= 0) {
    out.select_all = exact != selected_item;
    return out;
  }
  const std::string lower_prefix = util::LowerCase(prefix);
  const std::string whole = util::LowerCase(TrimLeft(edit.text));
  for (const std::string& item : items) {
    const std::string lower_item = util::LowerCase(item);
    if (lower_item.compare(0, lower_prefix.size(), lower_prefix) != 0) continue;
    if (whole.compare(0, lower_item.size(), lower_item) == 0 && whole.size() >= lower_item.size()) continue;
    const std::string before = edit.text.substr(0, edit.caret);
    out.result.text = before + util::LowerCase(item.substr(prefix.size()));
    out.result.caret = edit.caret;
    out.result.selection_start = edit.caret;
    out.result.selection_length = item.size() - prefix.size();
    out.changed = true;
    out.prev_length = util::Trim(out.result.text).size();
    return out;
  }
  return out;
}

int PictureTop(int row_top, int row_bottom, int picture_height) {
  const int top = (row_top + row_bottom) / 2 - picture_height / 2;
  return row_bottom - row_top == picture_height + 1 ? top + 1 : top;
}

int TextTop(int row_top, int row_bottom, int text_height) { return (row_top + row_bottom) / 2 - text_height / 2; }

std::optional<util::TRect> LongRowHint(int text_width, int offset, int client_width, int row_top, int row_bottom,
                                       bool text_empty) {
  if (text_empty || text_width <= client_width - offset) return std::nullopt;
  return util::TRect{offset - 2, row_top, client_width + offset - 2, row_bottom};
}

TEnterSelection EnterSelection(unsigned long start, unsigned long end, unsigned long length) {
  if (start != 0) return TEnterSelection::kSelectAll;
  return end >= length ? TEnterSelection::kCaretToEnd : TEnterSelection::kSelectAll;
}

}  // namespace controls
