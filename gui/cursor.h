// Shows the hourglass while an operation runs and puts the previous cursor
// back when it ends, also when it ends by an error.
#pragma once

#include <windows.h>

namespace gui {

class HourglassCursor {
 public:
  HourglassCursor() : previous_(SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)))) {}
  ~HourglassCursor() { SetCursor(previous_ ? previous_ : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW))); }
  HourglassCursor(const HourglassCursor&) = delete;
  HourglassCursor& operator=(const HourglassCursor&) = delete;

 private:
  HCURSOR previous_;
};

}  // namespace gui
