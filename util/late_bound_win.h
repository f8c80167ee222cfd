// System functions the program needs only now and then (the common file
// dialogs, OLE for the shell's folder pickers, the default printer), bound
// when first called rather than at start. The libraries behind them are
// large and pull in more (the file dialogs bring the print spooler, and the
// spooler under Wine the CUPS and TLS libraries): a window that never opens
// a dialog or prints never loads them. A library once loaded stays for the
// life of the process.
//
// Each function behaves as the system's own; when its library or entry
// cannot be found it fails as the system's would for want of resources.
#pragma once

#include <windows.h>
#include <commdlg.h>

namespace util::late {

HRESULT OleInitialize(LPVOID reserved);
void OleUninitialize();
void CoTaskMemFree(LPVOID memory);
BOOL GetOpenFileNameW(OPENFILENAMEW* ofn);
BOOL GetSaveFileNameW(OPENFILENAMEW* ofn);
BOOL GetDefaultPrinterW(LPWSTR buffer, LPDWORD size);

}  // namespace util::late
