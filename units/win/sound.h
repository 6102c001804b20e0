#pragma once
// The runtime's music and sound output: one wave player shared by the whole
// program and MIDI stream players, each playing on a worker thread of its
// own. Starting never blocks and never claims success it did not have: on a
// machine without an output device it reports that nothing started.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace units {

// Plays RIFF WAVE data (copied; PCM, 1 or 2 channels of 8 or 16 bits); with
// `loop` it repeats until stopped. Sounds already playing go on: a new one
// plays alongside them (up to 16; beyond that the oldest stops). False when
// nothing started: no output device, or data it cannot play.
bool PlayWave(const uint8_t* data, size_t length, bool loop);
// Stops every sound the wave player is playing, whoever started it.
void StopWaves();

// One MIDI stream player; closing or destroying it stops its music.
class MidiPlayer {
 public:
  MidiPlayer();
  ~MidiPlayer();
  MidiPlayer(const MidiPlayer&) = delete;
  MidiPlayer& operator=(const MidiPlayer&) = delete;

  // Replaces what it played with standard MIDI file data (copied) and plays
  // it; with `loop` it starts again at the end. False when nothing started.
  bool Play(const uint8_t* data, size_t length, bool loop);
  void Close();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Service 2015: a RIFF WAVE block goes to the wave player, a MIDI block to
// the program's own MIDI player (replacing its block); a non-zero flag
// loops. 1 when playing started, 0 for an empty or unknown block.
int32_t PlaySoundBlock(const uint8_t* data, uint32_t length, uint32_t flag);

// Answers service 2015 with PlaySoundBlock and stops every player at
// shutdown (the wave player and the program's own MIDI player).
void InstallSoundService();

// Whether the wave player's worker thread is there (from the first sound
// started until StopWaves); for tests.
bool WaveWorkerRunning();

}  // namespace units
