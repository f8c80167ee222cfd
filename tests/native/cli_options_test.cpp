#include "app/cli/cli_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace app {
namespace {

using Args = std::vector<std::string>;

TEST(ParseCliArguments, SourcesTargetAndSwitches) {
  struct Case {
    const char* what;
    Args args;
    Args sources;
    bool from_stdin;
    const char* target;
    int icon_index, size, jobs;
    imaging::TExportType type;
    bool all_sizes;
  } cases[] = {
      {"one source", {"-e", "a.dll", "out"}, {"a.dll"}, false, "out", 1, 0, 0, imaging::etIcon, false},
      {"several sources, the last is the target",
       {"-e", "a.dll", "/b/c.exe", "d.ico", "/tmp/out", "-allsizes", "-iconindex=0"},
       {"a.dll", "/b/c.exe", "d.ico"},
       false,
       "/tmp/out",
       0,
       0,
       0,
       imaging::etIcon,
       true},
      {"standard input",
       {"-E", "-", "out", "-DestType=png", "-size=48"},
       {},
       true,
       "out",
       1,
       48,
       0,
       imaging::etPNG,
       false},
      {"-j N and -jN", {"-j", "3", "-e", "a", "b", "out"}, {"a", "b"}, false, "out", 1, 0, 3, imaging::etIcon, false},
      {"-jN", {"-e", "a", "out", "-j7"}, {"a"}, false, "out", 1, 0, 7, imaging::etIcon, false},
      {"type from the target's extension",
       {"-e", "a", "out.png"},
       {"a"},
       false,
       "out.png",
       1,
       0,
       0,
       imaging::etPNG,
       false},
      {"the first -desttype= wins",
       {"-e", "a", "o", "-desttype=png", "-desttype=ico"},
       {"a"},
       false,
       "o",
       1,
       0,
       0,
       imaging::etPNG,
       false},
      {"an unknown word is ICO", {"-e", "a", "o", "-desttype=xyz"}, {"a"}, false, "o", 1, 0, 0, imaging::etIcon, false},
      {"switches of the HTML page and the dBase table pass",
       {"-e", "a", "o", "-closewhendone", "-includenumbers", "-dbasefieldname=X", "-htmldesttype=png"},
       {"a"},
       false,
       "o",
       1,
       0,
       0,
       imaging::etIcon,
       false},
  };
  for (const Case& c : cases) {
    CliOptions o;
    std::string error;
    ASSERT_EQ(CliParse::kRun, ParseCliArguments(c.args, &o, &error)) << c.what << ": " << error;
    EXPECT_EQ(c.sources, o.sources) << c.what;
    EXPECT_EQ(c.from_stdin, o.sources_from_stdin) << c.what;
    EXPECT_EQ(c.target, o.target) << c.what;
    EXPECT_EQ(c.icon_index, o.icon_index) << c.what;
    EXPECT_EQ(c.size, o.size) << c.what;
    EXPECT_EQ(c.jobs, o.jobs) << c.what;
    EXPECT_EQ(c.type, o.export_type) << c.what;
    EXPECT_EQ(c.all_sizes, o.all_sizes) << c.what;
  }
}

TEST(ParseCliArguments, UsageErrorsAndHelp) {
  const Args errors[] = {
      {},
      {"a.dll", "out"},          // no -e
      {"-e", "a.dll"},           // no target
      {"-e", "a", "-", "out"},   // standard input among other sources
      {"-e", "a", "-"},          // standard input as the target
      {"-e", "a", "out", "-j"},  // -j without its count
      {"-e", "a", "out", "-j", "0"},
      {"-e", "a", "out", "-j", "x"},
      {"-e", "a", "out", "-j999"},
      {"-e", "a", "out", "-size=0"},
      {"-e", "a", "out", "-size=4097"},
      {"-e", "a", "out", "-size=big"},
      {"-e", "a", "out", "-iconindex=-1"},
      {"-e", "a", "out", "-iconindex=two"},
      {"-e", "a", "out", "-allsizes", "-size=32"},
      {"-e", "a", "out", "-frobnicate"},
      {"-e", "a", " "},  // a blank target
  };
  for (const Args& args : errors) {
    CliOptions o;
    std::string error;
    std::string joined;
    for (const std::string& a : args) joined += a + " ";
    EXPECT_EQ(CliParse::kUsageError, ParseCliArguments(args, &o, &error)) << joined;
    EXPECT_FALSE(error.empty()) << joined;
  }
  CliOptions o;
  std::string error;
  EXPECT_EQ(CliParse::kHelp, ParseCliArguments({"-e", "a", "out", "--help"}, &o, &error));
  EXPECT_EQ(CliParse::kHelp, ParseCliArguments({"-h"}, &o, &error));
}

TEST(UnavailableReason, OnlyWholeGroupsAndOneSizeOfIcoAndPng) {
  struct Case {
    Args args;
    bool available;
  } cases[] = {
      {{"-e", "a", "o", "-allsizes"}, true},
      {{"-e", "a", "o", "-desttype=png", "-allsizes"}, true},
      {{"-e", "a", "o", "-size=16"}, true},
      {{"-e", "a", "o.png", "-size=16"}, true},
      {{"-e", "a", "o"}, false},  // the shell's single image
      {{"-e", "a", "o", "-desttype=PNG"}, false},
      {{"-e", "a", "o", "-desttype=bmp", "-allsizes"}, false},
      {{"-e", "a", "o", "-desttype=jpg", "-size=16"}, false},
      {{"-e", "a", "o", "-desttype=emf", "-allsizes"}, false},
      {{"-e", "a", "o", "-desttype=html", "-allsizes"}, false},
      {{"-e", "a", "o", "-desttype=dbf", "-allsizes"}, false},
      {{"-e", "a", "o", "-allsizes", "-grayscale"}, false},
      {{"-e", "a", "o", "-allsizes", "-alliconsasoneimage"}, false},
      {{"-e", "a", "o", "-allsizes", "-opendestination"}, false},
  };
  for (const Case& c : cases) {
    CliOptions o;
    std::string error;
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    ASSERT_EQ(CliParse::kRun, ParseCliArguments(c.args, &o, &error)) << joined << error;
    EXPECT_EQ(c.available, UnavailableReason(o).empty()) << joined << UnavailableReason(o);
  }
}

}  // namespace
}  // namespace app
