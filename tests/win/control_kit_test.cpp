// The control kit on real windows: the wiring of the glyph buttons, the
// splitter and the 3-D label to their host, their models and the face
// painter. The models' rules are tested natively; the faces' pixels in
// button_face_test.
#include <gtest/gtest.h>

#include <vector>

#include "controls/zu_button_win.h"
#include "controls/zu_ctrl_win.h"
#include "gui/application.h"
#include "gui/form.h"
#include "gui/panel.h"

namespace {

class Host : public gui::TForm {
 public:
  Host() {
    CreateForm(L"TamselKitHost", L"Kit", 0, 0, 400, 300);
    Show();
  }
  void Mouse(UINT msg, int x, int y, WPARAM keys = 0) { SendMessageW(Handle(), msg, keys, MAKELPARAM(x, y)); }
  COLORREF Pixel(int x, int y) {
    UpdateWindow(Handle());
    HDC dc = GetDC(Handle());
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(Handle(), dc);
    return color;
  }
  // How many pixels of the area have exactly this colour.
  int Count(const RECT& area, COLORREF color) {
    UpdateWindow(Handle());
    HDC dc = GetDC(Handle());
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) n += GetPixel(dc, x, y) == color;
    ReleaseDC(Handle(), dc);
    return n;
  }
};

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

TEST(ControlKit, SoftButtonClicksOnlyWhenReleasedOverItself) {
  Host host;
  controls::TzuSoftButton button;
  button.SetBounds(10, 10, 75, 25);
  button.SetCaption(L"&Save");
  button.SetParent(&host);
  int clicks = 0;
  button.OnClick = [&](controls::TzuSoftButton&) { ++clicks; };

  host.Mouse(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  host.Mouse(WM_LBUTTONUP, 20, 20);
  EXPECT_EQ(1, clicks);
  host.Mouse(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  host.Mouse(WM_MOUSEMOVE, 200, 200, MK_LBUTTON);
  host.Mouse(WM_LBUTTONUP, 200, 200);
  EXPECT_EQ(1, clicks) << "released outside: no click";
  EXPECT_TRUE(host.DialogChar(L's')) << "the caption's accelerator clicks it";
  EXPECT_EQ(2, clicks);
}

TEST(ControlKit, PopupButtonDropsDownFromItsRightPartUnderItsCorner) {
  Host host;
  controls::TzuPopupButton button;
  button.SetBounds(30, 40, 80, 25);
  button.SetSeparateDropDown(true);
  button.SetParent(&host);
  gui::TPanel drop;
  drop.Create(host.Handle(), 0, 0, 50, 20, 0);
  button.SetDropDownWindow(drop.Handle());
  int clicks = 0;
  button.OnClick = [&](controls::TzuSoftButton&) { ++clicks; };

  host.Mouse(WM_LBUTTONDOWN, 30 + 75, 50, MK_LBUTTON);
  // While the right part is held only it looks pressed: darker than the
  // main part at the same height.
  EXPECT_LT(Brightness(host.Pixel(30 + 74, 43)), Brightness(host.Pixel(30 + 20, 43)));
  host.Mouse(WM_LBUTTONUP, 30 + 75, 50);
  EXPECT_EQ(0, clicks);
  EXPECT_TRUE(IsWindowVisible(drop.Handle()));
  const RECT at = drop.BoundsRect();
  EXPECT_EQ(30, at.left);
  EXPECT_EQ(65, at.top) << "the drop-down opens at the button's bottom-left corner";

  ShowWindow(drop.Handle(), SW_HIDE);
  host.Mouse(WM_LBUTTONDOWN, 40, 50, MK_LBUTTON);
  host.Mouse(WM_LBUTTONUP, 40, 50);
  EXPECT_EQ(1, clicks);
  EXPECT_FALSE(IsWindowVisible(drop.Handle())) << "the main part clicks without dropping down";
}

TEST(ControlKit, PushButtonClicksThroughItsParentAndKeepsItsRegion) {
  Host host;
  controls::TZuButton button;
  ASSERT_TRUE(button.Create(host.Handle(), 7, 10, 10, 75, 25, L"Search"));
  int clicks = 0;
  button.OnClick = [&](controls::TZuButton&) { ++clicks; };
  SendMessageW(button.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(1, clicks);

  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(ERROR, GetWindowRgn(button.Handle(), probe)) << "a rounded button has a window region";
  RECT box;
  GetRgnBox(probe, &box);
  EXPECT_EQ(75, box.right) << "the region covers the whole client width";
  EXPECT_FALSE(PtInRegion(probe, 0, 0)) << "its corners are cut off";
  button.SetEdgeForm(imaging::efRect);
  EXPECT_EQ(ERROR, GetWindowRgn(button.Handle(), probe)) << "a rectangle needs none";
  DeleteObject(probe);
}

class SplitterHost : public Host {
 public:
  SplitterHost() {
    top.Create(Handle(), 0, 0, 400, 100);
    top.SetAlign(gui::TAlign::alTop);
    splitter.SetBounds(0, 100, 400, 6);
    splitter.SetAlign(gui::TAlign::alTop);
    splitter.SetMinSize(50);
    splitter.SetParent(this);
    rest.Create(Handle(), 0, 0, 0, 0);
    rest.SetAlign(gui::TAlign::alClient);
    Realign();
    splitter.OnMoved = [this](controls::TzuSplitter&) { ++moved; };
  }
  int TopHeight() const {
    const RECT r = top.BoundsRect();
    return r.bottom - r.top;
  }
  gui::TPanel top, rest;
  controls::TzuSplitter splitter;
  int moved = 0;
};

TEST(ControlKit, SplitterResizesItsNeighbourWithinTheLimitsAndEscCancels) {
  SplitterHost host;
  host.Mouse(WM_LBUTTONDOWN, 200, 102, MK_LBUTTON);
  host.Mouse(WM_MOUSEMOVE, 200, 132, MK_LBUTTON);
  EXPECT_TRUE(host.splitter.GhostVisible());
  host.Mouse(WM_LBUTTONUP, 200, 132);
  EXPECT_EQ(130, host.TopHeight());
  EXPECT_EQ(2, host.moved) << "applied, then ended";
  const RECT splitter = host.splitter.BoundsRect();
  EXPECT_EQ(130, splitter.top) << "the layout follows the new size";

  host.Mouse(WM_LBUTTONDOWN, 200, 132, MK_LBUTTON);
  host.Mouse(WM_MOUSEMOVE, 200, 2, MK_LBUTTON);
  MSG escape{host.Handle(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
  EXPECT_TRUE(gui::Application().PreTranslate(escape));
  host.Mouse(WM_LBUTTONUP, 200, 2);
  EXPECT_EQ(130, host.TopHeight());
  EXPECT_FALSE(host.splitter.GhostVisible());
  EXPECT_EQ(3, host.moved) << "a cancelled drag reports its end once";

  host.Mouse(WM_LBUTTONDOWN, 200, 132, MK_LBUTTON);
  host.Mouse(WM_MOUSEMOVE, 200, -500, MK_LBUTTON);
  host.Mouse(WM_LBUTTONUP, 200, -500);
  EXPECT_EQ(50, host.TopHeight()) << "not below MinSize";

  // The grip: the first of six dots at (width / 2 + 8, height / 2 - 1).
  const RECT bar = host.splitter.BoundsRect();
  const int a = (bar.right - bar.left) / 2 + 8, b = bar.top + (bar.bottom - bar.top) / 2 - 1;
  EXPECT_EQ(RGB(192, 192, 192), host.Pixel(a, b + 1));
  EXPECT_EQ(RGB(128, 128, 128), host.Pixel(a + 1, b + 1));
  EXPECT_EQ(RGB(255, 255, 255), host.Pixel(a + 2, b + 2));
}

TEST(ControlKit, RaisedLabelDrawsShadowHighlightAndText) {
  Host host;
  HFONT font = CreateFontW(-24, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, L"Tahoma");
  controls::Tzu3DLabel label;
  label.SetBounds(10, 10, 200, 40);
  label.SetFont(font);
  label.SetCaption(L"Tamsel");
  label.SetFontColor(RGB(0, 0, 160));
  label.SetParent(&host);
  const RECT area{10, 10, 210, 50};
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);

  EXPECT_GT(host.Count(area, RGB(0, 0, 160)), 50);
  EXPECT_GT(host.Count(area, shadow), 10);
  label.SetTextStyle(controls::TTextStyle::tsNone);
  EXPECT_EQ(0, host.Count(area, shadow));
  label.SetEnabled(false);
  EXPECT_EQ(0, host.Count(area, RGB(0, 0, 160)));
  EXPECT_GT(host.Count(area, GetSysColor(COLOR_GRAYTEXT)), 50) << "a disabled label is grey";
  label.SetParent(nullptr);
  DeleteObject(font);
}

}  // namespace
