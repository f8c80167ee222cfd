// One window-procedure scheme for every window of the program: our own
// windows, subclassed system controls and dialogs.
//
// The C++ object is bound to its HWND at WM_NCCREATE (from the creation
// parameter), when a system control is subclassed, or at WM_INITDIALOG, and
// unbound at WM_NCDESTROY; every message in between goes to the virtual
// HandleMessage. The base HandleMessage cracks every message the program
// handles into the virtual handlers below, each message in one place, and
// reflects the notifications of a child control (WM_COMMAND, WM_NOTIFY,
// WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLORSTATIC) to the object bound to
// that child first, so a control handles its own notifications wherever it
// is placed. A class overrides HandleMessage only for its private messages
// and the few rare ones no handler fits. Messages before the binding, and
// those nobody handles, go to the default procedure (the system control's
// own procedure for a subclassed one). An error raised inside a handler is
// shown by the application's default error display and the message counts
// as handled, so a failing command ends but the window lives.
//
// A window also hosts window-less controls (TGraphicControl): it paints
// them after itself, routes the mouse to the one under the pointer (or the
// one that holds the capture), tracks which one the mouse is over, and
// shows their tool tips.
//
// An object owns its window: destroying the object destroys the window. A
// window that wants to go away from inside its own handler posts itself a
// close instead of deleting the object there.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/model/align_layout.h"

namespace gui {

class TGraphicControl;
class TToolTip;

enum class MouseButton { kLeft, kRight, kMiddle };

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

  // A child window of parent at the given place.
  static WindowParams Child(HWND parent, UINT_PTR id, DWORD style, int x, int y, int width, int height) {
    WindowParams p;
    p.style = style | WS_CHILD;
    p.x = x;
    p.y = y;
    p.width = width;
    p.height = height;
    p.parent = parent;
    p.id = id;
    return p;
  }
};

// The text of any window, ours or not.
std::wstring WindowText(HWND hwnd);

class TWindow {
 public:
  TWindow();
  virtual ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  HWND Handle() const { return hwnd_; }

  // Destroys the window while the object is whole, so that its handlers see
  // the destruction (a form's FormDestroy). A class whose destruction must
  // run its handlers calls this from its own destructor.
  void DestroyHandle();

  // The object bound to a window of ours, or null.
  static TWindow* FromHandle(HWND hwnd);

  void Invalidate() const;
  // The window's text (a form's caption, a control's text).
  std::wstring Text() const;
  void SetText(const std::wstring& text) const;
  RECT ClientRect() const;
  // Position and size in the parent's client coordinates.
  RECT BoundsRect() const;
  void SetBounds(int x, int y, int width, int height) const;
  void SetVisible(bool visible) const;
  // The window's own visibility (its WS_VISIBLE style), whether or not its
  // parent shows.
  bool Visible() const;
  void SetEnabled(bool enabled) const;
  bool Enabled() const;

  // "short|long", as for window-less controls: while the mouse is over the
  // window (or a child without a hint of its own) the long part goes to
  // the application's hint display.
  void SetHint(const std::wstring& hint) { hint_ = hint; }
  const std::wstring& Hint() const { return hint_; }

  // The edge this window sticks to in its parent (alNone: placed by hand).
  // A parent lays its aligned children out when it is sized, and on Realign.
  void SetAlign(gui::TAlign align) { align_ = align; }
  gui::TAlign Align() const { return align_; }
  void Realign();

  // Window-less controls placed on this window, in the order they were
  // placed (later ones lie on top).
  const std::vector<TGraphicControl*>& GraphicControls() const { return graphic_controls_; }
  // The window-less control under the screen point, or null.
  TGraphicControl* GraphicControlAt(POINT client_point) const;
  // Offers an accelerator character to this window's window-less controls;
  // true when one took it.
  bool DialogCharToControls(wchar_t ch);

 protected:
  // Registers the class once and creates the window. Returns false when
  // the system refused.
  bool CreateHandle(const WindowClass& cls, const WindowParams& params);
  // Creates a window of a system class (BUTTON, STATIC, …) and routes its
  // messages through this object; DefaultHandler then calls the control's
  // own procedure.
  bool CreateSubclassed(const wchar_t* system_class, const WindowParams& params);
  // Binds a dialog window that the dialog manager made (WM_INITDIALOG).
  void BindDialog(HWND hwnd);

  // Every message comes here; the base cracks the common ones into the
  // handlers below. A class that overrides it passes what it does not handle
  // on to TWindow::HandleMessage.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp);
  // The default procedure's answer to the message a handler is handling,
  // for a handler that does its part after the default one.
  LRESULT Default();

  // Handlers of the cracked messages. Those returning bool or an optional
  // report whether they handled the message (a handled one answers 0 unless
  // said otherwise); unhandled ones go to DefaultHandler.
  virtual bool OnCreate() { return false; }
  // A dialog's WM_INITDIALOG; true lets the system put the focus on the
  // first control.
  virtual bool OnInitDialog() { return true; }
  virtual bool OnClose() { return false; }
  virtual bool OnDestroy() { return false; }
  virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
  virtual std::optional<LRESULT> OnNotify(NMHDR* /*header*/) { return std::nullopt; }
  virtual bool OnDrawItem(DRAWITEMSTRUCT* /*item*/) { return false; }
  virtual bool OnMeasureItem(MEASUREITEMSTRUCT* /*item*/) { return false; }
  // The brush of a static child's background, its colours set in dc; null
  // for the default.
  virtual HBRUSH OnCtlColorStatic(HDC /*dc*/, HWND /*control*/) { return nullptr; }
  virtual void OnSize(UINT /*type*/, int /*width*/, int /*height*/) {}
  virtual bool OnGetMinMaxInfo(MINMAXINFO* /*info*/) { return false; }
  // Paints the window itself; the window-less controls are painted after it.
  virtual void OnPaint(HDC /*dc*/, const RECT& /*update*/) {}
  // A subclassed system control has painted itself.
  virtual void OnSystemPainted() {}
  // True when the background is done (the answer is then TRUE).
  virtual bool OnEraseBackground(HDC /*dc*/) { return false; }
  virtual bool OnKeyDown(UINT /*key*/, LPARAM /*flags*/) { return false; }
  // A key with Alt held, or F10.
  virtual bool OnSysKeyDown(UINT /*key*/, LPARAM /*flags*/) { return false; }
  virtual bool OnChar(UINT /*ch*/, LPARAM /*flags*/) { return false; }
  // The DLGC_ flags of the input the window wants from the dialog manager.
  virtual std::optional<LRESULT> OnGetDlgCode(UINT /*key*/, MSG* /*msg*/) { return std::nullopt; }
  virtual bool OnTimer(UINT_PTR /*id*/) { return false; }
  virtual bool OnSetFocus(HWND /*previous*/) { return false; }
  virtual bool OnKillFocus(HWND /*next*/) { return false; }
  // The cursor over window (this one or a child); true when it was set
  // (the answer is then TRUE). Window-less controls set theirs first.
  virtual bool OnSetCursor(HWND /*window*/, UINT /*hit_test*/) { return false; }
  // The mouse in client coordinates with the MK_ flags held; window-less
  // controls under it (or holding the capture) take it first.
  virtual bool OnMouseMove(int /*x*/, int /*y*/, UINT /*keys*/) { return false; }
  virtual bool OnMouseButtonDown(MouseButton /*button*/, int /*x*/, int /*y*/, UINT /*keys*/) { return false; }
  virtual bool OnMouseButtonUp(MouseButton /*button*/, int /*x*/, int /*y*/, UINT /*keys*/) { return false; }
  virtual bool OnMouseDoubleClick(MouseButton /*button*/, int /*x*/, int /*y*/, UINT /*keys*/) { return false; }
  virtual void OnMouseLeave() {}
  // delta: the wheel's turn, WHEEL_DELTA a notch, positive away from the
  // user; the point in screen coordinates.
  virtual bool OnMouseWheel(int /*delta*/, UINT /*keys*/, int /*x*/, int /*y*/) { return false; }
  // The window's own vertical bar (bar null) or a scroll bar control.
  virtual bool OnVScroll(int /*code*/, int /*position*/, HWND /*bar*/) { return false; }
  // Files dropped on the window; the handler that takes them finishes the
  // drop.
  virtual bool OnFilesDropped(HDROP /*drop*/) { return false; }
  // A menu item highlighted (item: its command id, or its index for a
  // submenu).
  virtual bool OnMenuSelect(UINT /*item*/, UINT /*flags*/, HMENU /*menu*/) { return false; }

  // The reflected notifications of this object's own control, sent by its
  // parent. Those returning bool or an optional report whether they handled it.
  virtual bool OnReflectedCommand(int /*code*/) { return false; }
  virtual std::optional<LRESULT> OnReflectedNotify(NMHDR* /*header*/) { return std::nullopt; }
  virtual bool OnReflectedDrawItem(DRAWITEMSTRUCT* /*item*/) { return false; }
  virtual bool OnReflectedMeasureItem(MEASUREITEMSTRUCT* /*item*/) { return false; }
  virtual HBRUSH OnReflectedColor(HDC /*dc*/) { return nullptr; }

  // Called once WM_NCDESTROY has unbound the object.
  virtual void HandleDestroyed() {}

  bool IsDialog() const { return dialog_; }

 private:
  friend class TGraphicControl;
  friend class TDialog;

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT Dispatch(TWindow* self, UINT msg, WPARAM wp, LPARAM lp);
  void Bind(HWND hwnd);
  void Unbind();

  // A mouse message of the client area, cracked.
  struct MouseEvent {
    enum class Action { kMove, kDown, kUp, kDoubleClick } action;
    MouseButton button;
  };
  static std::optional<MouseEvent> MouseEventOf(UINT msg);

  LRESULT Crack(UINT msg, WPARAM wp, LPARAM lp);
  // The bound object of a child control that reports to this window, or null.
  TWindow* ReflectionTarget(HWND child) const;
  bool CrackMouse(const MouseEvent& event, WPARAM wp, LPARAM lp);
  bool RouteMouse(const MouseEvent& event, POINT p, UINT keys);
  void SetHoverControl(TGraphicControl* control);
  void PaintGraphicControls(HDC dc, const RECT& update);

  void AddGraphicControl(TGraphicControl* control);
  void RemoveGraphicControl(TGraphicControl* control);
  void UpdateToolTip(TGraphicControl* control);
  // Hides the control's tool tip and keeps it from coming up until allowed
  // again: a menu the control dropped must not lie under it. The tool goes
  // meanwhile, as a tip already on its way would come up all the same.
  void SuppressToolTip(TGraphicControl* control, bool suppress);

  HWND hwnd_ = nullptr;
  gui::TAlign align_ = gui::TAlign::alNone;
  std::wstring hint_;
  WNDPROC base_proc_ = nullptr;  // a subclassed system control's own procedure
  bool dialog_ = false;
  bool unhandled_ = false;        // set by DefaultHandler for a dialog
  const MSG* current_ = nullptr;  // the message the handlers are handling

  std::vector<TGraphicControl*> graphic_controls_;
  TGraphicControl* mouse_control_ = nullptr;  // holds the capture
  TGraphicControl* hover_control_ = nullptr;  // the mouse is over it
  bool tracking_leave_ = false;
  std::unique_ptr<TToolTip> tool_tip_;
};

}  // namespace gui
