// The file list box on a real window: its search edit opens, completes,
// selects on Enter and closes, and the owner's row pictures are drawn.
#include <gtest/gtest.h>

#include <windows.h>

#include "controls/zu_list_box_win.h"
#include "gui/form.h"

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
  list.OnGetItemParams = [](controls::TZuListBox&, int, imaging::TBitmap* bitmap, int& offset, std::string&) {
    offset = 20;
    if (!bitmap) return;
    bitmap->SetSize(16, 16, imaging::PixelFormat::pf24bit);
    bitmap->Fill(RGB(255, 0, 0));
  };
  InvalidateRect(list.Handle(), nullptr, TRUE);
  UpdateWindow(list.Handle());
  HDC dc = GetDC(list.Handle());
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 2, 1)) << "the picture one pixel below the top of an 18-pixel row";
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 17, 16));
  EXPECT_NE(RGB(255, 0, 0), GetPixel(dc, 18, 8));
  ReleaseDC(list.Handle(), dc);
}

}  // namespace
