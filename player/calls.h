#pragma once
// The thin layer the player's routines call the runtime through: commands by
// library and slot (through the helper table's call stubs), property reads
// and writes, the file walk and texts owned by the runtime heap. Nothing
// here knows what the player does with them.

#include <cstdint>
#include <initializer_list>

#include "player/form_units.h"
#include "runtime/program.h"

namespace player {

// Hands the layer the runtime's helper table and the program's library
// array (in header order); everything below uses them.
void Connect(const rt::HelperTable& helpers, const rt::LibraryDescriptor* const* libraries);

// A text from the runtime heap, freed when it goes; null is the empty text.
class Text {
 public:
  Text() = default;
  explicit Text(char* owned) : text_(owned) {}
  Text(Text&& other) noexcept : text_(other.release()) {}
  Text& operator=(Text&& other) noexcept;
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  ~Text() { reset(); }

  const char* get() const { return text_; }
  bool empty() const { return text_ == nullptr || *text_ == '\0'; }
  char* release();
  void reset();

 private:
  char* text_ = nullptr;
};

// Assigning a text variable frees what it held; the variable takes over
// the new text.
inline void Assign(char*& variable, Text value) {
  Text old(variable);
  variable = value.release();
}

// A new runtime text joining the parts; empty parts add nothing.
Text Join(std::initializer_list<const char*> parts);
// Byte-wise, the empty text equal only to the empty text.
bool SameText(const char* a, const char* b);

// ---- Argument records -------------------------------------------------------
rt::ArgRecord Int(int32_t value);
rt::ArgRecord Str(const char* text);  // the caller keeps the text
rt::ArgRecord Omitted();
rt::ArgRecord Variable(int32_t& variable);  // by reference
rt::ArgRecord Unit(const UnitRef& unit);

// ---- Commands ---------------------------------------------------------------
// Calls a library's command; the result record as the stub returns it.
rt::ArgRecord Call(int32_t library, int32_t slot, std::initializer_list<rt::ArgRecord> args);

inline int32_t CoreInt(int32_t slot, std::initializer_list<rt::ArgRecord> args) {
  return static_cast<int32_t>(rt::WordOf(Call(lib::kCore, slot, args)));
}
// The text a command returned, now owned by the caller.
Text TakeText(const rt::ArgRecord& result);
inline Text CoreText(int32_t slot, std::initializer_list<rt::ArgRecord> args) {
  return TakeText(Call(lib::kCore, slot, args));
}

// A media player command on 媒体播放1, the unit put first.
int32_t Media(int32_t slot, std::initializer_list<rt::ArgRecord> args = {});

// ---- Properties -------------------------------------------------------------
int32_t ReadInt(const UnitRef& unit, int32_t property);
void WriteInt(const UnitRef& unit, int32_t property, int32_t value);
Text ReadText(const UnitRef& unit, int32_t property);
void WriteText(const UnitRef& unit, int32_t property, const char* text);

// ---- File walk ----------------------------------------------------------------
// The next file name of the walk held in *handle (a new walk for a non-empty
// pattern); the empty text when there is none.
Text FindFile(const char* pattern, uintptr_t* handle);
void EndFind(uintptr_t handle);

void RegisterExitRoutine(rt::ExitRoutine routine);

}  // namespace player
