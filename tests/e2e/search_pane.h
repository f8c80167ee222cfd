// The search pane of a running tamsel.exe, read and driven from outside:
// its controls, the file list's rows and the scan's status text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "e2e/running_tamsel.h"
#include "win/window_driver.h"

namespace e2e {

inline int ListCount(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); }

inline std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const int n = ListCount(list);
  for (int i = 0; i < n; ++i) {
    wchar_t text[MAX_PATH] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(std::string(text, text + wcslen(text)));  // the fixtures' names are ASCII
  }
  return items;
}

// The status bar's first panel while a scan runs.
inline const std::wstring kScanningText = L"\x626B\x63CF\x6587\x4EF6\x5939(s)... (\x6309 ESC \x53D6\x6D88)";

// An edit's text: GetWindowText does not ask a window of another process.
inline std::wstring EditText(HWND edit) {
  wchar_t text[64] = {};
  SendMessageW(edit, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
  return text;
}

template <typename Done>
inline bool WaitUntil(Done done, DWORD ms = kTimeout) {
  const DWORD end = GetTickCount() + ms;
  while (!done()) {
    if (GetTickCount() > end) return false;
    Sleep(50);
  }
  return true;
}

inline HWND ChildWithText(HWND parent, const std::wstring& class_name, const std::wstring& text) {
  for (HWND child : testing_support::ChildWindows(parent, class_name))
    if (testing_support::WindowText(child) == text) return child;
  return nullptr;
}

constexpr int kMinimumId = 113;  // the minimum's edit

// The pane's controls in another process. The window makes them the first
// time the pane is shown: Open finds them once the search button is pressed.
struct Pane {
  HWND main_window = nullptr;
  HWND search_button = nullptr;  // on the search bar, which also holds the find-folder button
  HWND file_box = nullptr;
  HWND subfolders = nullptr;
  HWND minimum = nullptr;
  HWND file_panel = nullptr;

  explicit Pane(HWND main) : main_window(main) {
    for (HWND button : testing_support::ChildWindows(main_window, L"Button")) {
      if (testing_support::WindowText(button).rfind(L"\x67E5\x627E", 0) == 0) search_button = button;  // "查找..."
    }
  }

  // Presses the search button and waits until the pane is there and shown.
  template <typename Running>
  bool Open(Running& tamsel) {
    tamsel.Click(search_button, 10, 10);
    return WaitUntil([&] {
      Find();
      return file_box && IsWindowVisible(file_box);
    });
  }

  void Find() {
    subfolders = ChildWithText(main_window, L"Button", L"Include subfolders");
    const std::vector<HWND> lists = testing_support::ChildWindows(main_window, L"ListBox");
    file_box = lists.empty() ? nullptr : lists.front();
    for (HWND edit : testing_support::ChildWindows(main_window, L"Edit")) {
      if (GetDlgCtrlID(edit) == kMinimumId) minimum = edit;
    }
    file_panel = file_box ? GetParent(file_box) : nullptr;
  }
  HWND search_bar() const { return GetParent(search_button); }
};

}  // namespace e2e
