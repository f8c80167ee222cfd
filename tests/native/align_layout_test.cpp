#include "gui/model/align_layout.h"

#include <gtest/gtest.h>

namespace {

using gui::TAlign;
using util::TRect;

std::vector<int> Flat(const std::vector<gui::TAlignedItem>& items) {
  std::vector<int> v;
  for (const auto& i : items) v.insert(v.end(), {i.bounds.left, i.bounds.top, i.bounds.Width(), i.bounds.Height()});
  return v;
}

TEST(AlignLayout, EdgesTakeTheirSizeInPositionOrderAndClientFillsTheRest) {
  // A toolbar on top, a status bar below, a search pane with its splitter
  // above the status bar, a tree on the left and the grid in between.
  std::vector<gui::TAlignedItem> items{
      {TAlign::alClient, TRect::FromBounds(0, 0, 0, 0)},
      {TAlign::alBottom, TRect::FromBounds(0, 300, 10, 20)},      // status bar: lowest
      {TAlign::alBottom, TRect::FromBounds(0, 100, 10, 172)},     // search pane
      {TAlign::alBottom, TRect::FromBounds(0, 97, 10, 3)},        // splitter above it
      {TAlign::alTop, TRect::FromBounds(0, 0, 10, 30)},           // toolbar
      {TAlign::alLeft, TRect::FromBounds(5, 0, 120, 10)},         // tree
      {TAlign::alNone, TRect::FromBounds(7, 8, 9, 10)},           // placed by hand
      {TAlign::alRight, TRect::FromBounds(0, 0, 50, 10), false},  // hidden
  };
  gui::AlignItems(640, 480, items);
  EXPECT_EQ((std::vector<int>{120, 30,  520, 255,   // client: 480 - 30 - 20 - 172 - 3 high
                              0,   460, 640, 20,    // status bar at the bottom
                              0,   288, 640, 172,   // search pane above it
                              0,   285, 640, 3,     // splitter above the pane
                              0,   0,   640, 30,    // toolbar
                              0,   30,  120, 255,   // tree between toolbar and splitter
                              7,   8,   9,   10,    // untouched
                              0,   0,   50,  10}),  // hidden: untouched
            Flat(items));
}

TEST(AlignLayout, AnAreaTooSmallGivesEmptyNotNegativeSizes) {
  std::vector<gui::TAlignedItem> items{{TAlign::alTop, TRect::FromBounds(0, 0, 0, 80)},
                                       {TAlign::alBottom, TRect::FromBounds(0, 0, 0, 80)},
                                       {TAlign::alClient, {}}};
  gui::AlignItems(100, 100, items);
  EXPECT_EQ(0, items[2].bounds.Height());
  EXPECT_EQ(100, items[2].bounds.Width());
}

}  // namespace
