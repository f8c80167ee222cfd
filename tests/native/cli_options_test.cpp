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
  return text + " -> " + o.target + " index " + std::to_string(o.icon_index) + " size " + std::to_string(o.size) +
         " jobs " + std::to_string(o.jobs) + " type " + std::to_string(o.export_type) + (o.all_sizes ? " all" : "");
}

TEST(ParseCliArguments, SourcesTargetAndSwitches) {
  struct Case {
    Args args;
    const char* parsed;
  } cases[] = {
      {{"-e", "a.dll", "out"}, "a.dll, -> out index 1 size 0 jobs 0 type 0"},
      {{"-e", "a.dll", "/b/c.exe", "d.ico", "/tmp/out", "-allsizes", "-iconindex=0"},
       "a.dll,/b/c.exe,d.ico, -> /tmp/out index 0 size 0 jobs 0 type 0 all"},
      {{"-E", "-", "out", "-DestType=png", "-size=48"}, "stdin -> out index 1 size 48 jobs 0 type 4"},
      {{"-j", "3", "-e", "a", "b", "out"}, "a,b, -> out index 1 size 0 jobs 3 type 0"},
      {{"-e", "a", "out", "-j7"}, "a, -> out index 1 size 0 jobs 7 type 0"},
      // The type from the target's extension; the first -desttype= wins; an
      // unknown word is ICO.
      {{"-e", "a", "out.png"}, "a, -> out.png index 1 size 0 jobs 0 type 4"},
      {{"-e", "a", "o", "-desttype=png", "-desttype=ico"}, "a, -> o index 1 size 0 jobs 0 type 4"},
      {{"-e", "a", "o", "-desttype=xyz"}, "a, -> o index 1 size 0 jobs 0 type 0"},
      // Switches of the HTML page and the dBase table pass.
      {{"-e", "a", "o", "-closewhendone", "-includenumbers", "-dbasefieldname=X", "-htmldesttype=png"},
       "a, -> o index 1 size 0 jobs 0 type 0"},
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
