#include "app/export/export_request.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(ExportRequestTest, FromSettingsByType) {
  TExportSettings settings;
  settings.ExpGrayScale = true;
  settings.ExpHTMLPNG = true;
  settings.ExpDBFType = 0;  // icon memos, which are never grey
  settings.ExpDBFFieldName = "PIC";
  struct Case {
    imaging::TExportType type;
    const char* target;
    const char* folder;
    bool gray;
  } cases[] = {
      {imaging::etBitmap, "C:\\out.d", "C:\\out.d", true},
      {imaging::etHTML, "C:\\o\\page.HTML", "C:\\o\\page_files", true},
      {imaging::etDBase, "C:\\o\\t.dbf", "C:\\o", false},
  };
  for (const Case& c : cases) {
    const TExportRequest request = SettingsExportRequest(settings, c.type, c.target, true);
    EXPECT_EQ(request.Type, c.type);
    EXPECT_EQ(request.DestFolder, c.folder) << c.target;
    EXPECT_EQ(request.Target, c.target);
    EXPECT_EQ(request.GrayScale, c.gray) << c.target;
    EXPECT_TRUE(request.Source.empty());  // the file shown
  }
  const TExportRequest html = SettingsExportRequest(settings, imaging::etHTML, "C:\\o\\page.HTML");
  EXPECT_EQ(html.HtmlImageType, imaging::etPNG);
  EXPECT_EQ(html.Extension, ".HTML");
  EXPECT_FALSE(html.AllSizes);
  settings.ExpDBFType = imaging::etJPEG;
  const TExportRequest dbase = SettingsExportRequest(settings, imaging::etDBase, "C:\\o\\t.tbl");
  EXPECT_TRUE(dbase.GrayScale);
  EXPECT_EQ(dbase.MemoType, imaging::etJPEG);
  EXPECT_EQ(dbase.FieldName, "PIC");
}

TEST(ExportRequestTest, FromCommandLinePlan) {
  const ParsedCommandLine cmd = ParseCommandLine(
      {"-e", "a.dll", "C:\\o\\page", "-desttype=HTML", "-htmldesttype=PNG", "-grayscale", "-dbasefieldname=PIC"});
  const BatchPlan plan = PlanBatch(cmd, "C:\\o\\page");
  const TExportRequest request = BatchExportRequest(cmd, plan, "C:\\o\\page", "a.dll");
  EXPECT_EQ(request.Type, imaging::etHTML);
  EXPECT_EQ(request.HtmlImageType, imaging::etPNG);
  EXPECT_EQ(request.Extension, ".html");
  EXPECT_EQ(request.DestFolder, "C:\\o\\page_files");
  EXPECT_EQ(request.Target, "C:\\o\\page");
  EXPECT_EQ(request.Source, "a.dll");
  EXPECT_EQ(request.FieldName, "PIC");
  EXPECT_TRUE(request.GrayScale);
  EXPECT_FALSE(request.DrawBorder);
}

}  // namespace
}  // namespace app
