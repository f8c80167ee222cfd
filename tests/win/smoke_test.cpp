#include <gtest/gtest.h>
#include "gui/icon.h"
TEST(IconObject, NullHandleIsEmpty) {
  gui::TIcon icon(nullptr);
  EXPECT_TRUE(icon.Empty());
  EXPECT_EQ(0, icon.Width());
}
