#include <process.h>

#include "units/win/sound_output.h"

namespace units {

bool SoundWorker::Start(std::function<bool()> poll) {
  Join();
  poll_ = std::move(poll);
  event_.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!event_) return false;
  const uintptr_t thread = _beginthreadex(nullptr, 0, &SoundWorker::Run, this, 0, nullptr);
  thread_.Reset(reinterpret_cast<HANDLE>(thread));
  if (!thread_) event_.Reset();
  return Started();
}

void SoundWorker::Wake() const {
  if (event_) SetEvent(event_.get());
}

void SoundWorker::Join() {
  if (thread_) WaitForSingleObject(thread_.get(), INFINITE);
  thread_.Reset();
  event_.Reset();
}

unsigned __stdcall SoundWorker::Run(void* self) {
  auto* worker = static_cast<SoundWorker*>(self);
  for (;;) {
    WaitForSingleObject(worker->event_.get(), INFINITE);
    bool more = false;
    try {
      more = worker->poll_();
    } catch (...) {
      more = false;
    }
    if (!more) return 0;
  }
}

}  // namespace units
