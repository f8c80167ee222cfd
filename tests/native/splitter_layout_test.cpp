#include "controls/splitter_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace controls {
namespace {

using K = TSplitterStep;

std::string Kinds(const std::vector<TSplitterStep>& steps) {
  std::string kinds;
  for (const TSplitterStep& s : steps) kinds += "BGSME"[static_cast<int>(s.Kind)];
  return kinds;
}

// Bounds as origin and size, the way the cases below are written.
util::TRect B(int x, int y, int width, int height) { return util::TRect::FromBounds(x, y, width, height); }

void ExpectBounds(const util::TRect& got, const util::TRect& want, const std::string& what) {
  EXPECT_EQ(got.left, want.left) << what;
  EXPECT_EQ(got.top, want.top) << what;
  EXPECT_EQ(got.Width(), want.Width()) << what;
  EXPECT_EQ(got.Height(), want.Height()) << what;
}

// The main window's lower half: the icon view's panel fills the room that
// the splitter and the search pane, both aligned to the bottom, leave.
TSplitterParent SearchPaneParent() {
  TSplitterParent parent;
  parent.ClientWidth = 600;
  parent.ClientHeight = 500;
  parent.Splitter = B(0, 297, 600, 3);
  parent.Siblings = {{B(0, 0, 600, 297), TAlign::alClient},
                     {parent.Splitter, TAlign::alBottom},
                     {B(0, 300, 600, 200), TAlign::alBottom}};
  return parent;
}

TEST(SplitterLayoutTest, SearchPaneKeepsMinSizeOnBothSides) {
  TSplitterDrag drag;
  drag.Align = TAlign::alBottom;
  drag.MinSize = 172;
  EXPECT_EQ(Kinds(drag.Press(SearchPaneParent(), 10, 1, true)), "BG");
  EXPECT_EQ(drag.MaxSize(), 325);  // 500 - 325 - 3 leaves 172 to the icon view
  std::vector<TSplitterStep> steps = drag.Move(10, -1000, true);
  ASSERT_EQ(Kinds(steps), "GG");
  EXPECT_EQ(drag.NewSize(), 325);
  ExpectBounds(steps[1].Rect, B(0, 172, 600, 3), "ghost at the upper limit");
  steps = drag.Move(10, 1000, true);
  EXPECT_EQ(drag.NewSize(), 172);
  ExpectBounds(steps[1].Rect, B(0, 325, 600, 3), "ghost at the lower limit");
  drag.Move(10, -49, true);
  steps = drag.Release();
  ASSERT_EQ(Kinds(steps), "GSMEM");
  EXPECT_EQ(steps[1].Control, 2);
  ExpectBounds(steps[1].Rect, B(0, 250, 600, 250), "pane after the drag");
  EXPECT_FALSE(drag.Dragging());
  EXPECT_FALSE(drag.GhostVisible());
}

TEST(SplitterLayoutTest, DragEndings) {
  struct Case {
    const char* name;
    TResizeStyle style;
    std::vector<int> moves;  // pointer y positions
    bool escape;
    const char* steps;  // of the moves, then of the release or ESC
  } cases[] = {
      {"release without moving", TResizeStyle::rsPattern, {}, false, "GEM"},
      {"moved back to the start", TResizeStyle::rsLine, {-30, 1}, false, "GGGGGEM"},
      {"completed", TResizeStyle::rsPattern, {-30}, false, "GGGSMEM"},
      {"escape", TResizeStyle::rsPattern, {-30}, true, "GGGEM"},
      {"no ghost line", TResizeStyle::rsNone, {-30}, false, "SMEM"},
      {"applied while moving", TResizeStyle::rsUpdate, {-30, -40}, false, "SMSMEM"},
  };
  for (const Case& c : cases) {
    TSplitterDrag drag;
    drag.Align = TAlign::alBottom;
    drag.MinSize = 172;
    drag.ResizeStyle = c.style;
    drag.Press(SearchPaneParent(), 10, 1, true);
    std::string kinds;
    for (int y : c.moves) kinds += Kinds(drag.Move(10, y, true));
    bool pass_on = true;
    kinds += Kinds(c.escape ? drag.KeyDown(true, pass_on) : drag.Release());
    EXPECT_EQ(kinds, c.steps) << c.name;
    EXPECT_EQ(pass_on, !c.escape) << c.name;
    EXPECT_FALSE(drag.GhostVisible()) << c.name;
  }
}

TEST(SplitterLayoutTest, CanResizeVetoesOrChanges) {
  TSplitterDrag drag;
  drag.Align = TAlign::alBottom;
  drag.MinSize = 172;
  drag.Press(SearchPaneParent(), 10, 1, true);
  EXPECT_TRUE(drag.Move(10, -30, false).empty());  // the button is no longer held
  EXPECT_TRUE(drag.Move(10, -30, true, [](int&) { return false; }).empty());
  EXPECT_EQ(drag.NewSize(), 200);
  drag.Move(10, -30, true, [](int& size) {
    size += 5;
    return true;
  });
  EXPECT_EQ(drag.NewSize(), 236);
  bool pass_on = false;
  EXPECT_TRUE(drag.KeyDown(false, pass_on).empty());
  EXPECT_TRUE(pass_on);
  EXPECT_TRUE(drag.Dragging());
}

TEST(SplitterLayoutTest, LimitsForEachAlignment) {
  // A 400 x 300 parent with the resized control, the splitter and a client filler.
  struct Case {
    TAlign align;
    util::TRect control, splitter;
    int grow;  // pointer offset that grows the control
    int max_size;
    util::TRect at_max, at_min;
  } cases[] = {
      {TAlign::alLeft, B(0, 0, 100, 300), B(100, 0, 3, 300), 1000, 357, B(0, 0, 357, 300), B(0, 0, 40, 300)},
      {TAlign::alRight, B(300, 0, 100, 300), B(297, 0, 3, 300), -1000, 357, B(43, 0, 357, 300), B(360, 0, 40, 300)},
      {TAlign::alTop, B(0, 0, 400, 100), B(0, 100, 400, 3), 1000, 257, B(0, 0, 400, 257), B(0, 0, 400, 40)},
      {TAlign::alBottom, B(0, 200, 400, 100), B(0, 197, 400, 3), -1000, 257, B(0, 43, 400, 257), B(0, 260, 400, 40)},
  };
  for (const Case& c : cases) {
    const std::string name = "align " + std::to_string(static_cast<int>(c.align));
    TSplitterParent parent;
    parent.ClientWidth = 400;
    parent.ClientHeight = 300;
    parent.Splitter = c.splitter;
    parent.Siblings = {{B(0, 0, 400, 300), c.align, false},  // hidden: never found, never counted
                       {c.control, c.align},
                       {c.splitter, c.align}};
    for (int sign : {1, -1}) {
      TSplitterDrag drag;
      drag.Align = c.align;
      drag.Press(parent, 1, 1, true);
      ASSERT_TRUE(drag.Dragging()) << name;
      EXPECT_EQ(drag.MaxSize(), c.max_size) << name;
      const int offset = sign * c.grow;
      drag.Move(1 + (IsVerticalBar(c.align) ? offset : 0), 1 + (IsVerticalBar(c.align) ? 0 : offset), true);
      const std::vector<TSplitterStep> steps = drag.Release();
      ASSERT_EQ(Kinds(steps), "GSMEM") << name;
      EXPECT_EQ(steps[1].Control, 1) << name;
      ExpectBounds(steps[1].Rect, sign > 0 ? c.at_max : c.at_min, name);
    }
  }
}

TEST(SplitterLayoutTest, FindSizedControl) {
  const util::TRect splitter = B(100, 0, 3, 300);
  struct Case {
    std::vector<TSiblingControl> siblings;
    int found;
  } cases[] = {
      {{{B(0, 0, 100, 300), TAlign::alLeft, true, false}, {B(50, 0, 50, 300), TAlign::alLeft}}, 1},  // disabled first
      {{{B(0, 0, 99, 300), TAlign::alLeft}}, -1},                                                    // a gap
      {{{B(100, 0, 0, 300), TAlign::alLeft}}, 0},  // no width: widened towards the splitter
      {{{B(99, 0, 0, 300), TAlign::alLeft}}, -1},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(FindSizedControl(splitter, TAlign::alLeft, cases[i].siblings), cases[i].found) << i;
  }
  EXPECT_EQ(FindSizedControl(splitter, TAlign::alClient, cases[0].siblings), -1);
}

TEST(SplitterLayoutTest, Grip) {
  EXPECT_TRUE(GripDots(TAlign::alLeft, 2, 300).empty());
  EXPECT_TRUE(GripDots(TAlign::alTop, 300, 2).empty());
  const std::vector<TPixelPoint> vertical = GripDots(TAlign::alRight, 3, 101);
  ASSERT_EQ(vertical.size(), 6u);
  EXPECT_EQ(vertical[0].X, 0);
  EXPECT_EQ(vertical[0].Y, 58);
  EXPECT_EQ(vertical[5].Y, 38);
  const std::vector<TPixelPoint> horizontal = GripDots(TAlign::alBottom, 600, 5);
  ASSERT_EQ(horizontal.size(), 6u);
  EXPECT_EQ(horizontal[0].X, 308);
  EXPECT_EQ(horizontal[5].X, 288);
  EXPECT_EQ(horizontal[5].Y, 1);

  // The top row's two greys only above 8 bits per pixel.
  EXPECT_EQ(GripDotPixels(8).size(), 5u);
  const std::vector<TGripPixel> pixels = GripDotPixels(16);
  ASSERT_EQ(pixels.size(), 7u);
  for (const TGripPixel& p : pixels) EXPECT_EQ(p.Dy == 0, p.Grey == 212 || p.Grey == 165) << p.Dx << "," << p.Dy;
}

}  // namespace
}  // namespace controls
