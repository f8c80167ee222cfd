// The export engine: every way of writing icons to disk ends here.
//
// ExportIcons extracts the icons of a source file afresh, one by one, and
// writes one file per icon, or an HTML document with its image folder, or a
// dBase table with its memo file. It runs to its end on the window thread
// without processing messages. Errors that end it (a file that cannot be
// created or written) are raised as gui::Error; what was written before
// stays, the dBase table is completed, and the HTML document is written only
// when the loop ended without an error.
//
// The caller owns the work objects (one bitmap, one icon object) and passes
// them to every call, so that a save-all over many files reuses them; the
// engine hands each extracted icon to the icon object, which destroys the
// previous one.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/export/export_request.h"
#include "controls/icon_shell_win.h"
#include "controls/zu_image_box_win.h"
#include "imaging/bitmap_win.h"
#include "imaging/export_types.h"
#include "imaging/icon_win.h"

namespace app {

struct TExportWork {
  imaging::TBitmap Bitmap;
  imaging::TIcon Icon;
  // Icons of an all-sizes export that were written as a single image
  // because their group could not be read whole; it runs on across the
  // calls of one command, as the count does.
  int SingleImageIcons = 0;
};

// The answers of the overwrite question, in the order of its buttons.
enum class TOverwriteAnswer { kYes, kNo, kNoToAll, kYesToAll };
using TOverwriteQuestion = std::function<TOverwriteAnswer(const std::string& path)>;

// The real question: the dialog of overwrite_dialog_win.h on the main window.
TOverwriteAnswer AskOverwrite(const std::string& path);

// Runs one export. count grows by one for every icon written (skipped icons
// are not counted). grid_icon_count is the number of icons shown, used only
// when request.Source is empty. Outside BatchMode an existing per-icon file
// is replaced only after `ask` said so. shell: the extraction calls (the
// real shell when null).
void ExportIcons(TExportWork& work, int& count, const TExportRequest& request, int grid_icon_count,
                 const TOverwriteQuestion& ask = AskOverwrite, controls::IconShell* shell = nullptr);

// Saves the grid's icon at position as one file of the type (an icon file,
// the icon drawn on white as a bitmap, JPEG or metafile, or its own pixels
// with alpha as PNG, grey when asked); the type's extension is appended to
// a name without one. Raises
// gui::Error when the position holds no icon or the file cannot be written.
void SaveSingleIcon(const controls::TZuImageBox& grid, int position, const std::string& file_name, bool gray_scale,
                    imaging::TExportType type);

// Saves icon `position` of the file shown (CurrentFileName) with its whole
// group as stored, every size and depth: as one icon file (".ico" appended
// to a name without an extension), or as PNG one file for each image, named
// as the export of all icons names them. When the group cannot be read
// whole it saves the grid's icon as SaveSingleIcon does (a PNG grey when
// asked) and returns false. Raises gui::Error when nothing can be written.
bool SaveSingleIconGroup(const controls::TZuImageBox& grid, int position, const std::string& file_name,
                         imaging::TExportType type = imaging::etIcon, bool gray_scale = false);

// The count message of an export: text (the count) and, when some icons of
// an all-sizes export fell back to a single image, a line that says how many.
std::wstring CountMessage(const std::wstring& text, int single_image_icons);

// Saves every icon of the grid, drawn in its current layout, as one picture
// (bitmap, JPEG or metafile by type; PNG keeps every icon's alpha over a
// transparent background).
void SaveCompositeImage(const controls::TZuImageBox& grid, const std::string& file_name, imaging::TExportType type,
                        bool gray_scale);

// The depth code (0..4) of the icon drawn on a white bitmap of its size.
uint8_t GetGraphicColorDepth(const imaging::TIcon& icon);

// Opens F with its associated program; F + "." + hint when F is missing, has
// no extension and that file exists.
void OpenExportedFile(HWND owner, const std::string& file_name, const std::string& hint);

// The icon drawn at (0, 0) on the work bitmap, which is reused when its size
// and format already fit and otherwise made anew; white where the icon is
// transparent, grey when asked. Raises gui::Error when no bitmap can be made.
void DrawIconOnBitmap(imaging::TBitmap& bitmap, const imaging::TIcon& icon, bool gray_scale);

// Raises the error for a file that could not be written.
[[noreturn]] void RaiseWriteError(const std::string& path, const std::string& reason);

// What an icon writer's negative result means, for error messages.
const char* DescribeIconResult(int result);

}  // namespace app
