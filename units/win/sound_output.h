#pragma once
// What the wave and MIDI players share: owners of their output devices and
// the worker thread each player keeps. Devices are opened with
// CALLBACK_EVENT on the worker's event, so no device callback runs code of
// ours: the device signals the event and the worker does the rest.

#include <windows.h>
#include <mmsystem.h>

#include <functional>

#include "runtime/win/handles.h"
#include "runtime/win/late_import.h"

namespace units {

struct WaveOutTraits : rt::NullIsEmpty {
  static void Free(HWAVEOUT h) { rt::winmm::waveOutClose(h); }
};
struct MidiStreamTraits : rt::NullIsEmpty {
  static void Free(HMIDISTRM h) { rt::winmm::midiStreamClose(h); }
};
// Closing needs the device reset and its buffers unprepared first; the
// players do that before they let the owner go.
using WaveOutDevice = rt::UniqueHandle<HWAVEOUT, WaveOutTraits>;
using MidiStreamDevice = rt::UniqueHandle<HMIDISTRM, MidiStreamTraits>;

// A thread that calls `poll` each time its event is signalled (by a device
// or by Wake) until `poll` answers false. No exception leaves the thread: one
// thrown by `poll` ends it.
class SoundWorker {
 public:
  SoundWorker() = default;
  ~SoundWorker() { Join(); }
  SoundWorker(const SoundWorker&) = delete;
  SoundWorker& operator=(const SoundWorker&) = delete;

  // Makes the event and the thread; false when either cannot be made.
  bool Start(std::function<bool()> poll);
  bool Started() const { return static_cast<bool>(thread_); }
  HANDLE Event() const { return event_.get(); }
  void Wake() const;
  // Waits for the thread to end (the caller has made `poll` answer false and
  // woken it), then frees the thread and the event.
  void Join();

 private:
  static unsigned __stdcall Run(void* self);
  std::function<bool()> poll_;
  rt::EventHandle event_;
  rt::ThreadHandle thread_;
};

// Reads a header's flags, which the device's own thread sets.
inline DWORD DeviceFlags(const DWORD& flags) { return *static_cast<const volatile DWORD*>(&flags); }

}  // namespace units
