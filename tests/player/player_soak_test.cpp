// The player left to advance through a folder of short songs in list repeat:
// the handles its owners hold and the blocks of its heap stay flat, and its
// private memory grows by less than a bound per advance (see below). The
// suite runs a short round; scripts/soak.sh runs 300 advances
// (PLAYER_SOAK_ADVANCES) and prints the figures.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

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

// The lines of the player's handle log so far.
std::vector<Sample> Samples(const std::string& log) {
  std::ifstream in(log);
  std::vector<Sample> samples;
  unsigned long ms;
  Sample line;
  while (in >> ms >> line.handles >> line.privateBytes >> line.heapBlocks) samples.push_back(line);
  return samples;
}

// The quiet counts over up to five lines from `first`: the log is written
// from another thread, so a line may fall in the middle of a routine that
// holds a text or a handle for a moment.
Sample Quiet(const std::vector<Sample>& samples, size_t first) {
  Sample q;
  const size_t end = std::min(samples.size(), first + 5);
  for (size_t i = first; i < end; ++i) {
    if (q.handles < 0 || samples[i].handles < q.handles) q.handles = samples[i].handles;
    if (q.heapBlocks < 0 || samples[i].heapBlocks < q.heapBlocks) {
      q.heapBlocks = samples[i].heapBlocks;
    }
    q.privateBytes = samples[i].privateBytes;
  }
  return q;
}

// Under Wine a bare loop of MCI open, play and close keeps about 10 KB per
// open, and the figure varies from run to run; this bound catches a leak of
// whole buffers or windows per song, not a few kilobytes.
constexpr double kBytesPerAdvance = 32 * 1024;
constexpr int kMemoryCheckAdvances = 100;

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
  size_t warmLine = 0;
  const DWORD limit = static_cast<DWORD>(advances) * 2500 + 10000;
  WaitFor(
      [&] {
        const int now = p.Selection();
        if (now != row) {
          row = now;
          if (++seen == 3) warmLine = Samples(log).size();
        }
        return seen >= advances;
      },
      limit);
  ::Sleep(5500);  // five more lines of the log
  const std::vector<Sample> samples = Samples(log);
  ASSERT_GE(seen, advances);
  ASSERT_GE(samples.size(), warmLine + 5);
  const Sample warm = Quiet(samples, warmLine);
  const Sample end = Quiet(samples, samples.size() - 5);
  // The close box ends the player with code 0, as the exit menu does.
  ::PostMessageA(p.form(), WM_SYSCOMMAND, SC_CLOSE, 0);
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
  // A dozen songs are too few to tell a leak from Wine's own warm-up (its
  // media threads take megabytes at their own pace): the short round checks
  // the exact counts, the long run the memory too.
  if (seen >= kMemoryCheckAdvances) {
    EXPECT_LT(growth, 256 * 1024 + (seen - 3) * kBytesPerAdvance);
  }
}

}  // namespace
