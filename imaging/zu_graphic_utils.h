// Small graphic routines shared by the exports, printing and the controls:
// grey scale, colour shading, caption shortening and print scaling. The
// Win32 side (zu_graphic_utils_win.h) binds them to GDI objects.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "imaging/pixels.h"

namespace imaging {

// Converts a 24-bit picture to grey in place:
// grey = (77 red + 151 green + 28 blue) div 256. Other formats stay as they are.
// Returns whether the picture was changed.
bool MakeGrayscale(BitmapView view);

// Grey value of one colour by the formula above.
constexpr uint8_t GrayValue(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint8_t>((77u * red + 151u * green + 28u * blue) / 256u);
}

// A colour as the drawing layer passes it: an RGB value (red in the low
// byte) or, when negative, a system colour whose index is the low byte.
using TColor = int32_t;
using ColorRef = uint32_t;  // 0x00BBGGRR
using SysColorLookup = std::function<ColorRef(int index)>;

// The drawing layer's colour for the system colour with this index.
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }

ColorRef ColorToRGB(TColor color, const SysColorLookup& sys_color);

// Each channel x: x - amount - x div 100 when x > amount (never below 0), else 0.
ColorRef DarkenColor(TColor color, uint8_t amount, const SysColorLookup& sys_color);
// Each channel x: x + amount when x < 255 - amount, else 255.
ColorRef LightenColor(TColor color, uint8_t amount, const SysColorLookup& sys_color);

// Shortens text with "..." until measure(result) <= max_width: first the whole
// text, then all but two characters plus "...", then one fewer each time, down
// to "..." alone (returned even when it is still too wide). A cut never splits
// a double-byte character.
std::string FitTextToWidth(const std::string& text, const std::function<int(const std::string&)>& measure,
                           int max_width);
// The same for a wide caption; a cut never splits a surrogate pair.
std::wstring FitTextToWidth(const std::wstring& text, const std::function<int(const std::wstring&)>& measure,
                            int max_width);

// Win32 MulDiv: number * numerator / denominator rounded half away from zero,
// -1 when the denominator is 0 or the result does not fit.
int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator);

struct PrintGeometry {
  int printer_dpi_x = 0;  // LOGPIXELSX of the printer
  int printer_dpi_y = 0;  // LOGPIXELSY of the printer
  int screen_dpi = 96;    // pixels per inch of the screen
  int page_width = 0;     // printable area in printer pixels
  int page_height = 0;
};

struct PrintSize {
  int width = 0;
  int height = 0;
};

// Destination size of a w x h bitmap: mode 0 keeps its size on screen,
// mode 1 fits it to the page keeping the aspect ratio. Other modes act as 0.
PrintSize ComputePrintSize(int w, int h, int mode, const PrintGeometry& geometry);

inline int Max(int a, int b) { return a > b ? a : b; }

}  // namespace imaging
