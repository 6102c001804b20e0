#pragma once
// Functions of the system DLLs that nothing needs before the first form
// shows: sound and MCI (winmm) and gradients (msimg32). They are bound on
// their first call rather than imported, since the loader loads and attaches
// every imported DLL before the program starts. A DLL bound so stays loaded
// until the process ends. A function the system lacks is a fatal runtime
// error, as for a DLL command.
//
// Each is declared once below, typed as the system's declaration, and
// called as rt::winmm::waveOutOpen(...). The product links neither DLL, so
// a direct call does not link.

#include <windows.h>
#include <mmsystem.h>

#include <atomic>

namespace rt {

// The address of `function` in the system DLL `dll`, loading the DLL when
// it is not loaded yet; does not return when either is missing.
void* BindLateImport(const char* dll, const char* function);

template <typename Fn>
class LateImport {
 public:
  constexpr LateImport(const char* dll, const char* function) : dll_(dll), function_(function) {}
  LateImport(const LateImport&) = delete;
  LateImport& operator=(const LateImport&) = delete;

  // The sound worker threads call too: two first calls at once bind twice
  // to the same address.
  template <typename... Args>
  auto operator()(Args... args) const {
    void* address = address_.load(std::memory_order_acquire);
    if (address == nullptr) {
      address = BindLateImport(dll_, function_);
      address_.store(address, std::memory_order_release);
    }
    return reinterpret_cast<Fn>(address)(args...);
  }

 private:
  const char* dll_;
  const char* function_;
  mutable std::atomic<void*> address_{nullptr};
};

namespace winmm {
#define RT_LATE(name) \
  inline const LateImport<decltype(&::name)> name { "winmm.dll", #name }
RT_LATE(mciSendStringA);
RT_LATE(mciSendCommandA);
RT_LATE(waveOutOpen);
RT_LATE(waveOutPrepareHeader);
RT_LATE(waveOutWrite);
RT_LATE(waveOutReset);
RT_LATE(waveOutUnprepareHeader);
RT_LATE(waveOutClose);
RT_LATE(midiStreamOpen);
RT_LATE(midiStreamProperty);
RT_LATE(midiStreamRestart);
RT_LATE(midiStreamOut);
RT_LATE(midiStreamStop);
RT_LATE(midiStreamClose);
RT_LATE(midiOutPrepareHeader);
RT_LATE(midiOutUnprepareHeader);
RT_LATE(midiOutReset);
#undef RT_LATE
}  // namespace winmm

namespace msimg32 {
inline const LateImport<decltype(&::GradientFill)> GradientFill{"msimg32.dll", "GradientFill"};
}  // namespace msimg32

}  // namespace rt
