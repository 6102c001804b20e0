// Measures the player against the bare reference program under Wine, the
// programs taking turns for five rounds and the median of each taken: the
// time from starting the process to its visible window, its private memory
// a second later, and the extra time a folder of 10,000 MP3 names adds to
// the start. Prints the ratios.
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

struct Run {
  double ms = 0;
  double privateMb = 0;
};

double PrivateMb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX c = {};
  c.cb = sizeof c;
  ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c);
  const SIZE_T bytes = c.PrivateUsage != 0 ? c.PrivateUsage : c.PagefileUsage;
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
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
  // A fine poll: the coarse one of the tests would round both programs' times.
  HWND window = testing_support::WaitForProcessWindow(pi.dwProcessId, caption, 60000, 2);
  ::QueryPerformanceCounter(&t1);
  run.ms = window ? 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) /
                        static_cast<double>(f.QuadPart)
                  : -1;
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

// The programs take turns, five rounds, so a slow spell of the machine falls
// on all of them alike rather than on whichever ran through it. A first round
// is not counted: it is the one that meets Wine's services still starting
// and the files not yet cached.
void MeasureInTurns(std::vector<Program*> programs) {
  for (Program* p : programs) Measure(p->commandLine, p->caption);
  for (int round = 0; round < 5; ++round) {
    for (Program* p : programs) p->runs.push_back(Measure(p->commandLine, p->caption));
  }
}

Run Median(const Program& program) {
  auto median = [&](double Run::*field) {
    std::vector<double> v;
    for (const Run& r : program.runs) v.push_back(r.*field);
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  return {median(&Run::ms), median(&Run::privateMb)};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string names = argv[1];
  const std::string here = testing_support::TestProgramDirectory();
  const std::string bare = "\"" + here + "bare_window.exe\"";
  const char* caption = "欢迎使用Vessa播放器，本版献给那些毕业即将分开的情侣们";

  player_e2e::PlayerDriver empty("bench-empty", {});
  player_e2e::PlayerDriver full("bench-10000", {std::string("路径=") + names});
  Program bareEmpty{bare, "bare", {}};
  Program bareFull{bare + " " + names, "bare", {}};
  Program playerEmpty{"\"" + empty.folder() + "player.exe\"", caption, {}};
  Program playerFull{"\"" + full.folder() + "player.exe\"", caption, {}};
  MeasureInTurns({&bareEmpty, &playerEmpty, &bareFull, &playerFull});
  const Run bareStart = Median(bareEmpty);
  const Run bareList = Median(bareFull);
  const Run playerStart = Median(playerEmpty);
  const Run playerList = Median(playerFull);

  const double listBare = bareList.ms - bareStart.ms;
  const double listPlayer = playerList.ms - playerStart.ms;
  std::printf("start-up to visible window: player %.0f ms, bare %.0f ms, ratio %.2f (limit 1.30)\n",
              playerStart.ms, bareStart.ms, playerStart.ms / bareStart.ms);
  std::printf("private memory: player %.1f MB, bare %.1f MB, difference %.1f MB (limit 8)\n",
              playerStart.privateMb, bareStart.privateMb,
              playerStart.privateMb - bareStart.privateMb);
  std::printf("listing 10000 names: player +%.0f ms, bare +%.0f ms, ratio %.2f (limit 1.50)\n",
              listPlayer, listBare, listPlayer / listBare);
  return 0;
}
