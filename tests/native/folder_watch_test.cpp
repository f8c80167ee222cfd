#include "controls/folder_watch.h"

#include <gtest/gtest.h>

namespace {

TEST(WatchedFolder, TrailingBackslashOffExceptAtARoot) {
  EXPECT_EQ("C:\\Windows", controls::WatchedFolder("C:\\Windows"));
  EXPECT_EQ("C:\\Windows", controls::WatchedFolder("C:\\Windows\\"));
  EXPECT_EQ("C:\\", controls::WatchedFolder("C:\\"));
  EXPECT_EQ("C:\\", controls::WatchedFolder("C:"));
  EXPECT_EQ("\\", controls::WatchedFolder("")) << "a node without a path: the current drive's root";
}

}  // namespace
