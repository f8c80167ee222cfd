// The baseline of the window benchmarks: the least a window program does
// that tamsel.exe does too. It carries tamsel.exe's manifest (common
// controls 6), loads at its start every library tamsel.exe imports (the
// benchmark names them, read from tamsel.exe, so that the two load the same
// whatever tamsel.exe imports), calls into comctl32 (which registers its
// classes) and shell32 (which takes dropped files), and paints its window,
// of tamsel.exe's first size.
//
// bare_window.exe [-load:LIB;LIB;...] [FILE]
//
// With FILE it also extracts every icon of FILE in a loop of ExtractIconExA
// before it shows the window, holds them and paints them in a grid of
// tamsel.exe's cell size, as many as the window shows. A WM_COPYDATA
// carrying another file's path does the same for that file in the running
// window (the old icons destroyed, the window painted anew before it
// answers) and answers the number of icons.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct IconDestroyer {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

constexpr int kCell = 44;  // a 32-pixel icon and 6 pixels around it, as tamsel.exe's grid
std::vector<Icon> g_icons;

void Load(const std::string& file) {
  g_icons.clear();
  const UINT count = ExtractIconExA(file.c_str(), -1, nullptr, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    HICON icon = nullptr;
    ExtractIconExA(file.c_str(), static_cast<int>(i), &icon, nullptr, 1);
    g_icons.emplace_back(icon);
  }
}

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  const int columns = client.right / kCell > 0 ? client.right / kCell : 1;
  for (size_t i = 0; i < g_icons.size(); ++i) {
    const int x = static_cast<int>(i % columns) * kCell, y = static_cast<int>(i / columns) * kCell;
    if (y >= client.bottom) break;
    RECT cell{x, y, x + kCell, y + kCell}, common;
    if (g_icons[i] && IntersectRect(&common, &cell, &ps.rcPaint))
      DrawIconEx(dc, x + 6, y + 6, g_icons[i].get(), 32, 32, 0, nullptr, DI_NORMAL);
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: Paint(hwnd); return 0;
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      Load(std::string(static_cast<const char*>(data->lpData), data->cbData));
      InvalidateRect(hwnd, nullptr, TRUE);
      UpdateWindow(hwnd);  // painted before the answer, as tamsel.exe's open paints its grid
      return static_cast<LRESULT>(g_icons.size());
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// Loads the libraries of a "-load:A.dll;B.dll;" argument at the front of
// the command line and returns what follows it.
std::string LoadLibrariesOf(std::string command_line) {
  if (command_line.rfind("-load:", 0) != 0) return command_line;
  const size_t end = command_line.find(' ');
  const std::string names = command_line.substr(6, end == std::string::npos ? std::string::npos : end - 6);
  for (size_t at = 0, next; at < names.size(); at = next + 1) {
    next = names.find(';', at);
    if (next == std::string::npos) next = names.size();
    if (next > at) LoadLibraryA(names.substr(at, next - at).c_str());
  }
  return end == std::string::npos ? "" : command_line.substr(end + 1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show) {
  const std::string file = LoadLibrariesOf(command_line);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  if (!file.empty()) Load(file[0] == '"' ? file.substr(1, file.size() - 2) : file);

  WNDCLASSW wc{};
  wc.lpfnWndProc = &Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"BareWindow";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowW(L"BareWindow", L"Bare window", WS_OVERLAPPEDWINDOW, 161, 98, 526, 445, nullptr, nullptr,
                            instance, nullptr);
  DragAcceptFiles(hwnd, TRUE);
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
