#include "win/window_driver.h"

#include <cstdio>
#include <cstdlib>

#include <commctrl.h>

#include "win/win_test_support.h"

namespace testing_support {

Process::Process(const std::string& program, const std::string& arguments, const std::string& directory) {
  std::string command_line = Quote(program) + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!CreateProcessA(program.c_str(), &command_line[0], nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &si, &info_)) {
    info_ = PROCESS_INFORMATION{};
  }
}

Process::~Process() {
  if (info_.hProcess) {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool Process::WaitForExit(DWORD timeout_ms) {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, timeout_ms) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (info_.hProcess) GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

std::wstring WindowText(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(hwnd, &text[0], n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[256];
  int n = GetClassNameW(hwnd, name, 256);
  return std::wstring(name, static_cast<size_t>(n > 0 ? n : 0));
}

namespace {
struct FindArgs {
  DWORD pid;
  const std::wstring* class_name;
  const std::wstring* caption;  // any caption when null
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lp) {
  auto* args = reinterpret_cast<FindArgs*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == args->pid && IsWindowVisible(hwnd) && ClassName(hwnd) == *args->class_name &&
      (!args->caption || WindowText(hwnd) == *args->caption)) {
    args->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct ChildArgs {
  const std::wstring* class_name;
  std::vector<HWND>* out;
};

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
  auto* args = reinterpret_cast<ChildArgs*>(lp);
  if (args->class_name->empty() || ClassName(hwnd) == *args->class_name) args->out->push_back(hwnd);
  return TRUE;
}

HWND WaitForTopLevel(DWORD process_id, const std::wstring& class_name, const std::wstring* caption, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    FindArgs args{process_id, &class_name, caption, nullptr};
    EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&args));
    if (args.found) return args.found;
    if (GetTickCount() - start > timeout_ms) return nullptr;
    Sleep(20);
  }
}
}  // namespace

HWND WaitForWindow(DWORD process_id, const std::wstring& class_name, DWORD timeout_ms) {
  return WaitForTopLevel(process_id, class_name, nullptr, timeout_ms);
}

HWND WaitForWindow(DWORD process_id, const std::wstring& class_name, const std::wstring& caption, DWORD timeout_ms) {
  return WaitForTopLevel(process_id, class_name, &caption, timeout_ms);
}

bool WaitUntilGone(HWND hwnd, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  while (IsWindow(hwnd)) {
    if (GetTickCount() - start > timeout_ms) return false;
    Sleep(10);
  }
  return true;
}

bool WaitForCaption(HWND hwnd, const std::wstring& caption, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  while (WindowText(hwnd) != caption) {
    if (GetTickCount() - start > timeout_ms) return false;
    Sleep(20);
  }
  return true;
}

std::vector<HWND> ChildWindows(HWND parent, const std::wstring& class_name) {
  std::vector<HWND> out;
  ChildArgs args{&class_name, &out};
  EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&args));
  return out;
}

std::wstring MessageBoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text ? WindowText(text) : std::wstring();
}

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  size_t slashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++slashes;
      continue;
    }
    out.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
    slashes = 0;
    out += c;
  }
  out.append(slashes * 2, '\\');
  return out + "\"";
}

bool StartUnixProgram(std::string command_line) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  return CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
}

std::string RunUnix(const std::string& command, int timeout_seconds) {
  static int counter = 0;
  const std::string out =
      "/tmp/tamsel-unix-out-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
  if (!StartUnixProgram("Z:\\bin\\sh -c \"(" + command + ") > " + out + ".part 2>&1; mv " + out + ".part " + out +
                        "\""))
    return "<cannot start /bin/sh>";
  const std::string win_out = ToWindowsPath(out);
  for (int i = 0; i < timeout_seconds * 50 && !FileExists(win_out); ++i) Sleep(20);
  const std::vector<unsigned char> bytes = ReadFileBytes(win_out);
  DeleteFileA(win_out.c_str());
  return std::string(bytes.begin(), bytes.end());
}

std::string Xdotool(const std::string& arguments) { return RunUnix("xdotool " + arguments); }

int ScreenPixels(const RECT& r, const std::function<bool(int red, int green, int blue)>& wanted) {
  const std::string histogram = RunUnix("import -window root -crop " + std::to_string(r.right - r.left) + "x" +
                                        std::to_string(r.bottom - r.top) + "+" + std::to_string(r.left) + "+" +
                                        std::to_string(r.top) + " +repage -depth 8 -format %c histogram:info:-");
  // Lines such as "     12: (192,192,192) #C0C0C0 grey75".
  int n = 0;
  size_t at = 0;
  while ((at = histogram.find(':', at)) != std::string::npos) {
    const size_t line = histogram.rfind('\n', at);
    const int count = std::atoi(histogram.c_str() + (line == std::string::npos ? 0 : line + 1));
    int red = -1, green = -1, blue = -1;
    std::sscanf(histogram.c_str() + at + 1, " (%d,%d,%d", &red, &green, &blue);
    if (wanted(red, green, blue)) n += count;
    ++at;
  }
  return n;
}

std::wstring StatusBarText(HWND status_bar, int panel) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(status_bar, &process_id);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process) return L"<no access>";
  const SIZE_T bytes = 512 * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
  std::wstring text;
  if (remote) {
    const LRESULT length = LOWORD(SendMessageW(status_bar, SB_GETTEXTLENGTHW, panel, 0));
    SendMessageW(status_bar, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(remote));
    std::vector<wchar_t> local(512, L'\0');
    SIZE_T read = 0;
    ReadProcessMemory(process, remote, local.data(), bytes, &read);
    text.assign(local.data(), static_cast<size_t>(length < 511 ? length : 511));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

std::wstring TreeItemText(HWND tree, HTREEITEM item) {
  if (!item) return {};
  DWORD process_id = 0;
  GetWindowThreadProcessId(tree, &process_id);
  wchar_t text[MAX_PATH] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = MAX_PATH;
  if (process_id == GetCurrentProcessId()) {
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return {};
    return text;
  }
  // Another process's tree reads the item into memory of that process (a
  // program of the same bitness: the item's layout is this one's).
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process) return {};
  auto* remote =
      static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof tv + sizeof text, MEM_COMMIT, PAGE_READWRITE));
  std::wstring result;
  if (remote) {
    tv.pszText = reinterpret_cast<wchar_t*>(remote + sizeof tv);
    SIZE_T done = 0;
    if (WriteProcessMemory(process, remote, &tv, sizeof tv, &done) &&
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote)) &&
        ReadProcessMemory(process, remote + sizeof tv, text, sizeof text - sizeof(wchar_t), &done))
      result = text;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return result;
}

std::wstring TreeSelectionText(HWND tree) {
  return TreeItemText(tree, reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

std::string UnixPath(const std::string& path) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  static const auto to_unix =
      reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
  if (!to_unix) return "";
  wchar_t wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return "";
  char* unix = to_unix(wide);
  if (!unix) return "";
  std::string out(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

}  // namespace testing_support
