// Arithmetic of the 3-D label (Tzu3DLabel): the text it draws, the copies
// of the text for each style and their colours, and the gradient bands that
// fill the letter shapes of the combined styles.
//
// Plain styles draw the text up to three times through the usual text
// output. Combined styles write the text into a path, clip to it and fill
// the clip with horizontal bands lightened towards the top and darkened
// towards the bottom; tsCombi4 first writes a highlight copy outside the path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace controls {

enum TTextStyle { tsNone, tsRaised, tsSunken, tsCombi1, tsCombi2, tsCombi3, tsCombi4 };

// The colour of one copy of the text.
enum class TLabelColor { kFont, kButtonShadow, kButtonHighlight, kGrayText };

// One copy of the text, moved by (Dx, Dy) from the label's text rectangle.
struct TTextPass {
  int Dx = 0;
  int Dy = 0;
  TLabelColor Color = TLabelColor::kFont;
};

// The text the label draws or measures: the caption cut to 255 bytes
// (never inside a double-byte character); a measurement of an empty text,
// or of a lone prefix "&", measures one blank so that the label keeps a
// line's height.
std::string LabelText(const std::string& caption, bool measuring, bool show_accel_char);

// Whether this drawing goes through the path: combined styles, not measuring.
bool DrawsThroughPath(TTextStyle style, bool measuring);

// The copies of the text for plain drawing and for every measurement, in
// drawing order: shadow and highlight for the raised and sunken styles, then
// the text itself (grey when the label is disabled).
std::vector<TTextPass> PlainTextPasses(TTextStyle style, bool enabled);

struct TTextPoint {
  int X = 0;
  int Y = 0;
};

// The combined styles' text positions: the highlight copies written before
// the path, then the points written into the path, in order.
struct TPathText {
  std::vector<TTextPoint> Highlight;
  std::vector<TTextPoint> Path;
};

// For the text rectangle's left, top and bottom and the text's height: the
// text is centred vertically at y; the extra copies sit one pixel up-left
// (x - 1, y - 1) and, for tsCombi3, down-right (x + 1, y + 1).
TPathText CombinedTextPoints(TTextStyle style, int left, int top, int bottom, int text_height);

enum class TBandShade { kSolid, kLighten, kDarken };

// One horizontal band of the gradient, filled with the font colour shaded
// by Amount (Solid: the font colour itself).
struct TGradientBand {
  int Top = 0;
  int Height = 0;
  TBandShade Shade = TBandShade::kSolid;
  uint8_t Amount = 0;
};

// The bands that fill the rectangle top .. bottom. Screens of 8 bits per
// pixel or fewer, and labels under 4 pixels high, whose band count would be
// zero, get one solid band over the whole rectangle.
std::vector<TGradientBand> GradientBands(int top, int bottom, int screen_bits_per_pixel);

}  // namespace controls
