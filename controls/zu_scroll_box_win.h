// TZuScrollBox: the focusable, vertically scrolling host of the icon grid.
//
// The host owns the grid (a member, so it is created and destroyed with
// the host), keeps it as wide as its client area and scrolls it by moving
// it up. It takes the keyboard, the mouse wheel and the focus for the grid,
// accepts files dropped from the shell, and publishes the grid's events to
// the window that holds it. Handlers are plain std::function members; the
// drop handler has a setter because assigning it turns drop acceptance on.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/image_box_layout.h"
#include "controls/zu_image_box_win.h"
#include "gui/window.h"

namespace controls {

class TZuScrollBox : public gui::TWindow {
 public:
  using TOnSelectItemEvent = std::function<void(TZuScrollBox& sender, int index)>;
  using TCustomPaintEvent = std::function<void(TZuImageBox& sender, HDC canvas)>;
  using TDropFilesEvent =
      std::function<void(TZuScrollBox& sender, int x, int y, const std::vector<std::string>& files)>;
  using TMouseEvent = std::function<void(TZuScrollBox& sender, gui::MouseButton button, UINT keys, int x, int y)>;
  using TNotifyEvent = std::function<void(TZuScrollBox& sender)>;

  TZuScrollBox() : image_box_(*this) {}

  // Creates the host and its grid as a child of parent.
  bool Create(HWND parent, int x, int y, int width, int height, UINT_PTR id = 0);

  TZuImageBox& ImageBox() { return image_box_; }
  const TZuImageBox& ImageBox() const { return image_box_; }

  TOnSelectItemEvent OnSelectItem;
  TCustomPaintEvent OnCustomPaint;
  TMouseEvent OnMouseDown;
  TNotifyEvent OnDblClick;
  const TDropFilesEvent& OnDropFiles() const { return on_drop_files_; }
  // Assigning a handler turns drop acceptance on, clearing it turns it off.
  void SetOnDropFiles(TDropFilesEvent handler);

  // The vertical scroll bar: position 0 … MaxScrollPosition, one step per
  // increment (one row of the grid).
  int ScrollPosition() const { return scroll_pos_; }
  void SetScrollPosition(int position);
  int MaxScrollPosition() const;
  int ScrollIncrement() const { return increment_; }
  void SetScrollIncrement(int increment) { increment_ = increment > 0 ? increment : 1; }

  int ClientWidth() const;
  int ClientHeight() const;
  bool Focused() const;

  // The key table and the wheel; true when the key or the wheel message
  // was consumed. The window procedure calls them; a form that previews
  // keys may call HandleKeyDown first.
  bool HandleKeyDown(WPARAM virtual_key);
  bool HandleWheel(int wheel_delta);

  // Called by the grid.
  void GridResized();
  void MouseDown(gui::MouseButton button, UINT keys, int x, int y);
  void DblClick();

 protected:
  void OnSize(UINT type, int width, int height) override;
  bool OnVScroll(int code, int position, HWND bar) override;
  std::optional<LRESULT> OnGetDlgCode(UINT key, MSG* msg) override;
  bool OnKeyDown(UINT key, LPARAM flags) override;
  bool OnMouseWheel(int delta, UINT keys, int x, int y) override;
  bool OnMouseButtonDown(gui::MouseButton button, int x, int y, UINT keys) override;
  bool OnMouseDoubleClick(gui::MouseButton button, int x, int y, UINT keys) override;
  bool OnSetFocus(HWND previous) override;
  bool OnKillFocus(HWND next) override;
  bool OnFilesDropped(HDROP drop) override;

 private:
  void Resized();
  void UpdateScrollBar();
  void Scroll(UINT request);
  void DropFiles(HDROP drop);
  void FocusChanged();

  TZuImageBox image_box_;
  TDropFilesEvent on_drop_files_;
  int scroll_pos_ = 0;
  int increment_ = 42;
  int layout_depth_ = 0;
};

}  // namespace controls
