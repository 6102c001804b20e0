// Playing, stepping, pausing and seeking; the once-a-second tick and what
// the play mode does at the end of a song. The list box selection is the
// current song and the mode label's caption the mode.

#include "player/calls.h"
#include "player/constants.h"
#include "player/routines.h"

namespace player {

namespace {

constexpr int32_t kFromStart = -1;
constexpr int32_t kTickMilliseconds = 1000;
constexpr int32_t kLowestStartVolume = 10;
constexpr int32_t kFallbackVolume = 30;
constexpr double kSliderClickWidth = 253.0;

int32_t Selection() { return ReadInt(kPlayList, prop::kCurrentIndex); }

Text RowText(int32_t row) { return CoreText(core::kGetItemText, {Unit(kPlayList), Int(row)}); }

// Opens the selected row's file: the song folder, "\" and the row text.
// A device opens at its own default volume, so the bar's volume (silence
// while muted) is set before anything can play.
void OpenSelected() {
  Text row = RowText(Selection());
  Text path = Join({Global().songFolder, "\\", row.get()});
  Media(media::kOpen, {Str(path.get())});
  ApplyVolume(ReadInt(kVolumeBar, prop::kBarPosition));
}

void Play(int32_t from) { Media(media::kPlay, {Int(from), Omitted()}); }

void ShowSelectedName() {
  Text row = RowText(Selection());
  WriteText(kSongName, prop::kCaption, row.get());
}

void Step(int32_t delta) {
  WriteInt(kPlayList, prop::kCurrentIndex, Selection() + delta);
  OpenSelected();
  ShowSelectedName();
  Play(kFromStart);
}

// The selection is the last row (or there is neither row nor selection).
bool AtLastRow() { return Selection() == CoreInt(core::kGetItemCount, {Unit(kPlayList)}) - 1; }

// Plays the last row again from its start, then selects and names row 0.
void BackToFirstRow() {
  OpenSelected();
  Play(kFromStart);
  WriteInt(kPlayList, prop::kCurrentIndex, 0);
  ShowSelectedName();
}

void ListRepeatAtEnd() {
  if (!AtLastRow()) return NextSong();
  BackToFirstRow();
  OpenSelected();
  Play(kFromStart);
}

// Past the last row: the last song stays loaded, paused near its start.
void SequentialAtEnd() {
  if (!AtLastRow()) return NextSong();
  BackToFirstRow();
  Media(media::kTogglePause);
}

}  // namespace

void PlaySelected() {
  Globals& g = Global();
  Assign(g.songFolder, ReadSetting(kFolderKey));
  // The saved volume goes to the bar first, so the song opens at it.
  Text volume = ReadSetting(kVolumeKey);
  g.startVolume = CoreInt(core::kToInteger, {Str(volume.get())});
  int32_t applied = g.startVolume < kLowestStartVolume ? kFallbackVolume : g.startVolume;
  WriteInt(kVolumeBar, prop::kBarPosition, applied);
  OpenSelected();
  Play(kFromStart);
  WriteInt(kTicker, prop::kInterval, kTickMilliseconds);
  ShowSelectedName();
}

void NextSong() { Step(+1); }
void PreviousSong() { Step(-1); }

void PauseClicked() { Media(media::kTogglePause); }

void ResumePlay() { Play(Media(media::kGetPosition)); }

void SeekToSlider() { Play(ReadInt(kProgressSlider, prop::kPosition) * 1000); }

void SliderPressed(int32_t x, int32_t, int32_t) {
  double maximum = ReadInt(kProgressSlider, prop::kMaximum);
  WriteInt(kProgressSlider, prop::kPosition, static_cast<int32_t>(x * maximum / kSliderClickWidth));
}

void TimerTick() {
  Globals& g = Global();
  g.positionSeconds = static_cast<int32_t>(Media(media::kGetPosition) / 1000.0);
  g.lengthSeconds = static_cast<int32_t>(Media(media::kGetLength) / 1000.0);
  Call(lib::kCore, core::kRaiseFeedbackEvent,
       {Unit(kProgressRelay), Int(g.positionSeconds), Int(g.lengthSeconds), Omitted()});
  ApplyVolume(ReadInt(kVolumeBar, prop::kBarPosition));
}

void ProgressFeedback(int32_t position, int32_t length) {
  WriteInt(kProgressSlider, prop::kPosition, position);
  WriteInt(kProgressSlider, prop::kMaximum, length);
  Text caption = ReadText(kModeLabel, prop::kCaption);
  Text key = CoreText(core::kTextLeft, {Str(caption.get()), Int(4)});
  if (position != length) return;
  if (SameText(key.get(), "单曲")) {
    PlaySelected();
  } else if (SameText(key.get(), "列表")) {
    ListRepeatAtEnd();
  } else if (SameText(key.get(), "顺序")) {
    SequentialAtEnd();
  }
}

void SetModeSingleLoop() { WriteText(kModeLabel, prop::kCaption, kSingleLoopCaption); }
void SetModeListLoop() { WriteText(kModeLabel, prop::kCaption, kListLoopCaption); }
void SetModeSequential() { WriteText(kModeLabel, prop::kCaption, kSequentialCaption); }

}  // namespace player
