// The player's routines against a modelled runtime, for the rules the
// end-to-end scenarios cannot observe from outside: the slider click rule,
// mute, start-up without a saved folder, and that no text is left behind.

#include <gtest/gtest.h>

#include "player/form_units.h"
#include "player/routines.h"
#include "tests/player/fake_runtime.h"

namespace {

using namespace player;
using player_test::FakeRuntime;

class PlayerRoutines : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.folders["D:\\songs\\*.mp3"] = {"a.mp3", "b.mp3"};
    fake.media.files = {"D:\\songs\\a.mp3"};
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

}  // namespace
