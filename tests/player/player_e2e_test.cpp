// The real player under Wine, driven from outside as a user drives it, with
// a folder of three generated songs of about 2.4 s.

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/player/player_driver.h"
#include "tests/support/process.h"

namespace {

using player_e2e::PlayerDriver;
using player_e2e::WaitFor;

const char kFolderKey[] = "路径";
const char kVolumeKey[] = "路径2";

std::string SongsSetting() { return std::string(kFolderKey) + "=" + player_e2e::SongFolder(); }

// Whether the song moves on: after a tick has settled what the last action
// did, the slider changes within the next two ticks.
bool Advancing(const PlayerDriver& p) {
  ::Sleep(1200);
  const int before = p.SliderPosition();
  return WaitFor([&] { return p.SliderPosition() != before; }, 2200);
}

bool Near(COLORREF seen, int r, int g, int b) {
  const int tolerance = 16;
  return std::abs(GetRValue(seen) - r) <= tolerance && std::abs(GetGValue(seen) - g) <= tolerance &&
         std::abs(GetBValue(seen) - b) <= tolerance;
}

// The form as it first shows: the background picture (colours read from
// assets/back.jpg), the skinned buttons, the empty white part of the list,
// and the near-white text of the volume bar's title.
void CheckLayout(const PlayerDriver& p) {
  HWND form = p.form();
  EXPECT_TRUE(Near(p.ScreenPixel(form, 250, 150), 106, 91, 84));
  EXPECT_TRUE(Near(p.ScreenPixel(form, 60, 185), 121, 96, 76));
  EXPECT_TRUE(Near(p.ScreenPixel(form, 440, 60), 96, 90, 104));
  EXPECT_EQ(p.ScreenPixel(form, 300, 300), RGB(255, 255, 255));
  // Buttons in the silver scheme: a face running from near white at the top
  // to the scheme's lilac grey at the bottom.
  HWND play = p.Button("播放");
  EXPECT_TRUE(Near(p.ScreenPixel(play, 20, 3), 252, 252, 251));
  EXPECT_TRUE(Near(p.ScreenPixel(play, 20, 18), 201, 200, 217));
  int textPixels = 0;
  for (int y = 11; y < 27; ++y) {
    for (int x = 278; x < 339; ++x) textPixels += Near(p.ScreenPixel(form, x, y), 248, 248, 248);
  }
  EXPECT_GT(textPixels, 20);
}

TEST(PlayerEndToEnd, PlaysStepsAndFollowsTheModes) {
  PlayerDriver p("e2e-play", {SongsSetting(), std::string(kVolumeKey) + "=50"});
  ASSERT_TRUE(p.Start());
  ::Sleep(1000);  // the first frames of the picture
  CheckLayout(p);
  const auto songs = player_e2e::SongsInSearchOrder(player_e2e::SongFolder());
  ASSERT_EQ(songs.size(), 3u);
  EXPECT_EQ(p.RowCount(), 3);
  EXPECT_EQ(p.Mode(), "");

  p.Click("播放");  // no row selected: nothing plays, the name is emptied
  ASSERT_TRUE(WaitFor([&] { return p.VolumePosition() == 50; }, 3000));
  EXPECT_EQ(p.SongName(), "");

  // The rows, in search order, are the songs the play and next buttons name.
  p.Select(0);
  p.Click("播放");
  ASSERT_TRUE(WaitFor([&] { return p.SongName() == songs[0]; }, 3000));
  p.Click("下一首");
  ASSERT_TRUE(WaitFor([&] { return p.SongName() == songs[1]; }, 3000));
  p.Click("暂停");
  EXPECT_FALSE(Advancing(p));
  p.Click("继续");
  EXPECT_TRUE(Advancing(p));

  p.Select(0);
  p.Click("上一首");  // before row 0: no selection, no name
  ASSERT_TRUE(WaitFor([&] { return p.Selection() == -1; }, 3000));
  EXPECT_EQ(p.SongName(), "");
  p.Select(2);
  p.Click("下一首");  // past the last row: the last row again
  ASSERT_TRUE(WaitFor([&] { return p.SongName() == songs[2]; }, 3000));
  EXPECT_EQ(p.Selection(), 2);

  // List repeat: the end of the last song wraps to row 0 and plays it.
  ASSERT_TRUE(p.ChooseMenu("列表循环播放"));
  ASSERT_TRUE(WaitFor([&] { return p.Mode() == "列表循环模式:"; }, 2000));
  ASSERT_TRUE(WaitFor([&] { return p.Selection() == 0; }, 6000));
  EXPECT_EQ(p.SongName(), songs[0]);
  EXPECT_TRUE(Advancing(p));

  // Sequential: past the last row row 0 is named, the last song paused;
  // continue plays the last song on.
  ASSERT_TRUE(p.ChooseMenu("顺序播放"));
  p.Select(2);
  p.Click("播放");
  ASSERT_TRUE(WaitFor([&] { return p.SongName() == songs[2]; }, 3000));
  ASSERT_TRUE(WaitFor([&] { return p.Selection() == 0; }, 6000));
  EXPECT_EQ(p.SongName(), songs[0]);
  EXPECT_FALSE(Advancing(p));
  p.Click("继续");  // the last song plays on under row 0's name
  EXPECT_TRUE(Advancing(p));

  // Single repeat: the same row again, the volume reread (30 below 10).
  ASSERT_TRUE(p.ChooseMenu("单曲循环播放"));
  p.Select(1);
  p.Click("播放");
  ASSERT_TRUE(WaitFor([&] { return p.SongName() == songs[1]; }, 3000));
  p.WriteSetting(kVolumeKey, "5");
  ASSERT_TRUE(WaitFor([&] { return p.VolumePosition() == 30; }, 6000));
  EXPECT_EQ(p.Selection(), 1);

  // Dragging the volume bar saves every position it passes.
  HWND bar = p.UnitAt(347, 14);
  p.Drag(bar, 30, 5, 70);
  ASSERT_TRUE(WaitFor([&] { return p.Setting(kVolumeKey) != "5"; }, 3000));
  EXPECT_EQ(p.Setting(kVolumeKey), std::to_string(p.VolumePosition()));

  ASSERT_TRUE(p.ChooseMenu("退出播放器"));
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

// A click on the slider goes to the part of the song its place names: with
// songs of half a minute, x = 126 and x = 253 give different places.
TEST(PlayerEndToEnd, ASliderClickGoesWhereItsPlaceSays) {
  const std::string longSongs = testing_support::TestProgramDirectory() + "long-songs";
  PlayerDriver p("e2e-slider", {std::string(kFolderKey) + "=" + longSongs});
  ASSERT_TRUE(p.Start());
  p.Select(0);
  p.Click("播放");
  // The first tick sets the maximum to the song's 32 seconds.
  ASSERT_TRUE(WaitFor([&] { return std::abs(p.SliderMaximum() - 32) <= 1; }, 5000));
  const int maximum = p.SliderMaximum();
  HWND slider = p.UnitAt(169, 29);
  const int middle = 126 * maximum / 253;
  p.ClickAt(slider, 126, 14);
  // The song plays on from there: the tick may have moved one second on.
  EXPECT_TRUE(WaitFor([&] { return std::abs(p.SliderPosition() - middle) <= 1; }, 2000))
      << p.SliderPosition() << " for " << middle;
  // At x = 253 the thumb goes to the end, past the click, so the track bar's
  // own handling of a click on its shaft then pages back by its page (5).
  p.ClickAt(slider, 253, 14);
  const int pageBack = maximum - 5;
  EXPECT_TRUE(WaitFor([&] { return std::abs(p.SliderPosition() - pageBack) <= 1; }, 2000))
      << p.SliderPosition() << " for " << pageBack;
  ASSERT_TRUE(p.ChooseMenu("退出播放器"));
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

// The package users get (the 32-bit build's run unpacks it into the folder
// PLAYER_PACKAGE names): its own player.exe, given a settings file that names
// the songs, shows the form, lists them and plays one.
TEST(PlayerPackage, TheUnpackedProgramListsAndPlays) {
  const char* unpacked = std::getenv("PLAYER_PACKAGE");
  if (unpacked == nullptr) GTEST_SKIP() << "only the 32-bit build's run unpacks the package";
  PlayerDriver p(unpacked, {SongsSetting()}, PlayerDriver::Program::kInFolder);
  ASSERT_TRUE(p.Start());
  const auto songs = player_e2e::SongsInSearchOrder(player_e2e::SongFolder());
  ASSERT_EQ(songs.size(), 3u);
  EXPECT_EQ(p.RowCount(), 3);
  p.Select(1);
  p.Click("播放");
  ASSERT_TRUE(WaitFor([&] { return p.SongName() == songs[1]; }, 3000));
  EXPECT_TRUE(Advancing(p));
  ASSERT_TRUE(p.ChooseMenu("退出播放器"));
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

}  // namespace

namespace {

bool Centred(HWND window) {
  RECT r;
  ::GetWindowRect(window, &r);
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
  return r.left == x && r.top == y;
}

// First start without a settings file; then the folder menu, the hot keys,
// minimising, the tray icon and the exit menu.
TEST(PlayerEndToEnd, FoldersHotKeysTrayAndExit) {
  PlayerDriver p("e2e-window", {});
  const std::string desktop = player_e2e::DesktopFolder();
  player_e2e::CopySongs(player_e2e::SongFolder(), desktop + "\\e2e-songs");
  ASSERT_TRUE(p.Start());
  EXPECT_EQ(p.RowCount(), 0);  // no saved folder: nothing listed

  ASSERT_TRUE(p.ChooseMenu("打开歌曲文件夹"));
  ASSERT_TRUE(p.PickDesktopFolder("e2e-songs"));
  ASSERT_TRUE(WaitFor([&] { return p.RowCount() == 3; }, 5000));
  EXPECT_EQ(p.Setting(kFolderKey), desktop + "\\e2e-songs");
  EXPECT_EQ(p.Setting(kVolumeKey), "30");
  p.WriteSetting(kVolumeKey, "77");
  ASSERT_TRUE(p.ChooseMenu("打开歌曲文件夹"));
  ASSERT_TRUE(p.CancelFolderDialog());  // changes nothing
  ::Sleep(500);
  EXPECT_EQ(p.RowCount(), 3);
  EXPECT_EQ(p.Setting(kFolderKey), desktop + "\\e2e-songs");
  EXPECT_EQ(p.Setting(kVolumeKey), "77");

  // Hot keys reach the player while a window of the driver has the focus.
  player_e2e::FocusWindow focus;
  focus.Focus();
  p.AltKey('C');
  ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(p.form()); }, 3000));
  focus.Focus();
  p.AltKey('C');
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(p.form()) != FALSE; }, 3000));
  EXPECT_TRUE(WaitFor([&] { return Centred(p.form()); }, 3000));  // centred after shown
  p.Select(0);
  focus.Focus();
  p.AltKey('X');
  EXPECT_TRUE(WaitFor([&] { return p.Selection() == 1; }, 3000));
  focus.Focus();
  p.AltKey('Z');
  EXPECT_TRUE(WaitFor([&] { return p.Selection() == 0; }, 3000));

  // Minimising hides; a right click on the tray icon does nothing, a left
  // click shows the form again.
  ::PostMessageA(p.form(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(p.form()); }, 3000));
  HWND tray = player_e2e::TrayWindow();
  ASSERT_NE(tray, nullptr);
  p.ClickAt(tray, 10, 10, true);
  ::Sleep(700);
  EXPECT_FALSE(::IsWindowVisible(p.form()));
  p.ClickAt(tray, 10, 10);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(p.form()) != FALSE; }, 3000));
  EXPECT_TRUE(WaitFor([&] { return Centred(p.form()); }, 3000));  // centred after shown

  ASSERT_TRUE(p.ChooseMenu("退出播放器"));
  EXPECT_EQ(p.WaitForExit(10000), 0);
  EXPECT_TRUE(WaitFor([] { return player_e2e::TrayWindow() == nullptr; }, 3000));
}

}  // namespace
