#include "extunits/win/gdi_handles.h"

#include <atomic>

namespace ext {

namespace {
std::atomic<int64_t> liveHandles{0};
}  // namespace

int64_t LiveHandleCount() { return liveHandles.load(); }

void detail::CountHandle(int delta) { liveHandles += delta; }

ScreenDc::ScreenDc() : dc_(GetDC(nullptr)) {
  if (dc_) detail::CountHandle(1);
}

ScreenDc::~ScreenDc() {
  if (dc_) {
    ReleaseDC(nullptr, dc_);
    detail::CountHandle(-1);
  }
}

}  // namespace ext
