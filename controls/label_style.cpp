#include "controls/label_style.h"

#include "util/mbcs.h"

namespace controls {

namespace {

constexpr size_t kMaxLabelText = 255;

bool IsCombined(TTextStyle style) { return static_cast<int>(style) >= static_cast<int>(TTextStyle::tsCombi1); }

}  // namespace

std::string LabelText(const std::string& caption, bool measuring, bool show_accel_char) {
  size_t end = 0;
  while (end < caption.size()) {
    const size_t width = util::IsLeadByte(static_cast<unsigned char>(caption[end])) ? 2 : 1;
    if (end + width > kMaxLabelText) break;
    end += width;
  }
  std::string text = caption.substr(0, end);
  if (measuring && (text.empty() || (show_accel_char && text == "&"))) text = " ";
  return text;
}

bool DrawsThroughPath(TTextStyle style, bool measuring) { return !measuring && IsCombined(style); }

std::vector<TTextPass> PlainTextPasses(TTextStyle style, bool enabled) {
  std::vector<TTextPass> passes;
  if (style == TTextStyle::tsRaised) {
    passes.push_back({1, 1, TLabelColor::kButtonShadow});
    passes.push_back({-1, -1, TLabelColor::kButtonHighlight});
  } else if (style == TTextStyle::tsSunken) {
    passes.push_back({1, 1, TLabelColor::kButtonHighlight});
    passes.push_back({-1, -1, TLabelColor::kButtonShadow});
  }
  passes.push_back({0, 0, enabled ? TLabelColor::kFont : TLabelColor::kGrayText});
  return passes;
}

TPathText CombinedTextPoints(TTextStyle style, int left, int top, int bottom, int text_height) {
  TPathText text;
  const int x = left;
  const int y = (top + bottom) / 2 - text_height / 2;
  const TTextPoint up_left{x - 1, y - 1};
  if (style == TTextStyle::tsCombi4) text.Highlight.push_back(up_left);
  if (style == TTextStyle::tsCombi2 || style == TTextStyle::tsCombi3) text.Path.push_back(up_left);
  if (style == TTextStyle::tsCombi3) text.Path.push_back({x + 1, y + 1});
  text.Path.push_back({x, y});
  return text;
}

// Bands of about four pixels, n + 1 of them so that the last covers the rows
// that the division leaves over. The upper half is lightened by falling
// amounts, the rest darkened by rising ones; only the low byte of an amount
// is kept, as the shading routines take a byte.
std::vector<TGradientBand> GradientBands(int top, int bottom, int screen_bits_per_pixel) {
  const int h = bottom - top;
  const int n = h / 4;
  if (screen_bits_per_pixel <= 8 || n <= 0) {
    return {TGradientBand{top, h > 0 ? h : 0, TBandShade::kSolid, 0}};
  }
  const int step = 500 / n;
  const int band_height = h / n;
  std::vector<TGradientBand> bands;
  for (int j = 0; j <= n; ++j) {
    TGradientBand band;
    band.Top = top + j * band_height;
    band.Height = band_height;
    const bool lighten = j < n / 2;
    band.Shade = lighten ? TBandShade::kLighten : TBandShade::kDarken;
    const int amount = lighten ? ((4 - j) % 256) * step : (j - 4) * step;
    band.Amount = static_cast<uint8_t>(amount);
    bands.push_back(band);
  }
  return bands;
}

}  // namespace controls
