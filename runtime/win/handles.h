#pragma once
// Move-only owners of every GDI, USER and kernel handle the program makes,
// and a guard for SelectObject. Every owner counts the handles it holds, so
// tests can see leaks that the platform cannot count for them.

#include <windows.h>

#include <cstdint>
#include <utility>

namespace rt {

// Handles held by the owners below (made and not yet freed or given away).
int64_t LiveHandleCount();

namespace detail {
void CountHandle(int delta);
}  // namespace detail

// Owns one handle; Traits::Free(handle) releases it. A handle that
// Traits::Valid rejects (null, or INVALID_HANDLE_VALUE for kernel handles)
// is taken as nothing.
template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) { Take(handle); }
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  // Frees the handle held, if any, and takes `handle`.
  void Reset(Handle handle = nullptr) {
    if (handle == handle_ && handle_) return;
    if (handle_) {
      Traits::Free(handle_);
      detail::CountHandle(-1);
    }
    handle_ = nullptr;
    Take(handle);
  }
  // Gives the handle away: the caller frees it from now on.
  Handle Release() {
    if (handle_) detail::CountHandle(-1);
    return std::exchange(handle_, nullptr);
  }

 private:
  void Take(Handle handle) {
    if (!Traits::Valid(handle)) return;
    handle_ = handle;
    detail::CountHandle(1);
  }

  Handle handle_ = nullptr;
};

struct NullIsEmpty {
  template <typename Handle>
  static bool Valid(Handle h) {
    return h != nullptr;
  }
};

struct GdiObjectTraits : NullIsEmpty {
  static void Free(HGDIOBJ h) { DeleteObject(h); }
};
struct IconTraits : NullIsEmpty {
  static void Free(HICON h) { DestroyIcon(h); }
};
struct CursorTraits : NullIsEmpty {
  static void Free(HCURSOR h) { DestroyCursor(h); }
};
struct MemoryDcTraits : NullIsEmpty {
  static void Free(HDC h) { DeleteDC(h); }
};
struct MenuTraits : NullIsEmpty {
  static void Free(HMENU h) { DestroyMenu(h); }
};
struct AcceleratorTraits : NullIsEmpty {
  static void Free(HACCEL h) { DestroyAcceleratorTable(h); }
};
struct ModuleTraits : NullIsEmpty {
  static void Free(HMODULE h) { FreeLibrary(h); }
};
struct HookTraits : NullIsEmpty {
  static void Free(HHOOK h) { UnhookWindowsHookEx(h); }
};
struct KernelHandleTraits {
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Free(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Free(HANDLE h) { FindClose(h); }
};

using GdiBitmap = UniqueHandle<HBITMAP, GdiObjectTraits>;
using GdiBrush = UniqueHandle<HBRUSH, GdiObjectTraits>;
using GdiFont = UniqueHandle<HFONT, GdiObjectTraits>;
using GdiPen = UniqueHandle<HPEN, GdiObjectTraits>;
using GdiRegion = UniqueHandle<HRGN, GdiObjectTraits>;
using IconHandle = UniqueHandle<HICON, IconTraits>;
using CursorHandle = UniqueHandle<HCURSOR, CursorTraits>;  // only cursors made, not loaded
using MemoryDc = UniqueHandle<HDC, MemoryDcTraits>;        // from CreateCompatibleDC
using MenuHandle = UniqueHandle<HMENU, MenuTraits>;
using AcceleratorTable = UniqueHandle<HACCEL, AcceleratorTraits>;
using ModuleHandle = UniqueHandle<HMODULE, ModuleTraits>;  // from LoadLibrary
using HookHandle = UniqueHandle<HHOOK, HookTraits>;        // from SetWindowsHookEx
using FileHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using EventHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using ThreadHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using FindHandle = UniqueHandle<HANDLE, FindHandleTraits>;  // from FindFirstFile

// A window's or the screen's device context, from GetDC until destruction.
class WindowDc {
 public:
  explicit WindowDc(HWND window = nullptr);
  ~WindowDc();
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};
using ScreenDc = WindowDc;

// The device context of a window's paint (BeginPaint, EndPaint): its update
// region is validated when the object goes, whether it painted or not.
class PaintDc {
 public:
  explicit PaintDc(HWND window);
  ~PaintDc();
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
  HDC dc_;
};

// The device context of a whole window, frame included (GetWindowDC).
class WholeWindowDc {
 public:
  explicit WholeWindowDc(HWND window);
  ~WholeWindowDc();
  WholeWindowDc(const WholeWindowDc&) = delete;
  WholeWindowDc& operator=(const WholeWindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back when it ends.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectGuard() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace rt
