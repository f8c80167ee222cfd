// Numbers of the language strings in the program's string table.
#pragma once

namespace app {

enum LangString : unsigned {
  sIconsMenu = 65248,
  sBitmapsMenu = 65249,
  sJpegMenu = 65250,
  sMetafilesMenu = 65251,
  sHtmlMenu = 65252,
  sDbaseMenu = 65253,
  sReplaceQuestion = 65264,
  sSelectImageFile = 65265,
  sSaveAsHtml = 65266,
  sExportHtml = 65267,
  sSaveToDbase = 65268,
  sExportDbase = 65269,
  sSelectFolder = 65270,
  sSelectFile = 65271,
  sImageFilter = 65272,
  sOpenFilter = 65273,
  sIconFilter = 65274,
  sHtmlFilter = 65275,
  sDbaseFilter = 65276,
  sSaveSelected = 65277,
  sSaveAllAsOne = 65278,
  sSaveAll = 65279,
  sScale = 65280,
  sRealSize = 65281,
  sFitToPage = 65282,
  sMinIconCount = 65283,
  sScanFolder = 65284,
  sFilesWithIcons = 65285,
  sIncludeSubfolders = 65286,
  sOpenAfterSave = 65287,
  sDropFilesHere = 65288,
  sIconsExported = 65289,
  sFilesCreated = 65290,
  sTargetMissing = 65291,
  sFileMissing = 65292,
  sSelectAnIcon = 65293,
  sOneFileAtATime = 65294,
  sCommandLineError = 65295,
  sFailed = 65325,
  sBits = 65326,
};

}  // namespace app
