#include "player/win/handle_log.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
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

// The lowest counts over one second, sampled ten times: the handles and
// blocks an event routine holds while it runs (a song being opened, its
// name) are not left behind, and a sample taken at one fixed moment of the
// second can keep meeting the once-a-second tick in the middle of its work.
struct Counts {
  long long handles;
  long long blocks;
};

Counts QuietCountsOverASecond() {
  Counts low = {rt::LiveHandleCount(), rt::LiveBlockCount()};
  for (int i = 0; i < 9; ++i) {
    ::Sleep(100);
    low.handles = std::min<long long>(low.handles, rt::LiveHandleCount());
    low.blocks = std::min<long long>(low.blocks, rt::LiveBlockCount());
  }
  ::Sleep(100);
  return low;
}

DWORD WINAPI LogEverySecond(void*) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    const Counts quiet = QuietCountsOverASecond();
    if (FILE* f = std::fopen(gLogFile.c_str(), "a")) {
      std::fprintf(f, "%lu %lld %llu %lld\n", static_cast<unsigned long>(::GetTickCount() - start),
                   quiet.handles, static_cast<unsigned long long>(PrivateBytes()), quiet.blocks);
      std::fclose(f);
    }
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
