#include "app/export/export_names.h"

#include <gtest/gtest.h>

#include <set>

#include "imaging/export_types.h"
#include "util/mbcs.h"

namespace app {
namespace {

TEST(ExportNamesTest, ExtensionsByType) {
  struct Case {
    int type;
    const char* given;
    const char* per_icon;
    const char* document;
  } cases[] = {
      {imaging::etIcon, "", ".ico", ".ico"},
      {imaging::etBitmap, "", ".bmp", ".bmp"},
      {imaging::etJPEG, "", ".jpg", ".jpg"},
      {imaging::etMetafile, "", ".emf", ".emf"},
      {imaging::etHTML, "", ".jpg", ".htm"},
      {imaging::etDBase, "", "", ".dbf"},
      {7, "", ".ico", ".ico"},
      {-1, "", ".ico", ".ico"},
      {imaging::etHTML, ".HTML", ".jpg", ".html"},
      {imaging::etDBase, ".Tbl", "", ".tbl"},
      {imaging::etPNG, "", ".png", ".png"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PerIconExtension(c.type), c.per_icon) << c.type;
    EXPECT_EQ(DocumentExtension(c.type, c.given), c.document) << c.type << " " << c.given;
  }
}

TEST(ExportNamesTest, PerIconNames) {
  struct Case {
    const char* folder;
    const char* base;
    int index;
    const char* ext;
    const char* expected;
  } cases[] = {
      {"C:\\out", "shell32", 2, ".ico", "C:\\out\\ico_shell320003.ico"},
      {"C:\\out\\", "a", 0, ".bmp", "C:\\out\\ico_a0001.bmp"},
      {"", "a", 11, ".jpg", "ico_a0012.jpg"},
      {"x", "a", 12344, ".emf", "x\\ico_a12345.emf"},
      {"x", "", 9998, ".ico", "x\\ico_9999.ico"},
  };
  for (const Case& c : cases) EXPECT_EQ(PerIconFileName(c.folder, c.base, c.index, c.ext), c.expected);
}

TEST(ExportNamesTest, SingleAndCompositeNames) {
  struct Case {
    const char* name;
    int type;
    const char* single;
    const char* composite;
  } cases[] = {
      {"x", imaging::etIcon, "x.ico", "x.bmp"},
      {"x", imaging::etBitmap, "x.bmp", "x.bmp"},
      {"x", imaging::etJPEG, "x.jpg", "x.jpg"},
      {"x", imaging::etMetafile, "x.emf", "x.emf"},
      {"x", imaging::etHTML, "x.ico", "x.bmp"},
      {"x", 5, "x.ico", "x.bmp"},
      {"x", -1, "x.ico", "x.bmp"},
      {"x.", imaging::etJPEG, "x..jpg", "x..jpg"},
      {"x.", imaging::etIcon, "x..ico", "x..bmp"},
      {"x.png", imaging::etIcon, "x.png", "x.png"},
      {"x", imaging::etPNG, "x.png", "x.png"},
      {"x.ico", imaging::etPNG, "x.ico", "x.ico"},
      {"C:\\a.b\\x", imaging::etBitmap, "C:\\a.b\\x.bmp", "C:\\a.b\\x.bmp"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SingleIconFileName(c.name, c.type), c.single) << c.name << " " << c.type;
    EXPECT_EQ(CompositeImageFileName(c.name, c.type), c.composite) << c.name << " " << c.type;
  }
}

TEST(ExportNamesTest, OpenExportedTakesHintOnlyForMissingBareName) {
  std::set<std::string> files = {"C:\\o\\page.HTML", "C:\\o\\t.dbf", "C:\\o\\t.dbf.DBF"};
  auto exists = [&](const std::string& f) { return files.count(f) > 0; };
  EXPECT_EQ(OpenExportedFileName("C:\\o\\page", "HTML", exists), "C:\\o\\page.HTML");
  EXPECT_EQ(OpenExportedFileName("C:\\o\\page", "", exists), "C:\\o\\page");
  EXPECT_EQ(OpenExportedFileName("C:\\o\\t.dbf", "DBF", exists), "C:\\o\\t.dbf");
  EXPECT_EQ(OpenExportedFileName("C:\\o\\other", "HTML", exists), "C:\\o\\other");
  EXPECT_EQ(OpenExportedFileName("C:\\o\\page.htm", "HTML", exists), "C:\\o\\page.htm");
}

TEST(ExportNamesTest, HtmlTargets) {
  struct Case {
    const char* target;
    const char* extension;
    const char* folder;
    const char* folder_name;
    const char* document;
  } cases[] = {
      {"C:\\o\\page", ".HTML", "C:\\o\\page_files", "page_files", "C:\\o\\page.html"},
      {"C:\\o\\page.htm", ".HTML", "C:\\o\\page_files", "page_files", "C:\\o\\page.html"},
      {"C:\\o\\Icons.HTML", ".HTML", "C:\\o\\Icons_files", "Icons_files", "C:\\o\\Icons.html"},
      {"page", ".htm", "page_files", "page_files", "page.htm"},
      {"C:\\a.b\\page", ".htm", "C:\\a.b\\page_files", "page_files", "C:\\a.b\\page.htm"},
  };
  for (const Case& c : cases) {
    const std::string folder = ExportDestinationFolder(c.target, imaging::etHTML);
    EXPECT_EQ(folder, HtmlImageFolder(c.target));
    EXPECT_EQ(folder, c.folder);
    EXPECT_EQ(HtmlImageFolderName(folder), c.folder_name);
    EXPECT_EQ(HtmlDocumentPath(folder, DocumentExtension(imaging::etHTML, c.extension)), c.document);
  }
}

TEST(ExportNamesTest, DBaseTargets) {
  struct Case {
    const char* target;
    const char* extension;
    const char* table;
    const char* memo;
    const char* memo_name;
  } cases[] = {
      {"icons", ".DBF", "icons.dbf", "icons.dbt", "ICONS"},
      {"icons.tbl", ".DBF", "icons.tbl", "icons.dbt", "ICONS"},
      {"C:\\o\\my_icon_table.dbf", ".dbf", "C:\\o\\my_icon_table.dbf", "C:\\o\\my_icon_table.dbt", "MY_ICON_"},
      {"C:\\icons", "", "C:\\icons.dbf", "C:\\icons.dbt", "ICONS"},
      {"C:\\o\\.dbf", ".dbf", "C:\\o\\.dbf", "C:\\o\\.dbt", ""},
      {"C:\\o\\x.y.dbf", ".dbf", "C:\\o\\x.y.dbf", "C:\\o\\x.y.dbt", "X.Y"},
  };
  for (const Case& c : cases) {
    TDBasePaths paths = DBasePaths(ExportDestinationFolder(c.target, imaging::etDBase), c.target, c.extension);
    EXPECT_EQ(paths.Table, c.table) << c.target;
    EXPECT_EQ(paths.Memo, c.memo) << c.target;
    EXPECT_EQ(DBaseMemoName(paths.Memo), c.memo_name) << c.target;
  }
  EXPECT_EQ(ExportDestinationFolder("C:\\icons", imaging::etDBase), "C:\\");
  EXPECT_EQ(ExportDestinationFolder("C:\\o\\icons", imaging::etDBase), "C:\\o");
  EXPECT_EQ(ExportDestinationFolder("C:\\o\\out", imaging::etBitmap), "C:\\o\\out");
}

TEST(ExportNamesTest, FieldNames) {
  EXPECT_EQ(DBaseFieldName(""), "ICON");
  EXPECT_EQ(DBaseFieldName("MyIcons"), "MyIcons");
  EXPECT_EQ(DBaseFieldName("ABCDEFGHIJ"), "ABCDEFGHIJ");
  EXPECT_EQ(DBaseFieldName("ABCDEFGHIJKLMN"), "ABCDEFGHIJ");
}

// A double-byte code page: the cuts never split a character, and a trail
// byte in 'a'..'z' is not upper-cased.
TEST(ExportNamesTest, DoubleByteNamesStayWhole) {
  util::SetLeadByteTest([](unsigned char b) { return b >= 0x81 && b <= 0xFE; });
  const std::string kanji = "\x82\x61";  // lead byte, trail byte 'a'
  EXPECT_EQ(DBaseFieldName("ABCDEFGHI" + kanji), "ABCDEFGHI");
  EXPECT_EQ(DBaseFieldName("ABCDEFGH" + kanji + "Z"), "ABCDEFGH" + kanji);
  EXPECT_EQ(DBaseMemoName("C:\\" + kanji + "abcdefg.dbt"), kanji + "ABCDEF");
  EXPECT_EQ(DBaseMemoName("C:\\abcdefg" + kanji + ".dbt"), "ABCDEFG");
  util::SetLeadByteTest(nullptr);
}

}  // namespace
TEST(ExportNamesTest, GroupImagePngsAreNamedBySizeAndDepth) {
  EXPECT_EQ("C:\\out\\ico_shell320003_48x48_32.png",
            app::GroupImagePngName("C:\\out\\ico_shell320003.png", 48, 48, 32, 1));
  EXPECT_EQ("C:\\a.b\\ico_x0001_16x16_4_2.png", app::GroupImagePngName("C:\\a.b\\ico_x0001.png", 16, 16, 4, 2));
}

}  // namespace app
