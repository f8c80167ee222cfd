// Every damaged file of the structural check's table through the built
// tamsel-cli and tamsel-thumbnailer (which run under the sanitizers in this
// build): each is refused with exit status 1 and one line naming the
// check's finding, and nothing is written.
#include <gtest/gtest.h>

#include <string>

#include "cli_run.h"
#include "damaged_icon_files.h"
#include "imaging/icon_file_check.h"
#include "test_files.h"

namespace {

TEST(CliHostileInput, EveryDamagedFileIsRefusedCleanly) {
  testing_files::ScratchDir dir;
  ASSERT_FALSE(dir.path().empty());
  for (const icon_cases::DamageCase& c : icon_cases::DamagedIconFiles()) {
    SCOPED_TRACE(c.name);
    const icon_builder::Bytes bytes = c.make();
    ASSERT_TRUE(testing_files::WriteAll(dir.file("damaged"), bytes));
    const std::string problem = imaging::CheckIconFile(bytes.data(), bytes.size()).problem;
    ASSERT_FALSE(problem.empty());

    for (const char* args : {"-e damaged out -iconindex=0 -allsizes", "-e damaged out -size=32 -desttype=PNG",
                             "-e damaged out -iconindex=0 -desttype=BMP", "-e damaged out/page.htm"}) {
      const testing_files::ProgramRun run = testing_files::RunProgram(dir.path(), TAMSEL_CLI, args);
      EXPECT_EQ(1, run.status) << args;
      EXPECT_EQ(std::vector<std::string>{"tamsel-cli: damaged: refused as damaged: " + problem}, run.err) << args;
      EXPECT_TRUE(testing_files::ListDir(dir.file("out")).empty()) << args;
    }
    const testing_files::ProgramRun run =
        testing_files::RunProgram(dir.path(), TAMSEL_THUMBNAILER, "damaged thumb.png 128");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(std::vector<std::string>{"tamsel-thumbnailer: damaged: refused as damaged: " + problem}, run.err);
    EXPECT_FALSE(testing_files::Exists(dir.file("thumb.png")));
  }
}

}  // namespace
