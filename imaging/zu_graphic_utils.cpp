#include "imaging/zu_graphic_utils.h"

#include "util/mbcs.h"

namespace imaging {

bool MakeGrayscale(BitmapView view) {
  if (view.bits_per_pixel != 24 || !view.Valid()) return false;
  for (int row = 0; row < view.height; ++row) {
    uint8_t* p = view.Row(row);
    for (int x = 0; x < view.width; ++x, p += 3) {
      uint8_t grey = GrayValue(p[2], p[1], p[0]);
      p[0] = p[1] = p[2] = grey;
    }
  }
  return true;
}

ColorRef ColorToRGB(TColor color, const SysColorLookup& sys_color) {
  if (color < 0) return sys_color ? sys_color(color & 0xFF) & 0xFFFFFF : 0;
  return static_cast<ColorRef>(color) & 0xFFFFFF;
}

namespace {

template <typename F>
ColorRef MapChannels(ColorRef rgb, F f) {
  ColorRef r = f(rgb & 0xFF), g = f((rgb >> 8) & 0xFF), b = f((rgb >> 16) & 0xFF);
  return r | (g << 8) | (b << 16);
}

}  // namespace

ColorRef DarkenColor(TColor color, uint8_t amount, const SysColorLookup& sys_color) {
  int d = amount;
  return MapChannels(ColorToRGB(color, sys_color), [d](ColorRef c) -> ColorRef {
    int x = static_cast<int>(c);
    if (x <= d) return 0;
    int v = x - d - x / 100;
    return v < 0 ? 0 : static_cast<ColorRef>(v);
  });
}

ColorRef LightenColor(TColor color, uint8_t amount, const SysColorLookup& sys_color) {
  int d = amount;
  return MapChannels(ColorToRGB(color, sys_color), [d](ColorRef c) -> ColorRef {
    int x = static_cast<int>(c);
    return x < 255 - d ? static_cast<ColorRef>(x + d) : 255;
  });
}

namespace {

// Length of the longest prefix of at most `limit` bytes that ends on a
// character boundary.
size_t WholeCharacterPrefix(const std::string& text, size_t limit) {
  size_t i = 0;
  while (i < limit) {
    size_t step = (util::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    if (i + step > limit) break;
    i += step;
  }
  return i;
}

// The same for UTF-16: a cut between the two halves of a surrogate pair
// keeps neither half.
size_t WholeCharacterPrefix(const std::wstring& text, size_t limit) {
  const bool cuts_pair = limit > 0 && limit < text.size() && text[limit - 1] >= 0xD800 && text[limit - 1] <= 0xDBFF;
  return cuts_pair ? limit - 1 : limit;
}

template <typename String>
String FitText(const String& text, const std::function<int(const String&)>& measure, int max_width,
               const String& ellipsis) {
  String result = text;
  size_t length = text.size();
  size_t i = 1;
  while (i <= length && measure(result) > max_width) {
    ++i;
    size_t keep = length > i ? length - i : 0;
    result = text.substr(0, WholeCharacterPrefix(text, keep)) + ellipsis;
  }
  return result;
}

}  // namespace

std::string FitTextToWidth(const std::string& text, const std::function<int(const std::string&)>& measure,
                           int max_width) {
  return FitText<std::string>(text, measure, max_width, "...");
}

std::wstring FitTextToWidth(const std::wstring& text, const std::function<int(const std::wstring&)>& measure,
                            int max_width) {
  return FitText<std::wstring>(text, measure, max_width, L"...");
}

int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator) {
  if (denominator == 0) return -1;
  int64_t product = static_cast<int64_t>(number) * numerator;
  int64_t half = (denominator < 0 ? -static_cast<int64_t>(denominator) : denominator) / 2;
  bool negative = (product < 0) != (denominator < 0);
  int64_t magnitude = (product < 0 ? -product : product);
  int64_t divisor = denominator < 0 ? -static_cast<int64_t>(denominator) : denominator;
  int64_t q = (magnitude + half) / divisor;
  int64_t result = negative ? -q : q;
  if (result > INT32_MAX || result < INT32_MIN) return -1;
  return static_cast<int32_t>(result);
}

PrintSize ComputePrintSize(int w, int h, int mode, const PrintGeometry& g) {
  PrintSize size;
  if (w <= 0 || h <= 0) return size;
  if (mode == 1) {
    size.width = MulDiv(w, g.page_height, h);
    if (g.page_width > size.width) {
      size.height = g.page_height;
    } else {
      size.width = g.page_width;
      size.height = MulDiv(h, g.page_width, w);
    }
  } else {
    size.width = MulDiv(w, g.printer_dpi_x, g.screen_dpi);
    size.height = MulDiv(h, g.printer_dpi_y, g.screen_dpi);
  }
  return size;
}

}  // namespace imaging
