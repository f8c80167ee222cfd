// The string table holds every language string with its exact text.
#include <gtest/gtest.h>

#include "app/lng_eng.h"
#include "app/lng_eng_win.h"

namespace {

TEST(LanguageStrings, EveryNumberedStringIsInTheTable) {
  struct Row {
    unsigned id;
    const wchar_t* text;
  } rows[] = {
      {65248, L"为 &Icons (*.ico)"},
      {65249, L"为 &位图 (*.bmp)"},
      {65250, L"为 &JPEG 图像 (*.jpg)"},
      {65251, L"为 &Metafiles (*.emf)"},
      {65252, L"为HTML文档 (*.htm, *.html)"},
      {65253, L"为数据库 (*.dbf)"},
      {65254, L"打印失败"},
      {65264, L"文件 '%s' already exists. Do you wish to replace it?"},
      {65265, L"选择保存的图像文件"},
      {65266, L"保存 ICO 为HTML文档"},
      {65267, L"导出为 HTML文件"},
      {65268, L"保存 ICO 到数据库文件"},
      {65269, L"导出到数据库存 5 file"},
      {65270, L"选择保存的目录"},
      {65271, L"选择文件"},
      {65272, L"位图 (*.bmp)|*.bmp|JPEG file (*.jpg;*.jpeg)|*.jpg;*.jpeg|Metafile (*.emf)|*.emf"},
      {65273, L"执行文件 (*.exe)|*.exe|动态链接 (*.dll)|*.dll|ActiveX 文件 (*.ocx)|*.ocx|所有文件 (*.*)|*.*"},
      {65274, L"图标文件 (*.ico)|*.ico"},
      {65275, L"HTML文档 (*.htm, *.html)|*.htm;*.html"},
      {65276, L"数据库文件(*.dbf)|*.dbf"},
      {65277, L"保存选定的图像"},
      {65278, L"保存所有的为一个图像"},
      {65279, L"全部保存"},
      {65280, L"Scale:"},
      {65281, L"&Real size"},
      {65282, L"Fit to &page"},
      {65283, L"最小图标数目:"},
      {65284, L"扫描文件夹:"},
      {65285, L"含有图标的文件 (.dll, .exe, .ocx) :"},
      {65286, L"Include subfolders"},
      {65287, L"保存后打开"},
      {65289, L"Icons exported: %d"},
      {65290, L"Files created: %d"},
      {65291, L"Target file (folder) was not specified."},
      {65292, L"文件 '%s' 不存在"},
      {65293, L"您必须选择一个图标."},
      {65294, L"这个版本一次只能打开一个文件"},
      {65295, L"命令行出错."},
      {65296, L"图边框"},
      {65297, L"Include icon &numbers"},
      {65298, L"Convert images to &gray scale"},
      {65299, L"To skip this window and use current settings, call this function holding CTRL+SHIFT down."},
      {65300, L"Field to store icons"},
      {65301, L"Field type:"},
      {65302, L"Field name:"},
      {65303, L"导出"},
      {65304, L"图标"},
      {65305, L"位图"},
      {65306, L"JPEG"},
      {65307, L"元文件"},
      {65308, L"Printing icon(s)"},
      {65309, L"打印图像:"},
      {65310, L"&图像已满 (all icons of work area)"},
      {65311, L"&选择图像"},
      {65312, L"查找文件所包含的图标 <<"},
      {65313, L"Find folder of current file"},
      {65314, L"从所有文件中提取并保存"},
      {65315, L"选择文件|Select file (CTRL+O)"},
      {65316, L"保存文件(s)"},
      {65317, L"复制图标|Copy icon (CTRL+C)"},
      {65318, L"打印|Print image (CTRL+P)"},
      {65319, L"重载|Refresh (CTRL+R)"},
      {65320, L"帮助|Help (F1)"},
      {65321, L"关于..."},
      {65322, L"|最小图标的数量"},
      {65323, L"扫描文件夹(s)..."},
      {65324, L"(按 ESC 取消)"},
      {65325, L"[失败的]"},
      {65326, L"%s bit(s)"},
      {65327, L"&档目数量"},
      {65333, L"JPEG 图像文件"},
      {65341, L"取消"},
      {65342, L"帮助(&H)"},
      {65343, L"查找文件所包含的图标 >>"},
      {65351, L"当前没有选择默认打印机"},
      {65354, L"Failed to create key %s"},
      {65355, L"为 '%s'设置数据失败"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.text, app::Lang(row.id)) << row.id;
  EXPECT_FALSE(app::Lang(app::sDropFilesHere).empty());
  EXPECT_EQ(L"", app::Lang(65000));  // not in the table
}

TEST(LanguageStrings, PlaceholdersAreFilledNotInterpreted) {
  EXPECT_EQ(L"Icons exported: 42", app::LangFormat(app::sIconsExported, 42));
  // A path with a percent sign goes in as it stands.
  EXPECT_EQ(L"\x6587\x4EF6 'C:\\100%s.dll' \x4E0D\x5B58\x5728", app::LangFormat(app::sFileMissing, "C:\\100%s.dll"));
}

}  // namespace
