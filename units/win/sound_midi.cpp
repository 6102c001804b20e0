// MIDI stream players: a standard MIDI file becomes stream events in
// buffers of at most 64 KiB on a MIDI stream of the MIDI mapper. The worker
// queues finished buffers again while looping; Close stops the stream and
// releases everything on the caller's thread once the worker has ended.

#include <algorithm>
#include <atomic>
#include <vector>

#include "units/midi_file.h"
#include "units/win/sound.h"
#include "units/win/sound_output.h"

namespace units {

static_assert(MEVT_SHORTMSG == kMidiShortEvent && MEVT_TEMPO == kMidiTempoEvent &&
                  MEVT_NOP == kMidiNopEvent,
              "stream event types");

namespace {

// A stream event of a channel message, a tempo or a nop: delta, stream id, word.
constexpr size_t kWordsPerEvent = 3;
constexpr size_t kEventsPerBuffer = 64 * 1024 / (kWordsPerEvent * sizeof(DWORD));

}  // namespace

struct MidiPlayer::Impl {
  std::vector<DWORD> words;
  std::vector<MIDIHDR> headers;  // not resized once the stream has them
  std::vector<bool> queued;
  size_t prepared = 0;
  bool loop = false;
  std::atomic<bool> stopping{false};
  std::atomic<bool> started{false};  // the worker leaves the buffers alone until then
  MidiStreamDevice stream;
  SoundWorker worker;

  void Pack(const MidiSong& song);
  bool Open(uint16_t ticksPerQuarter);
  bool Queue(size_t index);
  bool Poll();
  void Close();
};

// The song starts at the default tempo, also when it is played again.
void MidiPlayer::Impl::Pack(const MidiSong& song) {
  words = {0, 0, MidiEventWord(kMidiTempoEvent, kMidiDefaultTempo)};
  uint64_t length = 0;
  for (const MidiEvent& event : song.events) {
    words.insert(words.end(), {event.delta, 0, event.word});
    length += event.delta;
  }
  loop = loop && length > 0;  // a song of no length would loop without end
  const size_t events = words.size() / kWordsPerEvent;
  for (size_t first = 0; first < events; first += kEventsPerBuffer) {
    const size_t count = std::min(kEventsPerBuffer, events - first);
    MIDIHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(&words[first * kWordsPerEvent]);
    header.dwBufferLength = static_cast<DWORD>(count * kWordsPerEvent * sizeof(DWORD));
    header.dwBytesRecorded = header.dwBufferLength;
    headers.push_back(header);
  }
  queued.assign(headers.size(), false);
}

bool MidiPlayer::Impl::Open(uint16_t ticksPerQuarter) {
  if (!worker.Start([this] { return Poll(); })) return false;
  UINT device = MIDI_MAPPER;
  HMIDISTRM handle = nullptr;
  if (rt::winmm::midiStreamOpen(&handle, &device, 1, reinterpret_cast<DWORD_PTR>(worker.Event()), 0,
                                CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    return false;
  }
  stream.Reset(handle);
  MIDIPROPTIMEDIV division{sizeof(MIDIPROPTIMEDIV), ticksPerQuarter};
  if (rt::winmm::midiStreamProperty(handle, reinterpret_cast<LPBYTE>(&division),
                                    MIDIPROP_SET | MIDIPROP_TIMEDIV) != MMSYSERR_NOERROR) {
    return false;
  }
  auto* out = reinterpret_cast<HMIDIOUT>(handle);
  for (MIDIHDR& header : headers) {
    if (rt::winmm::midiOutPrepareHeader(out, &header, sizeof header) != MMSYSERR_NOERROR)
      return false;
    ++prepared;
  }
  for (size_t i = 0; i < headers.size(); ++i) {
    if (!Queue(i)) return false;
  }
  return rt::winmm::midiStreamRestart(handle) == MMSYSERR_NOERROR;
}

bool MidiPlayer::Impl::Queue(size_t index) {
  headers[index].dwFlags &= ~MHDR_DONE;
  queued[index] = rt::winmm::midiStreamOut(stream.get(), &headers[index], sizeof headers[index]) ==
                  MMSYSERR_NOERROR;
  return queued[index];
}

// On the worker: a finished buffer goes to the end of the queue again while
// looping, so the song starts over right after its end.
bool MidiPlayer::Impl::Poll() {
  if (stopping) return false;
  if (!started) return true;
  for (size_t i = 0; i < headers.size(); ++i) {
    if (queued[i] && (DeviceFlags(headers[i].dwFlags) & MHDR_DONE)) {
      queued[i] = false;
      if (loop) Queue(i);
    }
  }
  return true;
}

void MidiPlayer::Impl::Close() {
  stopping = true;
  worker.Wake();
  worker.Join();
  if (stream) {
    auto* out = reinterpret_cast<HMIDIOUT>(stream.get());
    rt::winmm::midiStreamStop(stream.get());
    rt::winmm::midiOutReset(out);  // every note off
    for (size_t i = 0; i < prepared; ++i) {
      rt::winmm::midiOutUnprepareHeader(out, &headers[i], sizeof headers[i]);
    }
    stream.Reset();
  }
  headers.clear();
  queued.clear();
  words.clear();
  prepared = 0;
  started = false;
  stopping = false;
}

MidiPlayer::MidiPlayer() : impl_(new Impl) {}
MidiPlayer::~MidiPlayer() { Close(); }

// Callers run inside window procedures: running out of memory is no music.
bool MidiPlayer::Play(const uint8_t* data, size_t length, bool loop) {
  Close();
  try {
    MidiSong song;
    if (ParseMidi(data, length, song)) {
      impl_->loop = loop;
      impl_->Pack(song);
      if (impl_->Open(song.ticksPerQuarter)) {
        impl_->started = true;
        impl_->worker.Wake();  // buffers may have finished while it started
        return true;
      }
    }
  } catch (...) {
  }
  Close();
  return false;
}

void MidiPlayer::Close() { impl_->Close(); }

}  // namespace units
