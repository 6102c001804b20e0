#pragma once
// Move-only owners of the GDI and USER handles the picture layer makes, and
// a guard for SelectObject. Every owner counts the handles it holds, so
// tests can see leaks that the platform cannot count for them.

#include <windows.h>

#include <cstdint>
#include <utility>

namespace ext {

// Handles held by the owners below (made and not yet freed or given away).
int64_t LiveHandleCount();

namespace detail {
void CountHandle(int delta);
}  // namespace detail

// Owns one handle; Traits::Free(handle) releases it.
template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  // Takes ownership of `handle` (null: owns nothing).
  explicit UniqueHandle(Handle handle) : handle_(handle) {
    if (handle_) detail::CountHandle(1);
  }
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
    if (handle_) {
      Traits::Free(handle_);
      detail::CountHandle(-1);
    }
    handle_ = handle;
    if (handle_) detail::CountHandle(1);
  }
  // Gives the handle away: the caller frees it from now on.
  Handle Release() {
    if (handle_) detail::CountHandle(-1);
    return std::exchange(handle_, nullptr);
  }

 private:
  Handle handle_ = nullptr;
};

struct GdiObjectTraits {
  static void Free(HGDIOBJ h) { DeleteObject(h); }
};
struct IconTraits {
  static void Free(HICON h) { DestroyIcon(h); }
};
struct MemoryDcTraits {
  static void Free(HDC h) { DeleteDC(h); }
};

using GdiBitmap = UniqueHandle<HBITMAP, GdiObjectTraits>;
using IconHandle = UniqueHandle<HICON, IconTraits>;
using MemoryDc = UniqueHandle<HDC, MemoryDcTraits>;  // from CreateCompatibleDC

// The screen's device context, from GetDC(null) until destruction.
class ScreenDc {
 public:
  ScreenDc();
  ~ScreenDc();
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
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

}  // namespace ext
