// One window-procedure scheme for every window of the program.
//
// The C++ object is bound to its HWND at WM_NCCREATE (from the creation
// parameter) and unbound at WM_NCDESTROY; every message in between goes to
// the virtual HandleMessage. Messages before the binding, and those a class
// does not handle, go to the default procedure. An error raised inside a
// handler is shown by the application's default error display and the
// message counts as handled, so a failing command ends but the window lives.
//
// An object owns its window: destroying the object destroys the window. A
// window that wants to go away from inside its own handler posts itself a
// close instead of deleting the object there.
#pragma once

#include <windows.h>

namespace gui {

struct WindowClass {
  const wchar_t* name;
  UINT style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  HBRUSH background = nullptr;
  HCURSOR cursor = nullptr;  // null: the arrow
  HICON icon = nullptr;
};

struct WindowParams {
  const wchar_t* caption = L"";
  DWORD style = WS_OVERLAPPEDWINDOW;
  DWORD ex_style = 0;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int width = CW_USEDEFAULT;
  int height = CW_USEDEFAULT;
  HWND parent = nullptr;
  UINT_PTR id = 0;
};

class TWindow {
 public:
  TWindow() = default;
  virtual ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  HWND Handle() const { return hwnd_; }

  void Invalidate() const;
  RECT ClientRect() const;
  void SetBounds(int x, int y, int width, int height) const;

 protected:
  // Registers the class once and creates the window. Returns false when
  // the system refused.
  bool CreateHandle(const WindowClass& cls, const WindowParams& params);

  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) const;

  // Called once WM_NCDESTROY has unbound the object.
  virtual void HandleDestroyed() {}

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  HWND hwnd_ = nullptr;
};

}  // namespace gui
