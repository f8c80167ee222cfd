// Button faces painted by GDI onto a bitmap, checked pixel by pixel, and the
// theme library's loader. Without a ThemeUnit the theme library is not
// loaded and every face has the classic look; Wine 8 does keep a visual
// style active, so one test loads the library to see the themed look.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "imaging/bitmap_win.h"
#include "imaging/button_face_win.h"
#include "imaging/xp_theme_win.h"
#include "imaging/zu_graphic_utils_win.h"

namespace imaging {
namespace {

constexpr COLORREF kFace = RGB(120, 160, 200);
constexpr COLORREF kHighlight = RGB(200, 120, 80);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

ButtonFaceParams Face(int width, int height, FaceState state, TzuBtnForm shape = efRect) {
  ButtonFaceParams p;
  p.rect = {0, 0, width, height};
  p.state = state;
  p.shape = shape;
  p.face_color = kFace;
  p.highlight_color = kHighlight;
  p.shadowed = false;
  return p;
}

// The face painted on a fresh 32-bit picture with black text.
struct Painted {
  TBitmap bitmap;
  Painted(const ButtonFaceParams& p, HBITMAP glyph = nullptr)
      : bitmap(p.rect.Width(), p.rect.Height(), PixelFormat::pf32bit) {
    bitmap.Fill(RGB(1, 2, 3));
    SetTextColor(bitmap.Canvas(), RGB(0, 0, 0));
    DrawButtonFace(bitmap.Canvas(), nullptr, glyph, p);
  }
  COLORREF At(int x, int y) const {
    Pixel32 v = bitmap.PixelAt(x, y);
    return RGB(PixelRed(v), PixelGreen(v), PixelBlue(v));
  }
  // Bounding box of the pixels of one colour inside the face's inner part.
  RECT BoxOf(COLORREF color) const {
    RECT box{bitmap.Width(), bitmap.Height(), -1, -1};
    for (int y = 3; y < bitmap.Height() - 3; ++y)
      for (int x = 3; x < bitmap.Width() - 3; ++x)
        if (At(x, y) == color)
          box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x),
                 std::max<LONG>(box.bottom, y)};
    return box;
  }
  bool Has(COLORREF color) const { return BoxOf(color).right >= 0; }
};

// A strip of 10 x 10 frames on a magenta ground (the transparent colour),
// each with a 2 x 2 mark of its own colour at (4, 3); not selected anywhere.
util::UniqueBitmap MakeGlyph(const std::vector<COLORREF>& marks) {
  const int w = 10 * static_cast<int>(marks.size()), h = 10;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  util::UniqueBitmap glyph(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool mark = x % 10 >= 4 && x % 10 < 6 && y >= 3 && y < 5;
      COLORREF c = mark ? marks[x / 10] : kMagenta;
      pixels[y * w + x] = MakePixel(GetRValue(c), GetGValue(c), GetBValue(c));
    }
  return glyph;
}

TEST(DrawButtonFace, ShadingBandColourInEveryShape) {
  // 27 high: band 3 alone covers row 7, normal (q = 2) and pressed (q = 2).
  for (TzuBtnForm shape : {efRect, efRoundRect, efEllipse}) {
    ButtonFaceParams normal = Face(40, 27, FaceState::kNormal, shape),
                     pressed = Face(40, 27, FaceState::kPressed, shape);
    normal.shadowed = pressed.shadowed = true;
    EXPECT_EQ(LightenColor(kFace, 18), Painted(normal).At(20, 7)) << shape;
    EXPECT_EQ(DarkenColor(kHighlight, 24), Painted(pressed).At(20, 7)) << shape;
  }
}

TEST(DrawButtonFace, ThemedWhereStylesAreInUseExceptEllipses) {
  // Wine 8 keeps a visual style active, so with the theme library loaded
  // the theme paints every face but the elliptic one.
  ThemeUnit unit;
  if (!ThemesInUse()) GTEST_SKIP() << "no visual style active";
  for (TzuBtnForm shape : {efRect, efRoundRect, efEllipse}) {
    ButtonFaceParams p = Face(40, 27, FaceState::kNormal, shape);
    p.shadowed = true;
    const bool classic = LightenColor(kFace, 18) == Painted(p).At(20, 7);
    EXPECT_EQ(shape == efEllipse, classic) << shape;
  }
}

TEST(DrawButtonFace, PressedFaceMovesTheGlyphByTwo) {
  // One pixel with the working rectangle, one more for a face of 20 or more.
  util::UniqueBitmap glyph = MakeGlyph({kRed});
  RECT a = Painted(Face(40, 25, FaceState::kNormal), glyph.get()).BoxOf(kRed);
  RECT b = Painted(Face(40, 25, FaceState::kPressed), glyph.get()).BoxOf(kRed);
  ASSERT_GE(a.right, 0) << "no glyph drawn";
  EXPECT_EQ(a.left + 2, b.left);
  EXPECT_EQ(a.top + 2, b.top);
  EXPECT_EQ(a.right + 2, b.right);
  EXPECT_EQ(a.bottom + 2, b.bottom);
}

TEST(DrawButtonFace, GlyphFrameIsCutOutAndDrawnTransparently) {
  // Disabled with two frames: frame 2 (blue); the magenta ground leaves the face.
  util::UniqueBitmap glyph = MakeGlyph({kRed, kBlue});
  ButtonFaceParams p = Face(30, 30, FaceState::kDisabled);
  p.glyph_count = 2;
  Painted face(p, glyph.get());
  EXPECT_FALSE(face.Has(kMagenta));
  EXPECT_FALSE(face.Has(kRed));
  // The frame sits at 15 - 5 = 10 both ways; its mark at (14, 13).
  EXPECT_EQ(kBlue, face.At(14, 13));
  EXPECT_EQ(kFace, face.At(10, 10));
  EXPECT_EQ(kFace, face.At(19, 19));
}

TEST(DrawButtonFace, DisabledSingleGlyphIsEmbossed) {
  util::UniqueBitmap glyph = MakeGlyph({kRed});
  Painted normal(Face(30, 30, FaceState::kNormal), glyph.get());
  Painted disabled(Face(30, 30, FaceState::kDisabled), glyph.get());
  EXPECT_TRUE(normal.Has(kRed));
  EXPECT_FALSE(disabled.Has(kRed));
  int differing = 0;
  for (int y = 10; y < 20; ++y)
    for (int x = 10; x < 20; ++x) differing += normal.At(x, y) != disabled.At(x, y);
  EXPECT_GT(differing, 0);
  EXPECT_NE(kFace, disabled.At(14, 13)) << "the mark's place shows nothing";
}

TEST(DrawButtonFace, DropDownArrowPixels) {
  struct Case {
    FaceState state;
    uint8_t offset;
    int colour;
    POINT inside, outside;
  } cases[] = {
      {FaceState::kNormal, 0, COLOR_BTNTEXT, {32, 12}, {33, 13}},
      {FaceState::kPressed, 1, COLOR_BTNTEXT, {33, 13}, {30, 11}},
      {FaceState::kDisabled, 1, COLOR_BTNSHADOW, {32, 12}, {33, 13}},
  };
  for (const Case& c : cases) {
    ButtonFaceParams p = Face(40, 25, c.state);
    p.drop_down_arrow = true;
    p.arrow_offset = c.offset;
    Painted face(p);
    EXPECT_EQ(GetSysColor(c.colour), face.At(c.inside.x, c.inside.y)) << static_cast<int>(c.state);
    EXPECT_NE(GetSysColor(c.colour), face.At(c.outside.x, c.outside.y)) << static_cast<int>(c.state);
  }
}

TEST(DrawButtonFace, LeavesNoGdiObjectAndGivesTheCanvasBack) {
  util::UniqueBitmap glyph = MakeGlyph({kRed, kBlue, kRed});
  TBitmap canvas(60, 30, PixelFormat::pf32bit);
  HDC dc = canvas.Canvas();
  SetTextColor(dc, RGB(10, 20, 30));
  SetBkMode(dc, OPAQUE);
  const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
  const long before = util::GdiObjectCount::Live();
  util::GdiObjectCount::ResetPeak();
  for (TzuBtnForm shape : {efRect, efRoundRect, efEllipse})
    for (FaceState state : {FaceState::kNormal, FaceState::kDisabled, FaceState::kPressed, FaceState::kHot}) {
      ButtonFaceParams p = Face(60, 30, state, shape);
      p.shadowed = p.drop_down_arrow = p.focused = p.draw_focus = true;
      p.highlight_mode = 3;
      p.glyph_count = 3;
      p.caption = L"Save";
      DrawButtonFace(dc, nullptr, glyph.get(), p);
    }
  EXPECT_EQ(before, util::GdiObjectCount::Live());
  EXPECT_GT(util::GdiObjectCount::Peak(), before);
  EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN));
  EXPECT_EQ(brush, GetCurrentObject(dc, OBJ_BRUSH));
  EXPECT_EQ(RGB(10, 20, 30), GetTextColor(dc));
  EXPECT_EQ(OPAQUE, GetBkMode(dc));
  // The glyph is still a bitmap and in no device context.
  EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(glyph.get()));
  util::UniqueMemoryDc probe(CreateCompatibleDC(nullptr));
  util::SelectGuard select(probe.get(), glyph.get());
  EXPECT_TRUE(select.ok());
}

TEST(ThemeApi, FirstUnitLoadsAndLastUnloads) {
  ASSERT_EQ(0, ThemeUnit::Count());
  {
    ThemeUnit outer;
    {
      ThemeUnit inner;
      EXPECT_EQ(2, ThemeUnit::Count());
    }
    // Wine's theme library has every entry.
    EXPECT_TRUE(ThemeApiAvailable());
    for (int i = 0; i < kThemeEntryCount; ++i) EXPECT_NE(nullptr, ThemeApi().entries[i]) << kThemeEntryNames[i];
  }
  EXPECT_FALSE(ThemeLibraryLoaded());
  EXPECT_FALSE(ThemeApiAvailable());
  EXPECT_EQ(nullptr, ThemeApi().CloseThemeData);
  EXPECT_FALSE(ThemesInUse());
}

TEST(ThemeApi, MissingEntryIsAnAssertionFailure) {
  // kernel32 has none of the entries: the first one looked up is named.
  try {
    LoadThemeApiFrom("kernel32.dll", true);
    ADD_FAILURE() << "no assertion failure";
  } catch (const ThemeAssertionFailure& e) {
    EXPECT_EQ("OpenThemeData", e.entry());
    EXPECT_STREQ("Assertion failure", e.what());
  }
  EXPECT_FALSE(ThemeApiAvailable());
  UnloadThemeApi();
  // Without the library, or before Windows XP, there is no table and no failure.
  LoadThemeApiFrom("no-such-theme-library.dll", true);
  EXPECT_FALSE(ThemeLibraryLoaded());
  LoadThemeApiFrom("UXTHEME.DLL", false);
  EXPECT_FALSE(ThemeLibraryLoaded());
}

}  // namespace
}  // namespace imaging
