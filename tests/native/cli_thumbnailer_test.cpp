// Runs the built tamsel-thumbnailer on generated files: which image it
// takes, that it writes it as the -size= PNG export does, that it makes a
// larger image fit, and how it ends when it cannot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_run.h"
#include "icon_file_builder.h"
#include "imaging/png_reader.h"
#include "test_files.h"

namespace {

using icon_builder::Bytes;
using testing_files::ProgramRun;
using testing_files::ReadAll;

class ThumbnailerTest : public ::testing::Test {
 protected:
  void Write(const std::string& name, const Bytes& bytes) {
    ASSERT_TRUE(testing_files::WriteAll(dir_.file(name), bytes));
  }
  ProgramRun Thumbnailer(const std::string& args) {
    return testing_files::RunProgram(dir_.path(), TAMSEL_THUMBNAILER, args);
  }
  ProgramRun Cli(const std::string& args) { return testing_files::RunProgram(dir_.path(), TAMSEL_CLI, args); }
  Bytes Read(const std::string& name) const { return ReadAll(dir_.file(name)); }

  testing_files::ScratchDir dir_;
};

TEST_F(ThumbnailerTest, TakesTheSizeExportsImageOfTheFirstIcon) {
  // First icon: 16 and 32 as bitmaps, 48 as a stored PNG; the second
  // icon's 256-pixel image is never looked at.
  const std::vector<Bytes> images = {icon_builder::Dib(16, 16, 1), icon_builder::Dib(32, 32, 2),
                                     icon_builder::Png(48, 48), icon_builder::Png(256, 256)};
  Write("lib.dll", icon_builder::Pe(images, false, {{1, 2, 3}, {4}}).bytes);
  for (const char* size : {"16", "32", "48", "256"}) {
    SCOPED_TRACE(size);
    const ProgramRun run = Thumbnailer(std::string("lib.dll thumb.png ") + size);
    ASSERT_EQ(0, run.status) << (run.err.empty() ? "" : run.err[0]);
    EXPECT_TRUE(run.err.empty());
    ASSERT_EQ(0, Cli(std::string("-e lib.dll sized.png -iconindex=1 -size=") + size).status);
    EXPECT_EQ(Read("sized.png"), Read("thumb.png"));
  }
  EXPECT_EQ(icon_builder::Png(48, 48), Read("thumb.png"));
}

TEST_F(ThumbnailerTest, ALargerImageIsMadeToFitWithItsAspect) {
  struct Case {
    const char* file;
    Bytes bytes;
    int size, width, height;
  };
  const Case cases[] = {
      // 32 and 48 are as near to 40; the larger is taken and made smaller.
      {"tie.ico", icon_builder::Ico({icon_builder::Dib(32, 32), icon_builder::Png(48, 48)}).bytes, 40, 40, 40},
      {"wide.ico", icon_builder::Ico({icon_builder::Png(64, 32)}).bytes, 16, 16, 8},
      {"tall.dll", icon_builder::Pe({icon_builder::Dib(24, 48)}).bytes, 12, 6, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Write(c.file, c.bytes);
    const ProgramRun run = Thumbnailer(std::string(c.file) + " thumb.png " + std::to_string(c.size));
    ASSERT_EQ(0, run.status) << (run.err.empty() ? "" : run.err[0]);
    const Bytes png = Read("thumb.png");
    imaging::Image32 picture;
    ASSERT_TRUE(imaging::DecodePng(png.data(), png.size(), 1 << 20, &picture));
    EXPECT_EQ(c.width, picture.width);
    EXPECT_EQ(c.height, picture.height);
  }
}

TEST_F(ThumbnailerTest, NoIconOrAWrongCommandLineWritesNothing) {
  Write("notes.txt", {'h', 'i', '\n'});
  const struct {
    const char* args;
    int status;
  } cases[] = {
      {"notes.txt thumb.png 128", 1}, {"missing.dll thumb.png 128", 1}, {"notes.txt thumb.png", 2},
      {"notes.txt thumb.png 0", 2},   {"notes.txt thumb.png 12x", 2},   {"notes.txt thumb.png 128 more", 2},
  };
  for (const auto& c : cases) {
    const ProgramRun run = Thumbnailer(c.args);
    EXPECT_EQ(c.status, run.status) << c.args;
    if (c.status == 1) {
      ASSERT_EQ(1u, run.err.size()) << c.args;
      EXPECT_EQ(0u, run.err[0].find("tamsel-thumbnailer: ")) << run.err[0];
    }
  }
  EXPECT_FALSE(testing_files::Exists(dir_.file("thumb.png")));
}

}  // namespace
