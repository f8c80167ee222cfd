#include "app/export/command_line.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(NormalizeSwitch, LowerCasesNameKeepsValueAndUnifiesPrefix) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"/E", "-e"},
      {"-E", "-e"},
      {"-e", "-e"},
      {"/CloseWhenDone", "-closewhendone"},
      {"-DestType=Bmp", "-desttype=Bmp"},
      {"/dBaseFieldName=MyIcons", "-dbasefieldname=MyIcons"},
      {"-=ABC", "-=abc"},  // "=" at position 2: the whole argument is lower-cased
      {"-A=B=C", "-a=B=C"},
      {"/", "-"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.out, NormalizeSwitch(c.in)) << c.in;
}

TEST(ParseCommandLine, SwitchesFlagsAndPlainArguments) {
  ParsedCommandLine cmd = ParseCommandLine({"/E", "a.dll", "-CLOSEWHENDONE", "-opendestination", "-AllIconsAsOneImage",
                                            "-grayscale", "-includenumbers", "-drawborders", "out", "", "-unknown"});
  EXPECT_TRUE(cmd.export_requested);
  EXPECT_TRUE(cmd.close_when_done);
  EXPECT_TRUE(cmd.open_destination);
  EXPECT_TRUE(cmd.all_as_one_image);
  EXPECT_TRUE(cmd.gray_scale);
  EXPECT_TRUE(cmd.include_numbers);
  EXPECT_TRUE(cmd.draw_borders);
  // An empty argument is a plain argument too.
  EXPECT_EQ((std::vector<std::string>{"a.dll", "out", ""}), cmd.plain);
  EXPECT_EQ(1, cmd.icon_index);
}

TEST(ParseCommandLine, ExportAliasAndNothingElse) {
  ParsedCommandLine cmd = ParseCommandLine({"-Export"});
  EXPECT_TRUE(cmd.export_requested);
  EXPECT_FALSE(cmd.close_when_done);
  EXPECT_TRUE(cmd.plain.empty());
  // "-ee" and "-e=" are not the export switch.
  EXPECT_FALSE(ParseCommandLine({"-ee"}).export_requested);
  EXPECT_FALSE(ParseCommandLine({"-e="}).export_requested);
}

TEST(ParseCommandLine, ValuedSwitchesFirstWins) {
  ParsedCommandLine cmd = ParseCommandLine({"-DestType= Bmp ", "-desttype=jpg", "-dbasedesttype=jpeg",
                                            "-DBASEDESTTYPE=emf", "-dbasefieldname=MyIcons", "-dbasefieldname=Other"});
  EXPECT_EQ("BMP", cmd.dest_word);
  EXPECT_EQ("JPEG", cmd.memo_type_word);
  EXPECT_EQ("MyIcons", cmd.dbase_field_name);
}

TEST(ParseCommandLine, FieldNameTrimmedAndCutToTenCharacters) {
  EXPECT_EQ("AbcdefGhij", ParseCommandLine({"-dbasefieldname=  AbcdefGhijKLM"}).dbase_field_name);
  EXPECT_EQ("Short", ParseCommandLine({"-dbasefieldname=Short  "}).dbase_field_name);
}

TEST(ParseCommandLine, IconIndexRules) {
  struct Case {
    std::vector<std::string> args;
    int index;
  } cases[] = {
      {{}, 1},                // unset: the first icon
      {{"-iconindex=0"}, 0},  // all icons
      {{"-iconindex=7"}, 7},
      {{"-IconIndex=+7"}, 7},
      {{"-iconindex=-3"}, 1},                   // negative becomes 1
      {{"-iconindex=abc", "-iconindex=4"}, 4},  // invalid is swallowed, a later one still counts
      {{"-iconindex=", "-iconindex=5"}, 5},
      {{"-iconindex=3", "-iconindex=9"}, 3},   // first valid one wins
      {{"-iconindex=-1", "-iconindex=6"}, 6},  // -1 means still unset
      {{"-iconindex=99999999999"}, 1},         // out of range is invalid
      {{"-iconindex=1x"}, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.index, ParseCommandLine(c.args).icon_index) << ::testing::PrintToString(c.args);
}

TEST(ParseCommandLine, OnlyTheFirst24ArgumentsAreExamined) {
  std::vector<std::string> args(24, "x");
  args.push_back("-e");
  args.push_back("-iconindex=5");
  args.insert(args.end(), 4, "y");
  ASSERT_EQ(30u, args.size());
  ParsedCommandLine cmd = ParseCommandLine(args);
  EXPECT_FALSE(cmd.export_requested);
  EXPECT_EQ(1, cmd.icon_index);
  EXPECT_EQ(24u, cmd.plain.size());
  std::string joined = "x";
  for (int i = 1; i < 24; ++i) joined += " x";
  EXPECT_EQ(joined, JoinedSource(args));
}

TEST(JoinedSource, JoinsWithSingleBlanks) {
  EXPECT_EQ("C:\\Program Files\\x\\a.dll", JoinedSource({"C:\\Program", "Files\\x\\a.dll"}));
  EXPECT_EQ("a.dll", JoinedSource({"a.dll"}));
  EXPECT_EQ("", JoinedSource({}));
  EXPECT_EQ("\xd6\xd0\xce\xc4 b", JoinedSource({"\xd6\xd0\xce\xc4", "b"}));
}

TEST(ExportTypeFromWord, TableAndRewrites) {
  struct Case {
    const char* word;
    imaging::TExportType type;
    const char* after;
  } cases[] = {
      {"BMP", imaging::etBitmap, "BMP"},
      {"BITMAP", imaging::etBitmap, "BMP"},
      {"JPEG", imaging::etJPEG, "JPEG"},
      {"JPG", imaging::etJPEG, "JPG"},
      {"EMF", imaging::etMetafile, "EMF"},
      {"WMF", imaging::etMetafile, "WMF"},
      {"METAFILE", imaging::etMetafile, "EMF"},
      {"HTM", imaging::etHTML, "HTM"},
      {"HTML", imaging::etHTML, "HTML"},
      {"DBF", imaging::etDBase, "DBF"},
      {"DBASE", imaging::etDBase, "DBF"},
      {"ICO", imaging::etIcon, "ICO"},
      {"", imaging::etIcon, "ICO"},
      {"PNG", imaging::etPNG, "PNG"},
      {"bmp", imaging::etIcon, "ICO"},
      {"png", imaging::etIcon, "ICO"},
  };
  for (const Case& c : cases) {
    std::string word = c.word;
    EXPECT_EQ(c.type, ExportTypeFromWord(word)) << c.word;
    EXPECT_EQ(c.after, word) << c.word;
  }
}

TEST(MemoTypeFromWord, Table) {
  EXPECT_EQ(1, MemoTypeFromWord("BMP"));
  EXPECT_EQ(1, MemoTypeFromWord("BITMAP"));
  EXPECT_EQ(2, MemoTypeFromWord("JPEG"));
  EXPECT_EQ(2, MemoTypeFromWord("JPG"));
  EXPECT_EQ(3, MemoTypeFromWord("EMF"));
  EXPECT_EQ(3, MemoTypeFromWord("WMF"));
  EXPECT_EQ(3, MemoTypeFromWord("METAFILE"));
  EXPECT_EQ(4, MemoTypeFromWord("PNG"));
  EXPECT_EQ(0, MemoTypeFromWord("ICO"));
  EXPECT_EQ(0, MemoTypeFromWord(""));
}

BatchPlan Plan(std::vector<std::string> args, const std::string& target) {
  return PlanBatch(ParseCommandLine(args), target);
}

TEST(PlanBatch, SingleIconByDefaultTakesTypeFromTargetExtension) {
  BatchPlan p = Plan({"-e"}, "out");
  EXPECT_EQ(BatchAction::kSingleIcon, p.action);
  EXPECT_EQ(imaging::etIcon, p.export_type);
  EXPECT_EQ(1, p.icon_index);
  EXPECT_EQ(".ico", p.extension);

  p = Plan({"-e"}, "C:\\x.jpg");
  EXPECT_EQ(imaging::etJPEG, p.export_type);
  EXPECT_EQ("JPG", p.dest_word);

  p = Plan({"-e"}, "x.png");
  EXPECT_EQ(imaging::etPNG, p.export_type);
  EXPECT_EQ("PNG", p.dest_word);
  EXPECT_EQ(".png", p.extension);

  p = Plan({"-e"}, "x.gif");  // unknown word: icon format under the given name
  EXPECT_EQ(imaging::etIcon, p.export_type);
  EXPECT_EQ("ICO", p.dest_word);

  p = Plan({"-e", "-desttype=bitmap"}, "x.jpg");  // the switch beats the extension
  EXPECT_EQ(imaging::etBitmap, p.export_type);
  EXPECT_EQ(".bmp", p.extension);
}

TEST(PlanBatch, AllIconsGoToTheTargetFolder) {
  BatchPlan p = Plan({"-e", "-iconindex=0"}, "out");
  EXPECT_EQ(BatchAction::kExportIcons, p.action);
  EXPECT_EQ("out", p.dest_folder);
  EXPECT_EQ(".ico", p.extension);
  EXPECT_FALSE(Plan({"-e", "-iconindex=0", "-opendestination"}, "out").open_after);
}

TEST(PlanBatch, HtmlAndDbaseExportEveryIcon) {
  BatchPlan p = Plan({"-e", "-desttype=html", "-iconindex=3", "-opendestination"}, "C:\\o\\page");
  EXPECT_EQ(BatchAction::kExportIcons, p.action);
  EXPECT_EQ(imaging::etHTML, p.export_type);
  EXPECT_EQ(0, p.icon_index);
  EXPECT_EQ("C:\\o\\page_files", p.dest_folder);
  EXPECT_EQ(".html", p.extension);
  EXPECT_TRUE(p.open_after);

  EXPECT_EQ("C:\\o\\page_files", Plan({"-e"}, "C:\\o\\page.htm").dest_folder);

  p = Plan({"-e", "-dbasedesttype=jpg"}, "C:\\o\\icons.dbf");
  EXPECT_EQ(imaging::etDBase, p.export_type);
  EXPECT_EQ(2, p.memo_type);
  EXPECT_EQ("C:\\o", p.dest_folder);
  EXPECT_EQ(".dbf", p.extension);
  EXPECT_EQ("C:\\", Plan({"-e"}, "C:\\icons.dbf").dest_folder);
  EXPECT_EQ("", Plan({"-e", "-desttype=dbase"}, "icons").dest_folder);
}

TEST(PlanBatch, OnlyExportsThatReadTheGridLoadIt) {
  EXPECT_TRUE(Plan({"-e", "-iconindex=3"}, "x.png").needs_grid) << "one icon, from the grid";
  EXPECT_TRUE(Plan({"-e", "-iconindex=3", "-allsizes"}, "x.ico").needs_grid) << "one group, counted by the grid";
  EXPECT_TRUE(Plan({"-e", "-alliconsasoneimage"}, "all.png").needs_grid) << "the grid's layout";
  EXPECT_TRUE(Plan({"-e", "-desttype=html"}, "page.htm").needs_grid) << "the grid's column count";
  for (const char* type : {"-desttype=ico", "-desttype=png", "-desttype=jpg", "-desttype=dbf", "-desttype=emf"})
    EXPECT_FALSE(Plan({"-e", "-iconindex=0", type}, "out").needs_grid) << type;
}

TEST(PlanBatch, OnlyAClosingExportOfEveryIconRunsWithoutTheWindow) {
  const auto windowless = [](std::vector<std::string> args, const std::string& target) {
    const ParsedCommandLine cmd = ParseCommandLine(args);
    return RunsWithoutWindow(cmd, PlanBatch(cmd, target));
  };
  EXPECT_TRUE(windowless({"-e", "-iconindex=0", "-allsizes", "-closewhendone"}, "out"));
  EXPECT_TRUE(windowless({"-e", "-desttype=dbf", "-closewhendone"}, "icons.dbf"));
  EXPECT_FALSE(windowless({"-e", "-iconindex=0"}, "out")) << "the window shows the file afterwards";
  EXPECT_FALSE(windowless({"-iconindex=0", "-closewhendone"}, "out")) << "no export";
  EXPECT_FALSE(windowless({"-e", "-iconindex=2", "-closewhendone"}, "x.ico")) << "one icon, from the grid";
  EXPECT_FALSE(windowless({"-e", "-desttype=html", "-closewhendone"}, "page.htm")) << "the grid's column count";
  EXPECT_FALSE(windowless({"-e", "-desttype=dbf", "-opendestination", "-closewhendone"}, "icons.dbf"))
      << "the table is opened afterwards";
}

TEST(PlanBatch, HtmlImagesAreJpegUnlessPngIsAsked) {
  struct Case {
    std::vector<std::string> args;
    int type;
  } cases[] = {
      {{"-e"}, imaging::etJPEG},
      {{"-e", "-HtmlDestType= png "}, imaging::etPNG},
      {{"-e", "-htmldesttype=jpg"}, imaging::etJPEG},
      {{"-e", "-htmldesttype=bmp", "-htmldesttype=png"}, imaging::etJPEG},  // the first word wins
  };
  for (const Case& c : cases) {
    BatchPlan p = Plan(c.args, "C:\\o\\page.htm");
    EXPECT_EQ(imaging::etHTML, p.export_type);
    EXPECT_EQ(c.type, p.html_image_type) << c.args.back();
  }
}

TEST(PlanBatch, AllAsOneImage) {
  struct Case {
    std::vector<std::string> args;
    std::string target;
    imaging::TExportType type;
  } cases[] = {
      {{"-alliconsasoneimage"}, "all.jpg", imaging::etJPEG},
      {{"-alliconsasoneimage"}, "all.emf", imaging::etMetafile},
      {{"-alliconsasoneimage"}, "all.ico", imaging::etBitmap},
      {{"-alliconsasoneimage"}, "all.xyz", imaging::etBitmap},
      {{"-alliconsasoneimage", "-desttype=html"}, "all", imaging::etHTML},
      {{"-alliconsasoneimage"}, "all.png", imaging::etPNG},
  };
  for (const Case& c : cases) {
    BatchPlan p = Plan(c.args, c.target);
    EXPECT_EQ(c.type, p.export_type) << c.target;
    EXPECT_EQ(BatchAction::kCompositeImage, p.action) << c.target;
    EXPECT_FALSE(p.show_count);
  }
}

// Icon files hold every size of an icon, and PNG files one file per size:
// the switch counts for them alone, one icon or all, and for no other
// picture type or document.
TEST(PlanBatch, AllSizesOnlyForIconAndPngFiles) {
  struct Case {
    std::vector<std::string> args;
    std::string target;
    bool all_sizes;
  } cases[] = {
      {{"-e", "-AllSizes"}, "x.ico", true},
      {{"-e", "/allsizes", "-iconindex=0"}, "out", true},
      {{"-e", "-allsizes", "-iconindex=3"}, "x", true},
      {{"-e", "-iconindex=0"}, "out", false},
      {{"-e", "-allsizes"}, "x.bmp", false},
      {{"-e", "-allsizes", "-desttype=png", "-iconindex=0"}, "out", true},
      {{"-e", "-allsizes", "-desttype=jpg", "-iconindex=0"}, "out", false},
      {{"-e", "-allsizes"}, "page.html", false},
      {{"-e", "-allsizes"}, "icons.dbf", false},
      {{"-e", "-allsizes", "-alliconsasoneimage"}, "all.ico", false},
      {{"-e", "-allsizes=1"}, "x.ico", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.all_sizes, Plan(c.args, c.target).all_sizes) << c.args[1] << " " << c.target;
  }
}

TEST(PlanBatch, CountMessageOnlyWithoutCloseOrComposite) {
  EXPECT_TRUE(Plan({"-e"}, "x.ico").show_count);
  EXPECT_FALSE(Plan({"-e", "-closewhendone"}, "x.ico").show_count);
}

}  // namespace
}  // namespace app
