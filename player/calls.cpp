#include "player/calls.h"

#include <cstring>

namespace player {

namespace {

const rt::HelperTable* gHelpers = nullptr;
const rt::LibraryDescriptor* const* gLibraries = nullptr;

// The argument records of one command call; more than any command the
// player calls takes.
struct Records {
  rt::ArgRecord items[8];
  int32_t count = 0;

  void Add(std::initializer_list<rt::ArgRecord> args) {
    for (const rt::ArgRecord& arg : args) {
      if (count < 8) items[count++] = arg;
    }
  }
  // The command's function address comes from the library's command table.
  rt::ArgRecord CallCommand(int32_t library, int32_t slot) {
    const rt::CommandFn command = gLibraries[library]->commands[slot];
    if (library == lib::kCore) return gHelpers->callCoreCommand(command, count, items);
    return gHelpers->callLibraryCommand(command, library, count, items);
  }
};

}  // namespace

void Connect(const rt::HelperTable& helpers, const rt::LibraryDescriptor* const* libraries) {
  gHelpers = &helpers;
  gLibraries = libraries;
}

// ---- Texts ------------------------------------------------------------------

Text& Text::operator=(Text&& other) noexcept {
  if (this != &other) {
    reset();
    text_ = other.release();
  }
  return *this;
}

char* Text::release() {
  char* text = text_;
  text_ = nullptr;
  return text;
}

void Text::reset() {
  if (text_ != nullptr) gHelpers->free(text_);
  text_ = nullptr;
}

Text Join(std::initializer_list<const char*> parts) {
  size_t length = 0;
  for (const char* part : parts) length += part ? std::strlen(part) : 0;
  if (length == 0) return Text();
  char* joined = static_cast<char*>(gHelpers->allocate(static_cast<int32_t>(length + 1)));
  char* end = joined;
  for (const char* part : parts) {
    if (part == nullptr) continue;
    size_t n = std::strlen(part);
    std::memcpy(end, part, n);
    end += n;
  }
  *end = '\0';
  return Text(joined);
}

bool SameText(const char* a, const char* b) { return std::strcmp(a ? a : "", b ? b : "") == 0; }

// ---- Argument records -----------------------------------------------------

rt::ArgRecord Int(int32_t value) { return rt::MakeInt(value); }
rt::ArgRecord Str(const char* text) { return rt::MakeText(text); }
rt::ArgRecord Omitted() { return rt::ArgRecord{}; }

rt::ArgRecord Variable(int32_t& variable) {
  rt::ArgRecord record = rt::MakeInt(0);
  rt::SetAddress(record, reinterpret_cast<uintptr_t>(&variable));
  return record;
}

rt::ArgRecord Unit(const UnitRef& unit) { return rt::MakeUnitRef(kFormId, unit.id, unit.type); }

// ---- Commands ---------------------------------------------------------------

rt::ArgRecord Call(int32_t library, int32_t slot, std::initializer_list<rt::ArgRecord> args) {
  Records records;
  records.Add(args);
  return records.CallCommand(library, slot);
}

Text TakeText(const rt::ArgRecord& result) {
  return Text(reinterpret_cast<char*>(rt::AddressOf(result)));
}

int32_t Media(int32_t slot, std::initializer_list<rt::ArgRecord> args) {
  Records records;
  records.Add({Unit(kMediaPlayer)});
  records.Add(args);
  return static_cast<int32_t>(rt::WordOf(records.CallCommand(lib::kMedia, slot)));
}

// ---- Properties -------------------------------------------------------------

int32_t ReadInt(const UnitRef& unit, int32_t property) {
  return static_cast<int32_t>(gHelpers->readProperty(kFormId, unit.id, property, -1).value);
}

void WriteInt(const UnitRef& unit, int32_t property, int32_t value) {
  rt::PropValue v;
  v.value = static_cast<uint32_t>(value);
  gHelpers->writeProperty(kFormId, unit.id, property, -1, v);
}

Text ReadText(const UnitRef& unit, int32_t property) {
  rt::PropValue v = gHelpers->readProperty(kFormId, unit.id, property, -1);
  return Text(const_cast<char*>(rt::TextIn(v)));
}

void WriteText(const UnitRef& unit, int32_t property, const char* text) {
  rt::PropValue v;
  v.value = reinterpret_cast<uintptr_t>(text);
  gHelpers->writeProperty(kFormId, unit.id, property, -1, v);
}

// ---- File walk ----------------------------------------------------------------

Text FindFile(const char* pattern, uintptr_t* handle) {
  return Text(gHelpers->otherHelp->findFile(pattern, 0, 1, handle));
}

void EndFind(uintptr_t handle) { gHelpers->otherHelp->endFind(handle); }

void RegisterExitRoutine(rt::ExitRoutine routine) {
  gHelpers->otherHelp->registerExitRoutine(routine);
}

}  // namespace player
