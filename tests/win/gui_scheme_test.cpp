// The window scheme: reflected notifications, subclassed system controls,
// dialogs, window-less controls on a host, and the message loop's key hooks.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "gui/application.h"
#include "gui/commands.h"
#include "gui/control.h"
#include "gui/dialog.h"
#include "gui/form.h"
#include "gui/standard_controls.h"

namespace {

class HostForm : public gui::TForm {
 public:
  std::vector<int> commands;
  std::vector<UINT> previewed;

  bool Create() { return CreateForm(L"TamselSchemeHost", L"Host", 0, 0, 300, 200); }

 protected:
  bool OnCommand(int id, int /*code*/, HWND /*control*/) override {
    commands.push_back(id);
    return true;
  }
  bool FormKeyDown(UINT key, bool, bool, bool) override {
    previewed.push_back(key);
    return key == VK_F5;
  }
};

class OwnButton : public gui::TSystemControl {
 public:
  int clicks = 0;

 protected:
  bool OnReflectedCommand(int code) override {
    if (code != BN_CLICKED) return false;
    ++clicks;
    return true;
  }
};

TEST(WindowScheme, ChildNotificationsGoToTheChildObjectFirst) {
  HostForm form;
  ASSERT_TRUE(form.Create());
  OwnButton own;
  ASSERT_TRUE(own.Create(L"BUTTON", form.Handle(), 101, WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 80, 24, L"Own"));
  HWND plain = CreateWindowExW(0, L"BUTTON", L"Plain", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 100, 0, 80, 24,
                               form.Handle(), reinterpret_cast<HMENU>(102), nullptr, nullptr);
  ASSERT_NE(nullptr, plain);

  SendMessageW(own.Handle(), BM_CLICK, 0, 0);
  SendMessageW(plain, BM_CLICK, 0, 0);
  EXPECT_EQ(1, own.clicks);
  EXPECT_EQ(std::vector<int>{102}, form.commands)
      << "a bound child handles its own click; a plain one's reaches the form";
  EXPECT_EQ(L"Own", own.Text()) << "the subclassed control keeps its own behaviour";
}

TEST(WindowScheme, KeyHandlersAndKeyPreviewSeeKeysFirst) {
  HostForm form;
  ASSERT_TRUE(form.Create());
  OwnButton child;
  ASSERT_TRUE(child.Create(L"BUTTON", form.Handle(), 101, WS_VISIBLE, 0, 0, 80, 24, L"x"));
  auto key = [&](UINT vk) {
    MSG msg{child.Handle(), WM_KEYDOWN, vk, 0, 0, {0, 0}};
    return gui::Application().PreTranslate(msg);
  };

  EXPECT_FALSE(key(VK_F5)) << "without key preview the form sees nothing";
  form.SetKeyPreview(true);
  EXPECT_TRUE(key(VK_F5));
  EXPECT_FALSE(key(VK_F6));
  EXPECT_EQ((std::vector<UINT>{VK_F5, VK_F6}), form.previewed);

  int escapes = 0;
  const int token = gui::Application().PushKeyHandler([&](UINT vk) { return vk == VK_ESCAPE && ++escapes > 0; });
  EXPECT_TRUE(key(VK_ESCAPE));
  gui::Application().RemoveKeyHandler(token);
  EXPECT_FALSE(key(VK_ESCAPE));
  EXPECT_EQ(1, escapes);
}

class ProbeDialog : public gui::TDialog {
 public:
  bool handle_custom = true;

 protected:
  bool OnInitDialog() override {
    PostMessageW(Handle(), WM_COMMAND, 100, 0);
    PostMessageW(Handle(), WM_COMMAND, IDOK, 0);
    return true;
  }
  bool OnCommand(int id, int, HWND) override {
    if (id != 100 || !handle_custom) return false;
    End(7);
    return true;
  }
};

// A DLGTEMPLATE with no controls.
struct EmptyTemplate {
  DLGTEMPLATE head{WS_POPUP | WS_CAPTION, 0, 0, 0, 0, 100, 50};
  WORD menu = 0, window_class = 0, title = 0;
};

TEST(WindowScheme, DialogsRunThroughTheScheme) {
  EmptyTemplate t;
  ProbeDialog handled;
  EXPECT_EQ(7, handled.ShowModal(nullptr, &t.head)) << "the class's own command ends the dialog";
  EXPECT_EQ(nullptr, handled.Handle());
  ProbeDialog unhandled;
  unhandled.handle_custom = false;
  EXPECT_EQ(IDOK, unhandled.ShowModal(nullptr, &t.head)) << "an unhandled command goes on; OK ends the dialog";
}

class Probe : public gui::TGraphicControl {
 public:
  explicit Probe(COLORREF color) : color_(color) {}
  std::vector<std::string> events;

 protected:
  void Paint(HDC dc) override {
    HBRUSH brush = CreateSolidBrush(color_);
    RECT r = ClientRect();
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  void MouseDown(gui::MouseButton, int x, int y, UINT) override { Log("down", x, y); }
  void MouseMove(int x, int y, UINT) override { Log("move", x, y); }
  void MouseUp(gui::MouseButton, int x, int y, UINT) override { Log("up", x, y); }
  void MouseEnter() override { events.push_back("enter"); }
  void MouseLeave() override { events.push_back("leave"); }

 private:
  void Log(const char* what, int x, int y) {
    events.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  COLORREF color_;
};

TEST(WindowScheme, HostRoutesTheMouseAndPaintsWindowlessControls) {
  HostForm form;
  ASSERT_TRUE(form.Create());
  Probe a(RGB(255, 0, 0)), b(RGB(0, 0, 255));
  a.SetBounds(10, 10, 40, 30);
  b.SetBounds(60, 10, 40, 30);
  a.SetParent(&form);
  b.SetParent(&form);
  auto mouse = [&](UINT msg, int x, int y, WPARAM keys = 0) {
    SendMessageW(form.Handle(), msg, keys, MAKELPARAM(x, y));
  };

  mouse(WM_MOUSEMOVE, 70, 20);
  mouse(WM_MOUSEMOVE, 20, 20);
  EXPECT_EQ((std::vector<std::string>{"enter", "move 10,10", "leave"}), b.events);
  mouse(WM_LBUTTONDOWN, 15, 12, MK_LBUTTON);
  EXPECT_EQ(form.Handle(), GetCapture());
  mouse(WM_MOUSEMOVE, 80, 60, MK_LBUTTON);  // over b and outside a: a holds the mouse
  mouse(WM_LBUTTONUP, 80, 60);
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_EQ((std::vector<std::string>{"enter", "move 10,10", "down 5,2", "move 70,50", "up 70,50"}), a.events);
  EXPECT_EQ(3u, b.events.size()) << "b saw nothing while a held the mouse";

  form.Show();
  UpdateWindow(form.Handle());
  HDC dc = GetDC(form.Handle());
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 10, 10));
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 49, 39));
  EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc, 60, 10));
  EXPECT_NE(RGB(255, 0, 0), GetPixel(dc, 50, 40)) << "painting stays within the control";
  ReleaseDC(form.Handle(), dc);

  b.SetVisible(false);
  mouse(WM_LBUTTONDOWN, 70, 20, MK_LBUTTON);
  mouse(WM_LBUTTONUP, 70, 20);
  EXPECT_EQ(3u, b.events.size()) << "a hidden control gets no mouse";
}

TEST(WindowScheme, CommandsShowTheirStateOnMenusAndControlsAndHintsReachTheDisplay) {
  HostForm form;
  ASSERT_TRUE(form.Create());
  gui::TCommandList commands;
  bool open = false;
  commands.Add(5, [&] { open = true; });
  commands.AddShortcut(5, {'O', true});
  commands.Add(6, nullptr, [&] { return open; });
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 6, L"Save");
  Probe save(RGB(0, 0, 0));
  save.SetBounds(0, 0, 20, 20);
  save.SetHint(L"Save|Saves the selected icon");
  save.SetParent(&form);
  gui::BindMenuItem(commands, 6, menu);
  gui::BindControl(commands, 6, save);
  EXPECT_TRUE(GetMenuState(menu, 6, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(save.Enabled());

  EXPECT_FALSE(gui::ExecuteShortcut(commands, 'O', false, false, false));
  EXPECT_TRUE(gui::ExecuteShortcut(commands, 'O', true, false, false));
  EXPECT_FALSE(GetMenuState(menu, 6, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(save.Enabled());
  DestroyMenu(menu);

  std::vector<std::wstring> hints;
  gui::Application().SetHintHandler([&](const std::wstring& hint) { hints.push_back(hint); });
  SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
  gui::Application().SetHintHandler(nullptr);
  EXPECT_EQ((std::vector<std::wstring>{L"Saves the selected icon", L""}), hints);
  HWND tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
  bool found = false;
  for (; tip && !found; tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr))
    found = GetWindow(tip, GW_OWNER) == form.Handle() && SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0) == 1;
  EXPECT_TRUE(found) << "the short hint is a tool tip of the host";
}

// A form that notes the handlers its mouse and scroll messages reach.
class CrackProbe : public gui::TForm {
 public:
  std::vector<std::string> calls;

  bool Create() { return CreateForm(L"TamselCrackProbe", L"Probe", 0, 0, 300, 200); }

 protected:
  bool OnMouseButtonDown(gui::MouseButton b, int x, int y, UINT keys) override { return Note("down", b, x, y, keys); }
  bool OnMouseButtonUp(gui::MouseButton b, int x, int y, UINT keys) override { return Note("up", b, x, y, keys); }
  bool OnMouseDoubleClick(gui::MouseButton b, int x, int y, UINT keys) override {
    return Note("double", b, x, y, keys);
  }
  bool OnMouseWheel(int delta, UINT keys, int x, int y) override {
    calls.push_back("wheel " + std::to_string(delta) + " " + Where(x, y, keys));
    return true;
  }
  bool OnVScroll(int code, int position, HWND) override {
    calls.push_back("vscroll " + std::to_string(code) + " " + std::to_string(position));
    return true;
  }

 private:
  static std::string Where(int x, int y, UINT keys) {
    return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(keys);
  }
  bool Note(const char* what, gui::MouseButton b, int x, int y, UINT keys) {
    static const char* const names[] = {"left", "right", "middle"};
    calls.push_back(std::string(what) + " " + names[static_cast<int>(b)] + " " + Where(x, y, keys));
    return true;
  }
};

TEST(WindowScheme, MouseAndScrollMessagesReachTheirHandlersAfterWindowlessControls) {
  CrackProbe form;
  ASSERT_TRUE(form.Create());
  Probe control(RGB(255, 0, 0));
  control.SetBounds(200, 100, 40, 30);
  control.SetParent(&form);
  HWND h = form.Handle();
  SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MAKELPARAM(-3, 7));
  SendMessageW(h, WM_MBUTTONUP, 0, MAKELPARAM(10, 20));
  SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 2));
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(205, 105));  // the control's
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(205, 105));
  SendMessageW(h, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -WHEEL_DELTA), MAKELPARAM(100, 200));
  SendMessageW(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40000), 0);
  EXPECT_EQ((std::vector<std::string>{"down right -3,7 6", "up middle 10,20 0", "double left 1,2 1",
                                      "wheel -120 100,200 8", "vscroll 5 40000"}),
            form.calls);
  EXPECT_EQ((std::vector<std::string>{"down 5,5", "up 5,5"}), control.events);
}

// A single-line edit that also wants the Tab key.
class TabEdit : public gui::TSystemControl {
 protected:
  std::optional<LRESULT> OnGetDlgCode(UINT, MSG*) override { return Default() | DLGC_WANTTAB; }
};

TEST(WindowScheme, HandlersOfSubclassedControlsBuildOnTheControlsOwnAnswer) {
  HostForm form;
  ASSERT_TRUE(form.Create());
  TabEdit tab_edit;
  ASSERT_TRUE(tab_edit.Create(L"EDIT", form.Handle(), 101, WS_VISIBLE, 0, 0, 80, 20));
  HWND plain =
      CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 30, 80, 20, form.Handle(), nullptr, nullptr, nullptr);
  const LRESULT own = SendMessageW(plain, WM_GETDLGCODE, 0, 0);
  EXPECT_EQ(0, own & DLGC_WANTTAB);
  EXPECT_EQ(own | DLGC_WANTTAB, SendMessageW(tab_edit.Handle(), WM_GETDLGCODE, 0, 0));

  gui::TEdit edit;
  ASSERT_TRUE(edit.Create(form.Handle(), 102, 0, 60, 80, 20));
  edit.OnKeyPress = [](wchar_t& key) {
    if (key == L'a') key = L'\u00e4';
    if (key == L'x') key = 0;
  };
  for (wchar_t c : {L'a', L'x', L'b'}) SendMessageW(edit.Handle(), WM_CHAR, c, 1);
  EXPECT_EQ(L"\u00e4b", edit.Text()) << "the edit gets the key as the handler left it, and none it dropped";
}

TEST(WindowScheme, StatusBarKeepsItsPartsTextsAndPlaceAtTheBottom) {
  HostForm form;
  ASSERT_TRUE(form.Create());
  gui::TStatusBar bar;
  ASSERT_TRUE(bar.Create(form.Handle()));
  const int edges[] = {60, 150, -1};
  bar.SetParts(edges, 3);
  bar.SetPartText(1, L"Gr\u00f6\u00dfe \u2713");
  EXPECT_EQ(3, SendMessageW(bar.Handle(), SB_GETPARTS, 0, 0));
  EXPECT_EQ(L"Gr\u00f6\u00dfe \u2713", bar.PartText(1));
  EXPECT_EQ(L"", bar.PartText(2));

  SetWindowPos(form.Handle(), nullptr, 0, 0, 420, 330, SWP_NOMOVE | SWP_NOZORDER);
  bar.FitParent();
  const RECT client = form.ClientRect();
  const RECT placed = bar.BoundsRect();
  EXPECT_EQ(client.bottom, placed.bottom);
  EXPECT_EQ(client.right, placed.right);
  EXPECT_GT(placed.bottom - placed.top, 0);
}

}  // namespace
