// Keeps Wine's desktop process alive for a whole test run.
//
// Wine starts a desktop process (explorer.exe /desktop) for the first
// program that needs one and ends it about a second after the last program
// using the desktop has gone. Between two test programs it would end, and
// the next test program would start a new one, which inherits that
// program's output and outlives it; windows made while the desktop changes
// hands were seen to fail. This program uses the desktop through one hidden
// window and waits until it is closed or the Wine server ends.
#include <windows.h>

namespace {

LRESULT CALLBACK HolderProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = HolderProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"TamselTestDesktopHolder";
  if (!RegisterClassW(&window_class)) return 1;
  // Never shown: a hidden pop-up takes no focus and no place on the screen.
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, window_class.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, instance, nullptr);
  if (!window) return 1;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
