#include "runtime/win/handles.h"

#include <atomic>

namespace rt {

namespace {
std::atomic<int64_t> liveHandles{0};
}  // namespace

int64_t LiveHandleCount() { return liveHandles.load(); }

void detail::CountHandle(int delta) { liveHandles += delta; }

WindowDc::WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {
  if (dc_) detail::CountHandle(1);
}

WindowDc::~WindowDc() {
  if (dc_) {
    ReleaseDC(window_, dc_);
    detail::CountHandle(-1);
  }
}

PaintDc::PaintDc(HWND window) : window_(window), paint_(), dc_(BeginPaint(window, &paint_)) {
  if (dc_) detail::CountHandle(1);
}

PaintDc::~PaintDc() {
  EndPaint(window_, &paint_);
  if (dc_) detail::CountHandle(-1);
}

WholeWindowDc::WholeWindowDc(HWND window) : window_(window), dc_(GetWindowDC(window)) {
  if (dc_) detail::CountHandle(1);
}

WholeWindowDc::~WholeWindowDc() {
  if (dc_) {
    ReleaseDC(window_, dc_);
    detail::CountHandle(-1);
  }
}

}  // namespace rt
