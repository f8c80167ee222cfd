#include "controls/list_search.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kItems{"comctl32.dll", "notepad.exe", "Shell32.dll", "shellext.dll", "sub\\x.dll"};

controls::TSearchText Typed(const std::string& text) { return {text, text.size(), text.size(), 0}; }

TEST(ListSearch, CharactersThatOpenTheSearch) {
  EXPECT_TRUE(controls::OpensSearch('s', false));
  EXPECT_TRUE(controls::OpensSearch('1', false));
  for (unsigned ch : {32u, 27u, 13u, 8u}) EXPECT_FALSE(controls::OpensSearch(ch, false)) << ch;
  EXPECT_FALSE(controls::OpensSearch('s', true)) << "typed with Ctrl";
}

TEST(ListSearch, TypingCompletesFromTheFirstMatchingItemLowerCased) {
  // "s" completes to the first item starting with it, the rest lower case and selected.
  const auto s = controls::Complete(Typed("s"), 0, kItems, -1);
  ASSERT_TRUE(s.changed);
  EXPECT_EQ("shell32.dll", s.result.text);
  EXPECT_EQ(1u, s.result.selection_start);
  EXPECT_EQ(10u, s.result.selection_length);
  EXPECT_EQ(11u, s.prev_length);

  const auto not_ = controls::Complete(Typed("NOT"), 2, kItems, -1);
  ASSERT_TRUE(not_.changed);
  EXPECT_EQ("NOTepad.exe", not_.result.text) << "the typed part keeps its case";

  // Backspace (shorter than before) and a selection in the edit complete nothing.
  EXPECT_FALSE(controls::Complete(Typed("no"), 11, kItems, -1).changed);
  controls::TSearchText selected = Typed("no");
  selected.selection_length = 1;
  EXPECT_FALSE(controls::Complete(selected, 0, kItems, -1).changed);
  EXPECT_FALSE(controls::Complete(Typed("x "), 0, kItems, -1).changed) << "a prefix ending in a blank";
  EXPECT_FALSE(controls::Complete(Typed("zz"), 0, kItems, -1).changed) << "no item starts so";
}

TEST(ListSearch, AnExactNameSelectsTheWholeTextUnlessItIsTheSelectedItem) {
  const auto exact = controls::Complete(Typed("NOTEPAD.EXE"), 3, kItems, -1);
  EXPECT_FALSE(exact.changed);
  EXPECT_TRUE(exact.select_all);
  EXPECT_FALSE(controls::Complete(Typed("notepad.exe"), 3, kItems, 1).select_all);
}

TEST(ListSearch, RowPicturesAndLongRowHints) {
  EXPECT_EQ(1, controls::PictureTop(0, 18, 16)) << "16 in an 18 row: centred";
  EXPECT_EQ(1, controls::PictureTop(0, 17, 16)) << "one pixel taller: one lower";
  EXPECT_EQ(3, controls::TextTop(0, 18, 13));
  EXPECT_FALSE(controls::LongRowHint(200, 20, 230, 36, 54, false));
  const auto hint = controls::LongRowHint(300, 20, 230, 36, 54, false);
  ASSERT_TRUE(hint);
  EXPECT_EQ(18, hint->left);
  EXPECT_EQ(248, hint->right);
  EXPECT_EQ(36, hint->top);
  EXPECT_FALSE(controls::LongRowHint(0, 20, 230, 36, 54, true)) << "an empty text shows none";
}

TEST(ListSearch, EnterSelectsAllUnlessTheWholeTextIsSelectedAlready) {
  // "sh" typed (caret at 2): all of it; Enter again: the caret to the end.
  EXPECT_EQ(controls::TEnterSelection::kSelectAll, controls::EnterSelection(2, 2, 2));
  EXPECT_EQ(controls::TEnterSelection::kCaretToEnd, controls::EnterSelection(0, 2, 2));
  EXPECT_EQ(controls::TEnterSelection::kSelectAll, controls::EnterSelection(0, 1, 5)) << "the start only";
  EXPECT_EQ(controls::TEnterSelection::kSelectAll, controls::EnterSelection(0, 0, 5)) << "the caret at the start";
  EXPECT_EQ(controls::TEnterSelection::kCaretToEnd, controls::EnterSelection(0, 0, 0)) << "no text";
}

}  // namespace
