// The bitmap helpers bound to GDI: the program's bitmap object, system
// colours, the screen, device contexts and the printer.
#pragma once

#include <windows.h>

#include <string>

#include "imaging/bitmap_win.h"
#include "imaging/export_types.h"
#include "imaging/icon_win.h"
#include "imaging/image_formats.h"
#include "imaging/zu_graphic_utils.h"
#include "util/byte_sink.h"

namespace imaging {

// Grey scale in place; only a 24-bit bitmap is changed.
bool MakeGrayscale(TBitmap& bitmap);

// The screen as a metafile's reference device, as GDI's own recording
// names it: HORZRES x VERTRES pixels, HORZSIZE x VERTSIZE millimetres.
EmfReferenceDevice ScreenReferenceDevice();

// Writes the bitmap as a Windows bitmap (etBitmap and any other type), JPEG
// (etJPEG) or enhanced metafile (etMetafile, made for the screen). A failure is reported, never
// hidden, and leaves an existing file unchanged.
ImageWriteResult SaveBitmapToFile(const TBitmap& bitmap, const std::string& file_name, int export_type,
                                  std::string* error = nullptr);
ImageWriteResult SaveBitmapToStream(const TBitmap& bitmap, util::ByteSink& stream, int export_type,
                                    std::string* error = nullptr);

// Colours of the drawing layer: RGB, or negative for a system colour.
ColorRef ColorToRGB(TColor color);
ColorRef DarkenColor(TColor color, uint8_t amount);
ColorRef LightenColor(TColor color, uint8_t amount);

// Shortens text with "..." to fit max_width pixels in the DC's current font.
std::string FitTextToWidth(const std::string& text, HDC dc, int max_width);

// Draws the bitmap at the top left of the printer's page: mode 0 at its
// size on screen, mode 1 as large as the page allows. Starting and ending
// the document is the caller's. False when GDI refused.
bool PrintBitmap(const TBitmap& bitmap, HDC printer, int mode);

}  // namespace imaging
