// The wave and MIDI file readers with well-formed and malformed data.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "tests/units/sound_samples.h"
#include "units/midi_file.h"
#include "units/wave_file.h"

namespace {

using namespace units;
using namespace soundsamples;

// fmt chunk at 12 (its size at 16), data chunk at 36 (its size at 40).
const Bytes kFormat = PcmFormat(2, 22050, 16);
const Bytes kSamples = Tone(441, 2);
const Bytes kPlain = Riff({Chunk("fmt ", kFormat), Chunk("data", kSamples)});

TEST(WaveFile, FindsFormatAndWholeFramesOfSamplesThatAreThere) {
  const struct {
    const char* name;
    Bytes file;
    size_t sampleBytes;
  } cases[] = {
      {"plain", kPlain, kSamples.size()},
      {"extra chunks, odd one padded",
       Riff({Chunk("LIST", Bytes(7, 'x')), Chunk("fmt ", kFormat), Chunk("data", kSamples),
             Chunk("id3 ", Bytes(3))}),
       kSamples.size()},
      {"format after the samples", Riff({Chunk("data", kSamples), Chunk("fmt ", kFormat)}),
       kSamples.size()},
      {"RIFF size 0", Patched(kPlain, 4, 0), kSamples.size()},
      {"RIFF size past the end", Patched(kPlain, 4, 0xFFFFFFF0), kSamples.size()},
      {"data size past the end", Patched(kPlain, 40, 0xFFFFFFFF), kSamples.size()},
      {"data cut inside a frame", Bytes(kPlain.begin(), kPlain.end() - 3), kSamples.size() - 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WaveSound sound;
    ASSERT_TRUE(ParseWave(c.file.data(), c.file.size(), sound));
    EXPECT_EQ(sound.format.channels, 2);
    EXPECT_EQ(sound.format.framesPerSecond, 22050u);
    EXPECT_EQ(sound.format.BytesPerSecond(), 88200u);
    ASSERT_EQ(sound.sampleBytes, c.sampleBytes);
    EXPECT_TRUE(std::equal(sound.samples, sound.samples + sound.sampleBytes, kSamples.begin()));
  }
}

TEST(WaveFile, RefusesWhatItCannotPlay) {
  const Bytes data = Chunk("data", Bytes(16, 0x80));
  Bytes floatFormat = PcmFormat(1, 8000, 32);
  floatFormat[0] = 3;
  const Bytes cases[] = {
      Bytes(kPlain.begin(), kPlain.begin() + 11),               // header cut
      Riff({data}),                                             // no format
      Riff({Chunk("fmt ", kFormat)}),                           // no samples
      Riff({Chunk("fmt ", kFormat), Chunk("data", Bytes(3))}),  // less than a frame
      Riff({Chunk("fmt ", floatFormat), data}),                 // floating point
      Riff({Chunk("fmt ", PcmFormat(1, 8000, 24)), data}),      // 24 bits
      Riff({Chunk("fmt ", PcmFormat(3, 8000, 8)), data}),       // three channels
      Riff({Chunk("fmt ", PcmFormat(1, 0, 8)), data}),          // no frames a second
      Patched(kPlain, 32, 0x00100003),                          // block size wrong
      Riff({Chunk("fmt ", Bytes(kFormat.begin(), kFormat.begin() + 12)), data}),  // cut short
      Patched(kPlain, 16, 0x7FFFFFFF),  // the format chunk claims too much: the walk ends
      Patched(kPlain, 4, 4 + 24),       // the samples lie after the RIFF size
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    WaveSound sound;
    EXPECT_FALSE(ParseWave(cases[i].data(), cases[i].size(), sound));
  }
}

// ---- MIDI ------------------------------------------------------------------

uint32_t Short(uint32_t status, uint32_t first, uint32_t second = 0) {
  return MidiEventWord(kMidiShortEvent, status | (first << 8) | (second << 16));
}
uint32_t Tempo(uint32_t tempo) { return MidiEventWord(kMidiTempoEvent, tempo); }
const uint32_t kNop = MidiEventWord(kMidiNopEvent, 0);

std::vector<MidiEvent> Parsed(const Bytes& file, uint16_t ticksPerQuarter) {
  MidiSong song;
  EXPECT_TRUE(ParseMidi(file.data(), file.size(), song));
  EXPECT_EQ(song.ticksPerQuarter, ticksPerQuarter);
  return song.events;
}

TEST(MidiFile, ReadsATrackWithRunningStatusTempoAndSkippedEvents) {
  const Bytes track = Concat({
      {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20},  // tempo 500000
      {0x00, 0xFF, 0x03, 0x02, 'h', 'i'},          // a track name: skipped
      {0x00, 0xC0, 0x05},                          // program change, one data byte
      {0x10, 0x90, 0x3C, 0x40},                    // note on
      {0x81, 0x00, 0x3C, 0x00},                    // running status, delta 128
      {0x05, 0xF0, 0x02, 0x7E, 0xF7},              // system exclusive: skipped
      {0xFF, 0xFF, 0xFF, 0x7F, 0x80, 0x3C, 0x00},  // the longest delta there is
      {0x00, 0xFF, 0x51, 0x03, 0x00, 0x00, 0x00},  // tempo 0: skipped
      {0x60, 0xFF, 0x2F, 0x00},                    // end of track, later
      {0x00, 0x90, 0x3C, 0x40},                    // past the end: not read
  });
  const std::vector<MidiEvent> expected = {{0, Tempo(500000)},
                                           {0, Short(0xC0, 5)},
                                           {0x10, Short(0x90, 0x3C, 0x40)},
                                           {128, Short(0x90, 0x3C)},
                                           {0x0FFFFFFF + 5, Short(0x80, 0x3C)},
                                           {0x60, kNop}};
  EXPECT_EQ(Parsed(Midi(0, 480, {TrackChunk(track)}), 480), expected);
  // A track claiming far more than is there is read to the end of the data.
  EXPECT_EQ(Parsed(Patched(Midi(0, 480, {TrackChunk(track)}), 18, 0x7F000000, true), 480),
            expected);
}

TEST(MidiFile, MergesTracksByTimeEarlierTracksFirst) {
  const Bytes conductor = Concat({{0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40},    // 1000000
                                  {0x20, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}});  // at 32
  const Bytes melody =
      Concat({{0x00, 0x90, 0x40, 0x50}, {0x20, 0x40, 0x00}, {0x10, 0x80, 0x40, 0x00}});
  const Bytes bass =
      Concat({{0x10, 0x91, 0x30, 0x50}, {0x10, 0x81, 0x30, 0x00}, {0x40, 0xFF, 0x2F, 0x00}});
  const Bytes file = Midi(
      1, 96,
      {TrackChunk(conductor), Chunk("XFIH", Bytes(5), true), TrackChunk(melody), TrackChunk(bass)});
  const std::vector<MidiEvent> expected = {{0, Tempo(1000000)},
                                           {0, Short(0x90, 0x40, 0x50)},
                                           {0x10, Short(0x91, 0x30, 0x50)},
                                           {0x10, Tempo(500000)},
                                           {0, Short(0x90, 0x40)},
                                           {0, Short(0x81, 0x30)},
                                           {0x10, Short(0x80, 0x40)},
                                           {0x30, kNop}};
  EXPECT_EQ(Parsed(file, 96), expected);
}

TEST(MidiFile, RefusesMalformedOrUnplayableFiles) {
  const Bytes note = {0x00, 0x90, 0x3C, 0x40};
  auto withTrack = [&](const Bytes& events) {
    return Midi(0, 96, {TrackChunk(Concat({note, events}))});
  };
  const Bytes cases[] = {
      withTrack({0x80, 0x80, 0x80, 0x80, 0x00, 0x80, 0x3C, 0}),  // number over 4 bytes
      Midi(0, 96, {TrackChunk({0x00, 0x3C, 0x40})}),             // data byte first
      withTrack({0x00, 0xF0, 0x01, 0xF7, 0x00, 0x3C, 0x00}),     // running status after sysex
      withTrack({0x00, 0x80, 0x3C}),                             // event cut off
      withTrack({0x00, 0xFF, 0x01, 0x09, 'a'}),                  // meta past the track
      withTrack({0x00, 0x90, 0x3C, 0x80}),                       // data byte over 127
      withTrack({0x00, 0xF2, 0x00, 0x00}),                       // system common status
      Midi(0, 0xE728, {TrackChunk(note)}),                       // SMPTE time division
      Midi(2, 96, {TrackChunk(note)}),                           // format 2
      Midi(0, 96, {TrackChunk({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20})}),  // no notes
      Patched(Midi(0, 96, {TrackChunk(note)}), 4, 5, true),                   // header length 5
      Patched(Midi(0, 96, {TrackChunk(note)}), 4, 0xFFFFFFFF, true),          // header past the end
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    MidiSong song;
    EXPECT_FALSE(ParseMidi(cases[i].data(), cases[i].size(), song));
  }
}

}  // namespace
