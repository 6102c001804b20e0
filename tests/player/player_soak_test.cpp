// The player left to advance through a folder of short songs in list repeat:
// the handles its owners hold and the blocks of its heap stay flat. Its
// private memory may grow only by what the system's MCI keeps per song
// opened: under Wine a bare loop of MCI open, play and close keeps about
// 10 KB per open (measured here), so more than 16 KB per advance is a leak of
// the program's own. The suite runs a short round; scripts/soak.sh runs 300
// advances (PLAYER_SOAK_ADVANCES) and prints the figures.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tests/player/player_driver.h"
#include "tests/support/process.h"

namespace {

using player_e2e::PlayerDriver;
using player_e2e::WaitFor;

struct Sample {
  long long handles = -1;
  unsigned long long privateBytes = 0;
  long long heapBlocks = -1;
};

// The last line the player's handle log holds.
Sample LastSample(const std::string& log) {
  std::ifstream in(log);
  Sample s;
  unsigned long ms;
  Sample line;
  while (in >> ms >> line.handles >> line.privateBytes >> line.heapBlocks) s = line;
  return s;
}

constexpr double kMciBytesPerOpen = 16 * 1024;

int Advances() {
  char text[16] = {};
  const DWORD n = ::GetEnvironmentVariableA("PLAYER_SOAK_ADVANCES", text, sizeof text);
  return n > 0 && n < sizeof text ? std::atoi(text) : 12;
}

TEST(PlayerSoak, HandlesAndMemoryStayFlatOverAutomaticAdvances) {
  const int advances = Advances();
  const std::string songs = testing_support::TestProgramDirectory() + "soak-songs";
  PlayerDriver p("e2e-soak", {std::string("路径=") + songs});
  const std::string log = p.folder() + "handles.log";
  ::DeleteFileA(log.c_str());
  ::SetEnvironmentVariableA("PLAYER_HANDLE_LOG", log.c_str());
  ASSERT_TRUE(p.Start());
  ::SetEnvironmentVariableA("PLAYER_HANDLE_LOG", nullptr);
  ASSERT_TRUE(p.ChooseMenu("列表循环播放"));
  p.Select(0);
  p.Click("播放");

  // Songs under a second end at every tick: one advance a second.
  int seen = 0, row = 0;
  Sample warm;
  const DWORD limit = static_cast<DWORD>(advances) * 2500 + 10000;
  WaitFor(
      [&] {
        const int now = p.Selection();
        if (now != row) {
          row = now;
          if (++seen == 3) warm = LastSample(log);
        }
        return seen >= advances;
      },
      limit);
  ::Sleep(1500);  // one more line of the log
  const Sample end = LastSample(log);
  ASSERT_GE(seen, advances);
  ASSERT_TRUE(p.ChooseMenu("退出播放器"));
  EXPECT_EQ(p.WaitForExit(10000), 0);
  const double growth =
      static_cast<double>(end.privateBytes) - static_cast<double>(warm.privateBytes);
  std::printf(
      "soak: %d advances; live handles %lld -> %lld; heap blocks %lld -> %lld; private bytes "
      "%llu -> %llu (%.0f per advance)\n",
      seen, warm.handles, end.handles, warm.heapBlocks, end.heapBlocks, warm.privateBytes,
      end.privateBytes, growth / (seen - 3));
  EXPECT_GE(warm.handles, 0);
  EXPECT_GT(warm.privateBytes, 0u);
  EXPECT_EQ(end.handles, warm.handles);
  EXPECT_EQ(end.heapBlocks, warm.heapBlocks);
  EXPECT_LT(growth, 256 * 1024 + (seen - 3) * kMciBytesPerOpen);
}

}  // namespace
