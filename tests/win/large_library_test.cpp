// Icons kept as pixels: an icon made again from what was read of the
// shell's icon is that icon, and a library of 40,000 icons opens and
// exports with the GDI objects held staying far below what Windows allows.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/export/export_engine_win.h"
#include "app/globals.h"
#include "controls/icon_set_win.h"
#include "imaging/icon_win.h"
#include "imaging/saveicons_win.h"
#include "util/handles_win.h"
#include "win/icon_fixtures.h"
#include "win/win_test_support.h"

namespace {

using testing_support::FixturePath;
using testing_support::TempDir;

std::string SystemFile(const char* name) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  return std::string(system) + "\\" + name;
}

TEST(IconsFromPixels, DrawAndReadBackAsTheShellsOwn) {
  const std::string files[] = {SystemFile("shell32.dll"), FixturePath("few_icons.dll"), FixturePath("mono.ico"),
                               FixturePath("alpha.ico"),  FixturePath("png.ico"),       FixturePath("ne_icons.exe")};
  int compared = 0;
  for (const std::string& file : files) {
    const UINT count = static_cast<UINT>(reinterpret_cast<UINT_PTR>(ExtractIconA(nullptr, file.c_str(), UINT(-1))));
    ASSERT_GT(count, 0u) << file;
    for (UINT i = 0; i < count; ++i) {
      SCOPED_TRACE(file + " #" + std::to_string(i));
      util::UniqueIcon shells(ExtractIconA(nullptr, file.c_str(), i));
      if (!shells) continue;
      imaging::Image32 color, color_again;
      imaging::MaskImage mask, mask_again;
      ASSERT_GE(imaging::ReadIconImages(shells.get(), &color, &mask), 0);
      util::UniqueIcon again(imaging::CreateIconFromImages(color, mask));
      ASSERT_TRUE(again);
      ASSERT_GE(imaging::ReadIconImages(again.get(), &color_again, &mask_again), 0);
      EXPECT_EQ(color.pixels, color_again.pixels);
      EXPECT_EQ(mask.bits, mask_again.bits);
      // Drawn over two backgrounds, so that both the mask and an inverting
      // or half-transparent pixel would show a difference.
      for (uint32_t background : {0xFFFFFFu, 0x3366CCu}) {
        EXPECT_EQ(icon_fixtures::Render(shells.get(), color.width, color.height, background),
                  icon_fixtures::Render(again.get(), color.width, color.height, background));
      }
      ++compared;
    }
  }
  EXPECT_GT(compared, 150);
}

TEST(LargeLibrary, OpensAndExportsWithinTheGdiObjectLimit) {
  constexpr long kWindowsLimit = 10000;
  const long before = util::GdiObjectCount::Live();
  util::GdiObjectCount::ResetPeak();

  controls::TIconSet set;
  const std::string path = FixturePath("large_library.dll");
  ASSERT_TRUE(set.LoadIcons(path));
  ASSERT_EQ(icon_fixtures::kLargeLibraryIcons, set.IconCount());
  EXPECT_LE(set.HeldIconCount(), controls::TIconSet::kMaxHeldIcons);

  // Every icon, held or kept as pixels, shows its own colour; asking for
  // them all in turn moves the handles through the whole set.
  for (int i = 0; i < set.IconCount(); i += 7) {
    const imaging::TIcon& icon = set.Icons(i);
    ASSERT_FALSE(icon.Empty()) << i;
    const std::vector<uint32_t> px = icon_fixtures::Render(icon.Handle(), icon.Width(), icon.Height(), 0x123456);
    ASSERT_EQ(icon_fixtures::LargeLibraryColour(i) & 0xFFFFFF, px[16 * icon.Width() + 16]) << "icon " << i;
  }
  EXPECT_LE(set.HeldIconCount(), controls::TIconSet::kMaxHeldIcons);

  TempDir dir;
  app::BatchModeScope batch;
  app::TExportRequest request;
  request.Type = imaging::etIcon;
  request.Source = path;
  request.DestFolder = dir.file("icons");
  app::TExportWork work;
  int count = 0;
  app::ExportIcons(work, count, request, 0);
  EXPECT_EQ(icon_fixtures::kLargeLibraryIcons, count);
  EXPECT_TRUE(testing_support::FileExists(request.DestFolder + "\\ico_large_library40000.ico"));

  EXPECT_LT(util::GdiObjectCount::Peak() - before, kWindowsLimit);
  set.Clear();
  EXPECT_EQ(before, util::GdiObjectCount::Live());
}

}  // namespace
