#include "tests/player/fake_runtime.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "player/calls.h"
#include "player/routines.h"
#include "runtime/program.h"

namespace player_test {

namespace {

namespace prop = player::prop;

FakeRuntime* gFake = nullptr;

uint64_t Key(uint32_t unit, int32_t property) {
  return uint64_t{unit} << 32 | static_cast<uint32_t>(property);
}

// ---- Heap: texts counted while alive --------------------------------------
void* Allocate(int32_t size) {
  ++gFake->liveTexts;
  return std::malloc(static_cast<size_t>(size));
}
void Free(void* block) {
  if (block == nullptr) return;
  --gFake->liveTexts;
  std::free(block);
}
char* NewText(const std::string& text) {
  if (text.empty()) return nullptr;
  char* copy = static_cast<char*>(Allocate(static_cast<int32_t>(text.size() + 1)));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

std::string TextArg(const rt::ArgRecord& r) {
  const char* text = rt::TextOf(r);
  return text ? text : "";
}
int32_t IntArg(int32_t count, const rt::ArgRecord* args, int32_t i) {
  return i < count && !rt::IsOmitted(args[i]) ? static_cast<int32_t>(args[i].low) : 0;
}
void ReturnText(rt::ArgRecord* result, const std::string& text) {
  *result = rt::MakeText(NewText(text));
}

// ---- Properties: the two labels' captions are texts, the rest numbers -------
bool IsTextProperty(uint32_t unit, int32_t property) {
  return (unit == player::kSongName.id || unit == player::kModeLabel.id) &&
         property == prop::kCaption;
}

rt::PropValue ReadProperty(uint32_t, uint32_t unit, int32_t property, int32_t) {
  rt::PropValue v;
  if (IsTextProperty(unit, property)) {
    v.value = reinterpret_cast<uintptr_t>(NewText(gFake->texts[Key(unit, property)]));
  } else {
    v.value = static_cast<uint32_t>(gFake->Int(unit, property));
  }
  return v;
}

// The list box keeps `CurrentIndex` within -1 .. the last row.
int32_t ClampedSelection(int32_t value) {
  const int32_t last = static_cast<int32_t>(gFake->rows.size()) - 1;
  return std::max(std::min(value, last), -1);
}

void WriteProperty(uint32_t, uint32_t unit, int32_t property, int32_t, rt::PropValue v) {
  if (unit == player::kPlayList.id && property == prop::kCurrentIndex) {
    gFake->SetInt(unit, property, ClampedSelection(static_cast<int32_t>(v.value)));
  } else if (IsTextProperty(unit, property)) {
    const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(v.value));
    gFake->texts[Key(unit, property)] = text ? text : "";
  } else {
    gFake->SetInt(unit, property, static_cast<int32_t>(v.value));
  }
}

// ---- Core commands, in slot order -------------------------------------------
void Nothing(rt::ArgRecord*, int32_t, rt::ArgRecord*) {}
void GetItemText(rt::ArgRecord* r, int32_t n, rt::ArgRecord* a) {
  const int32_t row = IntArg(n, a, 1);
  const bool inside = row >= 0 && row < static_cast<int32_t>(gFake->rows.size());
  ReturnText(r, inside ? gFake->rows[static_cast<size_t>(row)] : "");
}
void GetItemCount(rt::ArgRecord* r, int32_t, rt::ArgRecord*) {
  *r = rt::MakeInt(static_cast<int32_t>(gFake->rows.size()));
}
void TextLeft(rt::ArgRecord* r, int32_t n, rt::ArgRecord* a) {
  const int32_t length = IntArg(n, a, 1);
  ReturnText(r, length > 0 ? TextArg(a[0]).substr(0, static_cast<size_t>(length)) : "");
}
void GetRunDirectory(rt::ArgRecord* r, int32_t, rt::ArgRecord*) { ReturnText(r, "C:\\prog"); }
void ReadConfigItem(rt::ArgRecord* r, int32_t, rt::ArgRecord* a) {
  const bool ours = TextArg(a[0]) == "C:\\prog\\目录.ini" && TextArg(a[1]) == "配置";
  auto it = gFake->settings.find(TextArg(a[2]));
  ReturnText(r, ours && it != gFake->settings.end() ? it->second : "");
}
void ToInteger(rt::ArgRecord* r, int32_t, rt::ArgRecord* a) {
  *r = rt::MakeInt(std::atoi(TextArg(a[0]).c_str()));
}
void AddItem(rt::ArgRecord*, int32_t, rt::ArgRecord* a) { gFake->rows.push_back(TextArg(a[1])); }
void WriteConfigItem(rt::ArgRecord* r, int32_t, rt::ArgRecord* a) {
  gFake->settings[TextArg(a[2])] = TextArg(a[3]);
  *r = rt::MakeBool(true);
}
// The relay label's feedback event runs its routine before the call returns.
void RaiseFeedbackEvent(rt::ArgRecord*, int32_t n, rt::ArgRecord* a) {
  player::ProgressFeedback(IntArg(n, a, 1), IntArg(n, a, 2));
}
void ToText(rt::ArgRecord* r, int32_t, rt::ArgRecord* a) {
  ReturnText(r, std::to_string(static_cast<int32_t>(a[0].low)));
}

const rt::CommandFn kCore[] = {
    Nothing, GetItemText, TextLeft, GetItemCount,    GetRunDirectory,    ReadConfigItem, ToInteger,
    Nothing, Nothing,     AddItem,  WriteConfigItem, RaiseFeedbackEvent, ToText,         Nothing};

// ---- Media player -------------------------------------------------------------
void SetVolume(rt::ArgRecord* r, int32_t n, rt::ArgRecord* a) {
  if (gFake->media.isOpen) gFake->media.volume = IntArg(n, a, 1);
  *r = rt::MakeBool(gFake->media.isOpen);
}
// Opening closes the device first; a new device plays at its default volume.
void Open(rt::ArgRecord* r, int32_t, rt::ArgRecord* a) {
  FakeMedia& m = gFake->media;
  m.openFile = TextArg(a[1]);
  auto it = m.files.find(m.openFile);
  m.isOpen = it != m.files.end();
  m.playing = false;
  m.position = 0;
  m.length = m.isOpen ? it->second : 0;
  if (m.isOpen) m.volume = FakeMedia::kDeviceDefaultVolume;
  *r = rt::MakeBool(m.isOpen);
}
void Play(rt::ArgRecord* r, int32_t n, rt::ArgRecord* a) {
  FakeMedia& m = gFake->media;
  m.paused = false;
  m.playFrom = IntArg(n, a, 1);
  if (m.isOpen) {
    if (m.playFrom != -1) m.position = std::min(std::max(m.playFrom, 0), m.length);
    m.playing = true;
    m.volumeAtPlay = m.volume;
    ++m.plays;
  }
  *r = rt::MakeBool(m.isOpen);
}
// The flag flips whatever the device says, as the unit's does.
void TogglePause(rt::ArgRecord* r, int32_t, rt::ArgRecord*) {
  gFake->media.paused = !gFake->media.paused;
  *r = rt::MakeBool(gFake->media.isOpen);
}
void GetPosition(rt::ArgRecord* r, int32_t, rt::ArgRecord*) {
  *r = rt::MakeInt(gFake->media.isOpen ? gFake->media.position : -1);
}
void GetLength(rt::ArgRecord* r, int32_t, rt::ArgRecord*) {
  *r = rt::MakeInt(gFake->media.isOpen ? gFake->media.length : 0);
}
const rt::CommandFn kMedia[] = {Nothing,     SetVolume,   Open,     Play,
                                TogglePause, GetPosition, GetLength};
const rt::CommandFn kExtension[] = {Nothing};  // each extension library's one command

rt::LibraryDescriptor Library(const rt::CommandFn* commands) {
  rt::LibraryDescriptor d{};
  d.commands = commands;
  return d;
}
const rt::LibraryDescriptor kLibs[] = {Library(kCore),     Library(kExtension), Library(kExtension),
                                       Library(nullptr),   Library(kExtension), Library(kMedia),
                                       Library(kExtension)};
const rt::LibraryDescriptor* const kLibraries[] = {&kLibs[0], &kLibs[1], &kLibs[2], &kLibs[3],
                                                   &kLibs[4], &kLibs[5], &kLibs[6]};

// ---- File walk: a pattern lists the names stored for it -----------------------
// The handle is the position of the next name, plus one.
const std::vector<std::string>* gWalked = nullptr;
char* FindFile(const char* pattern, uint32_t, int32_t, uintptr_t* handle) {
  if (pattern != nullptr) gWalked = &gFake->folders[pattern], *handle = 1;
  if (*handle == 0 || *handle > gWalked->size()) return *handle = 0, nullptr;
  return NewText((*gWalked)[(*handle)++ - 1]);
}
void EndFind(uintptr_t) {}
void RegisterExit(rt::ExitRoutine) {}

rt::ArgRecord CallCommand(rt::CommandFn fn, int32_t count, rt::ArgRecord* args) {
  rt::ArgRecord result;
  fn(&result, count, args);
  return result;
}
rt::ArgRecord CallLibrary(rt::CommandFn fn, int32_t, int32_t count, rt::ArgRecord* args) {
  return CallCommand(fn, count, args);
}

const rt::OtherHelpTable kOther = {FindFile, EndFind, nullptr, RegisterExit,
                                   nullptr,  nullptr, nullptr};
const rt::HelperTable kHelpers = {nullptr,       nullptr,  CallLibrary, CallCommand, ReadProperty,
                                  WriteProperty, Allocate, nullptr,     Free,        nullptr,
                                  nullptr,       nullptr,  &kOther};

}  // namespace

FakeRuntime::FakeRuntime() {
  gFake = this;
  player::Connect(kHelpers, kLibraries);
  player::Global() = player::Globals{};
  SetInt(player::kPlayList.id, prop::kCurrentIndex, -1);
}

FakeRuntime::~FakeRuntime() { gFake = nullptr; }

void FakeMedia::Elapse(int32_t ms) {
  if (isOpen && playing && !paused) position = std::min(position + ms, length);
}

int32_t FakeRuntime::Int(uint32_t unit, int32_t property) const {
  auto it = ints.find(Key(unit, property));
  return it == ints.end() ? 0 : it->second;
}
std::string FakeRuntime::Text(uint32_t unit, int32_t property) const {
  auto it = texts.find(Key(unit, property));
  return it == texts.end() ? "" : it->second;
}
void FakeRuntime::SetInt(uint32_t unit, int32_t property, int32_t value) {
  ints[Key(unit, property)] = value;
}

}  // namespace player_test
