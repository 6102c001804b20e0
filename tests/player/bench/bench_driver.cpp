// Measures the player under Wine against the same window built by hand in
// plain Win32 (hand_window), with a bare one-window program (bare_window)
// beside them as context. The programs take turns, one uncounted round and
// then kRounds counted ones; for each: the time from starting the process to
// its visible window, the CPU time it and Wine's server had used by then
// (read from Linux's /proc), its private memory a second later, and the extra
// time a folder of 10,000 MP3 names adds to the start. Prints the medians,
// and for the player against the yardstick the median of the per-round
// ratios with its interquartile range.
//   bench_driver FOLDER-OF-10000-NAMES

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tests/player/player_driver.h"
#include "tests/support/process.h"

namespace {

constexpr int kRounds = 21;

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

// ---- CPU time, read from Linux's /proc through Wine's Z: drive ----------------

std::string ReadSmall(const std::string& path) {
  HANDLE f = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  char buffer[512];
  DWORD got = 0;
  const bool ok = ::ReadFile(f, buffer, sizeof buffer - 1, &got, nullptr) != 0;
  ::CloseHandle(f);
  return ok ? std::string(buffer, got) : std::string();
}

// The names of the entries of a /proc folder that are all digits.
std::vector<std::string> NumberedEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE h = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos) {
      names.push_back(name);
    }
  } while (::FindNextFileA(h, &found));
  ::FindClose(h);
  return names;
}

// Linux processes whose name (at most 15 characters) begins with `name`'s.
std::vector<std::string> LinuxProcesses(const std::string& name) {
  std::vector<std::string> folders;
  const std::string wanted = name.substr(0, 15);
  for (const std::string& pid : NumberedEntries("Z:\\proc")) {
    const std::string folder = "Z:\\proc\\" + pid;
    if (ReadSmall(folder + "\\comm").compare(0, wanted.size(), wanted) == 0) {
      folders.push_back(folder);
    }
  }
  return folders;
}

// The CPU time the threads of a Linux process have had, in milliseconds.
double LinuxCpuMs(const std::string& folder) {
  double ns = 0;
  for (const std::string& task : NumberedEntries(folder + "\\task")) {
    ns += std::strtod(ReadSmall(folder + "\\task\\" + task + "\\schedstat").c_str(), nullptr);
  }
  return ns / 1e6;
}

double LinuxCpuMs(const std::vector<std::string>& folders) {
  double ms = 0;
  for (const std::string& folder : folders) ms += LinuxCpuMs(folder);
  return ms;
}

// The newest Linux process of the program `commandLine` starts.
std::string NewestLinuxProcess(const std::string& commandLine) {
  std::string exe = commandLine.substr(0, commandLine.find(".exe") + 4);
  exe = exe.substr(exe.find_last_of("\\\"") + 1);
  std::string newest;
  unsigned long long newestStart = 0;
  for (const std::string& folder : LinuxProcesses(exe)) {
    // The start time is the 22nd field; the name in field 2 holds no ')'.
    const std::string stat = ReadSmall(folder + "\\stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    const char* field = stat.c_str() + close + 2;
    for (int i = 3; i < 22 && field; ++i) {
      field = std::strchr(field, ' ');
      if (field) ++field;
    }
    const unsigned long long start = field ? std::strtoull(field, nullptr, 10) : 0;
    if (newest.empty() || start >= newestStart) {
      newest = folder;
      newestStart = start;
    }
  }
  return newest;
}

const std::vector<std::string>& WineServers() {
  static const std::vector<std::string> servers = LinuxProcesses("wineserver");
  return servers;
}

BOOL CALLBACK MatchShownWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<std::pair<const std::string*, HWND>*>(param);
  char text[256] = {};
  if (::IsWindowVisible(window) && ::GetWindowTextA(window, text, sizeof text) &&
      *search->first == text) {
    search->second = window;
    return FALSE;
  }
  return TRUE;
}

// Polls every 2 ms for a visible window with `caption` of the program's main
// thread. Only that thread's few windows are asked about, so the poll takes
// little of Wine's server from the program it waits for.
HWND WaitForShownWindow(DWORD threadId, const std::string& caption, DWORD timeoutMs) {
  std::pair<const std::string*, HWND> search{&caption, nullptr};
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < timeoutMs) {
    ::EnumThreadWindows(threadId, MatchShownWindow, reinterpret_cast<LPARAM>(&search));
    if (search.second) return search.second;
    ::Sleep(2);
  }
  return nullptr;
}

// Starts `commandLine`, waits for its visible window with `caption`. The
// machine is first left a moment to finish tearing down the program before,
// so that no program's start shares the machine with that.
Run Measure(const std::string& commandLine, const std::string& caption) {
  Run run;
  ::Sleep(300);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string line = commandLine;
  LARGE_INTEGER f, t0, t1;
  ::QueryPerformanceFrequency(&f);
  const double serverBefore = LinuxCpuMs(WineServers());
  ::QueryPerformanceCounter(&t0);
  if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
    return run;
  }
  HWND window = WaitForShownWindow(pi.dwThreadId, caption, 60000);
  ::QueryPerformanceCounter(&t1);
  if (window) {
    run.ms =
        1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);
    // Held still while its CPU time is read, which takes a while.
    ::SuspendThread(pi.hThread);
    const double serverAfter = LinuxCpuMs(WineServers());
    run.cpuMs = LinuxCpuMs(NewestLinuxProcess(commandLine)) + serverAfter - serverBefore;
    ::ResumeThread(pi.hThread);
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
