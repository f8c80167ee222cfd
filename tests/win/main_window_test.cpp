// The main window in this process: opening a library again and again
// leaves no handle behind.
#include <gtest/gtest.h>

#include "app/main_window_win.h"
#include "util/handles_win.h"
#include "win/win_test_support.h"

namespace {

TEST(MainWindowObjects, TwentyOpensHoldWhatOneOpenHolds) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  {
    // An argument keeps the window from opening its own file at creation;
    // the command line itself is not run, as no message loop runs here.
    app::TForm1 form({self, "unused"});
    ASSERT_TRUE(form.Create());
    const std::string library = testing_support::FixturePath("main_120.dll");
    form.OpenIconFile(library);
    const long after_one = util::GdiObjectCount::Live();
    for (int i = 0; i < 19; ++i) form.OpenIconFile(library);
    EXPECT_EQ(120, form.Grid().IconCount());
    EXPECT_EQ(after_one, util::GdiObjectCount::Live()) << "GDI objects held by the program's owners";
  }
  // The main window's end asks the message loop to end: the tests after
  // this one run their own windows on this thread.
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace
