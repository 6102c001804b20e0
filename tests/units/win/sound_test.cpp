// The sound output under Wine: the wave player with WAVE files made in
// memory (Wine's null sound device finishes buffers faster than real time),
// the MIDI player's failure path (Wine has no MIDI device), service 2015 and
// the stop at shutdown.

#include <windows.h>

#include <gtest/gtest.h>

#include "runtime/runtime.h"
#include "runtime/service.h"
#include "runtime/win/handles.h"
#include "tests/support/runtime_fixture.h"
#include "tests/units/sound_samples.h"
#include "units/win/sound.h"

namespace {

using namespace soundsamples;

const Bytes kWave = Riff({Chunk("fmt ", PcmFormat(1, 22050, 16)), Chunk("data", Tone(2205, 1))});
const Bytes kWaveWithExtras =
    Riff({Chunk("LIST", Bytes(9, 'i')), Chunk("fmt ", PcmFormat(2, 22050, 16)),
          Chunk("fact", Bytes(4)), Chunk("data", Tone(4410, 2)), Chunk("id3 ", Bytes(3))});
const Bytes kMidi = Midi(0, 96, {TrackChunk({0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x00})});

// Waits up to `ms` for the live handle count to reach `count`.
bool HandlesReach(int64_t count, DWORD ms) {
  const DWORD start = GetTickCount();
  while (rt::LiveHandleCount() != count && GetTickCount() - start < ms) Sleep(10);
  return rt::LiveHandleCount() == count;
}

class SoundTest : public testing_support::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    units::InstallSoundService();
    before_ = rt::LiveHandleCount();
  }
  void TearDown() override {
    units::StopWaves();
    RuntimeTest::TearDown();
  }
  int64_t before_ = 0;
};

TEST_F(SoundTest, BackgroundSoundStartsAndStopsWithAGeneratedWaveFile) {
  ASSERT_TRUE(units::PlayWave(kWave.data(), kWave.size(), false));
  EXPECT_TRUE(units::WaveWorkerRunning());
  ASSERT_TRUE(units::PlayWave(kWaveWithExtras.data(), kWaveWithExtras.size(), true));
  // The worker's thread and event, and the looping sound's device: the
  // other sound has ended and its device is closed.
  EXPECT_TRUE(HandlesReach(before_ + 3, 3000)) << rt::LiveHandleCount() - before_;
  Sleep(500);  // many times its length: still playing
  EXPECT_EQ(rt::LiveHandleCount(), before_ + 3);

  units::StopWaves();
  EXPECT_FALSE(units::WaveWorkerRunning());
  EXPECT_EQ(rt::LiveHandleCount(), before_);
  // It starts again after a stop, and stops at shutdown.
  ASSERT_TRUE(units::PlayWave(kWave.data(), kWave.size(), true));
  rt::Shutdown(0);
  EXPECT_FALSE(units::WaveWorkerRunning());
  EXPECT_EQ(rt::LiveHandleCount(), before_);
}

TEST_F(SoundTest, ServiceAnswersWhetherPlayingStartedWithoutBlocking) {
  Bytes floatWave = kWave;
  floatWave[20] = 3;  // the format tag: floating-point samples
  const struct {
    const char* name;
    Bytes block;
    uint32_t flag;
    uint64_t answer;
  } cases[] = {
      {"wave", kWave, 0, 1},
      {"wave looping", kWaveWithExtras, 1, 1},
      {"empty", {}, 0, 0},
      {"unknown", Bytes(40, 'x'), 1, 0},
      {"wave it cannot play", floatWave, 1, 0},
      {"MIDI with no MIDI device", kMidi, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const rt::SoundBlockRequest request{c.block.data(), static_cast<uint32_t>(c.block.size()),
                                        c.flag};
    const DWORD start = GetTickCount();
    EXPECT_EQ(rt::Service(rt::svc::kPlaySound, reinterpret_cast<uintptr_t>(&request), 0), c.answer);
    EXPECT_LT(GetTickCount() - start, 1000u);
  }
  units::StopWaves();
  EXPECT_EQ(rt::LiveHandleCount(), before_);
}

TEST_F(SoundTest, MidiPlayerWithoutADeviceReportsNothingStartedAndKeepsNothing) {
  units::MidiPlayer player;
  EXPECT_FALSE(player.Play(kMidi.data(), kMidi.size(), true));
  EXPECT_FALSE(player.Play(kWave.data(), kWave.size(), false));
  player.Close();
  EXPECT_EQ(rt::LiveHandleCount(), before_);
}

}  // namespace
