#include "imaging/button_face_win.h"

#include "imaging/xp_theme_win.h"
#include "imaging/zu_graphic_utils_win.h"
#include "util/handles_win.h"
#include "util/rect_win.h"

namespace imaging {

namespace {

int TextWidth(HDC dc, const std::wstring& text) {
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return static_cast<int>(size.cx);
}

void DrawShape(HDC dc, TzuBtnForm shape, const RECT& r, int corner) {
  switch (shape) {
    case efRect: Rectangle(dc, r.left, r.top, r.right, r.bottom); return;
    case efRoundRect: RoundRect(dc, r.left, r.top, r.right, r.bottom, corner, corner); return;
    case efEllipse: Ellipse(dc, r.left, r.top, r.right, r.bottom); return;
  }
}

HRGN CreateShapeRegion(const FaceRegion& region) {
  const util::TRect& r = region.rect;
  switch (region.shape) {
    case efRoundRect: return CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, region.corner, region.corner);
    case efEllipse: return CreateEllipticRgn(r.left, r.top, r.right, r.bottom);
    case efRect: break;
  }
  return CreateRectRgn(r.left, r.top, r.right, r.bottom);
}

// One glyph frame copied out of the strip into a bitmap of its own, so that
// it can be handed to DrawState and drawn transparently.
struct GlyphFrame {
  util::UniqueBitmap bitmap;
  int width = 0;
  int height = 0;
  COLORREF transparent = 0;  // the frame's bottom-left pixel
};

GlyphFrame CutFrame(HDC canvas, HBITMAP glyph, int frame, int width, int height) {
  GlyphFrame result;
  util::UniqueMemoryDc source(CreateCompatibleDC(canvas));
  util::UniqueMemoryDc target(CreateCompatibleDC(canvas));
  util::UniqueBitmap bitmap(CreateCompatibleBitmap(canvas, width, height));
  if (!source || !target || !bitmap) return result;
  util::SelectGuard from(source.get(), glyph);
  util::SelectGuard to(target.get(), bitmap.get());
  if (!from.ok() || !to.ok()) return result;
  if (!BitBlt(target.get(), 0, 0, width, height, source.get(), (frame - 1) * width, 0, SRCCOPY)) return result;
  result.transparent = GetPixel(target.get(), 0, height - 1);
  result.bitmap = std::move(bitmap);
  result.width = width;
  result.height = height;
  return result;
}

class FacePainter {
 public:
  FacePainter(HDC dc, const ButtonFaceParams& params)
      : dc_(dc), params_(params), canvas_text_(static_cast<TColor>(GetTextColor(dc) & 0xFFFFFF)) {}

  COLORREF Color(ColorRole role) const { return ColorToRGB(RoleColor(role, params_, canvas_text_)); }

  bool Themed(HWND window, const ButtonFacePlan& plan) const {
    const ThemeApiTable& api = ThemeApi();
    util::UniqueTheme theme(api.OpenThemeData(window, plan.theme_class));
    if (!theme) return false;
    RECT rect = util::ToRECT(params_.rect);
    return SUCCEEDED(api.DrawThemeBackground(theme.get(), dc_, 1, plan.theme_state, &rect, nullptr));
  }

  void Background(const ButtonFacePlan& plan) const {
    util::UniqueBrush brush(CreateSolidBrush(Color(plan.brush)));
    util::SelectGuard keep_brush(dc_, brush.get());
    for (const FaceOp& op : plan.ops) {
      RECT r = util::ToRECT(op.rect);
      switch (op.kind) {
        case FaceOpKind::kOutline: {
          util::UniquePen pen(CreatePen(PS_SOLID, 1, Color(op.pen)));
          util::SelectGuard keep_pen(dc_, pen.get());
          DrawShape(dc_, op.shape, r, op.corner);
          break;
        }
        case FaceOpKind::kFill: FillRect(dc_, &r, brush.get()); break;
        case FaceOpKind::kRaisedInner: DrawEdge(dc_, &r, BDR_RAISEDINNER, BF_RECT); break;
        case FaceOpKind::kRaised: DrawEdge(dc_, &r, EDGE_RAISED, BF_RECT); break;
      }
    }
  }

  void Bands(const ButtonFacePlan& plan) const {
    if (plan.bands.empty() || !plan.region) return;
    util::UniqueRegion region(CreateShapeRegion(*plan.region));
    if (!region) return;
    const TColor base = RoleColor(plan.band_base, params_, canvas_text_);
    for (const ShadingBand& band : plan.bands) {
      const util::TRect& r = band.rect;
      util::UniqueRegion strip(CreateRectRgn(r.left, r.top, r.right, r.bottom));
      if (!strip || CombineRgn(strip.get(), strip.get(), region.get(), RGN_AND) == ERROR) continue;
      util::UniqueBrush brush(
          CreateSolidBrush(band.lighten ? LightenColor(base, band.amount) : DarkenColor(base, band.amount)));
      FillRgn(dc_, strip.get(), brush.get());
    }
  }

  void Caption(const ButtonFacePlan& plan) const {
    for (const CaptionPass& pass : plan.caption_passes) {
      RECT r = util::ToRECT(pass.rect);
      UINT align = pass.align == TextAlign::kLeft ? DT_LEFT : pass.align == TextAlign::kRight ? DT_RIGHT : DT_CENTER;
      SetTextColor(dc_, Color(pass.color));
      DrawTextW(dc_, plan.caption.c_str(), static_cast<int>(plan.caption.size()), &r,
                DT_SINGLELINE | DT_VCENTER | align);
    }
  }

  void Glyph(const ButtonFacePlan& plan, HBITMAP glyph, int glyph_height) const {
    const GlyphPlan& g = plan.glyph;
    GlyphFrame frame = CutFrame(dc_, glyph, g.frame, g.frame_width, glyph_height);
    if (!frame.bitmap) return;
    const LPARAM bitmap = reinterpret_cast<LPARAM>(frame.bitmap.get());
    if (g.embossed) {
      DrawStateA(dc_, nullptr, nullptr, bitmap, 0, g.position.x, g.position.y, frame.width, frame.height,
                 DST_BITMAP | DSS_DISABLED);
      return;
    }
    if (g.shadow) {
      // The mask of the frame: its transparent colour white, everything
      // else black, which DSS_MONO paints in the grey brush.
      util::UniqueBitmap mask(CreateBitmap(frame.width, frame.height, 1, 1, nullptr));
      util::UniqueMemoryDc from(CreateCompatibleDC(dc_));
      util::UniqueMemoryDc to(CreateCompatibleDC(dc_));
      if (mask && from && to) {
        {
          util::SelectGuard select_from(from.get(), frame.bitmap.get());
          util::SelectGuard select_to(to.get(), mask.get());
          SetBkColor(from.get(), frame.transparent);
          BitBlt(to.get(), 0, 0, frame.width, frame.height, from.get(), 0, 0, SRCCOPY);
        }
        DrawStateA(dc_, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)), nullptr, reinterpret_cast<LPARAM>(mask.get()),
                   0, g.shadow_position.x, g.shadow_position.y, frame.width, frame.height, DST_BITMAP | DSS_MONO);
      }
    }
    util::UniqueMemoryDc source(CreateCompatibleDC(dc_));
    util::SelectGuard select(source.get(), frame.bitmap.get());
    if (!select.ok()) return;
    GdiTransparentBlt(dc_, g.draw_position.x, g.draw_position.y, frame.width, frame.height, source.get(), 0, 0,
                      frame.width, frame.height, frame.transparent);
  }

  void Arrow(const ButtonFacePlan& plan) const {
    const COLORREF color = Color(plan.arrow.color);
    util::UniquePen pen(CreatePen(PS_SOLID, 1, color));
    util::UniqueBrush brush(CreateSolidBrush(color));
    util::SelectGuard keep_pen(dc_, pen.get());
    util::SelectGuard keep_brush(dc_, brush.get());
    POINT points[3];
    for (int i = 0; i < 3; ++i) points[i] = {plan.arrow.points[i].x, plan.arrow.points[i].y};
    Polygon(dc_, points, 3);
  }

 private:
  HDC dc_;
  const ButtonFaceParams& params_;
  TColor canvas_text_;
};

// Restores the canvas's text colour and background mode on scope exit.
class TextStateGuard {
 public:
  explicit TextStateGuard(HDC dc) : dc_(dc), color_(GetTextColor(dc)), mode_(GetBkMode(dc)) {}
  ~TextStateGuard() {
    SetTextColor(dc_, color_);
    SetBkMode(dc_, mode_);
  }
  TextStateGuard(const TextStateGuard&) = delete;
  TextStateGuard& operator=(const TextStateGuard&) = delete;

 private:
  HDC dc_;
  COLORREF color_;
  int mode_;
};

}  // namespace

void DrawButtonFace(HDC canvas, HWND window, HBITMAP glyph, const ButtonFaceParams& params) {
  if (!canvas) return;
  FaceEnvironment env;
  env.themes_active = ThemesInUse();
  BITMAP glyph_info{};
  if (glyph && GetObjectW(glyph, sizeof glyph_info, &glyph_info) == sizeof glyph_info) {
    env.glyph_width = glyph_info.bmWidth;
    env.glyph_height = glyph_info.bmHeight < 0 ? -glyph_info.bmHeight : glyph_info.bmHeight;
  }
  env.text_width = [canvas](const std::wstring& text) { return TextWidth(canvas, text); };

  TextStateGuard text_state(canvas);
  FacePainter painter(canvas, params);
  ButtonFacePlan plan = PlanButtonFace(params, env);
  if (plan.background == FaceBackground::kThemed && !painter.Themed(window, plan)) {
    // The theme has nothing for this window or class: the classic look.
    env.themes_active = false;
    plan = PlanButtonFace(params, env);
  }
  if (plan.background != FaceBackground::kThemed) {
    painter.Background(plan);
    painter.Bands(plan);
  }
  SetBkMode(canvas, TRANSPARENT);
  painter.Caption(plan);
  if (plan.focus.draw) {
    RECT focus = util::ToRECT(plan.focus.rect);
    DrawFocusRect(canvas, &focus);
  }
  if (plan.glyph.present) painter.Glyph(plan, glyph, env.glyph_height);
  if (plan.arrow.draw) painter.Arrow(plan);
}

}  // namespace imaging
