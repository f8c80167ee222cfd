// The icon grid in its scrolling host: loading, keys, wheel, clicks,
// selection, scrolling, drawing and dropped files, on generated libraries
// with known icons.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "controls/zu_scroll_box_win.h"
#include "win/win_test_support.h"

namespace {

using controls::TZuImageBox;
using controls::TZuScrollBox;

// Recomputes the colour of icon i of grid_*.dll (tests/fixtures/set_image_box.py).
COLORREF GridIconColour(int i) { return RGB(40 + i * 9, 200 - i * 7, i * 11); }

class ImageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"grid test", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800,
                              600, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    box_.reset();
    DestroyWindow(parent_);
  }

  // A host whose client area is `client_width` wide while its bar shows
  // (bar_width more without it) and `client_height` high.
  void MakeHost(int client_width, int client_height) {
    const int edge = 2 * GetSystemMetrics(SM_CXEDGE);
    box_ = std::make_unique<TZuScrollBox>();
    ASSERT_TRUE(box_->Create(parent_, 0, 0, client_width + GetSystemMetrics(SM_CXVSCROLL) + edge,
                             client_height + 2 * GetSystemMetrics(SM_CYEDGE)));
    box_->OnSelectItem = [this](TZuScrollBox& sender, int index) {
      EXPECT_EQ(&sender, box_.get());
      selected_.push_back(index);
    };
  }

  void Load(const char* fixture) { grid().LoadIcons(testing_support::FixturePath(fixture)); }
  TZuImageBox& grid() { return box_->ImageBox(); }
  void Key(WPARAM vk) { SendMessageW(box_->Handle(), WM_KEYDOWN, vk, 0); }
  void Wheel(int delta) { SendMessageW(box_->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0); }
  void Click(int x, int y) { SendMessageW(grid().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
  int GridTop() {
    RECT r;
    GetWindowRect(grid().Handle(), &r);
    MapWindowPoints(nullptr, box_->Handle(), reinterpret_cast<POINT*>(&r), 2);
    return r.top;
  }

  HWND parent_ = nullptr;
  std::unique_ptr<TZuScrollBox> box_;
  std::vector<int> selected_;
};

TEST_F(ImageBoxTest, LoadLaysOutAndClearsSelection) {
  MakeHost(220, 300);
  EXPECT_EQ(grid().Columns(), 5);  // as the width allows, without icons
  EXPECT_EQ(grid().Height(), 44);  // one row
  Load("grid_23.dll");
  ASSERT_EQ(grid().IconCount(), 23);
  EXPECT_EQ(grid().Columns(), 5);
  EXPECT_EQ(grid().Rows(), 5);
  EXPECT_EQ(grid().Height(), 5 * 42 + 2);
  EXPECT_EQ(grid().Width(), box_->ClientWidth());
  EXPECT_EQ(grid().ItemIndex(), -1);
  grid().SetItemIndex(5);
  Load("grid_20.dll");
  EXPECT_EQ(grid().IconCount(), 20);
  EXPECT_EQ(grid().ItemIndex(), -1);
  grid().SetItemIndex(3);
  Load("no_such_file.dll");
  EXPECT_EQ(grid().ItemIndex(), -1);
  // A missing file holds only the generic icon the shell falls back on.
  EXPECT_EQ(grid().IconCount(), 1);
}

TEST_F(ImageBoxTest, KeysWithNothingSelected) {
  struct Case {
    WPARAM key;
    int selected;  // -1: no selection event
  } cases[] = {{VK_RIGHT, 0}, {VK_DOWN, 4}, {VK_END, 22}, {VK_UP, 0}, {VK_PRIOR, 0}, {VK_LEFT, -1}, {VK_HOME, 0}};
  MakeHost(220, 300);
  for (const Case& c : cases) {
    Load("grid_23.dll");
    selected_.clear();
    Key(c.key);
    if (c.selected < 0) {
      EXPECT_TRUE(selected_.empty()) << c.key;
      EXPECT_EQ(grid().ItemIndex(), -1);
    } else {
      EXPECT_EQ(selected_, std::vector<int>{c.selected}) << c.key;
      EXPECT_EQ(grid().ItemIndex(), c.selected) << c.key;
    }
  }
}

TEST_F(ImageBoxTest, KeysMoveAndClamp) {
  MakeHost(220, 300);
  Load("grid_23.dll");
  grid().SetItemIndex(21);
  selected_.clear();
  Key(VK_DOWN);  // asks for 26, selects the last icon
  EXPECT_EQ(grid().ItemIndex(), 22);
  Key(VK_DOWN);  // already last: no event
  Key(VK_LEFT);
  Key(VK_UP);
  EXPECT_EQ(selected_, (std::vector<int>{22, 21, 16}));
  grid().SetItemIndex(0);
  selected_.clear();
  Key(VK_LEFT);
  Key(VK_UP);
  Key(VK_F5);
  EXPECT_TRUE(selected_.empty());
  EXPECT_TRUE(box_->HandleKeyDown(VK_LEFT)) << "consumed although nothing changes";
  EXPECT_FALSE(box_->HandleKeyDown(VK_F5));
  EXPECT_TRUE(SendMessageW(box_->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS);
}

TEST_F(ImageBoxTest, EmptyGridLetsKeysPass) {
  MakeHost(220, 300);
  EXPECT_FALSE(box_->HandleKeyDown(VK_DOWN));
  EXPECT_FALSE(box_->HandleKeyDown(VK_END));
  EXPECT_FALSE(SendMessageW(box_->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS);
  EXPECT_TRUE(selected_.empty());
}

TEST_F(ImageBoxTest, PageDownAndScrollingInSteps) {
  MakeHost(520, 148);  // three whole rows of 42
  Load("many_icons.dll");
  ASSERT_EQ(grid().IconCount(), 300);
  ASSERT_EQ(grid().Columns(), 12);
  ASSERT_EQ(box_->ClientHeight(), 148);
  EXPECT_EQ(box_->ScrollIncrement(), 42);
  grid().SetItemIndex(0);
  Key(VK_NEXT);
  EXPECT_EQ(grid().ItemIndex(), 36);
  // Row 3's bottom less Offset (162) is below the view: one step of 42.
  EXPECT_EQ(box_->ScrollPosition(), 42);
  EXPECT_EQ(GridTop(), -42);
  grid().SetItemIndex(0);
  EXPECT_EQ(box_->ScrollPosition(), 0);
  // Three rows below the view.
  grid().SetItemIndex(60);
  EXPECT_EQ(box_->ScrollPosition(), 126);
  EXPECT_EQ(GridTop(), -126);
  grid().SetItemIndex(12);
  EXPECT_EQ(box_->ScrollPosition(), 42);
  Key(VK_END);
  EXPECT_EQ(box_->ScrollPosition(), box_->MaxScrollPosition());
  EXPECT_EQ(box_->MaxScrollPosition(), 25 * 42 + 2 - 148);
}

TEST_F(ImageBoxTest, SetItemIndexClampsAndRaisesOneEvent) {
  MakeHost(220, 300);
  Load("grid_20.dll");
  grid().SetItemIndex(1000);
  EXPECT_EQ(selected_, std::vector<int>{19});
  EXPECT_EQ(grid().ItemIndex(), 19);
  grid().SetItemIndex(1000);
  EXPECT_EQ(selected_.size(), 1u);
  grid().SetItemIndex(-5);
  EXPECT_EQ(grid().ItemIndex(), -1);
  EXPECT_EQ(selected_, (std::vector<int>{19, -1}));
}

TEST_F(ImageBoxTest, WheelMovesOneRowWhileFocused) {
  MakeHost(220, 300);
  Load("grid_23.dll");
  grid().SetItemIndex(3);
  Wheel(-120);
  EXPECT_EQ(grid().ItemIndex(), 3) << "the wheel acts only while the host has the focus";
  SetFocus(box_->Handle());
  ASSERT_TRUE(box_->Focused());
  Wheel(-120);
  EXPECT_EQ(grid().ItemIndex(), 8);
  Wheel(-240);
  EXPECT_EQ(grid().ItemIndex(), 13);
  Wheel(120);
  EXPECT_EQ(grid().ItemIndex(), 8);
  Wheel(120);
  Wheel(120);
  EXPECT_EQ(grid().ItemIndex(), 0);
  selected_.clear();
  Wheel(120);
  EXPECT_TRUE(selected_.empty());
}

TEST_F(ImageBoxTest, ClicksSelect) {
  MakeHost(220, 300);
  Load("grid_23.dll");
  struct Case {
    int x, y, selected;
  } cases[] = {
      {10, 10, 0},          {50, 50, 6}, {200, 4 * 42 + 10, 22},  // after the last icon in the last row
      {10, 5 * 42 + 1, 22},                                       // below the last row
      {215, 10, 4},                                               // the strip right of the last column
      {90, 130, 17},
  };
  for (const Case& c : cases) {
    Click(c.x, c.y);
    EXPECT_EQ(grid().ItemIndex(), c.selected) << c.x << "," << c.y;
  }
  EXPECT_TRUE(box_->Focused()) << "a click gives the host the focus";
  int downs = 0;
  box_->OnMouseDown = [&](TZuScrollBox&, gui::MouseButton button, UINT, int x, int y) {
    ++downs;
    EXPECT_EQ(button, gui::MouseButton::kLeft);
    EXPECT_EQ(x, 90);
    EXPECT_EQ(y, 130);
  };
  Click(90, 130);
  EXPECT_EQ(downs, 1);
}

TEST_F(ImageBoxTest, DrawAllIconsUsesTheGridPitch) {
  MakeHost(220, 300);
  Load("grid_23.dll");
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 5 * 42 + 2, 5 * 42 + 2);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 5 * 42 + 2, 5 * 42 + 2};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  grid().DrawAllIcons(dc);
  for (int i : {0, 4, 7, 22}) {
    const int x = 42 * (i % 5) + 6, y = 42 * (i / 5) + 6;
    EXPECT_EQ(GetPixel(dc, x, y), GridIconColour(i)) << i;
    EXPECT_EQ(GetPixel(dc, x + 31, y + 31), GridIconColour(i)) << i;
    EXPECT_EQ(GetPixel(dc, x - 1, y), RGB(255, 255, 255)) << i;
    EXPECT_EQ(GetPixel(dc, x + 32, y + 32), RGB(255, 255, 255)) << i;
  }
  // Nothing after the last icon.
  EXPECT_EQ(GetPixel(dc, 42 * 3 + 20, 42 * 4 + 20), RGB(255, 255, 255));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST_F(ImageBoxTest, PaintsHighlightAndIcons) {
  MakeHost(220, 300);
  Load("grid_23.dll");
  grid().SetItemIndex(7);
  RedrawWindow(grid().Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(grid().Handle());
  const int sx = 42 * 2, sy = 42 * 1;  // cell 7: column 2, row 1
  EXPECT_EQ(GetPixel(dc, sx + 3, sy + 3), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(GetPixel(dc, sx + 20, sy + 20), GridIconColour(7));
  EXPECT_EQ(GetPixel(dc, 3, 3), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(dc, 20, 20), GridIconColour(0));
  // Moving the selection repaints the old cell without the highlight.
  grid().SetItemIndex(8);
  EXPECT_EQ(GetPixel(dc, sx + 3, sy + 3), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(dc, sx + 42 + 3, sy + 3), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(GetPixel(dc, sx + 20, sy + 20), GridIconColour(7));
  ReleaseDC(grid().Handle(), dc);
}

// A drop handle made in this process, as the shell makes it.
HDROP MakeDrop(const std::vector<std::string>& names, POINT point) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& n : names) size += n.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = point;
  drop->fNC = FALSE;
  drop->fWide = FALSE;
  char* p = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
  for (const std::string& n : names) {
    std::memcpy(p, n.c_str(), n.size() + 1);
    p += n.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST_F(ImageBoxTest, DroppedFilesReachTheHandlerInOrder) {
  MakeHost(220, 300);
  std::vector<std::string> got;
  POINT at{-1, -1};
  box_->SetOnDropFiles([&](TZuScrollBox&, int x, int y, const std::vector<std::string>& files) {
    got = files;
    at = POINT{x, y};
  });
  EXPECT_TRUE(GetWindowLongW(box_->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  const std::string long_name = "C:\\" + std::string(300, 'x') + ".dll";
  const std::vector<std::string> names = {"C:\\b.dll", "C:\\a.exe", long_name};
  SendMessageW(box_->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(names, POINT{17, 33})), 0);
  EXPECT_EQ(got, names);
  EXPECT_EQ(at.x, 17);
  EXPECT_EQ(at.y, 33);
  // The drop handle goes back to the shell once the handler is done.
  HDROP drop = MakeDrop({"C:\\c.dll"}, POINT{1, 2});
  SendMessageW(box_->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  EXPECT_EQ(got, std::vector<std::string>{"C:\\c.dll"});
  EXPECT_EQ(GlobalSize(drop), 0u) << "the drop handle was not released";
  box_->SetOnDropFiles(nullptr);
  EXPECT_FALSE(GetWindowLongW(box_->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

}  // namespace
