// tamsel.exe running for a test: started on a file, its main window found
// and shown on the X side, keys and clicks sent as a user makes them.
#pragma once

#include <windows.h>

#include <string>

#include "e2e/e2e_main.h"
#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace e2e {

constexpr DWORD kTimeout = 15000;

class Running {
 public:
  // fixture: a fixture's name, or a full Windows path.
  explicit Running(const std::string& fixture)
      : name_(fixture.substr(fixture.find_last_of("\\/") + 1)),
        process_(TamselPath(),
                 testing_support::Quote(fixture.find(':') == std::string::npos ? testing_support::FixturePath(fixture)
                                                                               : fixture)) {
    window_ = testing_support::WaitForWindow(process_.id(), L"TForm1", kTimeout);
    if (window_)
      testing_support::WaitForCaption(window_, L"Tamsel - " + std::wstring(name_.begin(), name_.end()), kTimeout);
    status_ = FindWindowExW(window_, nullptr, L"msctls_statusbar32", nullptr);
    // Keys go to the window once X shows it.
    for (int i = 0;
         i < 50 && testing_support::Xdotool("search --onlyvisible --name '^Tamsel - '").find_first_of("0123456789") ==
                       std::string::npos;
         ++i)
      Sleep(100);
    Sleep(200);
  }
  ~Running() {
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    process_.WaitForExit(kTimeout);
  }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

  HWND window() const { return window_; }
  std::wstring Status(int panel) const { return testing_support::StatusBarText(status_, panel); }
  DWORD id() const { return process_.id(); }

  // Keys as a user types them, into the focused main window.
  void Keys(const std::string& keys) const {
    // The window's own caption names it: a window of an earlier instance
    // may still linger on the X side.
    const std::wstring caption = testing_support::WindowText(window_);
    testing_support::Xdotool("search --onlyvisible --name '^" + std::string(caption.begin(), caption.end()) +
                             "$' windowfocus --sync key --delay 30 " + keys);
    Sleep(300);
  }

  // A click of the left button at a client point of one of its windows.
  void Click(HWND window, int x, int y) const {
    POINT p{x, y};
    ClientToScreen(window, &p);
    testing_support::Xdotool("mousemove --sync " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1");
    Sleep(200);
  }

  // A window of the process other than the main window (a box, a dialog).
  HWND OtherWindow(DWORD wait_ms) const {
    const DWORD end = GetTickCount() + wait_ms;
    do {
      HWND found = testing_support::WaitForWindow(process_.id(), L"#32770", 50);
      if (found) return found;
    } while (GetTickCount() < end);
    return nullptr;
  }

 private:
  std::string name_;
  testing_support::Process process_;
  HWND window_ = nullptr;
  HWND status_ = nullptr;
};

}  // namespace e2e
