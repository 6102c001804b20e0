#pragma once
// The runtime service entry: the one door through which units, commands and
// libraries reach the runtime. Each layer registers the codes it serves; an
// unknown code answers 0.

#include <cstdint>

namespace rt {

uint64_t Service(uint32_t code, uintptr_t arg1, uintptr_t arg2);

using ServiceHandler = uint64_t (*)(uintptr_t arg1, uintptr_t arg2);
// Codes 1000..1063 and 2000..2063; null removes a handler.
void SetServiceHandler(uint32_t code, ServiceHandler handler);

// Service codes by name.
namespace svc {
inline constexpr uint32_t kDefaultIcons = 1000;
inline constexpr uint32_t kFormsRegistry = 1001;
inline constexpr uint32_t kUnitTypeRecord = 1002;
inline constexpr uint32_t kPictureToBitmap = 1003;
inline constexpr uint32_t kAnswerFive = 1005;  // answers 5, whatever is asked
inline constexpr uint32_t kCopyRuntimeText = 1006;
inline constexpr uint32_t kAddIdleCallback = 1012;
inline constexpr uint32_t kRemoveIdleCallbacks = 1013;
inline constexpr uint32_t kUnitDestroyed = 2000;
inline constexpr uint32_t kValueToInt = 2001;
inline constexpr uint32_t kProgramDirectory = 2003;
inline constexpr uint32_t kProgramFileName = 2004;
inline constexpr uint32_t kLoadForm = 2005;
inline constexpr uint32_t kFindUnit = 2006;
inline constexpr uint32_t kFindUnitOrFail = 2007;
inline constexpr uint32_t kRaiseEvent = 2008;
inline constexpr uint32_t kEnterBusy = 2009;
inline constexpr uint32_t kLeaveBusy = 2010;
inline constexpr uint32_t kPlaySound = 2015;
inline constexpr uint32_t kEventSource = 2017;
inline constexpr uint32_t kPumpMessages = 2018;
inline constexpr uint32_t kUnitTypeCode = 2022;
inline constexpr uint32_t kFreeValue = 2023;
inline constexpr uint32_t kAllocate = 2024;
inline constexpr uint32_t kFree = 2025;
inline constexpr uint32_t kReallocate = 2026;
inline constexpr uint32_t kFatalError = 2027;
inline constexpr uint32_t kExitProgram = 2028;
inline constexpr uint32_t kHeaderWord0 = 2030;
inline constexpr uint32_t kRaiseTypedEvent = 2031;
inline constexpr uint32_t kFormCount = 2032;
inline constexpr uint32_t kFormWindow = 2033;
}  // namespace svc

// Argument 1 of service 2015: the sound block to play and the flag handed
// to its player (non-zero loops).
struct SoundBlockRequest {
  const uint8_t* bytes;
  uint32_t length;
  uint32_t flag;
};

// Buffer size that service 1006 may fill (a module path and a backslash).
inline constexpr int kRuntimeTextBufferSize = 262;

// Typed calls of the services that take a record or a buffer, and the
// record as their handlers read it: nobody else builds or casts the words.

// Service 2015: 1 when the block started playing.
inline uint32_t RequestSound(const uint8_t* bytes, uint32_t length, uint32_t flag) {
  const SoundBlockRequest request = {bytes, length, flag};
  return static_cast<uint32_t>(Service(svc::kPlaySound, reinterpret_cast<uintptr_t>(&request), 0));
}
inline const SoundBlockRequest* SoundRequestIn(uintptr_t word) {
  return reinterpret_cast<const SoundBlockRequest*>(word);
}

// Service 1000: the program's big and small icons, which stay the runtime's.
inline void RequestDefaultIcons(void* (&icons)[2]) {
  Service(svc::kDefaultIcons, reinterpret_cast<uintptr_t>(icons), 0);
}
inline void** DefaultIconsIn(uintptr_t word) { return reinterpret_cast<void**>(word); }

// Service 1006: one of the runtime's texts (2002 is the program's file name).
inline void ReadRuntimeText(uint32_t text, char (&buffer)[kRuntimeTextBufferSize]) {
  Service(svc::kCopyRuntimeText, text, reinterpret_cast<uintptr_t>(buffer));
}

}  // namespace rt
