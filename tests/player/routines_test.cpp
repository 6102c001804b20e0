// The player's routines against a modelled runtime, for the rules the
// end-to-end scenarios cannot observe from outside or only by timing: the
// slider click rule, mute and the volume a new song starts at, start-up
// without a saved folder, every play mode at the end of a song, and that no
// text is left behind.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "player/form_units.h"
#include "player/routines.h"
#include "tests/player/fake_runtime.h"

namespace {

using namespace player;
using player_test::FakeMedia;
using player_test::FakeRuntime;

class PlayerRoutines : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.folders["D:\\songs\\*.mp3"] = {"a.mp3", "b.mp3"};
    fake.media.files = {{"D:\\songs\\a.mp3", 3000}};
    fake.settings = {{"路径", "D:\\songs"}, {"路径2", "50"}};
    FormCreated();
  }
  void TearDown() override {
    ExitCleanup();
    EXPECT_EQ(fake.liveTexts, 0);  // every text the routines took was freed
  }

  FakeRuntime fake;
};

// Without a saved folder the bare pattern would list the current drive's root.
TEST(PlayerStartUp, NoSavedFolderListsNothing) {
  FakeRuntime fake;
  fake.folders["\\*.mp3"] = {"root.mp3"};
  FormCreated();
  EXPECT_TRUE(fake.rows.empty());
  ExitCleanup();
  EXPECT_EQ(fake.liveTexts, 0);
}

TEST_F(PlayerRoutines, SliderClickScalesByTheFixedWidth) {
  EXPECT_EQ(fake.rows, (std::vector<std::string>{"a.mp3", "b.mp3"}));
  fake.SetInt(kProgressSlider.id, prop::kMaximum, 200);
  SliderPressed(253, 5, 0);
  EXPECT_EQ(fake.Int(kProgressSlider.id, prop::kPosition), 200);
  SliderPressed(126, 5, 0);
  EXPECT_EQ(fake.Int(kProgressSlider.id, prop::kPosition), 99);
  SeekToSlider();
  EXPECT_EQ(fake.media.playFrom, 99000);
}

// Muted stays muted through ticks and play until pressed again or the bar moves.
TEST_F(PlayerRoutines, MuteLastsUntilUndone) {
  ToggleMute();  // nothing open: nothing to mute
  EXPECT_EQ(Global().savedVolume, 0);
  fake.SetInt(kPlayList.id, prop::kCurrentIndex, 0);
  PlaySelected();
  ToggleMute();
  EXPECT_EQ(fake.media.volume, 0);
  TimerTick();
  PlaySelected();
  EXPECT_EQ(fake.media.volume, 0);
  ToggleMute();
  EXPECT_EQ(fake.media.volume, 50);
  ToggleMute();
  fake.SetInt(kVolumeBar.id, prop::kBarPosition, 70);
  VolumeChanged();
  TimerTick();
  EXPECT_EQ(fake.media.volume, 70);
  EXPECT_EQ(fake.settings["路径2"], "70");
}

// A new song's device starts at its default volume: every way of moving to a
// song sets the bar's volume, or silence while muted, before it plays.
TEST(PlayerVolume, EveryNewSongStartsAtTheBarsVolumeOrSilence) {
  struct Path {
    const char* name;
    void (*start)();
  };
  const Path kPaths[] = {
      {"play button", [] { PlaySelected(); }},
      {"next", [] { NextSong(); }},
      {"previous", [] { PreviousSong(); }},
      {"Alt+X", [] { HotKeyFeedback(Global().hotKeyNext, 0); }},
      {"Alt+Z", [] { HotKeyFeedback(Global().hotKeyPrevious, 0); }},
      {"list repeat at the end", [] { SetModeListLoop(), TimerTick(); }},
      {"single repeat at the end", [] { SetModeSingleLoop(), TimerTick(); }},
  };
  for (const Path& path : kPaths) {
    for (bool muted : {false, true}) {
      SCOPED_TRACE(std::string(path.name) + (muted ? ", muted" : ""));
      FakeRuntime fake;
      fake.rows = {"a.mp3", "b.mp3", "c.mp3"};
      fake.media.files = {{"D:\\a.mp3", 0}, {"D:\\b.mp3", 0}, {"D:\\c.mp3", 0}};
      fake.settings = {{"路径", "D:"}, {"路径2", "50"}};
      Global().hotKeyNext = 33002;
      Global().hotKeyPrevious = 33003;
      fake.SetInt(kPlayList.id, prop::kCurrentIndex, 1);
      PlaySelected();
      fake.SetInt(kVolumeBar.id, prop::kBarPosition, 70);
      VolumeChanged();
      if (muted) ToggleMute();
      const int32_t plays = fake.media.plays;
      path.start();
      EXPECT_GT(fake.media.plays, plays);
      EXPECT_EQ(fake.media.volumeAtPlay, muted ? 0 : 70);
      ExitCleanup();
    }
  }
}

// ---- The end of a song, in every mode ----------------------------------------

// What the media player holds after the end-of-song step.
enum class After { kUntouched, kPlaysFromStart, kPausedAtStart, kNothingOpen };

struct EndCase {
  const char* name;
  void (*mode)();  // null: no mode chosen
  std::vector<std::string> rows;
  std::map<std::string, int32_t> lengths;  // row -> ms; a row without one does not open
  int32_t playing;                         // the row the play button started
  int32_t chosen;                          // the row the user then selected; -2 none
  int32_t elapse;                          // ms the song plays before the ticks
  int32_t ticks;                           // timer ticks then
  int32_t selection;                       // expected afterwards
  const char* nameShown;
  const char* loaded;  // the row whose file was opened last
  After after;
};

const std::vector<std::string> kThree = {"a.mp3", "b.mp3", "c.mp3"};
const std::map<std::string, int32_t> kAllOpen = {{"a.mp3", 3000}, {"b.mp3", 3000}, {"c.mp3", 3000}};
const std::map<std::string, int32_t> kNoB = {{"a.mp3", 3000}, {"c.mp3", 3000}};
const std::map<std::string, int32_t> kNoC = {{"a.mp3", 3000}, {"b.mp3", 3000}};
const std::map<std::string, int32_t> kShortA = {{"a.mp3", 999}, {"b.mp3", 3000}, {"c.mp3", 3000}};
void (*const kSingle)() = SetModeSingleLoop;
void (*const kList)() = SetModeListLoop;
void (*const kSequential)() = SetModeSequential;
using A = After;

const EndCase kEndCases[] = {
    {"no mode", nullptr, kThree, kAllOpen, 0, -2, 3000, 1, 0, "a.mp3", "a.mp3", A::kUntouched},
    {"list, within the song", kList, kThree, kAllOpen, 0, -2, 1500, 1, 0, "a.mp3", "a.mp3",
     A::kUntouched},
    {"single", kSingle, kThree, kAllOpen, 0, -2, 3000, 1, 0, "a.mp3", "a.mp3", A::kPlaysFromStart},
    {"single, last row", kSingle, kThree, kAllOpen, 2, -2, 3000, 1, 2, "c.mp3", "c.mp3",
     A::kPlaysFromStart},
    {"list", kList, kThree, kAllOpen, 0, -2, 3000, 1, 1, "b.mp3", "b.mp3", A::kPlaysFromStart},
    {"list, last row", kList, kThree, kAllOpen, 2, -2, 3000, 1, 0, "a.mp3", "a.mp3",
     A::kPlaysFromStart},
    {"sequential", kSequential, kThree, kAllOpen, 0, -2, 3000, 1, 1, "b.mp3", "b.mp3",
     A::kPlaysFromStart},
    {"sequential, last row", kSequential, kThree, kAllOpen, 2, -2, 3000, 1, 0, "a.mp3", "c.mp3",
     A::kPausedAtStart},
    {"single, empty list", kSingle, {}, {}, -1, -2, 3000, 1, -1, "", "", A::kNothingOpen},
    {"list, empty list", kList, {}, {}, -1, -2, 3000, 1, -1, "", "", A::kNothingOpen},
    {"sequential, empty list", kSequential, {}, {}, -1, -2, 3000, 1, -1, "", "", A::kNothingOpen},
    {"list, next fails", kList, kThree, kNoB, 0, -2, 3000, 1, 1, "b.mp3", "b.mp3", A::kNothingOpen},
    {"list, steps past a failing row", kList, kThree, kNoB, 0, -2, 3000, 2, 2, "c.mp3", "c.mp3",
     A::kPlaysFromStart},
    {"sequential, failing last row", kSequential, kThree, kNoC, 1, -2, 3000, 2, 0, "a.mp3", "c.mp3",
     A::kNothingOpen},
    {"single, failing row", kSingle, kThree, kNoB, 1, -2, 3000, 3, 1, "b.mp3", "b.mp3",
     A::kNothingOpen},
    {"list, length 0 ends at once", kList, kThree, kShortA, 0, -2, 0, 1, 1, "b.mp3", "b.mp3",
     A::kPlaysFromStart},
    {"single, length 0 restarts", kSingle, kThree, kShortA, 0, -2, 0, 1, 0, "a.mp3", "a.mp3",
     A::kPlaysFromStart},
    {"single, chosen row", kSingle, kThree, kAllOpen, 0, 2, 3000, 1, 2, "c.mp3", "c.mp3",
     A::kPlaysFromStart},
    {"list, chosen row", kList, kThree, kAllOpen, 0, 1, 3000, 1, 2, "c.mp3", "c.mp3",
     A::kPlaysFromStart},
    {"sequential, chosen last row", kSequential, kThree, kAllOpen, 0, 2, 3000, 1, 0, "a.mp3",
     "c.mp3", A::kPausedAtStart},
};

TEST(PlayerEndOfSong, EveryModeAtTheEnd) {
  for (const EndCase& c : kEndCases) {
    SCOPED_TRACE(c.name);
    FakeRuntime fake;
    fake.rows = c.rows;
    for (const auto& [row, ms] : c.lengths) fake.media.files["D:\\" + row] = ms;
    fake.settings = {{"路径", "D:"}, {"路径2", "50"}};
    if (c.mode != nullptr) c.mode();
    fake.SetInt(kPlayList.id, prop::kCurrentIndex, c.playing);
    PlaySelected();
    if (c.chosen != -2) fake.SetInt(kPlayList.id, prop::kCurrentIndex, c.chosen);
    const int32_t plays = fake.media.plays;
    fake.media.Elapse(c.elapse);
    for (int32_t i = 0; i < c.ticks; ++i) TimerTick();

    EXPECT_EQ(fake.Int(kPlayList.id, prop::kCurrentIndex), c.selection);
    EXPECT_EQ(fake.Text(kSongName.id, prop::kCaption), c.nameShown);
    EXPECT_EQ(fake.media.openFile, std::string("D:\\") + c.loaded);
    const FakeMedia& m = fake.media;
    switch (c.after) {
      case A::kUntouched:
        EXPECT_EQ(m.plays, plays);
        EXPECT_TRUE(m.isOpen && m.playing);
        break;
      case A::kPlaysFromStart:
        EXPECT_GT(m.plays, plays);
        EXPECT_TRUE(m.isOpen && m.playing && !m.paused);
        EXPECT_EQ(m.position, 0);
        break;
      case A::kPausedAtStart:
        EXPECT_TRUE(m.isOpen && m.paused);
        EXPECT_EQ(m.position, 0);
        break;
      case A::kNothingOpen: EXPECT_FALSE(m.isOpen); break;
    }
    ExitCleanup();
    EXPECT_EQ(fake.liveTexts, 0);
  }
}

}  // namespace
