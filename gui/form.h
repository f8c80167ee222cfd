// A top-level window with the life cycle of a form: FormCreate once the
// handle exists, FormCloseQuery before closing, FormDestroy while the window
// is destroyed. Destroying the application's main form ends the message loop.
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

  // Asks the form to close, as the close box does.
  void Close() const;

  void SetCaption(const std::wstring& caption) const;
  std::wstring Caption() const;

 protected:
  virtual void FormCreate() {}
  virtual bool FormCloseQuery() { return true; }
  virtual void FormDestroy() {}

  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace gui
