// The soak run's reference: what the system's MCI itself keeps per song
// opened. Opens and plays the file given N times (as the player advances),
// and prints the growth of private bytes per open after a warm-up of 20.
//   mci_loop FILE N

#include <windows.h>

#include <mmsystem.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX c = {};
  c.cb = sizeof c;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c),
                         sizeof c);
  return c.PrivateUsage != 0 ? c.PrivateUsage : c.PagefileUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string open = std::string("open \"") + argv[1] + "\" type MPEGvideo alias song";
  const int n = std::atoi(argv[2]);
  SIZE_T warm = 0;
  for (int i = 0; i < n + 20; ++i) {
    if (i == 20) warm = PrivateBytes();
    ::mciSendStringA("close song", nullptr, 0, nullptr);
    ::mciSendStringA(open.c_str(), nullptr, 0, nullptr);
    ::mciSendStringA("play song", nullptr, 0, nullptr);
    ::Sleep(30);
  }
  ::mciSendStringA("close song", nullptr, 0, nullptr);
  const double perOpen = (static_cast<double>(PrivateBytes()) - static_cast<double>(warm)) / n;
  std::printf("%.0f\n", perOpen);
  return 0;
}
