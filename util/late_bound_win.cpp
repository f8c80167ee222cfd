#include "util/late_bound_win.h"

#include <string>

namespace util::late {

namespace {

// The library from the system folder only, never from beside the program
// or the current folder.
HMODULE SystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

// The entry point, found once; null when it cannot be.
template <typename Fn>
Fn* Bind(const wchar_t* library, const char* name) {
  HMODULE module = SystemLibrary(library);
  return module ? reinterpret_cast<Fn*>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

HRESULT OleInitialize(LPVOID reserved) {
  static const auto fn = Bind<decltype(::OleInitialize)>(L"ole32.dll", "OleInitialize");
  return fn ? fn(reserved) : E_OUTOFMEMORY;
}

void OleUninitialize() {
  static const auto fn = Bind<decltype(::OleUninitialize)>(L"ole32.dll", "OleUninitialize");
  if (fn) fn();
}

void CoTaskMemFree(LPVOID memory) {
  static const auto fn = Bind<decltype(::CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
  if (fn) fn(memory);
}

BOOL GetOpenFileNameW(OPENFILENAMEW* ofn) {
  static const auto fn = Bind<decltype(::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
  return fn ? fn(ofn) : FALSE;
}

BOOL GetSaveFileNameW(OPENFILENAMEW* ofn) {
  static const auto fn = Bind<decltype(::GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
  return fn ? fn(ofn) : FALSE;
}

BOOL GetDefaultPrinterW(LPWSTR buffer, LPDWORD size) {
  static const auto fn = Bind<decltype(::GetDefaultPrinterW)>(L"winspool.drv", "GetDefaultPrinterW");
  if (fn) return fn(buffer, size);
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return FALSE;
}

}  // namespace util::late
