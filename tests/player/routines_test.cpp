// The player's routines against a modelled runtime: start-up, playing and
// stepping, the play modes at the end of a song, the slider click rule, mute,
// the folder menu, hot keys and the window, and that no text is left behind.

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
    fake.folders["D:\\songs"] = {"a.mp3", "b.mp3", "c.mp3"};
    fake.media.files = {"D:\\songs\\a.mp3", "D:\\songs\\b.mp3", "D:\\songs\\c.mp3"};
    fake.settings = {{"路径", "D:\\songs"}, {"路径2", "50"}};
    FormCreated();
  }
  void TearDown() override {
    ExitCleanup();
    EXPECT_EQ(fake.liveTexts, 0);  // every text the routines took was freed
  }

  void Select(int32_t row) { fake.selection = row; }
  std::string SongName() const { return fake.Text(kSongName.id, prop::kCaption); }
  int32_t Bar() const { return fake.Int(kVolumeBar.id, prop::kBarPosition); }
  // A tick at which the open song has reached its end.
  void EndOfSong() {
    fake.media.lengthMs = 2300;
    fake.media.positionMs = 2300;
    TimerTick();
  }

  FakeRuntime fake;
};

TEST_F(PlayerRoutines, StartUpListsTheSavedFolderAndPlaysNothing) {
  EXPECT_EQ(fake.rows, (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3"}));
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"SetVisualStyle 3", "CreateObject 160,0",
                                                  "SetHotKey 67", "SetHotKey 88", "SetHotKey 90"}));
  EXPECT_EQ(Global().hotKeyShowHide, 33001);
  EXPECT_EQ(Global().hotKeyPrevious, 33003);
  EXPECT_TRUE(fake.trayIconShown);
  EXPECT_EQ(fake.media.plays, 0);
  EXPECT_EQ(fake.Int(kTicker.id, prop::kInterval), 0);
}

// Without a saved folder the bare pattern would list the current drive's root.
TEST(PlayerStartUp, NoSavedFolderListsNothing) {
  FakeRuntime fake;
  fake.folders[""] = {"root.mp3"};
  FormCreated();
  EXPECT_TRUE(fake.rows.empty());
  ExitCleanup();
  EXPECT_EQ(fake.liveTexts, 0);
}

TEST_F(PlayerRoutines, PlayAndStepFollowTheSelection) {
  PlaySelected();  // no row selected: the folder alone is opened and fails
  EXPECT_EQ(fake.media.opened, "D:\\songs\\");
  EXPECT_FALSE(fake.media.isOpen);
  EXPECT_EQ(SongName(), "");
  EXPECT_EQ(fake.Int(kTicker.id, prop::kInterval), 1000);
  EXPECT_EQ(Bar(), 50);

  Select(1);
  fake.settings["路径2"] = "5";  // below 10: 30 is applied
  PlaySelected();
  EXPECT_EQ(fake.media.opened, "D:\\songs\\b.mp3");
  EXPECT_EQ(fake.media.playFrom, -1);
  EXPECT_EQ(SongName(), "b.mp3");
  EXPECT_EQ(Bar(), 30);
  EXPECT_EQ(fake.media.volume, 30);
  EXPECT_EQ(Global().startVolume, 5);

  NextSong();
  NextSong();  // past the last row: the last row again
  EXPECT_EQ(fake.selection, 2);
  EXPECT_EQ(fake.media.opened, "D:\\songs\\c.mp3");
  Select(0);
  PreviousSong();  // before row 0: no selection, nothing open, no name
  EXPECT_EQ(fake.selection, -1);
  EXPECT_FALSE(fake.media.isOpen);
  EXPECT_EQ(SongName(), "");
}

struct EndCase {
  void (*setMode)();
  int32_t row;
  int32_t nextRow;
  const char* loaded;  // file loaded afterwards
  bool paused;
  int32_t extraPlays;
};

TEST_F(PlayerRoutines, ModesActAtTheEndOfASong) {
  const EndCase cases[] = {
      {nullptr, 1, 1, "b", false, 0},           {SetModeSingleLoop, 1, 1, "b", false, 1},
      {SetModeListLoop, 1, 2, "c", false, 1},   {SetModeListLoop, 2, 0, "a", false, 2},
      {SetModeSequential, 1, 2, "c", false, 1}, {SetModeSequential, 2, 0, "c", true, 1},
  };
  for (const EndCase& c : cases) {
    SCOPED_TRACE(c.row);
    if (c.setMode) c.setMode();
    Select(c.row);
    PlaySelected();
    const int32_t plays = fake.media.plays;
    fake.media.lengthMs = 9000;  // not at the end: nothing happens
    TimerTick();
    EXPECT_EQ(fake.media.plays, plays);
    EndOfSong();
    EXPECT_EQ(fake.selection, c.nextRow);
    EXPECT_EQ(fake.media.opened, std::string("D:\\songs\\") + c.loaded + ".mp3");
    EXPECT_EQ(fake.media.paused, c.paused);
    EXPECT_EQ(fake.media.plays - plays, c.extraPlays);
    EXPECT_EQ(SongName(), fake.rows[static_cast<size_t>(c.nextRow)]);
  }
  ResumePlay();  // after the sequential end: the last song plays on
  EXPECT_FALSE(fake.media.paused);
  EXPECT_EQ(fake.media.opened, "D:\\songs\\c.mp3");
}

TEST_F(PlayerRoutines, SingleRepeatRereadsTheVolume) {
  SetModeSingleLoop();
  Select(0);
  PlaySelected();
  fake.settings["路径2"] = "7";
  EndOfSong();
  EXPECT_EQ(Bar(), 30);
  EXPECT_EQ(fake.media.volume, 30);
}

TEST_F(PlayerRoutines, SliderClickScalesByTheFixedWidth) {
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
  Select(0);
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

TEST_F(PlayerRoutines, FolderMenuAppendsAndSavesButCancelChangesNothing) {
  fake.settings["路径2"] = "64";
  OpenSongFolder();  // cancelled
  EXPECT_EQ(fake.rows.size(), 3u);
  EXPECT_EQ(fake.settings["路径"], "D:\\songs");
  EXPECT_EQ(fake.settings["路径2"], "64");

  fake.folders["E:\\more"] = {"x.mp3", "y.mp3"};
  fake.folderAnswer = "E:\\more";
  OpenSongFolder();
  EXPECT_EQ(fake.calls.back(), "BrowseForFolder 寻找MP3文件");
  EXPECT_EQ(fake.rows, (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3", "x.mp3", "y.mp3"}));
  EXPECT_EQ(fake.settings["路径"], "E:\\more");
  EXPECT_EQ(fake.settings["路径2"], "30");
  EXPECT_STREQ(Global().songFolder, "D:\\songs");  // until play rereads it
}

TEST_F(PlayerRoutines, HotKeysTrayAndWindow) {
  HotKeyFeedback(33001, 0);
  EXPECT_EQ(fake.Int(kForm.id, prop::kVisible), 0);
  HotKeyFeedback(33001, 0);
  EXPECT_EQ(fake.Int(kForm.id, prop::kVisible), 1);
  EXPECT_EQ(fake.Int(kForm.id, prop::kWindowState), 1);
  HotKeyFeedback(33002, 0);
  EXPECT_EQ(fake.selection, 0);
  HotKeyFeedback(33003, 0);
  EXPECT_EQ(fake.selection, -1);
  TrayClicked(3);
  TrayClicked(2);
  HotKeyFeedback(0, 0);
  EXPECT_EQ(fake.Int(kForm.id, prop::kVisible), 1);
  TrayClicked(1);
  EXPECT_EQ(fake.Int(kForm.id, prop::kVisible), 0);
  TrayClicked(1);
  fake.SetInt(kForm.id, prop::kWindowState, 2);  // minimised
  WindowMoved();
  EXPECT_EQ(fake.Int(kForm.id, prop::kVisible), 0);

  ShowHotKeyHelp();
  EXPECT_EQ(fake.messages.back(), "说明：|Alt+c=最小化\r\nAlt+x=下一首\r\nAlt+z=上一首");
  ExitPlayer();
  EXPECT_FALSE(fake.trayIconShown);
  EXPECT_TRUE(fake.destroyed);
}

}  // namespace
