#include "app/main_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(MainLayout, RightAnchoredControlsAndStatusPanelsFollowTheWidth) {
  EXPECT_EQ(526 - 140 - 8, app::LinkLabelBounds(526, 100).left);
  EXPECT_EQ(800 - 140 - 8, app::LinkLabelBounds(800, 140).left);
  EXPECT_EQ(800 - 180 - 8, app::LinkLabelBounds(800, 180).left) << "a longer text widens the label";
  EXPECT_EQ(180, app::LinkLabelBounds(800, 180).Width());
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

TEST(MainLayout, FileListGivesBackRoomOnlyWhenTheSplitterPassedItsMinimum) {
  EXPECT_EQ(248, app::FilePanelWidthAfterResize(248, 270, 248, 518, 3));
  EXPECT_EQ(518 - 248 - 3, app::FilePanelWidthAfterResize(400, 115, 248, 518, 3));
  EXPECT_EQ(0, app::FilePanelWidthAfterResize(400, 10, 248, 200, 3));
}

TEST(MainLayout, SearchPaneControlsFollowThePanelSizes) {
  // The design size: a 172-high pane with the file panel 248 wide.
  const app::TSearchPanePlaces p = app::SearchPanePlaces(267, 172, 248, 172);
  EXPECT_EQ(251, p.tree.Width());
  EXPECT_EQ(172 - 22 - 8, p.tree.Height());
  EXPECT_EQ(248 - 66 - 8, p.file_box.Width());
  EXPECT_EQ(172 - 22 - 16 - 17, p.file_box.Height());
  EXPECT_EQ(172 - 17 - 8, p.check_box.top);
  EXPECT_EQ(p.file_box.Height(), p.strip.Height());
  // The button centred on the strip, the count a button and a margin above
  // it, the failure mark right under the count.
  EXPECT_EQ(22 + 117 / 2 - 27 / 2, p.save_all.top);
  EXPECT_EQ(p.save_all.top - 27 - 8, p.count_label.top);
  EXPECT_EQ(p.count_label.top + p.count_label.Height(), p.failed_label.top);
  // A pane squeezed to nothing gives empty sizes, never negative ones.
  const app::TSearchPanePlaces small = app::SearchPanePlaces(4, 10, 20, 10);
  EXPECT_EQ(0, small.tree.Width());
  EXPECT_EQ(0, small.file_box.Height());
  EXPECT_EQ(0, small.file_box.Width());
}

TEST(MainLayout, DepthCodesNameTheirBitsAndAnythingElseIsUnknown) {
  EXPECT_STREQ("1", app::DepthDigits(0));
  EXPECT_STREQ("24", app::DepthDigits(3));
  EXPECT_STREQ("32", app::DepthDigits(4));
  EXPECT_STREQ("?", app::DepthDigits(5));
  EXPECT_STREQ("?", app::DepthDigits(-1));
}

TEST(MainLayout, TheCountLabelGrowsAboutItsColumnForAWideCount) {
  const util::TRect column = util::TRect::FromBounds(4, 100, 44, 13);
  const auto same = [](const util::TRect& a, const util::TRect& b) {
    return a.left == b.left && a.top == b.top && a.Width() == b.Width() && a.Height() == b.Height();
  };
  EXPECT_TRUE(same(column, app::CountLabelBox(column, 30))) << "a narrow count keeps the column";
  EXPECT_TRUE(same(column, app::CountLabelBox(column, 44)));
  EXPECT_TRUE(same(util::TRect::FromBounds(1, 100, 50, 13), app::CountLabelBox(column, 50))) << "centred on the column";
  EXPECT_TRUE(same(util::TRect::FromBounds(0, 100, 70, 13), app::CountLabelBox(column, 70)))
      << "not past the left edge";
}

}  // namespace
