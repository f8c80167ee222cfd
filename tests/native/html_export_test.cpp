#include "app/export/html_export.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/export/export_names.h"

namespace app {
namespace {

std::string Cell(int n, bool numbers, const std::string& folder = "page_files", int w = 32, int h = 32) {
  std::string s = "<TD ALIGN=\"CENTER\"><img src=\"" + folder + "/ico_shell32" + IconNumberText(n) + ".jpg\" width=\"" +
                  std::to_string(w) + "\" height=\"" + std::to_string(h) + "\"ALT=\"" + std::to_string(n) + "\">";
  if (numbers) s += "<BR>" + std::to_string(n);
  return s + "</TD>";
}

const char kFiller[] = "<TD>&nbsp;</TD>";

// Runs the export loop's table part: every icon of 1..total not in `skipped`.
std::string Table(int total, int columns, bool numbers, const std::set<int>& skipped = {}) {
  THtmlTable table(total, columns, numbers, "page_files");
  for (int n = 1; n <= total; ++n)
    if (skipped.count(n) == 0) table.AddCell(n, "ico_shell32" + IconNumberText(n) + ".jpg", 32, 32);
  table.Close();
  return table.Text();
}

TEST(HtmlExportTest, TableRows) {
  const std::string c1 = Cell(1, false), c2 = Cell(2, false), c3 = Cell(3, false), c4 = Cell(4, false),
                    c5 = Cell(5, false), c6 = Cell(6, false), c7 = Cell(7, false), c8 = Cell(8, false);
  const std::string f = kFiller;
  struct Case {
    int total, columns;
    std::set<int> skipped;
    std::string expected;
  } cases[] = {
      // Five icons, four per row: the last row is filled with three fillers.
      {5, 4, {}, "<TR>" + c1 + c2 + c3 + c4 + "</TR><TR>" + c5 + f + f + f + "</TR>"},
      // Eight icons: two full rows, no filler and no "<TR>" after the last "</TR>".
      {8, 4, {}, "<TR>" + c1 + c2 + c3 + c4 + "</TR><TR>" + c5 + c6 + c7 + c8 + "</TR>"},
      // More columns than icons: one row filled up.
      {2, 4, {}, "<TR>" + c1 + c2 + f + f + "</TR>"},
      {3, 1, {}, "<TR>" + c1 + "</TR><TR>" + c2 + "</TR><TR>" + c3 + "</TR>"},
      // A column count of 0 never divides: one per row.
      {2, 0, {}, "<TR>" + c1 + "</TR><TR>" + c2 + "</TR>"},
      // Skipped icons keep the numbers of the others; rows still end at multiples of 4.
      {5, 4, {2}, "<TR>" + c1 + c3 + c4 + "</TR><TR>" + c5 + f + f + f + "</TR>"},
      // Skipping icon 1 still opens the first row.
      {3, 4, {1}, "<TR>" + c2 + c3 + f + f + "</TR>"},
      // Skipping the last icons of a row leaves the last row filled to four cells.
      {8, 4, {8}, "<TR>" + c1 + c2 + c3 + c4 + "</TR><TR>" + c5 + c6 + c7 + f + "</TR>"},
      // No icon written: an empty table, not a row of fillers.
      {0, 4, {}, ""},
      {2, 4, {1, 2}, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Table(c.total, c.columns, false, c.skipped), c.expected) << c.total << "/" << c.columns;
}

TEST(HtmlExportTest, NumbersUnderImages) {
  const std::string text = Table(3, 4, true);
  EXPECT_NE(text.find("ALT=\"3\"><BR>3</TD>"), std::string::npos);
  EXPECT_EQ(text, "<TR>" + Cell(1, true) + Cell(2, true) + Cell(3, true) + kFiller + "</TR>");
  THtmlTable sized(1, 1, false, "Icons_files");
  sized.AddCell(1, "ico_a0001.jpg", 48, 16);
  sized.Close();
  sized.Close();  // closing twice adds nothing
  EXPECT_EQ(
      sized.Text(),
      "<TR><TD ALIGN=\"CENTER\"><img src=\"Icons_files/ico_a0001.jpg\" width=\"48\" height=\"16\"ALT=\"1\"></TD></TR>");
}

TEST(HtmlExportTest, Document) {
  const std::string table = Table(5, 4, true);
  const std::string head =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n<HTML>\r\n<HEAD><TITLE>Icons from "
      "C:\\Windows\\system32\\shell32.dll</TITLE></HEAD>\r\n";
  EXPECT_EQ(HtmlDocument("C:\\Windows\\system32\\shell32.dll", true, table),
            head + "<TABLE BORDER=\"1\">" + table + "</TABLE>\r\n</BODY>\r\n</HTML>");
  EXPECT_EQ(HtmlDocument("C:\\Windows\\system32\\shell32.dll", false, table),
            head + "<TABLE>" + table + "</TABLE>\r\n</BODY>\r\n</HTML>");
  // Bytes above 127 pass unchanged, and nothing is escaped.
  const std::string name = "C:\\\xb1\xea\xcc\xe2&<x>.dll";
  EXPECT_NE(HtmlDocument(name, false, "").find("Icons from " + name + "</TITLE>"), std::string::npos);

  util::MemorySink sink;
  ASSERT_TRUE(WriteHtmlDocument(sink, "a.dll", false, table));
  const std::string doc = HtmlDocument("a.dll", false, table);
  EXPECT_EQ(std::string(sink.bytes().begin(), sink.bytes().end()), doc);
  util::FailingSink full(10);
  EXPECT_FALSE(WriteHtmlDocument(full, "a.dll", false, table));
}

}  // namespace
}  // namespace app
