// The program's one wave player. Every sound gets a wave output device of
// its own on the wave mapper, so sounds started together play together (the
// system mixes them): a form's looping music goes on under a short effect.
// One worker thread serves all of them: it re-queues the buffers of looping
// sounds and closes sounds that have ended. StopWaves stops them all.

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "units/wave_file.h"
#include "units/win/sound.h"
#include "units/win/sound_output.h"

namespace units {

namespace {

constexpr size_t kBufferBytes = 64 * 1024;
// A looping sound shorter than this is repeated to this length first, so
// that the worker is not woken for every few milliseconds of sound.
constexpr uint32_t kShortestLoopDivisor = 4;  // a quarter of a second
// More sounds at once than this: the oldest stops.
constexpr size_t kMostSounds = 16;

// One sound on its own device. Its buffers cover the samples in order; a
// looping sound has at least two, so one plays while the other is queued
// again.
class WaveVoice {
 public:
  // Null when no device opens or the device refuses the samples.
  static std::unique_ptr<WaveVoice> Open(const WaveSound& sound, bool loop, HANDLE event);
  ~WaveVoice();
  WaveVoice(const WaveVoice&) = delete;
  WaveVoice& operator=(const WaveVoice&) = delete;

  // Queues finished buffers again when looping; false once it has ended.
  bool Poll();

 private:
  WaveVoice(const WaveSound& sound, bool loop);
  bool Start(const WaveSound& sound, HANDLE event);
  bool Queue(WAVEHDR& header);

  std::vector<uint8_t> samples_;
  std::vector<WAVEHDR> headers_;  // not resized once the device has them
  size_t prepared_ = 0;
  std::vector<bool> queued_;
  bool loop_;
  WaveOutDevice device_;
};

WaveVoice::WaveVoice(const WaveSound& sound, bool loop)
    : samples_(sound.samples, sound.samples + sound.sampleBytes), loop_(loop) {
  const size_t shortest = sound.format.BytesPerSecond() / kShortestLoopDivisor;
  while (loop_ && samples_.size() < shortest) {
    samples_.insert(samples_.end(), sound.samples, sound.samples + sound.sampleBytes);
  }
  const size_t align = sound.format.BlockAlign();
  const size_t step = kBufferBytes - kBufferBytes % align;
  for (size_t at = 0; at < samples_.size(); at += step) {
    WAVEHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(samples_.data() + at);
    header.dwBufferLength = static_cast<DWORD>(std::min(step, samples_.size() - at));
    headers_.push_back(header);
  }
  // Two buffers over the same samples play them back to back.
  if (loop_ && headers_.size() == 1) headers_.push_back(headers_.front());
  queued_.assign(headers_.size(), false);
}

std::unique_ptr<WaveVoice> WaveVoice::Open(const WaveSound& sound, bool loop, HANDLE event) {
  std::unique_ptr<WaveVoice> voice(new WaveVoice(sound, loop));
  if (!voice->Start(sound, event)) voice.reset();
  return voice;
}

bool WaveVoice::Start(const WaveSound& sound, HANDLE event) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = sound.format.channels;
  format.nSamplesPerSec = sound.format.framesPerSecond;
  format.nAvgBytesPerSec = sound.format.BytesPerSecond();
  format.nBlockAlign = sound.format.BlockAlign();
  format.wBitsPerSample = sound.format.bitsPerSample;
  HWAVEOUT device = nullptr;
  if (rt::winmm::waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(event), 0,
                             CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    return false;
  }
  device_.Reset(device);
  for (WAVEHDR& header : headers_) {
    if (rt::winmm::waveOutPrepareHeader(device, &header, sizeof header) != MMSYSERR_NOERROR)
      return false;
    ++prepared_;
  }
  for (WAVEHDR& header : headers_) {
    if (!Queue(header)) return false;
  }
  return true;
}

bool WaveVoice::Queue(WAVEHDR& header) {
  const size_t index = static_cast<size_t>(&header - headers_.data());
  header.dwFlags &= ~WHDR_DONE;
  queued_[index] =
      rt::winmm::waveOutWrite(device_.get(), &header, sizeof header) == MMSYSERR_NOERROR;
  return queued_[index];
}

bool WaveVoice::Poll() {
  bool playing = false;
  for (size_t i = 0; i < headers_.size(); ++i) {
    if (queued_[i] && (DeviceFlags(headers_[i].dwFlags) & WHDR_DONE)) {
      queued_[i] = false;
      if (loop_) Queue(headers_[i]);
    }
    playing = playing || queued_[i];
  }
  return playing;
}

WaveVoice::~WaveVoice() {
  if (!device_) return;
  rt::winmm::waveOutReset(device_.get());
  for (size_t i = 0; i < prepared_; ++i) {
    rt::winmm::waveOutUnprepareHeader(device_.get(), &headers_[i], sizeof headers_[i]);
  }
  device_.Reset();
}

// The player: its sounds and the worker that serves them. The worker runs
// from the first sound until StopAll; the public calls are serialised by
// `control_`, the sound list is shared with the worker under `mutex_`.
class WavePlayer {
 public:
  WavePlayer() = default;
  ~WavePlayer() { StopAll(); }  // a worker left running would wait for ever
  WavePlayer(const WavePlayer&) = delete;
  WavePlayer& operator=(const WavePlayer&) = delete;

  bool Play(const WaveSound& sound, bool loop);
  void StopAll();
  bool WorkerRunning() const { return worker_.Started(); }

 private:
  bool Poll();

  std::mutex control_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<WaveVoice>> voices_;
  bool stopping_ = false;
  SoundWorker worker_;
};

bool WavePlayer::Play(const WaveSound& sound, bool loop) {
  std::lock_guard<std::mutex> control(control_);
  if (!worker_.Started() && !worker_.Start([this] { return Poll(); })) return false;
  std::unique_ptr<WaveVoice> voice = WaveVoice::Open(sound, loop, worker_.Event());
  if (!voice) return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (voices_.size() >= kMostSounds) voices_.erase(voices_.begin());
    voices_.push_back(std::move(voice));
  }
  worker_.Wake();  // buffers may have finished before the worker knew the sound
  return true;
}

bool WavePlayer::Poll() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (stopping_) return false;
  voices_.erase(std::remove_if(voices_.begin(), voices_.end(),
                               [](const std::unique_ptr<WaveVoice>& v) { return !v->Poll(); }),
                voices_.end());
  return true;
}

void WavePlayer::StopAll() {
  std::lock_guard<std::mutex> control(control_);
  if (!worker_.Started()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  worker_.Wake();
  worker_.Join();
  std::lock_guard<std::mutex> lock(mutex_);
  voices_.clear();
  stopping_ = false;
}

// The one player of the process: stopped at shutdown. The program ends its
// process without destructors; a test program that ends by returning from
// main stops the worker first.
WavePlayer& Player() {
  static WavePlayer player;
  return player;
}

}  // namespace

// Callers run inside window procedures: running out of memory is no sound.
bool PlayWave(const uint8_t* data, size_t length, bool loop) {
  try {
    WaveSound sound;
    return ParseWave(data, length, sound) && Player().Play(sound, loop);
  } catch (...) {
    return false;
  }
}

void StopWaves() { Player().StopAll(); }

bool WaveWorkerRunning() { return Player().WorkerRunning(); }

}  // namespace units
