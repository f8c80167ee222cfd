#include "app/cli/cli_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace app {
namespace {

using Args = std::vector<std::string>;

// The parsed options in one line, so that each case reads as one.
std::string Describe(const CliOptions& o) {
  std::string text = o.sources_from_stdin ? "stdin" : "";
  for (const std::string& source : o.sources) text += source + ",";
  return text + " -> " + o.target + " index " + std::to_string(o.command.icon_index) + " size " +
         std::to_string(o.size) + " jobs " + std::to_string(o.jobs) + " type " + std::to_string(o.export_type) +
         (o.command.all_sizes ? " all" : "") + (o.command.gray_scale ? " grey" : "") + " columns " +
         std::to_string(o.html_columns);
}

TEST(ParseCliArguments, SourcesTargetAndSwitches) {
  struct Case {
    Args args;
    const char* parsed;
  } cases[] = {
      {{"-e", "a.dll", "out"}, "a.dll, -> out index 1 size 0 jobs 0 type 0 columns 0"},
      {{"-e", "a.dll", "/b/c.exe", "d.ico", "/tmp/out", "-allsizes", "-iconindex=0"},
       "a.dll,/b/c.exe,d.ico, -> /tmp/out index 0 size 0 jobs 0 type 0 all columns 0"},
      {{"-E", "-", "out", "-DestType=png", "-size=48"}, "stdin -> out index 1 size 48 jobs 0 type 4 columns 0"},
      {{"-j", "3", "-e", "a", "b", "out"}, "a,b, -> out index 1 size 0 jobs 3 type 0 columns 0"},
      {{"-e", "a", "out", "-j7"}, "a, -> out index 1 size 0 jobs 7 type 0 columns 0"},
      // The type from the target's extension; the first -desttype= wins; an
      // unknown word is ICO.
      {{"-e", "a", "out.png"}, "a, -> out.png index 1 size 0 jobs 0 type 4 columns 0"},
      {{"-e", "a", "o", "-desttype=png", "-desttype=ico"}, "a, -> o index 1 size 0 jobs 0 type 4 columns 0"},
      {{"-e", "a", "o", "-desttype=xyz"}, "a, -> o index 1 size 0 jobs 0 type 0 columns 0"},
      // Switches of the HTML page and the dBase table pass.
      // The window program's own switches go to its parser.
      {{"-e", "a", "o", "-closewhendone", "-GrayScale", "-dbasefieldname=X", "-htmldesttype=png"},
       "a, -> o index 1 size 0 jobs 0 type 0 grey columns 0"},
      {{"-e", "a", "o.htm", "-htmlcolumns=3"}, "a, -> o.htm index 1 size 0 jobs 0 type 11 columns 3"},
  };
  for (const Case& c : cases) {
    CliOptions o;
    std::string error;
    ASSERT_EQ(CliParse::kRun, ParseCliArguments(c.args, &o, &error)) << c.parsed << ": " << error;
    EXPECT_EQ(c.parsed, Describe(o));
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
      {"-e", "a", "out", "-htmlcolumns=0"},
      {"-e", "a", "out", "-desttype=bmp", "-size=32"},  // -size= picks an image to keep, not to draw
      {"-e", "a", "b", "t.dbf"},                        // one table holds one source
      {"-e", "a", "b", "t", "-desttype=html"},
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

TEST(UnavailableReason, OnlyWhatWindowsAloneDraws) {
  struct Case {
    Args args;
    bool available;
  } cases[] = {
      {{"-e", "a", "o"}, true},
      {{"-e", "a", "o", "-desttype=bmp", "-grayscale"}, true},
      {{"-e", "a", "o.htm", "-htmldesttype=png"}, true},
      {{"-e", "a", "o.dbf", "-dbasedesttype=jpg"}, true},
      {{"-e", "a", "o", "-desttype=emf"}, false},
      {{"-e", "a", "o.dbf", "-dbasedesttype=wmf"}, false},
      {{"-e", "a", "o", "-alliconsasoneimage"}, false},
      {{"-e", "a", "o", "-opendestination"}, false},
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

TEST(WindowHtmlColumns, TwelveUntilTheGridScrolls) {
  EXPECT_EQ(12, WindowHtmlColumns(1));
  EXPECT_EQ(12, WindowHtmlColumns(84));  // seven rows fill the view
  EXPECT_EQ(11, WindowHtmlColumns(85));  // an eighth row brings the scroll bar
}

TEST(TargetIsIconFile, OneSourceAndOneIconAsInTheWindowProgram) {
  struct Case {
    Args args;
    size_t sources;
    bool file;
  } cases[] = {
      {{"-e", "a", "o"}, 1, true},
      {{"-e", "a", "o", "-iconindex=3", "-desttype=png"}, 1, true},
      {{"-e", "a", "o", "-size=48"}, 1, true},
      {{"-e", "a", "b", "o"}, 2, false},
      {{"-e", "a", "o", "-iconindex=0"}, 1, false},
      {{"-e", "a", "o.htm"}, 1, false},
  };
  for (const Case& c : cases) {
    CliOptions o;
    std::string error;
    ASSERT_EQ(CliParse::kRun, ParseCliArguments(c.args, &o, &error)) << error;
    EXPECT_EQ(c.file, TargetIsIconFile(o, c.sources)) << c.args.back();
  }
}

}  // namespace
}  // namespace app
