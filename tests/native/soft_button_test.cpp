#include "controls/soft_button.h"

#include <gtest/gtest.h>

#include <vector>

namespace controls {
namespace {

enum TEvent { kPress, kRightPress, kMove, kRelease };

struct TStep {
  TEvent event;
  int x, y;
  TBtnState state;
  bool mouse_down, click, drop_down;
};

using S = TBtnState;

void RunSteps(TSoftButton& button, const std::vector<TStep>& steps, const char* name) {
  for (size_t i = 0; i < steps.size(); ++i) {
    const TStep& s = steps[i];
    TButtonActions a;
    switch (s.event) {
      case kPress: a = button.Press(s.x, s.y, true); break;
      case kRightPress: a = button.Press(s.x, s.y, false); break;
      case kMove: a = button.Move(s.x, s.y); break;
      case kRelease: a = button.Release(s.x, s.y); break;
    }
    EXPECT_EQ(button.State(), s.state) << name << " step " << i;
    EXPECT_EQ(a.MouseDown, s.mouse_down) << name << " step " << i;
    EXPECT_EQ(a.Click, s.click) << name << " step " << i;
    EXPECT_EQ(a.DropDown, s.drop_down) << name << " step " << i;
  }
}

TEST(SoftButtonTest, MouseSequences) {
  // 25 x 25 buttons: the popup's separate part is x >= 11.
  struct Case {
    const char* name;
    bool popup, separate;
    std::vector<TStep> steps;
  } cases[] = {
      {"drag out, release outside",
       false,
       false,
       {{kPress, 5, 5, S::kDown, true, false, false},
        {kMove, 40, 5, S::kUp, false, false, false},
        {kRelease, 40, 5, S::kUp, false, false, false}}},
      {"drag out and back in",
       false,
       false,
       {{kPress, 5, 5, S::kDown, true, false, false},
        {kMove, 5, 30, S::kUp, false, false, false},
        {kMove, 5, 5, S::kDown, false, false, false},
        {kRelease, 5, 5, S::kUp, false, true, false}}},
      {"right press",
       false,
       false,
       {{kRightPress, 5, 5, S::kUp, true, false, false}, {kRelease, 5, 5, S::kUp, false, false, false}}},
      {"popup right press",
       true,
       true,
       {{kRightPress, 20, 5, S::kUp, false, false, false}, {kRelease, 20, 5, S::kUp, false, false, false}}},
      {"separate part",
       true,
       true,
       {{kPress, 11, 5, S::kDropDownPressed, true, false, false}, {kRelease, 24, 24, S::kUp, false, false, true}}},
      {"separate part left before release",
       true,
       true,
       {{kPress, 20, 5, S::kDropDownPressed, true, false, false},
        {kMove, 10, 5, S::kUp, false, false, false},
        {kMove, 20, 24, S::kDropDownPressed, false, false, false},
        {kRelease, 20, 25, S::kUp, false, false, false}}},
      {"main part beside the separate part",
       true,
       true,
       {{kPress, 10, 5, S::kDown, true, false, false}, {kRelease, 10, 5, S::kUp, false, true, false}}},
      {"no separate part",
       true,
       false,
       {{kPress, 20, 5, S::kDown, true, false, false}, {kRelease, 20, 5, S::kUp, false, true, true}}},
  };
  for (const Case& c : cases) {
    TPopupButton popup;
    TSoftButton soft;
    popup.SetSeparateDropDown(c.separate);
    RunSteps(c.popup ? popup : soft, c.steps, c.name);
  }
}

TEST(SoftButtonTest, DisabledButtonIgnoresPresses) {
  TSoftButton button;
  button.SetEnabled(false);
  EXPECT_EQ(button.State(), S::kDisabled);
  button.Press(5, 5, true);
  EXPECT_FALSE(button.Release(5, 5).Click);
  EXPECT_EQ(button.PaintFace(), imaging::FaceState::kDisabled);
  // Disabled in the middle of a press: the release clicks nothing.
  button.SetEnabled(true);
  button.Press(5, 5, true);
  button.SetEnabled(false);
  EXPECT_FALSE(button.Release(5, 5).Click);
}

class TFakeParent : public TButtonGroupHost {
 public:
  std::vector<TSoftButton*> buttons;
  std::vector<TSoftButton*> repainted;
  std::vector<TSoftButton*> SiblingButtons() override { return buttons; }
  void RepaintButton(TSoftButton& button) override { repainted.push_back(&button); }
};

void Click(TSoftButton& button) {
  button.Press(5, 5, true);
  button.Release(5, 5);
}

TEST(SoftButtonTest, GroupLatchesOneButton) {
  TFakeParent parent;
  TSoftButton a, b, ungrouped;
  parent.buttons = {&a, &b, &ungrouped};
  for (TSoftButton* button : parent.buttons) button->SetGroupHost(&parent);
  a.SetGroupIndex(1);
  b.SetGroupIndex(1);

  EXPECT_FALSE(ungrouped.SetDown(true).Repaint);
  EXPECT_FALSE(ungrouped.Down());

  Click(a);
  EXPECT_TRUE(a.Down());
  EXPECT_EQ(a.State(), S::kExclusive);
  EXPECT_EQ(a.PaintFace(), imaging::FaceState::kPressed);
  Click(b);
  EXPECT_TRUE(b.Down());
  EXPECT_FALSE(a.Down());
  EXPECT_EQ(a.State(), S::kUp);
  ASSERT_EQ(parent.repainted.size(), 1u);
  EXPECT_EQ(parent.repainted[0], &a);
  // The latched button stays down without AllowAllUp, but still clicks.
  b.Press(5, 5, true);
  EXPECT_TRUE(b.Release(5, 5).Click);
  EXPECT_TRUE(b.Down());
  // AllowAllUp set on one button reaches the whole group, not other groups.
  a.SetAllowAllUp(true);
  EXPECT_TRUE(b.AllowAllUp());
  EXPECT_FALSE(ungrouped.AllowAllUp());
  Click(b);
  EXPECT_FALSE(b.Down());
  EXPECT_EQ(b.State(), S::kUp);
  // OnDblClick belongs to a latched button only.
  EXPECT_FALSE(b.DoubleClick(5, 5).DoubleClick);
  b.Release(5, 5);
  EXPECT_TRUE(b.DoubleClick(5, 5).DoubleClick);
  b.Release(5, 5);
  // Leaving the group lets a latched button up; nothing else could.
  Click(a);
  ASSERT_TRUE(a.Down());
  a.SetGroupIndex(0);
  EXPECT_FALSE(a.Down());
  EXPECT_EQ(a.PaintFace(), imaging::FaceState::kNormal);
}

TEST(SoftButtonTest, HotTracking) {
  TSoftButton button;
  EXPECT_TRUE(button.Move(3, 3).Track);
  EXPECT_FALSE(button.UpdateTracking({true, true}).RepaintNow);  // someone holds the capture
  EXPECT_TRUE(button.UpdateTracking({true, false}).RepaintNow);
  EXPECT_EQ(button.PaintFace(), imaging::FaceState::kHot);
  EXPECT_FALSE(button.Move(4, 4).Track);
  button.Press(5, 5, true);
  EXPECT_FALSE(button.MouseLeave().Repaint);  // no leaving while dragging
  EXPECT_TRUE(button.Release(5, 5).Track);
  EXPECT_FALSE(button.MouseOver());
}

TEST(SoftButtonTest, PropertyRules) {
  struct Glyph {
    int width, height, num_glyphs;
  } glyphs[] = {{54, 27, 2}, {162, 27, 1}, {50, 27, 3}, {135, 27, 5}, {27, 0, 3}};
  for (const Glyph& g : glyphs) {
    TSoftButton button;
    button.SetNumGlyphs(3);
    EXPECT_TRUE(button.SetGlyphSize(g.width, g.height).Repaint);
    EXPECT_EQ(button.NumGlyphs(), g.num_glyphs) << g.width << "x" << g.height;
  }
  struct Clamp {
    int value, num_glyphs, hi_light_mode;
  } clamps[] = {{0, 1, 0}, {-4, 1, 0}, {4, 4, 3}, {9, 5, 3}, {2, 2, 2}};
  for (const Clamp& c : clamps) {
    TSoftButton button;
    button.SetNumGlyphs(c.value);
    button.SetHiLightMode(c.value);
    EXPECT_EQ(button.NumGlyphs(), c.num_glyphs) << c.value;
    EXPECT_EQ(button.HiLightMode(), c.hi_light_mode) << c.value;
  }
  struct Shadow {
    int bits;
    bool themes, shadowed;
  } shadows[] = {{8, false, false}, {4, false, false}, {8, true, true}, {16, false, true}};
  for (const Shadow& s : shadows) {
    TSoftButton button;
    button.SetShadowed(false, 32, false);
    button.SetShadowed(true, s.bits, s.themes);
    EXPECT_EQ(button.Shadowed(), s.shadowed) << s.bits << " " << s.themes;
  }
  TSoftButton button;
  EXPECT_FALSE(button.SetMargin(-2).Repaint);
  EXPECT_EQ(button.Margin(), -1);
  EXPECT_TRUE(button.SetMargin(3).Repaint);
  EXPECT_EQ(button.Margin(), 3);
}

TEST(SoftButtonTest, PopupFace) {
  struct Case {
    bool flat, hot, themes;
    bool line;
    int line_top;
  } cases[] = {
      {false, false, false, true, 1},
      {true, false, false, false, 0},
      {true, true, false, true, 1},
      {true, false, true, true, 2},
  };
  for (const Case& c : cases) {
    TPopupButton button;
    button.SetClientSize(40, 22);
    button.SetSeparateDropDown(true);
    button.SetFlat(c.flat);
    if (c.hot) button.MouseEnter(false);
    const TPopupFace face = button.PaintPopupFace(c.themes);
    EXPECT_EQ(face.EtchedLine, c.line) << c.flat << c.hot << c.themes;
    if (!c.line) continue;
    EXPECT_EQ(face.LineX, 26);
    EXPECT_EQ(face.LineTop, c.line_top);
    EXPECT_EQ(face.LineBottom, 20);
  }
  TPopupButton button;
  button.SetClientSize(40, 22);
  button.SetSeparateDropDown(true);
  button.Press(30, 5, true);
  TPopupFace face = button.PaintPopupFace(false);
  EXPECT_TRUE(face.PressedPart);
  EXPECT_EQ(face.ExcludeLeft, 28);
  EXPECT_EQ(face.State, imaging::FaceState::kNormal);
  EXPECT_FALSE(face.ArrowPressed);
  button.SetDrawDropDown(false);
  face = button.PaintPopupFace(false);
  EXPECT_FALSE(face.Arrow);
  EXPECT_FALSE(face.EtchedLine);
}

TEST(SoftButtonTest, Accelerator) {
  struct Case {
    const char* caption;
    char key;
    bool match;
  } cases[] = {{"&Open", 'o', true}, {"&Open", 'p', false}, {"Save &&As", 'a', false},
               {"&&&Xy", 'X', true}, {"Tail&", '&', false}, {"", 'a', false}};
  for (const Case& c : cases) EXPECT_EQ(IsAccelerator(c.key, c.caption), c.match) << c.caption << c.key;

  TPopupButton popup;
  popup.SetCaption("&Save");
  EXPECT_FALSE(popup.Accelerator('s', true, false).Handled);
  const TButtonActions a = popup.Accelerator('S', true, true);
  EXPECT_TRUE(a.Handled && a.Click && a.DropDown);
}

TEST(SoftButtonTest, PushButtonRegion) {
  struct Case {
    TzuBtnForm form;
    const char* version;
    TzuBtnForm region;  // efRect: none
    int corner;
  } cases[] = {
      {TzuBtnForm::efRoundRect, "XP", TzuBtnForm::efRoundRect, 5},
      {TzuBtnForm::efEllipse, "2000", TzuBtnForm::efEllipse, 0},
      {TzuBtnForm::efRect, "XP", TzuBtnForm::efRect, 0},
      {TzuBtnForm::efRoundRect, "95", TzuBtnForm::efRect, 0},
  };
  for (const Case& c : cases) {
    const TWindowRegion r = PushButtonRegion(c.form, c.version, 75, 23);
    EXPECT_EQ(r.Form, c.region) << c.version;
    EXPECT_EQ(r.Corner, c.corner) << c.version;
    if (r.Form == TzuBtnForm::efRect) continue;
    EXPECT_EQ(r.Right, 76);
    EXPECT_EQ(r.Bottom, 24);
  }
}

}  // namespace
}  // namespace controls
