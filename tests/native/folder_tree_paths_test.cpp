#include "controls/folder_tree_paths.h"

#include <gtest/gtest.h>

namespace {

using controls::TNodeKind;
using Parts = std::vector<std::string>;

TEST(FolderTreePaths, SelectPathsAreCutIntoTheStepsOfTheWalk) {
  const std::string desktop = "C:\\Users\\Me\\Desktop";
  EXPECT_EQ((Parts{"c:", "windows", "system32"}), controls::SplitSelectPath("C:\\Windows\\System32", desktop));
  EXPECT_EQ((Parts{"c:", "windows"}), controls::SplitSelectPath("C:\\Windows\\", desktop));
  EXPECT_EQ((Parts{"\\", "server", "share"}), controls::SplitSelectPath("\\\\Server\\Share", desktop));
  EXPECT_EQ((Parts{"c:\\users\\me\\desktop", "notes"}),
            controls::SplitSelectPath("C:\\Users\\Me\\Desktop\\Notes", desktop));
  EXPECT_EQ((Parts{"c:"}), controls::SplitSelectPath("C:\\", desktop));
  EXPECT_TRUE(controls::SplitSelectPath("C:", desktop).empty()) << "two characters clear the selection";
  EXPECT_TRUE(controls::SplitSelectPath("", desktop).empty());
}

TEST(FolderTreePaths, NodesReportTheirPathsWithADrivesBackslash) {
  EXPECT_EQ("C:\\", controls::NodePathText(TNodeKind::nkFolder, "C:"));
  EXPECT_EQ("C:\\Windows", controls::NodePathText(TNodeKind::nkFolder, "C:\\Windows"));
  EXPECT_EQ("C:\\Users\\Me\\Desktop", controls::NodePathText(TNodeKind::nkDesktop, "C:\\Users\\Me\\Desktop"));
  for (TNodeKind kind :
       {TNodeKind::nkNetwork, TNodeKind::nkRecycleBin, TNodeKind::nkComputer, TNodeKind::nkNetworkItem})
    EXPECT_EQ("", controls::NodePathText(kind, "\\\\server")) << static_cast<int>(kind);
}

}  // namespace
