#include "imaging/zu_graphic_utils_win.h"

namespace imaging {

namespace {

ColorRef LookUpSystemColor(int index) { return GetSysColor(index); }

}  // namespace

bool MakeGrayscale(TBitmap& bitmap) { return MakeGrayscale(bitmap.View()); }

EmfReferenceDevice ScreenReferenceDevice() {
  EmfReferenceDevice device;
  util::WindowDc screen(nullptr);
  if (!screen) return device;
  device.pixels_x = GetDeviceCaps(screen.get(), HORZRES);
  device.pixels_y = GetDeviceCaps(screen.get(), VERTRES);
  device.millimetres_x = GetDeviceCaps(screen.get(), HORZSIZE);
  device.millimetres_y = GetDeviceCaps(screen.get(), VERTSIZE);
  return device;
}

ImageWriteResult SaveBitmapToFile(const TBitmap& bitmap, const std::string& file_name, int export_type,
                                  std::string* error) {
  return SaveBitmapViewToFile(bitmap.View(), file_name, export_type, error,
                              export_type == etMetafile ? ScreenReferenceDevice() : EmfReferenceDevice());
}

ImageWriteResult SaveBitmapToStream(const TBitmap& bitmap, util::ByteSink& stream, int export_type,
                                    std::string* error) {
  return SaveBitmapViewToSink(bitmap.View(), stream, export_type, error,
                              export_type == etMetafile ? ScreenReferenceDevice() : EmfReferenceDevice());
}

ColorRef ColorToRGB(TColor color) { return ColorToRGB(color, LookUpSystemColor); }

ColorRef DarkenColor(TColor color, uint8_t amount) { return DarkenColor(color, amount, LookUpSystemColor); }

ColorRef LightenColor(TColor color, uint8_t amount) { return LightenColor(color, amount, LookUpSystemColor); }

std::string FitTextToWidth(const std::string& text, HDC dc, int max_width) {
  return FitTextToWidth(
      text,
      [dc](const std::string& s) {
        SIZE size{0, 0};
        GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
        return static_cast<int>(size.cx);
      },
      max_width);
}

bool PrintBitmap(const TBitmap& bitmap, HDC printer, int mode) {
  BitmapView view = bitmap.View();
  if (!printer || !view.Valid()) return false;
  PrintGeometry geometry;
  geometry.printer_dpi_x = GetDeviceCaps(printer, LOGPIXELSX);
  geometry.printer_dpi_y = GetDeviceCaps(printer, LOGPIXELSY);
  geometry.page_width = GetDeviceCaps(printer, HORZRES);
  geometry.page_height = GetDeviceCaps(printer, VERTRES);
  {
    util::WindowDc screen(nullptr);
    if (screen) geometry.screen_dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  PrintSize size = ComputePrintSize(view.width, view.height, mode, geometry);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = view.width;
  info.bmiHeader.biHeight = view.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(view.bits_per_pixel);
  info.bmiHeader.biCompression = BI_RGB;
  int lines = StretchDIBits(printer, 0, 0, size.width, size.height, 0, 0, view.width, view.height, view.bits, &info,
                            DIB_RGB_COLORS, SRCCOPY);
  return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

}  // namespace imaging
