#include "app/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "util/mbcs.h"

namespace app {
namespace {

TValueLookup LookupIn(const std::map<std::string, std::string>& values) {
  return [values](const std::string& name) -> TStoredText {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

TEST(SettingsTest, StoredIntegersAndBooleans) {
  struct Case {
    TStoredText text;
    int as_int;    // with default 42
    bool as_bool;  // with default true
  } cases[] = {
      {std::nullopt, 42, true},
      {"", 42, true},
      {"7", 7, true},
      {"-1", -1, true},
      {"+5", 5, true},
      {"0", 0, false},
      {"00", 0, false},
      {"abc", 42, true},
      {"12x", 42, true},
      {" 5", 42, true},
      {"-", 42, true},
      {"2147483647", 2147483647, true},
      {"2147483648", 42, true},
      {"-2147483648", INT32_MIN, true},
      {"-2147483649", 42, true},
      {"99999999999999999999", 42, true},
  };
  for (const Case& c : cases) {
    const char* shown = c.text ? c.text->c_str() : "(missing)";
    EXPECT_EQ(ReadStoredInt(c.text, 42), c.as_int) << shown;
    EXPECT_EQ(ReadStoredBool(c.text, true), c.as_bool) << shown;
  }
  EXPECT_FALSE(ReadStoredBool(std::string("x"), false));
}

TEST(SettingsTest, RunCountCountsOnAndStopsAtTheLimit) {
  EXPECT_EQ(1, NextRunCount(std::nullopt));
  EXPECT_EQ(1, NextRunCount(std::string("garbage")));
  EXPECT_EQ(8, NextRunCount(std::string("7")));
  EXPECT_EQ(2147483647, NextRunCount(std::string("2147483646")));
  EXPECT_EQ(2147483647, NextRunCount(std::string("2147483647")));
}

TEST(SettingsTest, ExportSettingsReadWithDefaultsAndTypeRule) {
  struct Case {
    const char* dbf_type;
    int expected;
  } cases[] = {{"7", 0}, {"-1", 0}, {"abc", 0}, {"3", 3}, {"1", 1}, {"4", 4}, {"5", 0}};
  for (const Case& c : cases)
    EXPECT_EQ(ReadExportSettings(LookupIn({{"ExpDBFType", c.dbf_type}})).ExpDBFType, c.expected) << c.dbf_type;

  TExportSettings defaults = ReadExportSettings(LookupIn({}));
  EXPECT_TRUE(defaults.OpenAfterSave);
  EXPECT_TRUE(defaults.ExpIncludeNumbers);
  EXPECT_TRUE(defaults.ExpDrawBorder);
  EXPECT_FALSE(defaults.ExpGrayScale);
  EXPECT_FALSE(defaults.ExpHTMLPNG);
  EXPECT_EQ(defaults.ExpDBFFieldName, "ICON");

  TExportSettings changed;
  changed.OpenAfterSave = false;
  changed.ExpIncludeNumbers = false;
  changed.ExpDrawBorder = false;
  changed.ExpGrayScale = true;
  changed.ExpHTMLPNG = true;
  changed.ExpDBFFieldName = "PICTURE";
  changed.ExpDBFType = 2;
  std::map<std::string, std::string> stored;
  for (const TNamedValue& v : ExportSettingsValues(changed)) stored[v.name] = v.text;
  TExportSettings back = ReadExportSettings(LookupIn(stored));
  EXPECT_FALSE(back.OpenAfterSave);
  EXPECT_FALSE(back.ExpIncludeNumbers);
  EXPECT_FALSE(back.ExpDrawBorder);
  EXPECT_TRUE(back.ExpGrayScale);
  EXPECT_TRUE(back.ExpHTMLPNG);
  EXPECT_EQ(back.ExpDBFFieldName, "PICTURE");
  EXPECT_EQ(back.ExpDBFType, 2);
}

TEST(SettingsTest, PaneSizeClamps) {
  struct Case {
    int stored, client, splitter, status, expected;
  } heights[] = {
      {50, 418, 3, 19, 172},  {10000, 418, 3, 19, 224}, {200, 418, 3, 19, 200},
      {172, 418, 3, 19, 172}, {225, 418, 3, 19, 224},
  };
  for (const Case& c : heights)
    EXPECT_EQ(ClampFindPanelHeight(c.stored, c.client, c.splitter, c.status), c.expected) << c.stored;
  struct WidthCase {
    int stored, pane, splitter, expected;
  } widths[] = {{100, 700, 3, 248}, {10000, 700, 3, 449}, {300, 700, 3, 300}};
  for (const WidthCase& c : widths)
    EXPECT_EQ(ClampFilePanelWidth(c.stored, c.pane, c.splitter), c.expected) << c.stored;
}

TEST(SettingsTest, NormalRectTakesMissingCornersFromCurrent) {
  const util::TRect current{10, 20, 610, 420};
  struct Case {
    std::map<std::string, std::string> stored;
    util::TRect expected;
  } cases[] = {
      {{}, current},
      {{{"Left", "100"}, {"Bottom", "900"}}, {100, 20, 610, 900}},
      {{{"Left", "-5"}, {"Top", "x"}, {"Right", "300"}, {"Bottom", "200"}}, {-5, 20, 300, 200}},
      // No area: right not beyond left, or bottom not below top.
      {{{"Left", "700"}}, current},
      {{{"Top", "420"}}, current},
      {{{"Left", "-2147483648"}, {"Right", "2147483647"}}, {INT32_MIN, 20, INT32_MAX, 420}},
  };
  for (const Case& c : cases) {
    util::TRect r = ReadNormalRect(LookupIn(c.stored), current);
    EXPECT_EQ(r.left, c.expected.left);
    EXPECT_EQ(r.top, c.expected.top);
    EXPECT_EQ(r.right, c.expected.right);
    EXPECT_EQ(r.bottom, c.expected.bottom);
  }
}

std::string FileName(int i) { return "C:\\f" + std::to_string(i) + ".dll"; }

TEST(SettingsTest, ARectangleFitsTheScreenOnlyWithinItsSize) {
  EXPECT_TRUE(FitsScreen({10, 10, 1210, 960}, 1280, 1024));
  EXPECT_TRUE(FitsScreen({-5000, 0, -3720, 1024}, 1280, 1024)) << "where it lies is for the monitors to say";
  EXPECT_FALSE(FitsScreen({0, 0, 1281, 100}, 1280, 1024));
  EXPECT_FALSE(FitsScreen({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, 1280, 1024));
  EXPECT_FALSE(FitsScreen({5, 5, 5, 100}, 1280, 1024));
}

TEST(RecentFilesTest, LoadTakesValuesByPositionAndStopsAtTwelve) {
  // In the order Wine enumerates them: sorted by name as text.
  std::vector<TNamedValue> values;
  std::set<std::string> names;
  for (int i = 0; i < 20; ++i) names.insert(std::to_string(i));
  for (const std::string& name : names) values.push_back({name, FileName(std::stoi(name))});
  TRecentFiles recent;
  recent.Load(values, [](const std::string&) { return true; });
  ASSERT_EQ(recent.Paths().size(), 12u);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(recent.Paths()[i], FileName(i));
  EXPECT_EQ(recent.CheckedIndex(), -1);
}

TEST(RecentFilesTest, LoadPassesOverWhatIsNotARecentFile) {
  std::vector<TNamedValue> values = {
      {"3", "C:\\gone.dll"}, {"x", "C:\\named.dll"}, {"-1", "C:\\negative.dll"}, {"2", ""},
      {"1", "C:\\B.DLL"},    {"0", "C:\\b.dll"},     {"5", "C:\\c.dll"},
  };
  TRecentFiles recent;
  recent.Load(values, [](const std::string& path) { return path != "C:\\gone.dll"; });
  EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"C:\\b.dll", "C:\\c.dll"}));
  recent.Load({}, [](const std::string&) { return true; });
  EXPECT_TRUE(recent.Empty());
}

TEST(RecentFilesTest, DevicesAreNoFilesAndALongPrefixNamesTheSameFile) {
  for (const char* device :
       {"CON", "nul", "C:\\x\\COM1", "lpt9.txt", "CONIN$", "conout$", "aux .dll", "\\\\.\\pipe\\x"})
    EXPECT_TRUE(IsDevicePath(device)) << device;
  for (const char* file : {"C:\\console.dll", "COM10", "LPT0", "C:\\CON\\a.dll", "nul1.dll", "C:\\icons.dll"})
    EXPECT_FALSE(IsDevicePath(file)) << file;

  TRecentFiles recent;
  recent.Load({{"0", "NUL"}, {"1", "\\\\?\\Z:\\t\\t1.dll"}, {"2", "z:\\T\\T1.DLL"}, {"3", "C:\\CON.ico"}},
              [](const std::string&) { return true; });
  EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"\\\\?\\Z:\\t\\t1.dll"}));
  recent.Opened("Z:\\t\\t1.dll");
  recent.Opened("CONIN$");
  EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"Z:\\t\\t1.dll"}));
  EXPECT_EQ(recent.CheckedIndex(), -1) << "the device opened is not in the list";
  EXPECT_TRUE(SamePathText("\\\\?\\UNC\\srv\\s\\a.dll", "\\\\SRV\\s\\A.dll"));
}

TEST(RecentFilesTest, OpenedMovesToTopCheckedAndKeepsTwelve) {
  TRecentFiles recent;
  recent.Opened("C:\\Tools\\a.dll");
  recent.Opened("C:\\other.exe");
  recent.Opened("c:\\tools\\A.DLL");
  EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"c:\\tools\\A.DLL", "C:\\other.exe"}));
  EXPECT_EQ(recent.CheckedIndex(), 0);

  TRecentFiles full;
  for (int i = 0; i < 13; ++i) full.Opened(FileName(i));
  ASSERT_EQ(full.Paths().size(), 12u);
  EXPECT_EQ(full.Paths().front(), FileName(12));
  EXPECT_EQ(full.Paths().back(), FileName(1));

  std::vector<TNamedValue> values = full.Values();
  ASSERT_EQ(values.size(), 12u);
  EXPECT_EQ(values[0].name, "0");
  EXPECT_EQ(values[0].text, FileName(12));
  EXPECT_EQ(values[11].name, "11");
  TRecentFiles back;
  back.Load(values, [](const std::string&) { return true; });
  EXPECT_EQ(back.Paths(), full.Paths());
}

TEST(RecentFilesTest, TrailBytesAreNotFoldedWhenComparingPaths) {
  util::SetLeadByteTest([](unsigned char c) { return c >= 0x81 && c <= 0x9F; });
  EXPECT_FALSE(
      SamePathText("C:\\\x81"
                   "a.dll",
                   "C:\\\x81"
                   "A.dll"));
  EXPECT_TRUE(
      SamePathText("C:\\\x81"
                   "ab.dll",
                   "c:\\\x81"
                   "aB.DLL"));
  util::SetLeadByteTest(nullptr);
  EXPECT_TRUE(
      SamePathText("C:\\\x81"
                   "a.dll",
                   "C:\\\x81"
                   "A.dll"));
}

}  // namespace
}  // namespace app
