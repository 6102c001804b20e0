// The MCI player against a fake MCI port: the exact command strings, the
// results, and the rule that reports the length once a file has played to
// its end.

#include "extunits/media/mci_player.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

#include "tests/extunits/media/fake_mci.h"

namespace {

using fakemci::Fake;
using media::MciPlayer;
using Lines = std::vector<std::string>;

const char kAlias[] = "0123456789abcdef0123456789abcdef";

TEST(MediaRules, ExtensionsChooseTheDeviceTypeAndVideo) {
  struct Case {
    const char* name;
    const char* extension;
    const char* device;
    bool video;
  };
  const Case cases[] = {
      {"C:\\music\\song.MP3", "mp3", "MPEGvideo", false},
      {"clip.avi", "avi", "avivideo", true},
      {"track", "tra", "MPEGvideo", true},
      {"a.wav", "wav", "waveaudio", false},
      {"b.cda", "cda", "cdaudio", false},
      {"c.ram", "ram", "MPEGvideo", true},
      {"d.MID", "mid", "Sequencer", false},
      {"e.rmi", "rmi", "Sequencer", true},
      {"f.old.wma", "wma", "MPEGvideo2", true},
      {"g.wvx", "wvx", "MPEGvideo2", true},
      {"h.mpeg", "mpe", "MPEGvideo", true},
      {"", "", "MPEGvideo", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string extension = media::ExtensionOf(c.name);
    EXPECT_EQ(extension, c.extension);
    EXPECT_STREQ(media::DeviceTypeFor(extension), c.device);
    EXPECT_EQ(media::HasVideo(extension), c.video);
  }
}

TEST(MediaRules, AliasesAndReplies) {
  EXPECT_EQ(media::AliasFromGuidText("1b4e28ba-2fa1-11d2-883f-0016d3cca427"),
            "1b4e28ba2fa111d2883f0016d3cca427");
  EXPECT_EQ(media::ParseLeadingInt("2300"), 2300);
  EXPECT_EQ(media::ParseLeadingInt(" 42 frames"), 42);
  EXPECT_EQ(media::ParseLeadingInt("-7"), -7);
  EXPECT_EQ(media::ParseLeadingInt("stopped"), 0);
  EXPECT_EQ(media::ParseLeadingInt(nullptr), 0);
  EXPECT_EQ(media::ParseLeadingInt("99999999999999999999"), INT32_MAX);
}

class MciPlayerTest : public ::testing::Test {
 protected:
  // Every command succeeds with an empty reply unless answered otherwise.
  void Answer(const std::string& command, uint32_t error, const std::string& reply = "") {
    Fake().answers[command] = {error, reply};
  }
  void Succeed(const Lines& commands) {
    for (const std::string& c : commands) Answer(c, 0);
  }
  Lines TakeSent() { return std::exchange(Fake().sent, {}); }

  fakemci::Installed fake_{kAlias};
  MciPlayer player_{kAlias};
};

TEST_F(MciPlayerTest, OpenClosesFirstAndOpensByExtension) {
  Answer("open MPEGvideo|C:\\music\\song.MP3|%s", 0);
  EXPECT_TRUE(player_.Open("C:\\music\\song.MP3"));
  EXPECT_EQ(TakeSent(), (Lines{"close %s", "open MPEGvideo|C:\\music\\song.MP3|%s"}));
  EXPECT_EQ(player_.extension(), "mp3");
  EXPECT_FALSE(player_.hasVideo());

  // A failed open still records the file; a video file gets the known window.
  Fake().windows = {0x1234};
  Succeed({"window %s handle 4660", "play %s"});
  EXPECT_TRUE(player_.Play(-1, 0x1234));
  TakeSent();
  Answer("open avivideo|clip.avi|%s", 277);
  EXPECT_FALSE(player_.Open("clip.avi"));
  EXPECT_EQ(TakeSent(), (Lines{"close %s", "open avivideo|clip.avi|%s", "window %s handle 4660"}));
  EXPECT_EQ(player_.fileName(), "clip.avi");
  EXPECT_TRUE(player_.hasVideo());
}

TEST_F(MciPlayerTest, PlaySendsPositionAndValidWindows) {
  Succeed({"play %s", "play %s from 0", "play %s from 1500", "window %s handle 7"});
  EXPECT_TRUE(player_.Play(-1, std::nullopt));
  EXPECT_TRUE(player_.Play(0, std::nullopt));
  EXPECT_TRUE(player_.Play(1500, 99));  // 99 names no window: nothing about it is sent
  EXPECT_EQ(TakeSent(), (Lines{"play %s", "play %s from 0", "play %s from 1500"}));
  EXPECT_EQ(player_.windowHandle(), 0u);

  Fake().windows = {7, 8};
  Answer("window %s handle 8", 263);
  EXPECT_TRUE(player_.Play(-1, 7));
  EXPECT_FALSE(player_.Play(-1, 8));  // the window command failed
  EXPECT_EQ(TakeSent(), (Lines{"window %s handle 7", "play %s", "window %s handle 8", "play %s"}));
  EXPECT_EQ(player_.windowHandle(), 8u);
}

TEST_F(MciPlayerTest, TogglePauseFlipsBeforeSending) {
  Succeed({"pause %s", "resume %s", "play %s"});
  EXPECT_TRUE(player_.TogglePause());
  EXPECT_TRUE(player_.TogglePause());
  EXPECT_TRUE(player_.TogglePause());
  EXPECT_TRUE(player_.Play(-1, std::nullopt));
  EXPECT_TRUE(player_.TogglePause());
  EXPECT_EQ(TakeSent(), (Lines{"pause %s", "resume %s", "pause %s", "play %s", "pause %s"}));
  Answer("resume %s", 263);
  EXPECT_FALSE(player_.TogglePause());
  EXPECT_FALSE(player_.paused());  // refused, flipped all the same
}

TEST_F(MciPlayerTest, NoDeviceGivesZeroLengthAndNoPosition) {
  Fake().otherError = 263;
  EXPECT_EQ(player_.GetLength(), 0);
  EXPECT_EQ(player_.GetPosition(), -1);
  EXPECT_EQ(TakeSent(),
            (Lines{"set %s time format milliseconds", "status %s length", "status %s position"}));
  Fake().otherError = 0;
  Answer("status %s length", 0, "2300");
  EXPECT_EQ(player_.GetLength(), 2300);
  Answer("status %s length", 0, "unknown");
  EXPECT_EQ(player_.GetLength(), 0);
}

TEST_F(MciPlayerTest, VolumeIsSentTimesTenWithinRange) {
  Fake().otherError = 0;
  EXPECT_TRUE(player_.SetVolume(50, 50));
  EXPECT_FALSE(player_.SetVolume(101, 50));  // only the right channel is sent
  EXPECT_TRUE(player_.SetVolume(0, 0));
  EXPECT_FALSE(player_.SetVolume(std::nullopt, 20));
  EXPECT_TRUE(player_.SetVolume(30, std::nullopt));
  EXPECT_FALSE(player_.SetVolume(INT32_MAX, INT32_MIN));  // out of range, nothing sent
  EXPECT_EQ(TakeSent(), (Lines{"setaudio %s left volume to 500", "setaudio %s right volume to 500",
                               "setaudio %s right volume to 500", "setaudio %s left volume to 0",
                               "setaudio %s right volume to 0", "setaudio %s right volume to 200",
                               "setaudio %s left volume to 300"}));
  Answer("setaudio %s left volume to 100", 261);
  EXPECT_FALSE(player_.SetVolume(10, 10));
  EXPECT_EQ(TakeSent().size(), 2u);  // the right channel is still sent
}

TEST_F(MciPlayerTest, VolumeIsReadDividedByTen) {
  Answer("status %s left volume", 0, "999");
  Answer("status %s right volume", 0, "1000");
  int32_t left = -1, right = -1;
  EXPECT_TRUE(player_.GetVolume(&left, &right));
  EXPECT_EQ(left, 99);
  EXPECT_EQ(right, 100);
  Answer("status %s right volume", 261);  // as under Wine: no volume query
  EXPECT_FALSE(player_.GetVolume(&left, &right));
  EXPECT_EQ(right, 0);  // not the left channel's reply
  EXPECT_FALSE(player_.GetVolume(nullptr, nullptr));
  EXPECT_EQ(TakeSent().size(), 6u);  // both queries every time
}

TEST_F(MciPlayerTest, AnEmptyAliasSendsNothing) {
  MciPlayer lost("");
  EXPECT_FALSE(lost.Open("song.mp3"));
  EXPECT_FALSE(lost.Play(-1, std::nullopt));
  EXPECT_FALSE(lost.TogglePause());
  EXPECT_EQ(lost.GetLength(), 0);
  EXPECT_EQ(lost.GetPosition(), -1);
  EXPECT_FALSE(lost.SetVolume(50, 50));
  EXPECT_TRUE(TakeSent().empty());
}

TEST_F(MciPlayerTest, DestructionClosesTheDevice) {
  { MciPlayer other(kAlias); }
  EXPECT_EQ(TakeSent(), (Lines{"close %s"}));
}

// ---- The end of a file ---------------------------------------------------------------

class EndOfFileTest : public MciPlayerTest {
 protected:
  void SetUp() override {
    Succeed({"open MPEGvideo|song.mp3|%s", "play %s", "play %s from 1000", "pause %s", "resume %s",
             "set %s time format milliseconds"});
    Answer("status %s length", 0, "2300");
    ASSERT_TRUE(player_.Open("song.mp3"));
  }
  void Device(const char* mode, const char* position) {
    Answer("status %s mode", 0, mode);
    Answer("status %s position", 0, position);
  }
};

TEST_F(EndOfFileTest, BeforeAPlayAndWhilePausedThePositionIsMciS) {
  Device("stopped", "0");
  TakeSent();
  EXPECT_EQ(player_.GetPosition(), 0);
  ASSERT_TRUE(player_.Play(-1, std::nullopt));
  ASSERT_TRUE(player_.TogglePause());
  Device("paused", "800");
  EXPECT_EQ(player_.GetPosition(), 800);
  EXPECT_EQ(TakeSent(), (Lines{"status %s position", "play %s", "pause %s", "status %s position"}));
}

TEST_F(EndOfFileTest, StoppedAtTheLengthAsOnWindows) {
  ASSERT_TRUE(player_.Play(-1, std::nullopt));
  Device("playing", "1200");
  EXPECT_EQ(player_.GetPosition(), 1200);
  Device("stopped", "2300");
  TakeSent();
  EXPECT_EQ(player_.GetPosition(), 2300);
  EXPECT_EQ(TakeSent(), (Lines{"status %s position", "status %s mode", "status %s length"}));
}

TEST_F(EndOfFileTest, StoppedAtTheStartAfterPlayingAsUnderWine) {
  ASSERT_TRUE(player_.Play(-1, std::nullopt));
  Device("playing", "2200");
  EXPECT_EQ(player_.GetPosition(), 2200);
  Device("stopped", "0");
  EXPECT_EQ(player_.GetPosition(), 2300);
  // Resumed after a pause: still seen playing since the play.
  ASSERT_TRUE(player_.Play(1000, std::nullopt));
  Device("playing", "1100");
  EXPECT_EQ(player_.GetPosition(), 1100);
  ASSERT_TRUE(player_.TogglePause());
  ASSERT_TRUE(player_.TogglePause());
  Device("stopped", "1100");
  EXPECT_EQ(player_.GetPosition(), 2300);
  // A new open starts over.
  ASSERT_TRUE(player_.Open("song.mp3"));
  EXPECT_EQ(player_.GetPosition(), 1100);
}

TEST_F(EndOfFileTest, AReplayThatWineCallsStoppedCountsOnlyAtItsEnd) {
  player_.GetLength();
  Fake().now = 5000;
  ASSERT_TRUE(player_.Play(1000, std::nullopt));
  Device("stopped", "1000");
  Fake().now = 5600;
  EXPECT_EQ(player_.GetPosition(), 1000);
  Device("stopped", "1900");
  Fake().now = 6200;
  EXPECT_EQ(player_.GetPosition(), 1900);
  Device("stopped", "2300");
  EXPECT_EQ(player_.GetPosition(), 2300);
}

TEST_F(EndOfFileTest, NotSeenPlayingButLongerAgoThanTheRestLasts) {
  Fake().now = 100;
  ASSERT_TRUE(player_.Play(-1, std::nullopt));
  Device("stopped", "0");
  Fake().now = 100 + 2300;
  EXPECT_EQ(player_.GetPosition(), 0);  // milliseconds not yet set by GetLength
  player_.GetLength();
  EXPECT_EQ(player_.GetPosition(), 2300);
  // The clock restarts at a resume.
  ASSERT_TRUE(player_.TogglePause());
  Fake().now = 10000;
  ASSERT_TRUE(player_.TogglePause());
  Fake().now = 10000 + 2299;
  EXPECT_EQ(player_.GetPosition(), 0);
  Fake().now = 10000 + 2300;
  EXPECT_EQ(player_.GetPosition(), 2300);
  // From a position, only the rest of the file counts.
  ASSERT_TRUE(player_.Play(1000, std::nullopt));
  Device("stopped", "1000");
  Fake().now += 1299;
  EXPECT_EQ(player_.GetPosition(), 1000);
  Fake().now += 1;
  EXPECT_EQ(player_.GetPosition(), 2300);
}

}  // namespace
