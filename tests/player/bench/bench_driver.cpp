// Measures the player under Wine against the same window built by hand in
// plain Win32 (hand_window), with a bare one-window program (bare_window)
// beside them as context. The programs take turns, one uncounted round and
// then kRounds counted ones; for each: the time from starting the process to
// its visible window, the CPU time it had used by then, its private memory a
// second later, and the extra time a folder of 10,000 MP3 names adds to the
// start. Prints the medians, and for the player against the yardstick the
// median of the per-round ratios with its interquartile range.
//   bench_driver FOLDER-OF-10000-NAMES

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/player/player_driver.h"
#include "tests/support/desktop.h"
#include "tests/support/process.h"

namespace {

constexpr int kRounds = 15;

struct Run {
  double ms = -1;
  double cpuMs = 0;
  double privateMb = 0;
};

double PrivateMb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX c = {};
  c.cb = sizeof c;
  ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c);
  const SIZE_T bytes = c.PrivateUsage != 0 ? c.PrivateUsage : c.PagefileUsage;
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

double CpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           10000.0;
  };
  return ms(kernel) + ms(user);
}

// Starts `commandLine`, waits for its visible window with `caption`.
Run Measure(const std::string& commandLine, const std::string& caption) {
  Run run;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string line = commandLine;
  LARGE_INTEGER f, t0, t1;
  ::QueryPerformanceFrequency(&f);
  ::QueryPerformanceCounter(&t0);
  if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
    return run;
  }
  // A fine poll: the coarse one of the tests would round every program's time.
  HWND window = testing_support::WaitForProcessWindow(pi.dwProcessId, caption, 60000, 2);
  ::QueryPerformanceCounter(&t1);
  if (window) {
    run.ms =
        1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);
    run.cpuMs = CpuMs(pi.hProcess);
  }
  ::Sleep(1000);
  run.privateMb = PrivateMb(pi.hProcess);
  ::TerminateProcess(pi.hProcess, 0);
  ::WaitForSingleObject(pi.hProcess, 5000);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return run;
}

struct Program {
  std::string commandLine;
  std::string caption;
  std::vector<Run> runs;
};

// The programs take turns, so a slow spell of the machine falls on all of
// them alike rather than on whichever ran through it. The first round is not
// counted: it meets Wine's services still starting and the files not cached.
void MeasureInTurns(const std::vector<Program*>& programs) {
  for (Program* p : programs) Measure(p->commandLine, p->caption);
  for (int round = 0; round < kRounds; ++round) {
    for (Program* p : programs) p->runs.push_back(Measure(p->commandLine, p->caption));
  }
}

// The value at fraction q (0 to 1) of the sorted values.
double Quantile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[static_cast<size_t>(q * static_cast<double>(v.size() - 1) + 0.5)];
}

std::vector<double> Field(const Program& p, double Run::*field) {
  std::vector<double> v;
  for (const Run& r : p.runs) v.push_back(r.*field);
  return v;
}

double Median(const Program& p, double Run::*field) { return Quantile(Field(p, field), 0.5); }

// a's figure over b's, round by round.
std::vector<double> Ratios(const Program& a, const Program& b, double Run::*field) {
  std::vector<double> v;
  for (size_t i = 0; i < a.runs.size() && i < b.runs.size(); ++i) {
    if (b.runs[i].*field > 0) v.push_back(a.runs[i].*field / (b.runs[i].*field));
  }
  return v;
}

void PrintRatio(const char* what, const std::vector<double>& ratios, double limit) {
  std::printf(
      "%s: median of per-round ratios %.2f (interquartile range %.2f to %.2f; limit %.2f)\n", what,
      Quantile(ratios, 0.5), Quantile(ratios, 0.25), Quantile(ratios, 0.75), limit);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string names = argv[1];
  const std::string here = testing_support::TestProgramDirectory();
  const std::string bare = "\"" + here + "bare_window.exe\"";
  const std::string hand = "\"" + here + "hand_window.exe\"";
  const std::string emptyFolder = here + "bench-no-songs";
  ::CreateDirectoryA(emptyFolder.c_str(), nullptr);
  const char* caption = "欢迎使用Vessa播放器，本版献给那些毕业即将分开的情侣们";

  player_e2e::PlayerDriver empty("bench-empty", {});
  player_e2e::PlayerDriver full("bench-10000", {std::string("路径=") + names});
  Program bareEmpty{bare, "bare", {}};
  Program bareFull{bare + " " + names, "bare", {}};
  Program handEmpty{hand + " " + emptyFolder, "hand", {}};
  Program playerEmpty{"\"" + empty.folder() + "player.exe\"", caption, {}};
  Program playerFull{"\"" + full.folder() + "player.exe\"", caption, {}};
  MeasureInTurns({&handEmpty, &playerEmpty, &bareEmpty, &bareFull, &playerFull});

  std::printf(
      "start-up to the visible window (medians of %d rounds): player %.0f ms, "
      "hand-built %.0f ms, empty window %.0f ms\n",
      kRounds, Median(playerEmpty, &Run::ms), Median(handEmpty, &Run::ms),
      Median(bareEmpty, &Run::ms));
  PrintRatio("start-up, player / hand-built", Ratios(playerEmpty, handEmpty, &Run::ms), 1.30);
  std::printf(
      "CPU time to the visible window: player %.0f ms, hand-built %.0f ms, "
      "empty window %.0f ms\n",
      Median(playerEmpty, &Run::cpuMs), Median(handEmpty, &Run::cpuMs),
      Median(bareEmpty, &Run::cpuMs));
  PrintRatio("CPU time, player / hand-built", Ratios(playerEmpty, handEmpty, &Run::cpuMs), 1.30);
  const double playerMb = Median(playerEmpty, &Run::privateMb);
  const double handMb = Median(handEmpty, &Run::privateMb);
  std::printf(
      "private memory: player %.1f MB, hand-built %.1f MB, empty window %.1f MB; "
      "player - hand-built %.1f MB (limit 3.0)\n",
      playerMb, handMb, Median(bareEmpty, &Run::privateMb), playerMb - handMb);
  const double listBare = Median(bareFull, &Run::ms) - Median(bareEmpty, &Run::ms);
  const double listPlayer = Median(playerFull, &Run::ms) - Median(playerEmpty, &Run::ms);
  std::printf("listing 10000 names: player +%.0f ms, bare loop +%.0f ms, ratio %.2f (limit 1.50)\n",
              listPlayer, listBare, listPlayer / listBare);
  return 0;
}
