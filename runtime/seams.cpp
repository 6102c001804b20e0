#include "runtime/seams.h"

#include <atomic>
#include <cstdlib>

namespace rt {

namespace {
std::atomic<MessageBoxFn> messageBox{nullptr};
std::atomic<EndProcessFn> endProcess{nullptr};
}  // namespace

MessageBoxFn SetMessageBoxSeam(MessageBoxFn fn) { return messageBox.exchange(fn); }
EndProcessFn SetEndProcessSeam(EndProcessFn fn) { return endProcess.exchange(fn); }

int32_t ShowMessageBox(void* owner, const char* text, const char* caption, uint32_t style) {
  MessageBoxFn fn = messageBox.load();
  return fn ? fn(owner, text, caption, style) : PlatformMessageBox(owner, text, caption, style);
}

void EndProcess(int32_t code) {
  if (EndProcessFn fn = endProcess.load()) {
    fn(code);
    std::abort();  // a replacement that returns breaks the contract
  }
  PlatformEndProcess(code);
}

}  // namespace rt
