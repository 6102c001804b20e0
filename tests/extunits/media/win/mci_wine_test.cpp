// The player with the system's MCI, as Wine provides it, on short MP3 files
// that the test run makes (scripts/make-test-mp3s.sh, folder in
// MEDIA_SAMPLES): opening, playing, pausing, seeking, lengths, the end of a
// file, and files that do not open.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "extunits/media/mci_player.h"
#include "extunits/media/win/media_unit.h"

namespace {

using media::MciPlayer;

std::string Sample(const char* name) {
  const char* folder = std::getenv("MEDIA_SAMPLES");
  return std::string(folder ? folder : "") + "\\" + name;
}

class MciWineTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(std::getenv("MEDIA_SAMPLES"), nullptr); }

  // Opens a 2-second tone and checks its length in milliseconds.
  void OpenTone(const char* name = "cbr-id3v2.mp3") {
    ASSERT_TRUE(player_.Open(Sample(name).c_str())) << name;
    length_ = player_.GetLength();
    EXPECT_GE(length_, 1900) << name;
    EXPECT_LE(length_, 2200) << name;
  }
  // Polls the position until `done` accepts it or `ms` have passed; the last
  // position read. The device plays in real time, but how soon a program
  // sees it depends on the machine (an emulated one is slower).
  template <typename Done>
  int32_t PollUntil(Done done, DWORD ms = 5000) {
    const DWORD start = ::GetTickCount();
    int32_t position = player_.GetPosition();
    while (!done(position) && ::GetTickCount() - start < ms) {
      ::Sleep(50);
      position = player_.GetPosition();
    }
    return position;
  }
  int32_t PollUntilEnd(DWORD ms = 5000) {
    return PollUntil([&](int32_t p) { return p == length_; }, ms);
  }

  MciPlayer player_{media::NewAlias()};
  int32_t length_ = 0;
};

TEST_F(MciWineTest, EachKindOfFileOpensAndPlays) {
  for (const char* name : {"cbr-id3v2.mp3", "mono-22k.mp3", "vbr.mp3"}) {
    SCOPED_TRACE(name);
    OpenTone(name);
    EXPECT_EQ(player_.GetPosition(), 0);
    ASSERT_TRUE(player_.Play(-1, std::nullopt));
    const int32_t first = PollUntil([](int32_t p) { return p >= 100; });
    const int32_t second = PollUntil([&](int32_t p) { return p > first; });
    EXPECT_GE(first, 100);
    EXPECT_GT(second, first);
    EXPECT_LT(second, length_);
  }
}

TEST_F(MciWineTest, PauseHoldsThePositionAndResumeGoesOn) {
  OpenTone();
  ASSERT_TRUE(player_.Play(-1, std::nullopt));
  PollUntil([](int32_t p) { return p >= 300; });
  ASSERT_TRUE(player_.TogglePause());
  const int32_t paused = player_.GetPosition();
  ::Sleep(400);  // a paused device holds its place however long one looks
  EXPECT_NEAR(player_.GetPosition(), paused, 30);
  ASSERT_TRUE(player_.TogglePause());
  EXPECT_GT(PollUntil([&](int32_t p) { return p > paused + 150; }), paused + 150);
}

TEST_F(MciWineTest, PlaysFromAPosition) {
  OpenTone();
  ASSERT_TRUE(player_.Play(1200, std::nullopt));
  const int32_t position = player_.GetPosition();  // the play began by seeking there
  EXPECT_GE(position, 1200);
  EXPECT_LT(position, length_);
}

// Under Wine the device reports the position it started from once a file
// has ended; the player reports the length, then and on every later call,
// and again after a replay of the same device has reached the end.
TEST_F(MciWineTest, AFileThatPlayedToItsEndReportsItsLength) {
  OpenTone();
  ASSERT_TRUE(player_.Play(1400, std::nullopt));
  EXPECT_EQ(PollUntilEnd(), length_);
  for (int i = 0; i < 3; ++i) {
    ::Sleep(100);
    EXPECT_EQ(player_.GetPosition(), length_);
  }
  ASSERT_TRUE(player_.Play(1000, std::nullopt));
  const int32_t replaying = player_.GetPosition();
  EXPECT_GE(replaying, 1000);
  EXPECT_LT(replaying, length_);
  EXPECT_EQ(PollUntilEnd(), length_);
}

// Nobody asks while it plays: the first question after the end gets the length.
TEST_F(MciWineTest, TheEndIsReportedWithoutWatchingThePlay) {
  OpenTone();
  ASSERT_TRUE(player_.Play(1300, std::nullopt));
  ::Sleep(length_ - 1300 + 300);
  EXPECT_EQ(PollUntilEnd(), length_);
}

TEST_F(MciWineTest, FilesThatDoNotOpenReportFalse) {
  EXPECT_FALSE(player_.Open(Sample("missing.mp3").c_str()));
  EXPECT_EQ(player_.GetLength(), 0);
  EXPECT_EQ(player_.GetPosition(), -1);
  EXPECT_FALSE(player_.Play(-1, std::nullopt));
  EXPECT_FALSE(player_.Open(Sample("not-audio.mp3").c_str()));
  EXPECT_EQ(player_.GetPosition(), -1);
  OpenTone();  // the same player opens a good file afterwards
}

}  // namespace
