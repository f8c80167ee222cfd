#include "gui/model/command_list.h"

#include <gtest/gtest.h>

#include "gui/model/hint_text.h"

namespace {

TEST(CommandList, RunsOnlyWhenEnabledAndUpdatesItsBindings) {
  gui::TCommandList commands;
  bool file_open = false;
  int saves = 0;
  commands.Add(1, [&] { file_open = true; });
  commands.Add(
      2, [&] { ++saves; }, [&] { return file_open; });
  std::vector<bool> save_button;
  commands.Bind(2, [&](bool enabled) { save_button.push_back(enabled); });

  EXPECT_FALSE(commands.Execute(2));
  EXPECT_EQ(0, saves);
  EXPECT_TRUE(commands.Execute(1));
  EXPECT_TRUE(commands.Execute(2));
  EXPECT_EQ(1, saves);
  EXPECT_FALSE(commands.Execute(99)) << "an unknown command runs nothing";
  EXPECT_EQ((std::vector<bool>{false, true, true}), save_button)
      << "bound once disabled, then updated after each command that ran";
}

TEST(CommandList, ShortcutsMatchTheirModifiersExactlyUnlessAnyAreAllowed) {
  gui::TCommandList commands;
  bool enabled = true;
  commands.Add(1, nullptr, [&] { return enabled; });
  commands.Add(2, nullptr);
  commands.AddShortcut(1, {'O', true});
  commands.AddShortcut(2, {0x70, false, false, false, true});  // F1 with anything held

  EXPECT_EQ(1, commands.FindShortcut('O', true, false, false));
  EXPECT_EQ(0, commands.FindShortcut('O', true, true, false)) << "Ctrl alone, not Ctrl+Shift";
  EXPECT_EQ(0, commands.FindShortcut('O', false, false, false));
  EXPECT_EQ(2, commands.FindShortcut(0x70, true, true, true));
  EXPECT_EQ(2, commands.FindShortcut(0x70, false, false, false));
  enabled = false;
  EXPECT_EQ(0, commands.FindShortcut('O', true, false, false)) << "a disabled command takes no key";
}

TEST(HintText, SplitsAtTheFirstBar) {
  EXPECT_EQ(L"Open", gui::ShortHint(L"Open|Opens a file|x"));
  EXPECT_EQ(L"Opens a file|x", gui::LongHint(L"Open|Opens a file|x"));
  EXPECT_EQ(L"Both", gui::ShortHint(L"Both"));
  EXPECT_EQ(L"Both", gui::LongHint(L"Both"));
  EXPECT_EQ(L"", gui::LongHint(L"Short|"));
}

}  // namespace
