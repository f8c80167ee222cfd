#include <gtest/gtest.h>

#include <vector>

#include "imaging/button_face.h"

namespace imaging {
namespace {

// Every character 7 pixels wide, as a small fixed-pitch font would be.
FaceEnvironment Env(int glyph_width = 0, int glyph_height = 0, bool themes = false) {
  FaceEnvironment env;
  env.themes_active = themes;
  env.glyph_width = glyph_width;
  env.glyph_height = glyph_height;
  env.text_width = [](const std::wstring& s) { return static_cast<int>(s.size()) * 7; };
  return env;
}

ButtonFaceParams Face(int width, int height, FaceState state = FaceState::kNormal, TzuBtnForm shape = efRoundRect) {
  ButtonFaceParams p;
  p.rect = {0, 0, width, height};
  p.state = state;
  p.shape = shape;
  return p;
}

TEST(ButtonFace, CornerSizeOfRoundedFaces) {
  struct Case {
    int w, h, corner;
  } cases[] = {{75, 25, 5}, {20, 20, 3}, {21, 21, 5}, {75, 20, 3}, {20, 75, 3}};
  for (const Case& c : cases) {
    ButtonFacePlan plan = PlanButtonFace(Face(c.w, c.h), Env());
    ASSERT_EQ(2u, plan.ops.size());
    EXPECT_EQ(c.corner, plan.ops[0].corner) << c.w << "x" << c.h;
    EXPECT_EQ(c.corner, plan.region->corner) << c.w << "x" << c.h;
  }
}

TEST(ButtonFace, ShadingBandsRowsAndAmounts) {
  struct Band {
    int index, top, bottom;
    bool lighten;
    int amount;
  };
  struct Case {
    const char* what;
    ButtonFaceParams face;
    ColorRole base;
    int left, right;
    std::vector<Band> bands;
  } cases[] = {
      // A 20-high face inset by one: box height 18, q = 2.
      {"normal",
       Face(40, 20),
       ColorRole::kFace,
       1,
       39,
       {{0, 0, 3, true, 36},
        {1, 2, 5, true, 30},
        {2, 4, 7, true, 24},
        {3, 6, 9, true, 18},
        {4, 8, 11, true, 12},
        {5, 10, 13, true, 6},
        {7, 14, 17, false, 6},
        {8, 16, 19, false, 12}}},
      // Box height 26: band 2 starts at 2 * 26 div 9 = 5, not at 2q = 4.
      {"h = 26",
       Face(40, 28),
       ColorRole::kFace,
       1,
       39,
       {{0, 0, 3, true, 36},
        {1, 2, 5, true, 30},
        {2, 5, 7, true, 24},
        {3, 6, 9, true, 18},
        {4, 8, 11, true, 12},
        {5, 10, 13, true, 6},
        {7, 14, 17, false, 6},
        {8, 16, 27, false, 12}}},
      // Pressed, inset by two: box height 16, q = 1; band 2 has no special start.
      {"pressed",
       Face(40, 20, FaceState::kPressed),
       ColorRole::kHighlight,
       2,
       38,
       {{0, 0, 2, false, 42},
        {1, 1, 3, false, 36},
        {2, 2, 4, false, 30},
        {3, 3, 5, false, 24},
        {4, 4, 6, false, 18},
        {5, 5, 7, false, 12},
        {6, 6, 8, false, 6},
        {8, 8, 17, true, 6}}},
      // Hot: one pixel to the right and two rows taller.
      {"hot",
       Face(40, 20, FaceState::kHot),
       ColorRole::kHighlight,
       2,
       40,
       {{0, 0, 5, true, 36},
        {1, 2, 7, true, 30},
        {2, 4, 9, true, 24},
        {3, 6, 11, true, 18},
        {4, 8, 13, true, 12},
        {5, 10, 15, true, 6},
        {7, 14, 19, false, 6},
        {8, 16, 21, false, 12}}},
  };
  for (const Case& c : cases) {
    ButtonFacePlan plan = PlanButtonFace(c.face, Env());
    EXPECT_EQ(c.base, plan.band_base) << c.what;
    ASSERT_EQ(c.bands.size(), plan.bands.size()) << c.what;
    for (size_t i = 0; i < c.bands.size(); ++i) {
      const Band& want = c.bands[i];
      const ShadingBand& got = plan.bands[i];
      EXPECT_EQ(want.index, got.index) << c.what;
      EXPECT_EQ((util::TRect{c.left, want.top, c.right, want.bottom}), got.rect) << c.what << " band " << want.index;
      EXPECT_EQ(want.lighten, got.lighten) << c.what << " band " << want.index;
      EXPECT_EQ(want.amount, got.amount) << c.what << " band " << want.index;
    }
  }
  // No shading without Shadowed, on a disabled face or on a flat normal one.
  ButtonFaceParams off = Face(40, 20);
  off.shadowed = false;
  ButtonFaceParams flat = Face(40, 20);
  flat.flat = true;
  for (const ButtonFaceParams& p : {off, flat, Face(40, 20, FaceState::kDisabled)})
    EXPECT_TRUE(PlanButtonFace(p, Env()).bands.empty());
}

TEST(ButtonFace, PressedFaceMovesCaptionAndGlyph) {
  struct Case {
    int w, h, glyph_extra;
  } cases[] = {{60, 25, 1}, {20, 16, 1}, {19, 19, 0}};
  for (const Case& c : cases) {
    for (const wchar_t* caption : {L"", L"Go"}) {
      ButtonFaceParams normal = Face(c.w, c.h), pressed = Face(c.w, c.h, FaceState::kPressed);
      normal.caption = pressed.caption = caption;
      ButtonFacePlan a = PlanButtonFace(normal, Env(8, 8)), b = PlanButtonFace(pressed, Env(8, 8));
      EXPECT_EQ(a.glyph.position.x + 1, b.glyph.position.x);
      EXPECT_EQ(a.glyph.position.y + 1, b.glyph.position.y);
      EXPECT_EQ(a.glyph.draw_position.x + 1 + c.glyph_extra, b.glyph.draw_position.x) << c.w << "x" << c.h;
      EXPECT_EQ(a.glyph.draw_position.y + 1 + c.glyph_extra, b.glyph.draw_position.y) << c.w << "x" << c.h;
      if (*caption) {
        EXPECT_EQ(a.caption_passes.back().rect.Moved(1, 1), b.caption_passes.back().rect);
      }
    }
  }
}

TEST(ButtonFace, CaptionShortenedOnlyBesideAGlyph) {
  ButtonFaceParams p = Face(75, 25);
  p.caption = L"Export everything";  // 119 pixels
  p.glyph_count = 2;
  ButtonFacePlan plain = PlanButtonFace(p, Env());
  EXPECT_EQ(p.caption, plain.caption);
  ASSERT_EQ(1u, plain.caption_passes.size());
  EXPECT_EQ(TextAlign::kCenter, plain.caption_passes[0].align);
  EXPECT_EQ(p.rect, plain.caption_passes[0].rect);

  // Glyph of two 16-pixel frames: 119 + 16 + 6 > 75 - 19, so M = 56 and the
  // caption must fit 75 - 22 - 16 = 37 pixels: "Expo..." (49) is too wide.
  ButtonFacePlan beside = PlanButtonFace(p, Env(32, 16));
  EXPECT_EQ(L"Ex...", beside.caption);
  EXPECT_EQ(35, beside.caption_width);
  EXPECT_EQ(37 - 28, beside.glyph.position.x);  // the middle less M div 2
  // Right of the glyph and 6 pixels away, less two at each end.
  EXPECT_EQ((util::TRect{9 + 16 + 6 + 2, 1, 73, 24}), beside.caption_passes.back().rect);
  EXPECT_EQ(TextAlign::kLeft, beside.caption_passes.back().align);

  p.glyph_right = true;
  ButtonFacePlan right = PlanButtonFace(p, Env(32, 16));
  EXPECT_EQ(37 + 28 - 16, right.glyph.position.x);
  EXPECT_EQ((util::TRect{2, 1, 37 - 28 + 35 - 2, 24}), right.caption_passes.back().rect);  // ends at its own width
  EXPECT_EQ(TextAlign::kRight, right.caption_passes.back().align);

  p.caption = L"Fits";  // 28 + 16 + 6 = 50 <= 56
  EXPECT_EQ(L"Fits", PlanButtonFace(p, Env(32, 16)).caption);
}

TEST(ButtonFace, EllipticFocusRectangleNarrowsToTheContent) {
  struct Case {
    const char* what;
    TzuBtnForm shape;
    FaceState state;
    const wchar_t* caption;
    int glyph_width;
    util::TRect focus;
  } cases[] = {
      // M = 28: left 30 - 14 - 3; a = 30, b = 14, e = 15, h' = round(26.53 * 15 / 30) = 13.
      {"caption", efEllipse, FaceState::kNormal, L"Fits", 0, {13, 6, 47, 24}},
      // Glyph only: M = w = 16; h' = round(28.84 / 2) = 14.
      {"glyph", efEllipse, FaceState::kNormal, L"", 16, {19, 5, 41, 25}},
      {"pressed", efEllipse, FaceState::kPressed, L"Fits", 0, {14, 7, 48, 25}},
      {"rounded", efRoundRect, FaceState::kNormal, L"Fits", 0, {3, 3, 57, 27}},
  };
  for (const Case& c : cases) {
    ButtonFaceParams p = Face(60, 30, c.state, c.shape);
    p.caption = c.caption;
    p.focused = p.draw_focus = true;
    ButtonFacePlan plan = PlanButtonFace(p, Env(c.glyph_width, c.glyph_width ? 16 : 0));
    EXPECT_TRUE(plan.focus.draw) << c.what;
    EXPECT_EQ(c.focus, plan.focus.rect) << c.what;
  }
  ButtonFaceParams unfocused = Face(60, 30);
  unfocused.draw_focus = true;
  EXPECT_FALSE(PlanButtonFace(unfocused, Env()).focus.draw);
}

TEST(ButtonFace, DropDownArrow) {
  struct Case {
    FaceState state;
    uint8_t offset;
    ColorRole color;
    FacePoint a, b, c;
  } cases[] = {
      {FaceState::kNormal, 0, ColorRole::kBtnText, {30, 11}, {34, 11}, {32, 13}},
      {FaceState::kPressed, 1, ColorRole::kBtnText, {31, 12}, {35, 12}, {33, 14}},
      {FaceState::kDisabled, 1, ColorRole::kBtnShadow, {30, 11}, {34, 11}, {32, 13}},
  };
  for (const Case& c : cases) {
    ButtonFaceParams p = Face(40, 25, c.state);
    p.drop_down_arrow = true;
    p.arrow_offset = c.offset;
    ButtonFacePlan plan = PlanButtonFace(p, Env());
    ASSERT_TRUE(plan.arrow.draw);
    EXPECT_EQ(c.color, plan.arrow.color);
    EXPECT_EQ(c.a, plan.arrow.points[0]);
    EXPECT_EQ(c.b, plan.arrow.points[1]);
    EXPECT_EQ(c.c, plan.arrow.points[2]);
    EXPECT_EQ(27 + (c.state == FaceState::kPressed ? 1 : 0), plan.working.right);
  }
}

TEST(ButtonFace, ThemedOrClassic) {
  struct Case {
    const char* what;
    TzuBtnForm shape;
    FaceState state;
    int w, h;
    bool flat, draw_focus, focused, shadowed, themes;
    FaceBackground background;
    const wchar_t* theme_class;
    int theme_state;
  } cases[] = {
      {"no theme", efRoundRect, FaceState::kNormal, 75, 25, false, false, false, true, false, FaceBackground::kClassic,
       L"", 1},
      {"ellipse", efEllipse, FaceState::kNormal, 75, 25, false, false, false, true, true, FaceBackground::kClassic, L"",
       1},
      {"not shadowed", efRect, FaceState::kNormal, 75, 25, false, false, false, false, true, FaceBackground::kClassic,
       L"", 1},
      {"push", efRoundRect, FaceState::kNormal, 75, 25, false, false, false, true, true, FaceBackground::kThemed,
       L"button", 1},
      {"push focused", efRect, FaceState::kNormal, 75, 40, false, true, true, true, true, FaceBackground::kThemed,
       L"button", 5},
      {"push hot", efRect, FaceState::kHot, 75, 40, false, true, false, true, true, FaceBackground::kThemed, L"button",
       2},
      {"small hot", efRect, FaceState::kHot, 17, 25, false, true, false, true, true, FaceBackground::kThemed, L"button",
       1},
      {"tall", efRect, FaceState::kNormal, 75, 32, false, false, false, true, true, FaceBackground::kThemed, L"toolbar",
       2},
      {"flat", efRect, FaceState::kNormal, 25, 25, true, false, false, true, true, FaceBackground::kThemed, L"toolbar",
       1},
      {"flat disabled", efRect, FaceState::kDisabled, 25, 25, true, false, false, true, true, FaceBackground::kThemed,
       L"toolbar", 4},
  };
  for (const Case& c : cases) {
    ButtonFaceParams p = Face(c.w, c.h, c.state, c.shape);
    p.flat = c.flat;
    p.draw_focus = c.draw_focus;
    p.focused = c.focused;
    p.shadowed = c.shadowed;
    ButtonFacePlan plan = PlanButtonFace(p, Env(0, 0, c.themes));
    EXPECT_EQ(c.background, plan.background) << c.what;
    if (c.background != FaceBackground::kThemed) continue;
    EXPECT_EQ(std::wstring(c.theme_class), plan.theme_class) << c.what;
    EXPECT_EQ(c.theme_state, plan.theme_state) << c.what;
    EXPECT_TRUE(plan.ops.empty() && plan.bands.empty()) << c.what;
  }
}

TEST(ButtonFace, FlatNormalFaceHasAPlainBackground) {
  struct Case {
    TzuBtnForm shape;
    bool draw_focus;
    TzuBtnForm drawn;
    util::TRect rect;
    ColorRole pen;
  } cases[] = {
      {efRoundRect, false, efRoundRect, {0, 0, 25, 25}, ColorRole::kFace},
      {efEllipse, false, efEllipse, {1, 1, 24, 24}, ColorRole::kFace},
      {efRect, true, efRect, {0, 0, 25, 25}, ColorRole::kBtnShadow},
  };
  for (const Case& c : cases) {
    ButtonFaceParams p = Face(25, 25, FaceState::kNormal, c.shape);
    p.flat = true;
    p.draw_focus = c.draw_focus;
    ButtonFacePlan plan = PlanButtonFace(p, Env());
    EXPECT_EQ(FaceBackground::kPlain, plan.background);
    EXPECT_EQ(ColorRole::kFace, plan.brush);
    ASSERT_EQ(1u, plan.ops.size());
    EXPECT_EQ(FaceOpKind::kOutline, plan.ops[0].kind);
    EXPECT_EQ(c.drawn, plan.ops[0].shape);
    EXPECT_EQ(c.rect, plan.ops[0].rect);
    EXPECT_EQ(c.pen, plan.ops[0].pen);
  }
}

}  // namespace
}  // namespace imaging
