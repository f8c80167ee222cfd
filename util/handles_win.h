// Scoped owners for Win32 handles.
//
// Every handle the program creates has exactly one owner of one of these
// types; the owner releases it on every path, so no error branch has to
// remember to. Owners move but never copy.
//
// The owners also count the GDI objects they hold. Windows lets a process
// hold 10,000 of them by default and Wine's server has a limit of its own,
// so code that keeps many pictures alive (the icons of a large library)
// must stay well below that; the count is how tests see that it does. An
// icon counts as two objects, its colour bitmap and its mask.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>
#include <uxtheme.h>

#include <atomic>
#include <utility>

#include "util/late_bound_win.h"

namespace util {

class GdiObjectCount {
 public:
  static long Live() { return live_.load(); }
  // The highest count since the last ResetPeak.
  static long Peak() { return peak_.load(); }
  static void ResetPeak() { peak_.store(live_.load()); }

  static void Add(long n) {
    const long now = live_.fetch_add(n) + n;
    long peak = peak_.load();
    while (now > peak && !peak_.compare_exchange_weak(peak, now)) {
    }
  }
  static void Remove(long n) { live_.fetch_sub(n); }

 private:
  static inline std::atomic<long> live_{0};
  static inline std::atomic<long> peak_{0};
};

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle h) noexcept : h_(h) { Count(h_, +1); }
  ~UniqueHandle() { reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Traits::invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Handle get() const noexcept { return h_; }
  bool valid() const noexcept { return h_ != Traits::invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  Handle release() noexcept {
    Count(h_, -1);
    return std::exchange(h_, Traits::invalid());
  }
  void reset(Handle h = Traits::invalid()) noexcept {
    Count(h, +1);
    Handle old = std::exchange(h_, h);
    if (old != Traits::invalid()) {
      Count(old, -1);
      Traits::close(old);
    }
  }

 private:
  static void Count(Handle h, long sign) noexcept {
    if (Traits::kGdiObjects == 0 || h == Traits::invalid()) return;
    if (sign > 0)
      GdiObjectCount::Add(Traits::kGdiObjects);
    else
      GdiObjectCount::Remove(Traits::kGdiObjects);
  }

  Handle h_ = Traits::invalid();
};

struct IconTraits {
  using Handle = HICON;
  static constexpr long kGdiObjects = 2;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DestroyIcon(h); }
};
template <typename T>
struct GdiObjectTraits {
  using Handle = T;
  static constexpr long kGdiObjects = 1;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DeleteObject(h); }
};
struct MemoryDcTraits {
  using Handle = HDC;
  static constexpr long kGdiObjects = 1;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DeleteDC(h); }
};
struct KernelHandleTraits {
  static constexpr long kGdiObjects = 0;
  using Handle = HANDLE;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { CloseHandle(h); }
};
struct FileHandleTraits {
  static constexpr long kGdiObjects = 0;
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) { CloseHandle(h); }
};
struct FindHandleTraits {
  static constexpr long kGdiObjects = 0;
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) { FindClose(h); }
};
struct RegKeyTraits {
  static constexpr long kGdiObjects = 0;
  using Handle = HKEY;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { RegCloseKey(h); }
};
struct ModuleTraits {
  static constexpr long kGdiObjects = 0;
  using Handle = HMODULE;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { FreeLibrary(h); }
};

struct MenuTraits {
  static constexpr long kGdiObjects = 0;
  using Handle = HMENU;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DestroyMenu(h); }
};
struct AcceleratorTraits {
  static constexpr long kGdiObjects = 0;
  using Handle = HACCEL;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DestroyAcceleratorTable(h); }
};
// An image list keeps its images in one colour bitmap and one mask.
struct ImageListTraits {
  static constexpr long kGdiObjects = 2;
  using Handle = HIMAGELIST;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { ImageList_Destroy(h); }
};
struct EnhMetaFileTraits {
  static constexpr long kGdiObjects = 1;
  using Handle = HENHMETAFILE;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DeleteEnhMetaFile(h); }
};
struct ChangeNotificationTraits {
  static constexpr long kGdiObjects = 0;
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) { FindCloseChangeNotification(h); }
};
// A COM interface pointer, released on scope exit.
template <typename T>
class UniqueComPtr {
 public:
  UniqueComPtr() noexcept = default;
  explicit UniqueComPtr(T* p) noexcept : p_(p) {}
  ~UniqueComPtr() { reset(); }
  UniqueComPtr(const UniqueComPtr&) = delete;
  UniqueComPtr& operator=(const UniqueComPtr&) = delete;
  UniqueComPtr(UniqueComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  UniqueComPtr& operator=(UniqueComPtr&& other) noexcept {
    if (this != &other) reset(std::exchange(other.p_, nullptr));
    return *this;
  }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // For a call that hands out a new reference: the held one is released first.
  T** put() noexcept {
    reset();
    return &p_;
  }
  void reset(T* p = nullptr) noexcept {
    T* old = std::exchange(p_, p);
    if (old) old->Release();
  }

 private:
  T* p_ = nullptr;
};

// Item lists of the shell come from the shell's allocator and go back to it.
struct ItemIdListTraits {
  static constexpr long kGdiObjects = 0;
  using Handle = LPITEMIDLIST;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) {
    UniqueComPtr<IMalloc> allocator;
    if (SUCCEEDED(SHGetMalloc(allocator.put())) && allocator)
      allocator->Free(h);
    else
      late::CoTaskMemFree(h);
  }
};

// Theme data of the theme library, which is loaded at run time
// (imaging/xp_theme_win.h): the loader puts the library's CloseThemeData
// here while its table is complete, and takes it away before it unloads.
struct ThemeTraits {
  static constexpr long kGdiObjects = 0;
  using Handle = HTHEME;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) {
    if (close_theme_data) close_theme_data(h);
  }
  static inline HRESULT(WINAPI* close_theme_data)(HTHEME) = nullptr;
};

using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
// A device context made by CreateDC (a printer's) is deleted like a memory one.
using UniquePrinterDc = UniqueHandle<MemoryDcTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueAccelerators = UniqueHandle<AcceleratorTraits>;
using UniqueImageList = UniqueHandle<ImageListTraits>;
using UniqueEnhMetaFile = UniqueHandle<EnhMetaFileTraits>;
using UniqueChangeNotification = UniqueHandle<ChangeNotificationTraits>;
using UniqueTheme = UniqueHandle<ThemeTraits>;

// Closes a file and says whether the system accepted the close: a write
// may fail only there (a full disk under a delayed write), so a writer must
// ask. A file that is not open closes fine.
inline bool CloseChecked(UniqueFile& file) noexcept {
  if (!file) return true;
  return CloseHandle(file.release()) != FALSE;
}

using UniquePidl = UniqueHandle<ItemIdListTraits>;

// OLE on the calling thread for a scope. Initialising a thread that has it
// already only counts up, so every success is matched by an uninitialise;
// a thread in the multi-threaded apartment refuses and is left as it is.
class OleSession {
 public:
  OleSession() noexcept : initialised_(SUCCEEDED(late::OleInitialize(nullptr))) {}
  ~OleSession() {
    if (initialised_) late::OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool initialised_;
};

// A device context borrowed from a window (GetDC), given back on scope exit.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// The device context of a WM_PAINT (BeginPaint), ended on scope exit.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  ~PaintDc() { EndPaint(hwnd_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const noexcept { return dc_; }
  const RECT& update_rect() const noexcept { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back on scope exit,
// so that the object can be deleted afterwards.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(dc && obj ? SelectObject(dc, obj) : nullptr) {}
  ~SelectGuard() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  bool ok() const noexcept { return old_ != nullptr && old_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace util
