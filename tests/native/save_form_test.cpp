// The export options window's rules and the save dialog's default
// extension, without a window.
#include <gtest/gtest.h>

#include "app/export/save_dialog_filter.h"
#include "app/save_form.h"

namespace app {
namespace {

TEST(SaveForm, ColumnCountIsATrimmedDecimalOfAtLeastOne) {
  const struct {
    const char* text;
    int expected;  // 0: refused
  } cases[] = {{"4", 4},   {" 12 ", 12}, {"007", 7}, {"99999", 99999}, {"0", 0},   {"000", 0},   {"", 0},
               {"   ", 0}, {"3a", 0},    {"-2", 0},  {"+2", 0},        {"1 2", 0}, {"123456", 0}};
  for (const auto& c : cases) {
    const std::optional<int> count = ParseColumnCount(c.text);
    EXPECT_EQ(c.expected, count.value_or(0)) << '"' << c.text << '"';
  }
}

TEST(SaveForm, ColumnCountBoxTakesDigitsAndControlCharacters) {
  const struct {
    unsigned ch;
    bool accepted;
  } cases[] = {{'0', true},  {'9', true},  {8, true},    {22, true},     {' ', false},
               {'a', false}, {'/', false}, {':', false}, {0x4E00, false}};
  for (const auto& c : cases) EXPECT_EQ(c.accepted, ColumnCountAccepts(c.ch)) << c.ch;
}

TEST(SaveForm, RadioChoicesFillColumnByColumnBelowTheCaption) {
  // The picture-type group: 249 x 73 pixels, four choices in two columns,
  // a caption 13 pixels high. 55 pixels remain for two rows of 27, the odd
  // pixel shared out above.
  const struct { int index, left, top; } cases[] = {{0, 8, 14}, {1, 8, 41}, {2, 127, 14}, {3, 127, 41}};
  for (const auto& c : cases) {
    const util::TRect r = RadioGroupItemBounds(249, 73, 4, 2, 13, c.index);
    EXPECT_EQ(c.left, r.left) << c.index;
    EXPECT_EQ(c.top, r.top) << c.index;
    EXPECT_EQ(119, r.Width());
    EXPECT_EQ(27, r.Height());
  }
  // Three choices in two columns: two in the first, one in the second.
  EXPECT_EQ(8, RadioGroupItemBounds(249, 73, 3, 2, 13, 1).left);
  EXPECT_EQ(127, RadioGroupItemBounds(249, 73, 3, 2, 13, 2).left);
}

TEST(SaveDialogFilter, DefaultExtensionOfTheChosenType) {
  const std::wstring icons_and_images =
      L"\x56FE\x6807\x6587\x4EF6 (*.ico)|*.ico|\x4F4D\x56FE (*.bmp)|*.bmp|JPEG file (*.jpg;*.jpeg)|*.jpg;*.jpeg|"
      L"Metafile (*.emf)|*.emf";
  const struct {
    std::wstring filter;
    int index;
    const char* extension;
  } cases[] = {
      {icons_and_images, 1, "ico"},
      {icons_and_images, 2, "bmp"},
      {icons_and_images, 3, "jpg"},
      {icons_and_images, 4, "emf"},
      {L"HTML\x6587\x6863 (*.htm, *.html)|*.htm;*.html", 1, "htm"},
      {L"\x6570\x636E\x5E93\x6587\x4EF6(*.dbf)|*.dbf", 1, "dbf"},
      {L"All files (*.*)|*.*", 1, ""},
      {L"No pattern|*.txt", 1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.extension, FilterDefaultExtension(c.filter, c.index)) << c.index;
}

TEST(SaveDialogFilter, CountsThePairs) {
  EXPECT_EQ(0, FilterCount(L""));
  EXPECT_EQ(1, FilterCount(L"Icons (*.ico)|*.ico"));
  EXPECT_EQ(3, FilterCount(L"a (*.a)|*.a|b (*.b)|*.b|c (*.c)|*.c"));
}

}  // namespace
}  // namespace app
