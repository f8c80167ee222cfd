#include "app/main_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(MainLayout, RightAnchoredControlsAndStatusPanelsFollowTheWidth) {
  EXPECT_EQ(526 - 140 - 8, app::LinkLabelBounds(526, 100).left);
  EXPECT_EQ(800 - 140 - 8, app::LinkLabelBounds(800, 140).left);
  EXPECT_EQ(800 - 180 - 8, app::LinkLabelBounds(800, 180).left) << "a longer text widens the label";
  EXPECT_EQ(180, app::LinkLabelBounds(800, 180).width);
  EXPECT_EQ(800 - 179 - 8, app::SearchButtonBounds(800).left);
  EXPECT_EQ((std::array<int, 4>{259, 309, 359, 409}), app::StatusPanelEdges(518));
}

TEST(MainLayout, SearchPaneGivesBackRoomOnlyWhenTheSplitterPassedItsMinimum) {
  // The splitter still below its minimum distance from the top: unchanged.
  EXPECT_EQ(172, app::FindPanelHeightAfterResize(172, 172, 172, 418, 3, 19));
  // Pushed up: the pane shrinks so the upper part keeps 172 pixels.
  EXPECT_EQ(418 - 172 - 3 - 19, app::FindPanelHeightAfterResize(300, 100, 172, 418, 3, 19));
  EXPECT_EQ(0, app::FindPanelHeightAfterResize(300, 10, 172, 150, 3, 19));
}

TEST(MainLayout, DepthCodesNameTheirBitsAndAnythingElseIsUnknown) {
  EXPECT_STREQ("1", app::DepthDigits(0));
  EXPECT_STREQ("24", app::DepthDigits(3));
  EXPECT_STREQ("32", app::DepthDigits(4));
  EXPECT_STREQ("?", app::DepthDigits(5));
  EXPECT_STREQ("?", app::DepthDigits(-1));
}

}  // namespace
