#include "imaging/button_face.h"

#include <cmath>

namespace imaging {

using util::TRect;

namespace {

// Windows' numbers of the system colours a face uses.
constexpr int kColorWindowFrame = 6;
constexpr int kColorWindowText = 8;
constexpr int kColorBtnShadow = 16;
constexpr int kColorGrayText = 17;
constexpr int kColorBtnText = 18;
constexpr int kColorBtnHighlight = 20;

FaceOp Outline(TzuBtnForm shape, const TRect& rect, int corner, ColorRole pen) {
  return {FaceOpKind::kOutline, shape, rect, corner, pen};
}

FaceOp EdgeOp(FaceOpKind kind, const TRect& rect) { return {kind, efRect, rect, 0, ColorRole::kBtnShadow}; }

// The rectangle without its last column and row: the inner of the two
// outlines that give a face its light top-left edge.
TRect WithoutLastPixel(const TRect& r) { return {r.left, r.top, r.right - 1, r.bottom - 1}; }

// The glyph frame for the state; frame 1 unless the glyph has a frame for it.
int GlyphFrame(const ButtonFaceParams& p, int count) {
  switch (p.state) {
    case FaceState::kNormal: return (!p.flat && p.focused && count >= 5) ? 5 : 1;
    case FaceState::kDisabled: return count >= 2 ? 2 : 1;
    case FaceState::kPressed: return count >= 4 ? 4 : (count == 3 ? 3 : 1);
    case FaceState::kHot: return count >= 3 ? 3 : 1;
  }
  return 1;
}

void PlanThemed(const ButtonFaceParams& p, ButtonFacePlan& plan) {
  const int w = p.rect.Width(), h = p.rect.Height();
  const bool hot = p.state == FaceState::kHot;
  const bool push_button = p.draw_focus || (h < 32 && !p.flat);
  plan.background = FaceBackground::kThemed;
  plan.theme_class = push_button ? L"button" : L"toolbar";
  if (p.state == FaceState::kPressed) {
    plan.theme_state = 3;
  } else if (p.state == FaceState::kDisabled) {
    plan.theme_state = 4;
  } else if (push_button) {
    // A push button shows hot only when it is large enough to carry a
    // focus rectangle; otherwise it looks defaulted while focused.
    plan.theme_state = (hot && w > 17 && h > 17 && p.draw_focus) ? 2 : (p.focused ? 5 : 1);
  } else {
    // A toolbar button that is not flat always shows its raised face.
    plan.theme_state = (hot || !p.flat) ? 2 : 1;
  }
}

// The classic face by state. Leaves the plan's operations empty for a flat
// face in the normal or disabled state, which gets the plain background.
void PlanClassic(const ButtonFaceParams& p, ButtonFacePlan& plan) {
  const TRect r = p.rect, in1 = r.Inset(1, 1), in2 = r.Inset(2, 2), inner = WithoutLastPixel(r);
  const TzuBtnForm shape = p.shape;
  const int c = plan.corner;
  std::vector<FaceOp>& ops = plan.ops;
  switch (p.state) {
    case FaceState::kNormal:
      if (p.flat) return;
      plan.brush = ColorRole::kFace;
      if (shape == efRect) {
        ops.push_back(EdgeOp(FaceOpKind::kFill, r));
        ops.push_back(EdgeOp(FaceOpKind::kRaisedInner, r));
      } else {
        ops.push_back(Outline(shape, r, c, ColorRole::kBtnShadow));
        ops.push_back(Outline(shape, inner, c, ColorRole::kBtnHighlight));
      }
      plan.region = FaceRegion{shape, in1, c};
      return;
    case FaceState::kDisabled:
      if (p.flat) return;
      plan.brush = ColorRole::kFace;
      ops.push_back(Outline(shape, r, c, ColorRole::kBtnShadow));
      if (shape != efRect) ops.push_back(Outline(shape, inner, c, ColorRole::kBtnHighlight));
      return;
    case FaceState::kPressed:
      plan.brush = ColorRole::kHighlight;
      ops.push_back(Outline(shape, r, c, ColorRole::kWindowFrame));
      if (p.flat) {
        plan.region = FaceRegion{shape, in1, c};
      } else {
        ops.push_back(Outline(shape, in1, c, ColorRole::kBtnShadow));
        plan.region = FaceRegion{shape, in2, c};
      }
      return;
    case FaceState::kHot:
      plan.brush = ColorRole::kHighlight;
      if (shape == efRect) {
        ops.push_back(EdgeOp(FaceOpKind::kFill, r));
        ops.push_back(EdgeOp(p.flat ? FaceOpKind::kRaisedInner : FaceOpKind::kRaised, r));
        plan.region = FaceRegion{shape, p.flat ? in1 : in2, c};
        return;
      }
      if (p.flat) {
        ops.push_back(Outline(shape, r, c, ColorRole::kBtnShadow));
        ops.push_back(Outline(shape, inner, c, ColorRole::kBtnHighlight));
      } else {
        ops.push_back(Outline(shape, r, c, ColorRole::kWindowFrame));
        ops.push_back(Outline(shape, inner, c, ColorRole::kBtnShadow));
        ops.push_back(Outline(shape, in1, c - 1, ColorRole::kBtnHighlight));
      }
      plan.region = FaceRegion{shape, in1, c};
      return;
  }
}

void PlanPlain(const ButtonFaceParams& p, ButtonFacePlan& plan) {
  plan.background = FaceBackground::kPlain;
  plan.brush = ColorRole::kFace;
  // A flat face without a focus rectangle blends into its surroundings.
  const ColorRole pen = (p.flat && !p.draw_focus) ? ColorRole::kFace : ColorRole::kBtnShadow;
  const TzuBtnForm shape = p.shape;
  plan.ops.push_back(Outline(shape, shape == efEllipse ? p.rect.Inset(1, 1) : p.rect, plan.corner, pen));
}

// Nine strips over the region's bounding box, light at the top and dark at
// the bottom (the other way round when pressed), so that the face looks
// curved. Rows count from the top of the canvas.
void PlanBands(const ButtonFaceParams& p, ButtonFacePlan& plan) {
  struct Shade {
    bool lighten;
    uint8_t amount;  // 0: the band is not painted
  };
  static const Shade kRaised[9] = {{true, 36}, {true, 30}, {true, 24}, {true, 18}, {true, 12},
                                   {true, 6},  {true, 0},  {false, 6}, {false, 12}};
  static const Shade kSunken[9] = {{false, 42}, {false, 36}, {false, 30}, {false, 24}, {false, 18},
                                   {false, 12}, {false, 6},  {false, 0},  {true, 6}};
  const bool pressed = p.state == FaceState::kPressed, hot = p.state == FaceState::kHot;
  // The hot face's bands sit one pixel to the right; moving the box down
  // as well changes nothing, because the rows count from the canvas's top.
  const TRect box = hot ? plan.region->rect.Moved(1, 1) : plan.region->rect;
  const int h = box.Height(), q = h / 9;
  plan.band_base = p.state == FaceState::kNormal ? ColorRole::kFace : ColorRole::kHighlight;
  for (int k = 0; k < 9; ++k) {
    const Shade& shade = (pressed ? kSunken : kRaised)[k];
    if (shade.amount == 0) continue;
    int top = k * q, bottom = (k + 1) * q + 1;
    if (k == 8) bottom = h + 1;
    if (k == 2 && !pressed) top = 2 * h / 9;
    if (hot) bottom += 2;
    plan.bands.push_back({k, {box.left, top, box.right, bottom}, shade.lighten, shade.amount});
  }
}

}  // namespace

TColor RoleColor(ColorRole role, const ButtonFaceParams& params, TColor canvas_text) {
  switch (role) {
    case ColorRole::kFace: return params.face_color;
    case ColorRole::kHighlight: return params.highlight_color;
    case ColorRole::kFocusedText: return params.focused_text_color;
    case ColorRole::kCanvasText: return canvas_text;
    case ColorRole::kWhite: return 0xFFFFFF;
    case ColorRole::kBtnShadow: return SystemColor(kColorBtnShadow);
    case ColorRole::kBtnHighlight: return SystemColor(kColorBtnHighlight);
    case ColorRole::kWindowFrame: return SystemColor(kColorWindowFrame);
    case ColorRole::kGrayText: return SystemColor(kColorGrayText);
    case ColorRole::kBtnText: return SystemColor(kColorBtnText);
    case ColorRole::kWindowText: return SystemColor(kColorWindowText);
  }
  return canvas_text;
}

int FaceCorner(int width, int height) { return (width > 20 && height > 20) ? 5 : 3; }

namespace {

// Themed, classic or plain, then the shading bands inside the region.
void PlanBackground(const ButtonFaceParams& p, const FaceEnvironment& env, ButtonFacePlan& plan) {
  const bool themed = p.shadowed && env.themes_active && p.shape != efEllipse;
  if (themed) {
    PlanThemed(p, plan);
  } else {
    PlanClassic(p, plan);
    if (plan.ops.empty()) PlanPlain(p, plan);
  }
  const bool shaded =
      p.shadowed && !themed && p.state != FaceState::kDisabled && !(p.flat && p.state == FaceState::kNormal);
  if (shaded && plan.region) PlanBands(p, plan);
}

// A pressed face's content sits one pixel lower and to the right; the
// drop-down arrow keeps 13 pixels at the right.
TRect WorkingRect(const ButtonFaceParams& p) {
  TRect work = p.state == FaceState::kPressed ? p.rect.Moved(1, 1) : p.rect;
  if (p.drop_down_arrow) work.right -= 13;
  return work;
}

// Where the glyph and the caption go, as the caption and focus steps need it.
struct ContentLayout {
  TRect caption_rect;
  bool beside_glyph = false;  // a caption and a glyph side by side
  int content_width = 0;      // M: what the focus rectangle of an ellipse encloses
};

// Places the glyph, centred alone or beside the caption; a caption too
// wide to leave the glyph room is shortened.
ContentLayout PlanContent(const ButtonFaceParams& p, const FaceEnvironment& env, int count, ButtonFacePlan& plan) {
  const TRect& r = p.rect;
  const TRect& work = plan.working;
  const int W = r.Width(), H = r.Height();
  const auto width_of = [&env](const std::wstring& s) { return env.text_width ? env.text_width(s) : 0; };
  plan.caption = p.caption;
  plan.caption_width = plan.caption.empty() ? 0 : width_of(plan.caption);
  GlyphPlan& glyph = plan.glyph;
  glyph.present = env.glyph_width > 0 && env.glyph_height > 0;
  ContentLayout layout{work, false, plan.caption_width};
  if (!glyph.present) return layout;
  const int w = env.glyph_width / count;
  glyph.frame_width = w;
  glyph.position.y = work.top + H / 2 - env.glyph_height / 2;
  if (plan.caption.empty()) {
    glyph.position.x = work.left + work.Width() / 2 - w / 2;
    layout.content_width = w;
    return layout;
  }
  int m = plan.caption_width + w + 6;
  if (m > W - 19) {
    m = W - 19;
    plan.caption = FitTextToWidth(plan.caption, width_of, W - 22 - w);
    plan.caption_width = width_of(plan.caption);
  }
  if (p.glyph_right) {
    glyph.position.x = work.left + work.Width() / 2 + m / 2 - w;
    layout.caption_rect.right = r.left + W / 2 - m / 2 + plan.caption_width;
  } else {
    glyph.position.x = work.left + work.Width() / 2 - m / 2;
    layout.caption_rect.left = glyph.position.x + w + 6;
  }
  layout.caption_rect.top += 1;
  layout.caption_rect.bottom -= 1;
  layout.beside_glyph = true;
  layout.content_width = m;
  return layout;
}

// The caption's effect passes first, then the caption itself.
void PlanCaption(const ButtonFaceParams& p, const ContentLayout& layout, ButtonFacePlan& plan) {
  if (plan.caption.empty()) return;
  const bool pressed = p.state == FaceState::kPressed, hot = p.state == FaceState::kHot;
  const bool beside_glyph = layout.beside_glyph;
  const TextAlign align = !beside_glyph ? TextAlign::kCenter : (p.glyph_right ? TextAlign::kRight : TextAlign::kLeft);
  const auto pass = [&](const TRect& rect, ColorRole color) {
    // Beside a glyph the caption keeps two pixels away from both ends.
    plan.caption_passes.push_back({beside_glyph ? rect.Inset(2, 0) : rect, color, align});
  };
  TRect caption_rect = layout.caption_rect;
  ColorRole color = ColorRole::kCanvasText;
  if (p.state == FaceState::kDisabled) {
    pass(caption_rect.Moved(1, 1), ColorRole::kWhite);
    color = ColorRole::kGrayText;
  }
  if ((hot || pressed) && p.highlight_mode == 1) {
    color = ColorRole::kBtnHighlight;
    pass(caption_rect.Moved(-1, -1), color);
  } else if ((hot || pressed) && p.highlight_mode == 2) {
    color = ColorRole::kGrayText;
    pass(caption_rect, color);
    if (hot) caption_rect = caption_rect.Moved(-2, -2);
  }
  if (p.focused && p.focus_text)
    color = ColorRole::kFocusedText;
  else if (p.state == FaceState::kNormal)
    color = ColorRole::kWindowText;
  // A right-aligned caption's edge comes from the face's width, not from
  // the working rectangle, so it takes the pressed offset here.
  if (beside_glyph && p.glyph_right && pressed) caption_rect = caption_rect.Moved(1, 0);
  pass(caption_rect, color);
}

// The focus rectangle; an ellipse's is narrowed to its content and
// shortened to where the ellipse is that wide.
void PlanFocus(const ButtonFaceParams& p, int content_width, ButtonFacePlan& plan) {
  if (!p.focused || !p.draw_focus) return;
  const TRect& r = p.rect;
  const int W = r.Width(), H = r.Height();
  TRect focus = r.Inset(3, 3);
  if (p.shape == efEllipse) {
    focus.left = r.left + W / 2 - content_width / 2 - 3;
    focus.right = focus.left + content_width + 6;
    const int a = W / 2, b = content_width / 2, e = H / 2;
    if (a > 0) {
      const double half_chord = std::sqrt(static_cast<double>(a > b ? a * a - b * b : 0));
      const int h_prime = static_cast<int>(std::lround(half_chord * e / a));
      focus.top += e + 1 - h_prime;
      focus.bottom -= e + 1 - h_prime;
    }
  }
  plan.focus = {true, p.state == FaceState::kPressed ? focus.Moved(1, 1) : focus};
}

// The glyph's frame, its shadow and where it lands.
void PlanGlyphFrame(const ButtonFaceParams& p, int count, ButtonFacePlan& plan) {
  GlyphPlan& glyph = plan.glyph;
  if (!glyph.present) return;
  const bool pressed = p.state == FaceState::kPressed, hot = p.state == FaceState::kHot;
  glyph.frame = GlyphFrame(p, count);
  glyph.embossed = count == 1 && p.state == FaceState::kDisabled;
  glyph.shadow = !glyph.embossed && hot && p.highlight_mode == 3;
  glyph.shadow_position = {glyph.position.x + 1, glyph.position.y + 1};
  int d = 0;
  if (pressed && p.highlight_mode != 3 && (p.rect.Width() >= 20 || p.rect.Height() >= 20))
    d = 1;
  else if (hot && p.highlight_mode == 3)
    d = -1;
  glyph.draw_position = {glyph.position.x + d, glyph.position.y + d};
}

// The drop-down arrow: a small triangle right of the working rectangle.
void PlanArrow(const ButtonFaceParams& p, ButtonFacePlan& plan) {
  if (!p.drop_down_arrow) return;
  const TRect& r = p.rect;
  const bool disabled = p.state == FaceState::kDisabled;
  const int m = disabled ? 0 : p.arrow_offset;
  const int x = r.right + m, my = (r.top + r.bottom) / 2 + m;
  plan.arrow.draw = true;
  plan.arrow.color = disabled ? ColorRole::kBtnShadow : ColorRole::kBtnText;
  plan.arrow.points[0] = {x - 10, my - 1};
  plan.arrow.points[1] = {x - 6, my - 1};
  plan.arrow.points[2] = {x - 8, my + 1};
}

}  // namespace

ButtonFacePlan PlanButtonFace(const ButtonFaceParams& p, const FaceEnvironment& env) {
  ButtonFacePlan plan;
  const int count = p.glyph_count < 1 ? 1 : p.glyph_count;
  plan.corner = FaceCorner(p.rect.Width(), p.rect.Height());
  PlanBackground(p, env, plan);
  plan.working = WorkingRect(p);
  const ContentLayout layout = PlanContent(p, env, count, plan);
  PlanCaption(p, layout, plan);
  PlanFocus(p, layout.content_width, plan);
  PlanGlyphFrame(p, count, plan);
  PlanArrow(p, plan);
  return plan;
}

}  // namespace imaging
