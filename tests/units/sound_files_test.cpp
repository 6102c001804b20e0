// The wave and MIDI file readers with well-formed and malformed data.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "tests/units/sound_samples.h"
#include "units/midi_file.h"
#include "units/wave_file.h"

namespace {

using namespace units;
using namespace soundsamples;
using Bytes = std::vector<uint8_t>;

TEST(WaveFile, FindsFormatAndSamplesAmongOtherChunks) {
  const Bytes samples = Tone(441, 2);
  const Bytes fmt = PcmFormat(2, 22050, 16);
  struct Case {
    const char* name;
    Bytes file;
  } cases[] = {
      {"plain", Riff({Chunk("fmt ", fmt), Chunk("data", samples)})},
      {"extra chunks, odd one padded",
       Riff({Chunk("LIST", Bytes(7, 'x')), Chunk("fmt ", fmt), Chunk("fact", Bytes(4)),
             Chunk("data", samples), Chunk("id3 ", Bytes(3))})},
      {"format after the samples", Riff({Chunk("data", samples), Chunk("fmt ", fmt)})},
      {"RIFF size 0", WithRiffSize(Riff({Chunk("fmt ", fmt), Chunk("data", samples)}), 0)},
      {"RIFF size past the end",
       WithRiffSize(Riff({Chunk("fmt ", fmt), Chunk("data", samples)}), 0xFFFFFFF0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WaveSound sound;
    ASSERT_TRUE(ParseWave(c.file.data(), c.file.size(), sound));
    EXPECT_EQ(sound.format.channels, 2);
    EXPECT_EQ(sound.format.framesPerSecond, 22050u);
    EXPECT_EQ(sound.format.bitsPerSample, 16);
    EXPECT_EQ(sound.format.BytesPerSecond(), 88200u);
    ASSERT_EQ(sound.sampleBytes, samples.size());
    EXPECT_EQ(Bytes(sound.samples, sound.samples + sound.sampleBytes), samples);
    EXPECT_GE(sound.samples, c.file.data());
    EXPECT_LE(sound.samples + sound.sampleBytes, c.file.data() + c.file.size());
  }
}

TEST(WaveFile, ClampsSamplesToWholeFramesThatAreThere) {
  const Bytes fmt = PcmFormat(2, 8000, 16);
  struct Case {
    const char* name;
    Bytes file;
    size_t sampleBytes;
  } cases[] = {
      {"data claims more than is there",
       Truncated(Riff({Chunk("fmt ", fmt), Chunk("data", Bytes(400))}), 44 + 63), 63},
      {"data size huge",
       WithChunkSize(Riff({Chunk("fmt ", fmt), Chunk("data", Bytes(40))}), 1, 0xFFFFFFFF), 40},
      {"odd bytes past the last frame", Riff({Chunk("fmt ", fmt), Chunk("data", Bytes(42))}), 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WaveSound sound;
    ASSERT_TRUE(ParseWave(c.file.data(), c.file.size(), sound));
    EXPECT_EQ(sound.sampleBytes, c.sampleBytes - c.sampleBytes % 4);
  }
}

TEST(WaveFile, RefusesWhatItCannotPlay) {
  const Bytes pcm = PcmFormat(1, 8000, 8);
  Bytes floatFormat = PcmFormat(1, 8000, 32);
  floatFormat[0] = 3;
  Bytes badAlign = pcm;
  badAlign[12] = 2;
  const Bytes data = Chunk("data", Bytes(16, 0x80));
  struct Case {
    const char* name;
    Bytes file;
  } cases[] = {
      {"no RIFF", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}},
      {"header cut", Truncated(Riff({Chunk("fmt ", pcm), data}), 11)},
      {"no format", Riff({data})},
      {"no samples", Riff({Chunk("fmt ", pcm)})},
      {"empty samples", Riff({Chunk("fmt ", pcm), Chunk("data", {})})},
      {"less than a frame", Riff({Chunk("fmt ", PcmFormat(2, 8000, 16)), Chunk("data", Bytes(3))})},
      {"float samples", Riff({Chunk("fmt ", floatFormat), data})},
      {"24 bits", Riff({Chunk("fmt ", PcmFormat(1, 8000, 24)), data})},
      {"three channels", Riff({Chunk("fmt ", PcmFormat(3, 8000, 8)), data})},
      {"no frames a second", Riff({Chunk("fmt ", PcmFormat(1, 0, 8)), data})},
      {"block size wrong", Riff({Chunk("fmt ", badAlign), data})},
      {"format cut short", Riff({Chunk("fmt ", Bytes(pcm.begin(), pcm.begin() + 12)), data})},
      {"chunk before the samples claims too much",
       WithChunkSize(Riff({Chunk("LIST", Bytes(4)), Chunk("fmt ", pcm), data}), 0, 0x7FFFFFFF)},
      {"samples after the RIFF size", WithRiffSize(Riff({Chunk("fmt ", pcm), data}), 4 + 8 + 16)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WaveSound sound;
    EXPECT_FALSE(ParseWave(c.file.data(), c.file.size(), sound));
  }
}

// ---- MIDI ------------------------------------------------------------------

uint32_t Short(uint32_t status, uint32_t first, uint32_t second = 0) {
  return MidiEventWord(kMidiShortEvent, status | (first << 8) | (second << 16));
}
uint32_t Tempo(uint32_t tempo) { return MidiEventWord(kMidiTempoEvent, tempo); }
const uint32_t kNop = MidiEventWord(kMidiNopEvent, 0);

TEST(MidiFile, ReadsOneTrackWithRunningStatusTempoAndSkippedEvents) {
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
  const Bytes file = Midi(0, 480, {TrackChunk(track)});
  MidiSong song;
  ASSERT_TRUE(ParseMidi(file.data(), file.size(), song));
  EXPECT_EQ(song.ticksPerQuarter, 480);
  const std::vector<MidiEvent> expected = {{0, Tempo(500000)},
                                           {0, Short(0xC0, 5)},
                                           {0x10, Short(0x90, 0x3C, 0x40)},
                                           {128, Short(0x90, 0x3C)},
                                           {0x0FFFFFFF + 5, Short(0x80, 0x3C)},
                                           {0x60, kNop}};
  EXPECT_EQ(song.events, expected);
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
      {TrackChunk(conductor), MidiChunk("XFIH", Bytes(5)), TrackChunk(melody), TrackChunk(bass)});
  MidiSong song;
  ASSERT_TRUE(ParseMidi(file.data(), file.size(), song));
  const std::vector<MidiEvent> expected = {{0, Tempo(1000000)},
                                           {0, Short(0x90, 0x40, 0x50)},
                                           {0x10, Short(0x91, 0x30, 0x50)},
                                           {0x10, Tempo(500000)},
                                           {0, Short(0x90, 0x40)},
                                           {0, Short(0x81, 0x30)},
                                           {0x10, Short(0x80, 0x40)},
                                           {0x30, kNop}};
  EXPECT_EQ(song.events, expected);
}

TEST(MidiFile, ClampsTrackLengthToTheData) {
  const Bytes track = {0x00, 0x90, 0x3C, 0x40, 0x10, 0x80, 0x3C, 0x00};
  Bytes file = Midi(0, 96, {TrackChunk(track)});
  file[14 + 4] = 0x7F;  // the track claims far more than is there
  MidiSong song;
  ASSERT_TRUE(ParseMidi(file.data(), file.size(), song));
  EXPECT_EQ(song.events.size(), 2u);
}

TEST(MidiFile, RefusesMalformedOrUnplayableFiles) {
  const Bytes note = {0x00, 0x90, 0x3C, 0x40};
  struct Case {
    const char* name;
    Bytes file;
  } cases[] = {
      {"variable-length number over 4 bytes",
       Midi(0, 96, {TrackChunk(Concat({note, {0x80, 0x80, 0x80, 0x80, 0x00, 0x80, 0x3C, 0}}))})},
      {"data byte first", Midi(0, 96, {TrackChunk({0x00, 0x3C, 0x40})})},
      {"running status ended by sysex",
       Midi(0, 96, {TrackChunk(Concat({note, {0x00, 0xF0, 0x01, 0xF7, 0x00, 0x3C, 0x00}}))})},
      {"event cut off", Midi(0, 96, {TrackChunk(Concat({note, {0x00, 0x80, 0x3C}}))})},
      {"meta longer than the track",
       Midi(0, 96, {TrackChunk(Concat({note, {0x00, 0xFF, 0x01, 0x09, 'a'}}))})},
      {"data byte over 127", Midi(0, 96, {TrackChunk({0x00, 0x90, 0x3C, 0x80})})},
      {"system common status", Midi(0, 96, {TrackChunk(Concat({note, {0x00, 0xF2, 0x00, 0x00}}))})},
      {"SMPTE time division", Midi(0, 0xE728, {TrackChunk(note)})},
      {"no ticks per quarter", Midi(0, 0, {TrackChunk(note)})},
      {"format 2", Midi(2, 96, {TrackChunk(note)})},
      {"only a tempo", Midi(0, 96, {TrackChunk({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20})})},
      {"no tracks", Midi(0, 96, {})},
      {"header cut", Truncated(Midi(0, 96, {TrackChunk(note)}), 12)},
      {"header length 5", WithHeaderLength(Midi(0, 96, {TrackChunk(note)}), 5)},
      {"header length huge", WithHeaderLength(Midi(0, 96, {TrackChunk(note)}), 0xFFFFFFFF)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MidiSong song;
    EXPECT_FALSE(ParseMidi(c.file.data(), c.file.size(), song));
  }
}

}  // namespace
