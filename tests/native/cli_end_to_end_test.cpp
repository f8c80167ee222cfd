// Runs the built tamsel-cli on generated files and checks what it wrote,
// what it said and how it ended.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli_run.h"
#include "icon_file_builder.h"
#include "imaging/group_image_choice.h"
#include "imaging/icon_file_check.h"
#include "imaging/icon_groups.h"
#include "test_files.h"

namespace {

using icon_builder::Bytes;
using testing_files::ReadAll;

using CliRun = testing_files::ProgramRun;
using testing_files::Lines;

// The files of the test: three sound sources of the three kinds and the
// folder the exports go into.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    // Group 1: 16, 32 and a 48-pixel PNG; group 2: 8 alone; group 3: 32, 16.
    const std::vector<Bytes> images = {icon_builder::Dib(16, 16, 1), icon_builder::Dib(32, 32, 2),
                                       icon_builder::Png(48, 48), icon_builder::Dib(8, 8, 3)};
    Write("lib.dll", icon_builder::Pe(images, false, {{1, 2, 3}, {4}, {2, 1}}).bytes);
    Write("old.exe", icon_builder::Ne({icon_builder::Dib(16, 16), icon_builder::Dib(32, 32)}, {{1, 2}, {2}}).bytes);
    Write("single.ico", icon_builder::Ico({icon_builder::Dib(16, 16), icon_builder::Png(32, 32)}).bytes);
  }

  void Write(const std::string& name, const Bytes& bytes) { ASSERT_TRUE(testing_files::WriteAll(file(name), bytes)); }
  std::string file(const std::string& name) const { return dir_.file(name); }
  std::string out(const std::string& name) const { return dir_.file("out/" + name); }

  // tamsel-cli with the arguments (a shell's words) in the test's folder.
  CliRun Cli(const std::string& args, const std::string& input = "") {
    return testing_files::RunProgram(dir_.path(), TAMSEL_CLI, args, input);
  }

  // The group's icon file as the window program writes it.
  Bytes Group(const std::string& source, uint32_t index) {
    const Bytes bytes = ReadAll(file(source));
    Bytes group;
    EXPECT_EQ(nullptr, imaging::BuildIconGroupFile(bytes.data(), bytes.size(), index, &group)) << source << index;
    return group;
  }

  std::vector<std::string> Written() {
    std::vector<std::string> names = testing_files::ListDir(file("out"));
    std::sort(names.begin(), names.end());
    return names;
  }

  testing_files::ScratchDir dir_;
};

// icotool's listing of an icon file: one line per entry.
std::vector<std::string> IcotoolList(const std::string& path) {
  int status = 0;
  std::vector<std::string> lines = Lines(testing_files::RunCapture("icotool -l '" + path + "' 2>&1", &status));
  if (status != 0) lines.insert(lines.begin(), "icotool failed");
  return lines;
}

TEST_F(CliTest, AllSizesWritesEachGroupAsTheWindowProgramDoes) {
  const CliRun run = Cli("-e lib.dll old.exe single.ico out -iconindex=0 -allsizes -j 2");
  ASSERT_EQ(0, run.status) << (run.err.empty() ? "" : run.err[0]);
  EXPECT_TRUE(run.err.empty());
  EXPECT_EQ("Icons exported: 6\n", run.out);

  // Each group's images by their widths, as the fixtures store them.
  using Widths = std::vector<std::vector<int>>;
  const struct {
    const char* source;
    const char* base;
    Widths groups;
    // A 16-bit file stores each image padded to its alignment, and icotool
    // takes a size that counts the padding for a wrong one.
    bool icotool_reads;
  } sources[] = {{"lib.dll", "lib", {{16, 32, 48}, {8}, {32, 16}}, true},
                 {"old.exe", "old", {{16, 32}, {32}}, false},
                 {"single.ico", "single", {{16, 32}}, true}};
  const bool icotool = testing_files::ToolAvailable("/usr/bin/icotool");
  size_t files = 0;
  for (const auto& s : sources) {
    for (uint32_t i = 0; i < s.groups.size(); ++i, ++files) {
      const std::string name = out(std::string("ico_") + s.base + "000" + std::to_string(i + 1) + ".ico");
      EXPECT_EQ(Group(s.source, i), ReadAll(name)) << name;
      if (!icotool || !s.icotool_reads) continue;
      // An independent reader finds the group's images in their order.
      const std::vector<std::string> listed = IcotoolList(name);
      ASSERT_EQ(s.groups[i].size(), listed.size()) << name << ": " << listed[0];
      for (size_t k = 0; k < listed.size(); ++k)
        EXPECT_NE(std::string::npos, listed[k].find("--width=" + std::to_string(s.groups[i][k]) + " ")) << listed[k];
    }
  }
  EXPECT_EQ(files, Written().size());
}

TEST_F(CliTest, AllSizesAsPngWritesEveryImageUnderItsSizeAndDepth) {
  const CliRun run = Cli("-e lib.dll out -iconindex=0 -allsizes -desttype=PNG");
  ASSERT_EQ(0, run.status) << (run.err.empty() ? "" : run.err[0]);
  const std::vector<std::string> expected = {
      "ico_lib0001_16x16_32.png", "ico_lib0001_32x32_32.png", "ico_lib0001_48x48_32.png",
      "ico_lib0002_8x8_32.png",   "ico_lib0003_16x16_32.png", "ico_lib0003_32x32_32.png",
  };
  EXPECT_EQ(expected, Written());
  // A PNG image is written as the file stores it.
  EXPECT_EQ(icon_builder::Png(48, 48), ReadAll(out("ico_lib0001_48x48_32.png")));
}

TEST_F(CliTest, SizeTakesTheNearestImageOfEachIcon) {
  // Sources from standard input. 20 pixels: 16 of the first group, the
  // 8-pixel image of the second and 16 of the third.
  CliRun run = Cli("-e - out -iconindex=0 -size=20", "lib.dll\r\n\nsingle.ico\n");
  ASSERT_EQ(0, run.status) << (run.err.empty() ? "" : run.err[0]);
  EXPECT_EQ((std::vector<std::string>{"ico_lib0001.ico", "ico_lib0002.ico", "ico_lib0003.ico", "ico_single0001.ico"}),
            Written());
  const struct {
    const char* name;
    const char* source;
    uint32_t group;
    size_t entry;
  } chosen[] = {{"ico_lib0001.ico", "lib.dll", 0, 0},
                {"ico_lib0002.ico", "lib.dll", 1, 0},
                {"ico_lib0003.ico", "lib.dll", 2, 1},
                {"ico_single0001.ico", "single.ico", 0, 0}};
  for (const auto& c : chosen) {
    const Bytes group = Group(c.source, c.group);
    Bytes expected;
    ASSERT_TRUE(imaging::SingleImageIconFile(group.data(), group.size(), c.entry, &expected));
    EXPECT_EQ(expected, ReadAll(out(c.name))) << c.name;
  }
  if (testing_files::ToolAvailable("/usr/bin/icotool")) {
    const std::vector<std::string> listed = IcotoolList(out("ico_lib0001.ico"));
    ASSERT_EQ(1u, listed.size()) << listed[0];
    EXPECT_NE(std::string::npos, listed[0].find("--width=16 ")) << listed[0];
  }

  // 40 pixels as PNG: 32 and 48 are as near, and the larger is taken. One
  // source and one icon: the target is the file, its extension added.
  run = Cli("-e lib.dll one -iconindex=1 -size=40 -desttype=png");
  ASSERT_EQ(0, run.status) << (run.err.empty() ? "" : run.err[0]);
  EXPECT_EQ(icon_builder::Png(48, 48), ReadAll(file("one.png")));
}

TEST_F(CliTest, FailedSourcesSayWhyAndTheOthersAreWritten) {
  // Damaged files that the structural check refuses.
  icon_builder::PeLayout pe = icon_builder::Pe({icon_builder::Dib(16, 16), icon_builder::Dib(32, 32)});
  icon_builder::Put16(pe.bytes, pe.group_data[0] + 4, 0xFFFF);
  icon_builder::IcoLayout ico = icon_builder::Ico({icon_builder::Dib(16, 16)});
  icon_builder::Put32(ico.bytes, ico.entries[0] + 12, 0x7FFFFFF0);
  Write("bad.dll", pe.bytes);
  Write("broken.ico", ico.bytes);
  ASSERT_EQ(0, mkdir(file("sub").c_str(), 0755));
  Write("sub/lib.ico", ReadAll(file("single.ico")));

  const CliRun run = Cli("-e bad.dll lib.dll missing.dll broken.ico sub/lib.ico out -iconindex=0 -allsizes -j 3");
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("Icons exported: 3\n", run.out);
  ASSERT_EQ(4u, run.err.size());
  const std::string pe_problem = imaging::CheckIconFile(pe.bytes.data(), pe.bytes.size()).problem;
  const std::string ico_problem = imaging::CheckIconFile(ico.bytes.data(), ico.bytes.size()).problem;
  ASSERT_FALSE(pe_problem.empty());
  ASSERT_FALSE(ico_problem.empty());
  // One line each, in the sources' order.
  EXPECT_EQ("tamsel-cli: bad.dll: refused as damaged: " + pe_problem, run.err[0]);
  EXPECT_EQ(0u, run.err[1].find("tamsel-cli: missing.dll: cannot be opened: ")) << run.err[1];
  EXPECT_EQ("tamsel-cli: broken.ico: refused as damaged: " + ico_problem, run.err[2]);
  // Its files would take the names of lib.dll's.
  EXPECT_EQ(0u, run.err[3].find("tamsel-cli: sub/lib.ico: ")) << run.err[3];
  EXPECT_EQ((std::vector<std::string>{"ico_lib0001.ico", "ico_lib0002.ico", "ico_lib0003.ico"}), Written());
}

TEST_F(CliTest, WhatWindowsAloneDrawsFailsEachSource) {
  // Which cases only Windows can draw is the parser's business; here the
  // refusal reaches every source.
  CliRun run = Cli("-e lib.dll single.ico out -iconindex=0 -desttype=emf");
  EXPECT_EQ(1, run.status);
  ASSERT_EQ(2u, run.err.size());
  for (const std::string& line : run.err) EXPECT_NE(std::string::npos, line.find("Windows alone")) << line;
  // A text file has no icons of its own: the icon Windows shows for it is
  // Windows' alone; asked for every icon, it has none to export.
  Write("notes.txt", {'h', 'i', '\n'});
  run = Cli("-e notes.txt out");
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(1u, run.err.size());
  run = Cli("-e notes.txt out -iconindex=0");
  EXPECT_EQ(0, run.status);
  // An icon beyond the file's.
  run = Cli("-e lib.dll out -iconindex=4");
  EXPECT_EQ(1, run.status);
  ASSERT_EQ(1u, run.err.size());
  EXPECT_NE(std::string::npos, run.err[0].find("no icon number 4; it holds 3")) << run.err[0];
  EXPECT_TRUE(Written().empty());
}

TEST_F(CliTest, DrawnExportsAndDocumentsGoWhereTheWindowProgramPutsThem) {
  // One icon of one source: the target is the file.
  CliRun run = Cli("-e lib.dll pic -iconindex=3 -desttype=bmp");
  ASSERT_EQ(0, run.status) << (run.err.empty() ? "" : run.err[0]);
  const Bytes bmp = ReadAll(file("pic.bmp"));
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ('B', bmp[0]);
  EXPECT_EQ(32, bmp[18]);  // the shell's 32-pixel icon, whatever the group stores
  // The HTML page beside its image folder, the dBase table beside its memos.
  run = Cli("-e lib.dll page.htm -htmlcolumns=2");
  ASSERT_EQ(0, run.status) << (run.err.empty() ? "" : run.err[0]);
  std::vector<std::string> images = testing_files::ListDir(file("page_files"));
  std::sort(images.begin(), images.end());
  EXPECT_EQ((std::vector<std::string>{"ico_lib0001.jpg", "ico_lib0002.jpg", "ico_lib0003.jpg"}), images);
  const Bytes page = ReadAll(file("page.htm"));
  const std::string text(page.begin(), page.end());
  EXPECT_NE(std::string::npos, text.find("page_files/ico_lib0003.jpg")) << text;
  run = Cli("-e old.exe table.dbf -dbasedesttype=png");
  ASSERT_EQ(0, run.status) << (run.err.empty() ? "" : run.err[0]);
  EXPECT_EQ(2u, ReadAll(file("table.dbf"))[4]);  // the record count
  EXPECT_FALSE(ReadAll(file("table.dbt")).empty());
}

TEST_F(CliTest, BadUsageEndsWithTwoAndWritesNothing) {
  for (const char* args : {"lib.dll out -allsizes", "-e lib.dll out -allsizes -bogus"}) {
    const CliRun run = Cli(args);
    EXPECT_EQ(2, run.status) << args;
    EXPECT_FALSE(run.err.empty()) << args;
  }
  EXPECT_FALSE(testing_files::Exists(file("out")));
  const CliRun help = Cli("--help");
  EXPECT_EQ(0, help.status);
  EXPECT_NE(std::string::npos, help.out.find("Windows alone")) << help.out;
}

}  // namespace
