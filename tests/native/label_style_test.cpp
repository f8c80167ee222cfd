#include "controls/label_style.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/mbcs.h"

namespace controls {
namespace {

using C = TLabelColor;
using B = TBandShade;

TEST(LabelStyleTest, GradientBands) {
  struct Case {
    int top, bottom, bits;
    std::vector<TGradientBand> bands;
  } cases[] = {
      // 27 rows: n = 6, step 83, bands of 4; lighten j < 3, amounts wrap at 256.
      {10,
       37,
       32,
       {{10, 4, B::kLighten, 76},
        {14, 4, B::kLighten, 249},
        {18, 4, B::kLighten, 166},
        {22, 4, B::kDarken, 173},
        {26, 4, B::kDarken, 0},
        {30, 4, B::kDarken, 83},
        {34, 4, B::kDarken, 166}}},
      // 16 rows: n = 4, step 125; darkening starts at j = 2 with a negative amount.
      {0,
       16,
       24,
       {{0, 4, B::kLighten, 244},
        {4, 4, B::kLighten, 119},
        {8, 4, B::kDarken, 6},
        {12, 4, B::kDarken, 131},
        {16, 4, B::kDarken, 0}}},
      // 11 rows: n = 2, bands of 5.
      {0, 11, 16, {{0, 5, B::kLighten, 232}, {5, 5, B::kDarken, 18}, {10, 5, B::kDarken, 12}}},
      {5, 8, 32, {{5, 3, B::kSolid, 0}}},  // under 4 rows: no bands to divide into
      {5, 5, 32, {{5, 0, B::kSolid, 0}}},
      {0, 27, 8, {{0, 27, B::kSolid, 0}}},  // a palette screen fills with the font colour
  };
  for (const Case& c : cases) {
    const std::vector<TGradientBand> bands = GradientBands(c.top, c.bottom, c.bits);
    ASSERT_EQ(bands.size(), c.bands.size()) << c.top << ".." << c.bottom;
    for (size_t j = 0; j < bands.size(); ++j) {
      EXPECT_EQ(bands[j].Top, c.bands[j].Top) << c.bottom << " band " << j;
      EXPECT_EQ(bands[j].Height, c.bands[j].Height) << c.bottom << " band " << j;
      EXPECT_EQ(bands[j].Shade, c.bands[j].Shade) << c.bottom << " band " << j;
      EXPECT_EQ(bands[j].Amount, c.bands[j].Amount) << c.bottom << " band " << j;
    }
  }
}

TEST(LabelStyleTest, PlainPasses) {
  struct Case {
    TTextStyle style;
    bool enabled;
    std::vector<TTextPass> passes;
  } cases[] = {
      {TTextStyle::tsNone, true, {{0, 0, C::kFont}}},
      {TTextStyle::tsRaised, true, {{1, 1, C::kButtonShadow}, {-1, -1, C::kButtonHighlight}, {0, 0, C::kFont}}},
      {TTextStyle::tsSunken, false, {{1, 1, C::kButtonHighlight}, {-1, -1, C::kButtonShadow}, {0, 0, C::kGrayText}}},
      {TTextStyle::tsCombi3, true, {{0, 0, C::kFont}}},  // a combined style measures its text alone
  };
  for (const Case& c : cases) {
    const std::vector<TTextPass> passes = PlainTextPasses(c.style, c.enabled);
    ASSERT_EQ(passes.size(), c.passes.size());
    for (size_t i = 0; i < passes.size(); ++i) {
      EXPECT_EQ(passes[i].Dx, c.passes[i].Dx) << i;
      EXPECT_EQ(passes[i].Dy, c.passes[i].Dy) << i;
      EXPECT_EQ(passes[i].Color, c.passes[i].Color) << i;
    }
  }
}

std::string Points(const std::vector<TTextPoint>& points) {
  std::string s;
  for (const TTextPoint& p : points) s += "(" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")";
  return s;
}

TEST(LabelStyleTest, CombinedPathPoints) {
  // Text 13 high in rows 0..20, from x = 2: y = 10 - 6 = 4.
  struct Case {
    TTextStyle style;
    const char* highlight;
    const char* path;
  } cases[] = {
      {TTextStyle::tsCombi1, "", "(2,4)"},
      {TTextStyle::tsCombi2, "", "(1,3)(2,4)"},
      {TTextStyle::tsCombi3, "", "(1,3)(3,5)(2,4)"},
      {TTextStyle::tsCombi4, "(1,3)", "(2,4)"},
  };
  for (const Case& c : cases) {
    const TPathText text = CombinedTextPoints(c.style, 2, 0, 21, 13);
    EXPECT_EQ(Points(text.Highlight), c.highlight);
    EXPECT_EQ(Points(text.Path), c.path);
  }
}

TEST(LabelStyleTest, LabelText) {
  EXPECT_EQ(LabelText(std::string(300, 'a'), false, true).size(), 255u);
  EXPECT_EQ(LabelText("", true, true), " ");
  EXPECT_EQ(LabelText("&", true, true), " ");
  EXPECT_EQ(LabelText("&", true, false), "&");
  EXPECT_EQ(LabelText("", false, true), "");
  util::SetLeadByteTest([](unsigned char c) { return c == 0x81; });
  const std::string cut = LabelText(std::string(254, 'a') + "\x81\x40", false, true);
  util::SetLeadByteTest(nullptr);
  EXPECT_EQ(cut, std::string(254, 'a'));
}

}  // namespace
}  // namespace controls
