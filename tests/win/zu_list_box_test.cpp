// The file list box on a real window: its search edit opens, completes,
// selects on Enter and closes, and the owner's row pictures are drawn.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "controls/zu_list_box_win.h"
#include "gui/form.h"
#include "win/window_driver.h"

namespace {

class Host : public gui::TForm {
 public:
  Host() {
    CreateForm(L"TamselListHost", L"List", 0, 0, 300, 240);
    Show();
  }
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

std::wstring EditText(HWND edit) {
  wchar_t buffer[128] = {};
  GetWindowTextW(edit, buffer, 128);
  return buffer;
}

TEST(ZuListBox, TypingOpensACompletingSearchThatSelectsOnEnter) {
  Host host;
  controls::TZuListBox list;
  ASSERT_TRUE(list.Create(host.Handle(), 5, 0, 0, 280, 200));
  for (const char* item : {"shellext.dll", "notepad.exe", "Shell32.dll", "comctl32.dll"}) list.Add(item);
  list.DirectSearch = true;
  int clicks = 0;
  list.OnClick = [&](controls::TZuListBox&) { ++clicks; };

  for (WPARAM ch : {WPARAM(' '), WPARAM('\r'), WPARAM('\b')}) SendMessageW(list.Handle(), WM_CHAR, ch, 0);
  EXPECT_FALSE(list.SearchActive()) << "space, Enter and Backspace do not open the search";

  SendMessageW(list.Handle(), WM_CHAR, 's', 0);
  ASSERT_TRUE(list.SearchActive());
  HWND edit = list.SearchEdit()->Handle();
  EXPECT_EQ(L"shell32.dll", EditText(edit)) << "completed from the first item in sorted order, lower case";
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(1u, start);
  EXPECT_EQ(11u, end);

  SendMessageW(edit, WM_CHAR, '\b', 0);
  EXPECT_EQ(L"s", EditText(edit)) << "Backspace does not complete again";

  SendMessageW(edit, WM_CHAR, '\r', 0);
  Pump();
  EXPECT_EQ("Shell32.dll", list.Item(list.ItemIndex()));
  EXPECT_EQ(1, clicks) << "Enter that changed the selection clicks";
  EXPECT_FALSE(list.SearchActive()) << "and closes the search";

  // Enter that leaves the selection as it was keeps the search open and
  // selects the whole text, then puts the caret at the end.
  SendMessageW(list.Handle(), WM_CHAR, 's', 0);
  ASSERT_TRUE(list.SearchActive());
  edit = list.SearchEdit()->Handle();
  SendMessageW(edit, WM_CHAR, '\r', 0);
  Pump();
  ASSERT_TRUE(list.SearchActive());
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(0u, start);
  EXPECT_EQ(11u, end);
  SendMessageW(edit, WM_CHAR, '\r', 0);
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(11u, start);
  EXPECT_EQ(11u, end);
  EXPECT_EQ(1, clicks);
  SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();

  SendMessageW(list.Handle(), WM_CHAR, 'n', 0);
  ASSERT_TRUE(list.SearchActive());
  SendMessageW(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 100));
  SendMessageW(list.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 100));
  Pump();
  EXPECT_FALSE(list.SearchActive()) << "a click in the list closes the search";
}

TEST(ZuListBox, RowsShowTheOwnersPictureAndText) {
  Host host;
  controls::TZuListBox list;
  ASSERT_TRUE(list.Create(host.Handle(), 5, 0, 0, 280, 200));
  list.Add("a.dll");
  list.Add("b.dll");
  // Row 0: an opaque red picture. Row 1, selected: a red picture whose
  // left half is the transparent colour, so the highlight shows through.
  list.OnGetItemParams = [](controls::TZuListBox&, int index, imaging::TBitmap* bitmap, int& offset, std::string&) {
    offset = 20;
    if (!bitmap) return;
    bitmap->SetSize(16, 16, imaging::PixelFormat::pf24bit);
    bitmap->Fill(RGB(255, 0, 0));
    if (index == 0) return;
    RECT left_half{0, 0, 8, 16};
    FillRect(bitmap->Canvas(), &left_half, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    bitmap->Transparent = true;
    bitmap->TransparentColor = RGB(255, 255, 255);
  };
  list.SetItemIndex(1);
  InvalidateRect(list.Handle(), nullptr, TRUE);
  UpdateWindow(list.Handle());
  HDC dc = GetDC(list.Handle());
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 2, 1)) << "the picture one pixel below the top of an 18-pixel row";
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 17, 16));
  EXPECT_NE(RGB(255, 0, 0), GetPixel(dc, 18, 8));
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), GetPixel(dc, 4, 18 + 8)) << "the transparent part";
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 14, 18 + 8));
  ReleaseDC(list.Handle(), dc);
}

TEST(ZuListBox, TheAlternativeMarkFollowsTheMouseAndGoesWithTheItems) {
  Host host;
  controls::TZuListBox list;
  ASSERT_TRUE(list.Create(host.Handle(), 5, 0, 0, 280, 200));
  for (const char* item : {"a.dll", "b.dll", "c.dll", "d.dll"}) list.Add(item);
  list.ShowAlterItem = true;
  SendMessageW(list.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 2 * 18 + 5));
  EXPECT_EQ(2, list.AlterIndex());
  SendMessageW(list.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 6 * 18));
  EXPECT_EQ(2, list.AlterIndex()) << "below the last row the mark stays";
  UpdateWindow(list.Handle());
  HDC dc = GetDC(list.Handle());
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 0, 2 * 18)) << "the frame's top left";
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 100, 3 * 18 - 1)) << "its bottom edge";
  EXPECT_NE(RGB(255, 0, 0), GetPixel(dc, 100, 18)) << "other rows have none";
  ReleaseDC(list.Handle(), dc);
  list.Clear();
  EXPECT_EQ(-1, list.AlterIndex());
}

// Moves the real mouse (through X) to a point of the list and waits up to
// ms for the long-row tip to show; its window rectangle, or an empty one.
RECT HintAt(controls::TZuListBox& list, int x, int y, DWORD ms) {
  POINT p{x, y};
  ClientToScreen(list.Handle(), &p);
  testing_support::Xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y));
  const DWORD start = GetTickCount();
  RECT r{0, 0, 0, 0};
  while (GetTickCount() - start < ms) {
    Pump();
    if (IsWindowVisible(list.HintWindow())) {
      GetWindowRect(list.HintWindow(), &r);
      break;
    }
    Sleep(20);
  }
  return r;
}

TEST(ZuListBox, ALongRowShowsItsWholeTextRightOverTheRow) {
  Host host;
  controls::TZuListBox list;
  ASSERT_TRUE(list.Create(host.Handle(), 5, 10, 10, 150, 120));
  list.Add("a.dll");
  list.Add("b_a_very_long_folder_name_that_does_not_fit\\file.dll");
  list.OnGetItemParams = [](controls::TZuListBox&, int, imaging::TBitmap*, int& offset, std::string&) { offset = 20; };
  UpdateWindow(host.Handle());
  Pump();

  EXPECT_EQ(0, HintAt(list, 40, 9, 1200).right) << "a row that fits shows no hint";
  const RECT tip = HintAt(list, 40, 18 + 9, 3000);
  POINT row{18, 18};  // the second row's top, two pixels left of its text
  ClientToScreen(list.Handle(), &row);
  EXPECT_EQ(row.x, tip.left);
  EXPECT_EQ(row.y, tip.top);
  testing_support::Xdotool("mousemove 0 0");
}

}  // namespace
