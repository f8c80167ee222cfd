// The face of the program's own buttons, worked out as a plan.
//
// DrawButtonFace (button_face_win.h) paints a whole button face: the
// background (through the theme library, or by hand in a classic 3-D style
// with soft shading bands), the glyph frame that matches the state, the
// caption, the focus rectangle and a drop-down arrow. Every decision and
// every coordinate of that drawing is made here, on plain numbers, so that
// it can be tested without a screen; the Win32 side only carries the plan
// out with GDI. The plan names colours by role, because system colours
// and the colour of the canvas's font are known only to the Win32 side.
//
// Rectangles have their right and bottom edges exclusive, as in GDI.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "imaging/zu_graphic_utils.h"
#include "util/rect.h"

namespace imaging {

// The outline of a face (the buttons' EdgeForm), and of every shape the
// painter draws with it.
enum TzuBtnForm { efRect = 0, efRoundRect = 1, efEllipse = 2 };

// The state a button hands to the face painter.
enum class FaceState { kNormal = 0, kDisabled = 1, kPressed = 2, kHot = 3 };

struct FacePoint {
  int x = 0;
  int y = 0;
  bool operator==(const FacePoint& o) const { return x == o.x && y == o.y; }
};

// What the buttons pass to the painter, in the painter's parameter order.
// The canvas, the window for the theme data and the glyph bitmap are
// Win32 objects and go to DrawButtonFace beside this.
struct ButtonFaceParams {
  uint8_t arrow_offset = 0;  // added to the arrow's position (1 while pressed)
  bool drop_down_arrow = false;
  bool draw_focus = false;   // focus rectangle wanted; also picks the themed push-button look
  bool focus_text = false;   // caption in focused_text_color while focused
  bool shadowed = true;      // shading bands and the themed look allowed
  bool glyph_right = false;  // glyph to the right of the caption
  bool flat = false;
  bool focused = false;
  int highlight_mode = 0;  // 1, 2 or 3: caption and glyph effects when hot or pressed
  TzuBtnForm shape = efRoundRect;
  FaceState state = FaceState::kNormal;
  int glyph_count = 1;  // frames side by side in the glyph, 1..5
  TColor focused_text_color = 0;
  TColor highlight_color = 0;  // face colour when hot or pressed
  TColor face_color = 0;
  util::TRect rect;  // the face: the client rectangle
  std::wstring caption;
};

// Colours by role: the button's own colours, the colour the canvas's font
// had when painting began, white, and six system colours.
enum class ColorRole {
  kFace,
  kHighlight,
  kFocusedText,
  kCanvasText,
  kWhite,
  kBtnShadow,
  kBtnHighlight,
  kWindowFrame,
  kGrayText,
  kBtnText,
  kWindowText,
};

// The role as a colour of the drawing layer: the button's own colours as
// given, system colours as negative values naming their index, the canvas's
// text colour as the caller read it.
TColor RoleColor(ColorRole role, const ButtonFaceParams& params, TColor canvas_text);

// One step of the classic or plain background, drawn with the plan's brush.
enum class FaceOpKind {
  kOutline,      // the shape, filled with the brush and outlined by a one-pixel pen
  kFill,         // the rectangle filled with the brush
  kRaisedInner,  // a raised inner 3-D edge around the rectangle
  kRaised,       // a raised 3-D edge (outer and inner) around the rectangle
};

struct FaceOp {
  FaceOpKind kind = FaceOpKind::kOutline;
  TzuBtnForm shape = efRect;
  util::TRect rect;
  int corner = 0;  // width and height of a round rectangle's corner ellipse
  ColorRole pen = ColorRole::kBtnShadow;
};

struct FaceRegion {
  TzuBtnForm shape = efRect;
  util::TRect rect;
  int corner = 0;
};

// A horizontal strip of the region, rows top to bottom - 1, filled with the
// band base colour lightened or darkened by amount.
struct ShadingBand {
  int index = 0;  // 0..8 from the top
  util::TRect rect;
  bool lighten = false;
  uint8_t amount = 0;
};

enum class FaceBackground { kThemed, kClassic, kPlain };

enum class TextAlign { kCenter, kLeft, kRight };

// One drawing of the caption: single line, vertically centred, transparent.
struct CaptionPass {
  util::TRect rect;
  ColorRole color = ColorRole::kCanvasText;
  TextAlign align = TextAlign::kCenter;
};

struct GlyphPlan {
  bool present = false;
  int frame_width = 0;    // w: the glyph's width divided by its frame count
  int frame = 1;          // 1-based frame number
  FacePoint position;     // where the layout put the glyph
  bool embossed = false;  // single-frame glyph of a disabled face: the system's disabled look
  bool shadow = false;    // hot with highlight mode 3: grey mask one pixel down and right
  FacePoint shadow_position;
  FacePoint draw_position;  // position moved by d
};

struct FocusPlan {
  bool draw = false;
  util::TRect rect;
};

struct ArrowPlan {
  bool draw = false;
  ColorRole color = ColorRole::kBtnText;  // pen and brush
  FacePoint points[3];
};

struct ButtonFacePlan {
  int corner = 3;  // c
  FaceBackground background = FaceBackground::kClassic;

  // The themed background: theme class, part 1, this state.
  const wchar_t* theme_class = L"";
  int theme_state = 1;

  // Classic or plain background: the brush and the shapes in drawing order.
  ColorRole brush = ColorRole::kFace;
  std::vector<FaceOp> ops;
  std::optional<FaceRegion> region;

  // Shading bands inside the region, in painting order (later bands paint
  // over the rows they share with earlier ones).
  ColorRole band_base = ColorRole::kFace;
  std::vector<ShadingBand> bands;

  // The working rectangle after the pressed offset and the arrow's room.
  util::TRect working;

  std::wstring caption;   // as drawn: shortened when a glyph left too little room
  int caption_width = 0;  // text width of the caption as drawn
  std::vector<CaptionPass> caption_passes;

  GlyphPlan glyph;
  FocusPlan focus;
  ArrowPlan arrow;
};

// What the Win32 side knows and the plan needs: whether visual styles are
// in use (the theme library's table is complete and a theme is active),
// the glyph's size in pixels (0 x 0 without a glyph) and the width of a
// text in the canvas's font.
struct FaceEnvironment {
  bool themes_active = false;
  int glyph_width = 0;
  int glyph_height = 0;
  std::function<int(const std::wstring&)> text_width;
};

// The corner size of rounded faces: 5 when both sides exceed 20 pixels, else 3.
int FaceCorner(int width, int height);

ButtonFacePlan PlanButtonFace(const ButtonFaceParams& params, const FaceEnvironment& environment);

}  // namespace imaging
