#include <gtest/gtest.h>

#include "imaging/zu_graphic_utils.h"
#include "util/mbcs.h"

namespace imaging {
namespace {

TEST(MakeGrayscale, IntegerFormulaOnTwentyFourBitsOnly) {
  struct Case {
    Pixel32 in;
    uint8_t grey;
  } cases[] = {{0xFF0000, 76}, {0x00FF00, 150}, {0x0000FF, 27}, {0xFFFFFF, 255}, {0x000000, 0}, {0x102030, 28}};
  PixelBuffer buffer(5, 2, 24);  // odd width: rows carry padding
  for (size_t i = 0; i < 6; ++i) buffer.Set(static_cast<int>(i % 5), static_cast<int>(i / 5), cases[i].in);
  buffer.data().back() = 0x5A;  // padding byte of the bottom row must stay
  ASSERT_TRUE(MakeGrayscale(buffer.view()));
  for (size_t i = 0; i < 6; ++i) {
    uint8_t g = cases[i].grey;
    EXPECT_EQ(MakePixel(g, g, g), buffer.Get(static_cast<int>(i % 5), static_cast<int>(i / 5))) << i;
  }
  EXPECT_EQ(0x5A, buffer.data().back());

  PixelBuffer wide(3, 1, 32);
  wide.Set(0, 0, 0x00FF0000);
  EXPECT_FALSE(MakeGrayscale(wide.view()));
  EXPECT_EQ(0x00FF0000u, wide.Get(0, 0));
}

TEST(ShadeColor, DarkenAndLightenPerChannel) {
  auto no_sys = [](int) -> ColorRef { return 0; };
  struct Case {
    int channel, amount, dark, light;
  } cases[] = {
      {200, 50, 148, 250}, {40, 50, 0, 90},  {200, 199, 0, 255}, {205, 50, 153, 255},
      {210, 50, 158, 255}, {50, 50, 0, 100}, {0, 0, 0, 0},       {255, 0, 253, 255},
  };
  for (const Case& c : cases) {
    for (int shift : {0, 8, 16}) {
      TColor color = c.channel << shift;
      ColorRef dark = DarkenColor(color, static_cast<uint8_t>(c.amount), no_sys);
      ColorRef light = LightenColor(color, static_cast<uint8_t>(c.amount), no_sys);
      EXPECT_EQ(static_cast<ColorRef>(c.dark) << shift, dark) << c.channel << "-" << c.amount;
      EXPECT_EQ(static_cast<ColorRef>(c.light) << shift, light & (0xFFu << shift)) << c.channel << "+" << c.amount;
    }
  }
  // A system colour (negative, index in the low byte) is resolved first.
  int asked = -1;
  auto sys = [&asked](int index) -> ColorRef {
    asked = index;
    return 0x00C8C8C8;
  };
  EXPECT_EQ(0x00949494u, DarkenColor(static_cast<TColor>(0x8000000F), 50, sys));
  EXPECT_EQ(15, asked);
  EXPECT_EQ(0x00FAFAFAu, LightenColor(static_cast<TColor>(0x80000005), 50, sys));
  EXPECT_EQ(5, asked);
}

TEST(FitTextToWidth, CandidatesShrinkFromTwoCharactersLess) {
  std::vector<std::string> tried;
  auto width_of = [&tried](const std::string& s) {
    tried.push_back(s);
    return static_cast<int>(s.size()) * 10;
  };
  EXPECT_EQ("abcdefghij", FitTextToWidth("abcdefghij", width_of, 100));
  tried.clear();
  EXPECT_EQ("abcdef...", FitTextToWidth("abcdefghij", width_of, 99));
  tried.clear();
  EXPECT_EQ("abcdef...", FitTextToWidth("abcdefghij", width_of, 95));
  EXPECT_EQ((std::vector<std::string>{"abcdefghij", "abcdefgh...", "abcdefg...", "abcdef..."}), tried);
  EXPECT_EQ("...", FitTextToWidth("abcdefghij", width_of, 5));
  EXPECT_EQ("", FitTextToWidth("", width_of, 0));
  EXPECT_EQ("...", FitTextToWidth("ab", width_of, 1));
}

TEST(FitTextToWidth, NeverSplitsADoubleByteCharacter) {
  util::SetLeadByteTest([](unsigned char c) { return c >= 0x81 && c <= 0xFE; });
  // "a" + two double-byte characters + "bc": cutting 4 bytes would leave a
  // lone lead byte.
  std::string text =
      "a\xC4\xE3\xBA\xC3"
      "bc";
  std::vector<std::string> tried;
  std::string fitted = FitTextToWidth(
      text,
      [&tried](const std::string& s) {
        tried.push_back(s);
        return static_cast<int>(s.size()) * 10;
      },
      65);
  util::SetLeadByteTest(nullptr);
  EXPECT_EQ("a\xC4\xE3...", fitted);
  for (const std::string& s : tried) EXPECT_NE(std::string("a\xC4\xE3\xBA..."), s);
}

TEST(FitTextToWidth, WideTextNeverSplitsASurrogatePair) {
  // "ab", one character outside the basic plane (two UTF-16 units), "cd".
  std::wstring text =
      L"ab\xD83D\xDE00"
      L"cd";
  std::vector<std::wstring> tried;
  std::wstring fitted = FitTextToWidth(
      text,
      [&tried](const std::wstring& s) {
        tried.push_back(s);
        return static_cast<int>(s.size()) * 10;
      },
      59);
  EXPECT_EQ(L"ab...", fitted);
  // Keeping three units would have left the high surrogate alone.
  EXPECT_EQ((std::vector<std::wstring>{text, L"ab\xD83D\xDE00...", L"ab..."}), tried);
}

TEST(MulDiv, RoundsHalfAwayFromZero) {
  EXPECT_EQ(3, MulDiv(5, 1, 2));  // 2.5
  EXPECT_EQ(-3, MulDiv(-5, 1, 2));
  EXPECT_EQ(-3, MulDiv(5, 1, -2));
  EXPECT_EQ(3, MulDiv(10, 1, 3));
  EXPECT_EQ(-1, MulDiv(1, 1, 0));
  EXPECT_EQ(2000000000, MulDiv(2000000000, 3, 3));
  EXPECT_EQ(-1, MulDiv(2000000000, 4, 1));
  EXPECT_EQ(313, MulDiv(100, 300, 96));  // 312.5
}

TEST(ComputePrintSize, ScreenSizeAndFitToPage) {
  PrintGeometry g;
  g.printer_dpi_x = 300;
  g.printer_dpi_y = 600;
  g.screen_dpi = 96;
  g.page_width = 2479;
  g.page_height = 3508;
  struct Case {
    int w, h, mode, width, height;
  } cases[] = {
      {32, 32, 0, 100, 200},      // 32 * 300 / 96 and 32 * 600 / 96
      {33, 10, 0, 103, 63},       // 103.125 and 62.5 rounded
      {400, 200, 1, 2479, 1240},  // landscape: fills the width, 1239.5 rounded
      {100, 1000, 1, 351, 3508},  // tall portrait: fills the height
      {32, 32, 1, 2479, 2479},    // square on a portrait page
      {32, 32, 7, 100, 200},      // unknown modes act as mode 0
      {0, 32, 1, 0, 0},
  };
  for (const Case& c : cases) {
    PrintSize s = ComputePrintSize(c.w, c.h, c.mode, g);
    EXPECT_EQ(c.width, s.width) << c.w << "x" << c.h << " mode " << c.mode;
    EXPECT_EQ(c.height, s.height) << c.w << "x" << c.h << " mode " << c.mode;
  }
  EXPECT_EQ(7, Max(7, -3));
}

}  // namespace
}  // namespace imaging
