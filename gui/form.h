// A top-level window with the life cycle of a form: FormCreate once the
// handle exists, FormCloseQuery before closing, FormDestroy while the window
// is destroyed. Destroying the application's main form ends the message loop.
//
// With key preview on, the form sees every key-down meant for any window on
// it before that window does (PreviewKey), as the message loop hands it
// over; and accelerator characters (Alt+letter) go to the window-less
// controls on the form.
#pragma once

#include <string>

#include "gui/window.h"

namespace gui {

class TForm : public TWindow {
 public:
  // Creates the (hidden) window; FormCreate runs inside. Returns false when
  // the system refused to create it.
  bool CreateForm(const wchar_t* class_name, const std::wstring& caption, int x, int y, int width, int height,
                  HICON icon = nullptr);
  void Show(int show_command = SW_SHOWNORMAL) const;
  // Gives the hidden window the place and size it would take maximized on
  // its monitor, without showing it: a maximized window covers the work
  // area with its sizing frame just outside it.
  void SizeAsMaximized() const;

  // Asks the form to close, as the close box does.
  void Close() const;

  void SetCaption(const std::wstring& caption) const { SetText(caption); }
  std::wstring Caption() const { return Text(); }

  void SetKeyPreview(bool on) { key_preview_ = on; }
  bool KeyPreview() const { return key_preview_; }

  // Called by the message loop for a key-down (WM_KEYDOWN or WM_SYSKEYDOWN)
  // meant for any window on the form; true consumes the key.
  bool PreviewKey(UINT msg, UINT key, LPARAM flags);
  // Offers an accelerator character to the window-less controls on the form.
  bool DialogChar(wchar_t ch);

 protected:
  virtual void FormCreate() {}
  virtual bool FormCloseQuery() { return true; }
  virtual void FormDestroy() {}
  // The form's key preview handler (only with key preview on).
  virtual bool FormKeyDown(UINT /*key*/, bool /*ctrl*/, bool /*shift*/, bool /*alt*/) { return false; }

  bool OnCreate() override;
  bool OnClose() override;
  bool OnDestroy() override;

 private:
  bool key_preview_ = false;
};

}  // namespace gui
