#include "player/win/handle_log.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>

#include "runtime/heap.h"
#include "runtime/win/handles.h"

namespace player {

namespace {

std::string gLogFile;

// psapi is loaded only here, so the product imports nothing beyond what
// every Windows has. It stays loaded while the logging thread may run, that
// is until the process ends.
using MemoryInfoFn = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
rt::ModuleHandle* gPsapi = nullptr;
MemoryInfoFn gMemoryInfo = nullptr;

SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  auto* plain = reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters);
  if (!gMemoryInfo || !gMemoryInfo(::GetCurrentProcess(), plain, sizeof counters)) return 0;
  // Wine leaves PrivateUsage at 0; the page file usage is the same commit.
  return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

DWORD WINAPI LogEverySecond(void*) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (FILE* f = std::fopen(gLogFile.c_str(), "a")) {
      std::fprintf(f, "%lu %lld %llu %lld\n", static_cast<unsigned long>(::GetTickCount() - start),
                   static_cast<long long>(rt::LiveHandleCount()),
                   static_cast<unsigned long long>(PrivateBytes()),
                   static_cast<long long>(rt::LiveBlockCount()));
      std::fclose(f);
    }
    ::Sleep(1000);
  }
}

}  // namespace

void StartHandleLogIfAsked() {
  char path[MAX_PATH] = {};
  const DWORD n = ::GetEnvironmentVariableA("PLAYER_HANDLE_LOG", path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
  gLogFile = path;
  gPsapi = new rt::ModuleHandle(::LoadLibraryA("psapi.dll"));
  if (gPsapi->get()) {
    gMemoryInfo = reinterpret_cast<MemoryInfoFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(gPsapi->get(), "GetProcessMemoryInfo")));
  }
  if (HANDLE thread = ::CreateThread(nullptr, 0, LogEverySecond, nullptr, 0, nullptr)) {
    ::CloseHandle(thread);  // runs until the process ends
  }
}

}  // namespace player
