// The player left to advance through a folder of short songs in list repeat:
// the handles its owners hold and its private memory stay flat. The suite
// runs a short round; scripts/soak.sh runs 300 advances
// (PLAYER_SOAK_ADVANCES) and prints the figures.

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
};

// The last line the player's handle log holds.
Sample LastSample(const std::string& log) {
  std::ifstream in(log);
  Sample s;
  unsigned long ms;
  Sample line;
  while (in >> ms >> line.handles >> line.privateBytes) s = line;
  return s;
}

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
  std::printf("soak: %d advances; live handles %lld -> %lld; private bytes %llu -> %llu\n", seen,
              warm.handles, end.handles, warm.privateBytes, end.privateBytes);
  EXPECT_GE(warm.handles, 0);
  EXPECT_GT(warm.privateBytes, 0u);
  EXPECT_EQ(end.handles, warm.handles);
  EXPECT_LT(end.privateBytes, warm.privateBytes + 2 * 1024 * 1024);
  ASSERT_TRUE(p.ChooseMenu("退出播放器"));
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

}  // namespace
