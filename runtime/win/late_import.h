#pragma once
// Functions of system DLLs that the program needs late or not at all:
// sound and MCI (winmm), gradients (msimg32), and OLE with the media unit's
// alias (ole32, rpcrt4), loaded at the OLE step of the runtime's
// initialisation. They are bound on their first call rather than imported:
// the loader would load and attach every imported DLL before the program
// starts, and under Wine that costs more than loading the same DLL later. A
// DLL bound so stays loaded until the process ends. A function the system
// lacks is a fatal runtime error, as for a DLL command.
//
// Each is declared once below, typed as the system's declaration, and
// called as rt::winmm::waveOutOpen(...). The product links none of these
// DLLs, so a direct call does not link.

#include <ole2.h>
#include <windows.h>
#include <mmsystem.h>
#include <rpc.h>

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

// One declaration per function: its type from the system's header, its
// name as the DLL exports it.
#define RT_LATE_IMPORT(dll, name) \
  inline const LateImport<decltype(&::name)> name { dll, #name }

namespace winmm {
RT_LATE_IMPORT("winmm.dll", mciSendStringA);
RT_LATE_IMPORT("winmm.dll", mciSendCommandA);
RT_LATE_IMPORT("winmm.dll", waveOutOpen);
RT_LATE_IMPORT("winmm.dll", waveOutPrepareHeader);
RT_LATE_IMPORT("winmm.dll", waveOutWrite);
RT_LATE_IMPORT("winmm.dll", waveOutReset);
RT_LATE_IMPORT("winmm.dll", waveOutUnprepareHeader);
RT_LATE_IMPORT("winmm.dll", waveOutClose);
RT_LATE_IMPORT("winmm.dll", midiStreamOpen);
RT_LATE_IMPORT("winmm.dll", midiStreamProperty);
RT_LATE_IMPORT("winmm.dll", midiStreamRestart);
RT_LATE_IMPORT("winmm.dll", midiStreamOut);
RT_LATE_IMPORT("winmm.dll", midiStreamStop);
RT_LATE_IMPORT("winmm.dll", midiStreamClose);
RT_LATE_IMPORT("winmm.dll", midiOutPrepareHeader);
RT_LATE_IMPORT("winmm.dll", midiOutUnprepareHeader);
RT_LATE_IMPORT("winmm.dll", midiOutReset);
}  // namespace winmm

namespace msimg32 {
RT_LATE_IMPORT("msimg32.dll", GradientFill);
}  // namespace msimg32

namespace ole32 {
RT_LATE_IMPORT("ole32.dll", OleInitialize);
RT_LATE_IMPORT("ole32.dll", OleUninitialize);
RT_LATE_IMPORT("ole32.dll", CoCreateGuid);
}  // namespace ole32

namespace rpcrt4 {
RT_LATE_IMPORT("rpcrt4.dll", UuidToStringA);
RT_LATE_IMPORT("rpcrt4.dll", RpcStringFreeA);
}  // namespace rpcrt4

#undef RT_LATE_IMPORT

}  // namespace rt
