#include "controls/image_box_layout.h"

#include <gtest/gtest.h>

namespace controls {
namespace {

TEST(ImageBoxLayoutTest, LayoutFollowsWidthAndCount) {
  struct Case {
    int width, icons;
    int columns, rows, height;
  } cases[] = {
      {41, 5, 1, 5, 5 * 42 + 2},                      // narrower than one cell: still one column
      {0, 3, 1, 3, 128},         {100, 0, 2, 1, 44},  // no icons: one row, CellHeight + 2
      {130, 10, 3, 4, 170},      {504, 12, 12, 1, 44}, {504, 13, 12, 2, 86}, {42, 1, 1, 1, 44},
  };
  TGridMetrics m;
  for (const Case& c : cases) {
    TGridLayout l = ComputeLayout(m, c.width, c.icons);
    EXPECT_EQ(l.Columns, c.columns) << c.width << " " << c.icons;
    EXPECT_EQ(l.Rows, c.rows) << c.width << " " << c.icons;
    EXPECT_EQ(l.Height, c.height) << c.width << " " << c.icons;
  }
}

TEST(ImageBoxLayoutTest, SettersDeriveCellSize) {
  TGridMetrics m;
  EXPECT_EQ(m.CellWidth(), 42);
  EXPECT_EQ(m.ScrollIncrement(), 42);
  EXPECT_FALSE(m.SetItemWidth(32));
  EXPECT_TRUE(m.SetItemWidth(48));
  EXPECT_EQ(m.CellWidth(), 58);
  EXPECT_EQ(m.CellHeight(), 42);
  EXPECT_TRUE(m.SetItemHeight(16));
  EXPECT_EQ(m.CellHeight(), 26);
  EXPECT_TRUE(m.SetOffset(8));
  EXPECT_EQ(m.CellWidth(), 2 * 7 + 48);
  EXPECT_EQ(m.CellHeight(), 2 * 7 + 16);
  EXPECT_FALSE(m.SetOffset(8));
  // A cell of zero width never divides: it counts as one pixel.
  TGridMetrics zero;
  zero.SetItemWidth(-10);
  ASSERT_EQ(zero.CellWidth(), 0);
  EXPECT_EQ(ComputeLayout(zero, 500, 3).Columns, 500);
  EXPECT_EQ(HitTest(zero, 1, 3, 10, 50), 1);
}

TEST(ImageBoxLayoutTest, CellGeometry) {
  TGridMetrics m;
  struct Case {
    int columns, index;
    int x, y;
    int left, top, right, bottom;
  } cases[] = {
      {12, 0, 6, 6, 2, 2, 42, 42},
      {12, 11, 468, 6, 464, 2, 504, 42},
      {12, 13, 48, 48, 44, 44, 84, 84},
      {3, 7, 48, 90, 44, 86, 84, 126},
  };
  for (const Case& c : cases) {
    TGridPoint p = IconOrigin(m, c.columns, c.index);
    util::TRect r = SelectionRect(m, c.columns, c.index);
    EXPECT_EQ(p.X, c.x) << c.index;
    EXPECT_EQ(p.Y, c.y) << c.index;
    EXPECT_EQ(r.left, c.left) << c.index;
    EXPECT_EQ(r.top, c.top) << c.index;
    EXPECT_EQ(r.right, c.right) << c.index;
    EXPECT_EQ(r.bottom, c.bottom) << c.index;
  }
  // The drawing pitch differs from CellWidth once Offset changes.
  m.SetOffset(10);
  EXPECT_EQ(IconOrigin(m, 4, 1).X, 2 * 10 + 36);
  EXPECT_EQ(SelectionRect(m, 4, 1).left, 6 * 2 + 40);
}

TEST(ImageBoxLayoutTest, HitTest) {
  TGridMetrics m;
  struct Case {
    int columns, icons, x, y, expected;
  } cases[] = {
      {5, 23, 0, 0, 0},
      {5, 23, 43, 0, 1},
      {5, 23, 41, 41, 0},
      {5, 23, 100, 90, 12},
      {5, 23, 30, 4 * 42 + 5, 20},
      {5, 23, 200, 4 * 42 + 5, 22},  // after the last icon of the last row
      {5, 23, 10, 10 * 42, 22},      // below the last row
      {5, 23, 10, 2000000000, 22},   // far below
      {5, 23, 5 * 42 + 3, 10, 4},    // strip right of the last column: that row's last cell
      {5, 0, 10, 10, -1},            // empty grid selects nothing
      {1, 3, 500, 50, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(HitTest(m, c.columns, c.icons, c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST(ImageBoxLayoutTest, SetItemIndexClampsAndFiresOnce) {
  TGridMetrics m;
  TScrollView view{0, 500, 0, 42};
  // 20 icons, 12 columns: two rows, all in view.
  TSelectionPlan p = PlanSetItemIndex(m, 12, 20, 3, 1000, view);
  EXPECT_TRUE(p.Changed);
  EXPECT_EQ(p.NewIndex, 19);
  // The same request again changes nothing and so raises no event.
  EXPECT_FALSE(PlanSetItemIndex(m, 12, 20, 19, 1000, view).Changed);
  p = PlanSetItemIndex(m, 12, 20, 4, -5, view);
  EXPECT_TRUE(p.Changed);
  EXPECT_EQ(p.NewIndex, -1);
  EXPECT_FALSE(PlanSetItemIndex(m, 12, 20, -1, -5, view).Changed);
  EXPECT_FALSE(PlanSetItemIndex(m, 12, 0, -1, 0, view).Changed);  // empty set: -1 stays
}

TEST(ImageBoxLayoutTest, SetItemIndexRepaintsOrScrolls) {
  TGridMetrics m;
  // 120 icons in 12 columns: 10 rows, grid height 422; client 148.
  const int max_pos = 422 - 148;
  struct Case {
    int old_index, requested, position;
    bool scrolls;
    int new_position;
    bool repaint_old, repaint_new;
  } cases[] = {
      {0, 5, 0, false, 0, true, true},                                                  // same row
      {-1, 3, 0, false, 0, true, true},                                                 // -1 counts as row 0
      {0, 24, 0, false, 0, true, true},                                                 // another row already in view
      {0, 36, 0, true, 42, false, false},                                               // row 3 bottom 162 - 6 > 148
      {0, 60, 0, true, 126, false, false},                                              // three rows below the view
      {60, 12, 126, true, 42, false, false},                                            // above the view, steps of 42
      {60, 0, 126, true, 0, false, false},   {0, 119, 0, true, max_pos, false, false},  // stops where the bar stops
  };
  for (const Case& c : cases) {
    TSelectionPlan p =
        PlanSetItemIndex(m, 12, 120, c.old_index, c.requested, TScrollView{c.position, 148, max_pos, 42});
    EXPECT_TRUE(p.Changed);
    EXPECT_EQ(p.Scrolls, c.scrolls) << c.requested;
    EXPECT_EQ(p.ScrollPosition, c.new_position) << c.requested;
    EXPECT_EQ(p.RepaintOld, c.repaint_old) << c.requested;
    EXPECT_EQ(p.RepaintNew, c.repaint_new) << c.requested;
  }
  // A row below the view that the bar cannot reach repaints instead.
  TSelectionPlan p = PlanSetItemIndex(m, 12, 120, 0, 60, TScrollView{0, 148, 0, 42});
  EXPECT_FALSE(p.Scrolls);
  EXPECT_TRUE(p.RepaintOld && p.RepaintNew);
  // A zero increment cannot loop forever.
  p = PlanSetItemIndex(m, 12, 120, 0, 60, TScrollView{0, 148, max_pos, 0});
  EXPECT_TRUE(p.Scrolls);
  EXPECT_GE(p.ScrollPosition + 148, 6 * 42 - 6);
}

// Key and wheel requests followed through SetItemIndex to the selection.
int Apply(const TKeyAction& a, int columns, int icons, int item_index) {
  if (!a.Request) return item_index;
  return PlanSetItemIndex(TGridMetrics(), columns, icons, item_index, a.Index, TScrollView{0, 148, 1000, 42}).NewIndex;
}

TEST(ImageBoxLayoutTest, IconsInBandAreExactlyThoseDrawnThere) {
  // Against the drawing geometry itself: an icon belongs to the band when
  // the lines it is drawn on meet it. Odd sizes, offsets and bands.
  for (int item_height : {32, 17}) {
    for (int offset : {6, 1, 9}) {
      TGridMetrics metrics;
      metrics.SetItemHeight(item_height);
      metrics.SetOffset(offset);
      for (int columns : {1, 5}) {
        for (int count : {0, 1, 23}) {
          for (int top = -50; top < 400; top += 7) {
            for (int height : {0, 1, 13, 90}) {
              const int bottom = top + height;
              const TIndexRange range = IconsInBand(metrics, columns, count, top, bottom);
              for (int i = 0; i < count; ++i) {
                const int y = IconOrigin(metrics, columns, i).Y;
                const bool shown = top < bottom && y < bottom && y + item_height > top;
                const bool listed = i >= range.First && i < range.Last;
                ASSERT_EQ(shown, listed) << "icon " << i << " band " << top << ".." << bottom << " height "
                                         << item_height << " offset " << offset << " columns " << columns;
              }
            }
          }
        }
      }
    }
  }
}

TEST(ImageBoxLayoutTest, PrefetchTakesAPageEachSideWithinTheHeldHandles) {
  // Default metrics: rows 42 pixels apart, ten columns; a band of four rows.
  TGridMetrics metrics;
  const int pitch = metrics.Offset() + metrics.ItemHeight() + 4;
  const TIndexRange view = IconsInBand(metrics, 10, 5000, 100 * pitch, 104 * pitch);
  const int shown = view.Last - view.First;
  ASSERT_GT(shown, 0);
  TPrefetchPlan plan = PlanPrefetch(metrics, 10, 5000, 100 * pitch, 104 * pitch, 1024);
  EXPECT_EQ(view.Last, plan.Ahead.First);
  EXPECT_EQ(view.Last + shown, plan.Ahead.Last);
  EXPECT_EQ(view.First - shown, plan.Behind.First);
  EXPECT_EQ(view.First, plan.Behind.Last);

  // At the ends of the grid the pages are cut short.
  plan = PlanPrefetch(metrics, 10, 5000, 0, 4 * pitch, 1024);
  EXPECT_EQ(0, plan.Behind.Last - plan.Behind.First);
  plan = PlanPrefetch(metrics, 10, 45, 0, 4 * pitch, 1024);
  EXPECT_EQ(45, plan.Ahead.Last);

  // Three pages that would not fit in the handles held: nothing around.
  plan = PlanPrefetch(metrics, 10, 5000, 100 * pitch, 104 * pitch, 3 * shown - 1);
  EXPECT_EQ(0, plan.Ahead.Last - plan.Ahead.First);
  EXPECT_EQ(0, plan.Behind.Last - plan.Behind.First);
}

TEST(ImageBoxLayoutTest, KeyTable) {
  struct Case {
    TGridKey key;
    int columns, icons, item_index, client_height;
    bool consumed;
    int selected;
  } cases[] = {
      {TGridKey::kRight, 5, 23, -1, 148, true, 0},
      {TGridKey::kDown, 5, 23, -1, 148, true, 4},
      {TGridKey::kUp, 5, 23, -1, 148, true, 0},
      {TGridKey::kPageUp, 5, 23, -1, 148, true, 0},
      {TGridKey::kLeft, 5, 23, -1, 148, true, -1},
      {TGridKey::kEnd, 5, 23, -1, 148, true, 22},
      {TGridKey::kHome, 5, 23, 17, 148, true, 0},
      {TGridKey::kDown, 5, 23, 21, 148, true, 22},
      {TGridKey::kLeft, 5, 23, 0, 148, true, 0},
      {TGridKey::kUp, 5, 23, 0, 148, true, 0},
      {TGridKey::kUp, 5, 23, 3, 148, true, 0},
      {TGridKey::kUp, 5, 23, 13, 148, true, 8},
      {TGridKey::kLeft, 5, 23, 13, 148, true, 12},
      {TGridKey::kRight, 5, 23, 22, 148, true, 22},
      {TGridKey::kPageDown, 12, 100, 5, 148, true, 41},
      {TGridKey::kPageDown, 12, 100, 70, 148, true, 99},
      {TGridKey::kPageUp, 12, 100, 50, 148, true, 14},
      {TGridKey::kPageUp, 12, 100, 20, 148, true, 0},
      {TGridKey::kOther, 5, 23, 3, 148, false, 3},
      {TGridKey::kDown, 5, 0, -1, 148, false, -1},  // empty grid: keys pass on
      {TGridKey::kEnd, 5, 0, -1, 148, false, -1},
  };
  for (const Case& c : cases) {
    TKeyAction a = KeyAction(c.key, c.item_index, c.icons, c.columns, c.client_height, 42);
    EXPECT_EQ(a.Consumed, c.consumed) << static_cast<int>(c.key) << " at " << c.item_index;
    EXPECT_EQ(Apply(a, c.columns, c.icons, c.item_index), c.selected)
        << static_cast<int>(c.key) << " at " << c.item_index;
  }
  EXPECT_EQ(KeyAction(TGridKey::kDown, 21, 23, 5, 148, 42).Index, 26);
  EXPECT_EQ(KeyAction(TGridKey::kPageDown, 0, 100, 12, 148, 42).Index, 36);
}

TEST(ImageBoxLayoutTest, WheelMovesOneRowPerMessage) {
  struct Case {
    int delta, columns, icons, item_index, selected;
  } cases[] = {
      {-120, 5, 23, 3, 8},  {-240, 5, 23, 3, 8},  // one step whatever the delta
      {-120, 5, 23, -1, 4}, {-120, 5, 23, 20, 22}, {120, 5, 23, 13, 8},
      {120, 5, 23, 3, 0},   {120, 5, 23, 0, 0},    {120, 5, 23, -1, 0},
  };
  for (const Case& c : cases) {
    TKeyAction a = WheelAction(c.delta, c.item_index, c.columns);
    EXPECT_TRUE(a.Consumed);
    EXPECT_EQ(Apply(a, c.columns, c.icons, c.item_index), c.selected) << c.delta << " at " << c.item_index;
  }
  EXPECT_FALSE(WheelAction(120, 0, 5).Request);
}

}  // namespace
}  // namespace controls
