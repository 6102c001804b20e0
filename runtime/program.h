#pragma once
// How the program, the runtime and the runtime libraries find each other:
// the program header, the library descriptors and unit type records, the
// helper table the program calls the runtime through, and the signatures of
// commands, services, notify functions and program routines.
//
// Words that hold an address are pointer-sized here; every other word keeps
// its 32-bit width and meaning.

#include <cstddef>
#include <cstdint>

#include "runtime/value.h"

namespace rt {

// ---- Signatures -----------------------------------------------------------

// A command of a runtime library: fills the zeroed result from the arguments.
using CommandFn = void (*)(ArgRecord* result, int32_t count, ArgRecord* args);

// The runtime service entry handed to every library at start-up.
using ServiceEntry = uint64_t (*)(uint32_t code, uintptr_t arg1, uintptr_t arg2);

// A library's notify function: code 1 at start-up, code 6 at shutdown.
using NotifyFn = intptr_t (*)(int32_t code, uintptr_t arg1, uintptr_t arg2);

// A unit type's interface function: the routine for an operation number, or
// null. The caller knows each operation's signature and casts accordingly.
using AnyRoutine = void (*)();
using InterfaceFn = AnyRoutine (*)(int32_t operation);

// What a program routine (event or menu handler) reports: a result or none.
struct RoutineResult {
  bool present = false;
  uint64_t value = 0;  // low word, and high word for 8-byte results
};

// Every event and menu routine of the program: argument words (first
// argument first; an address fills one word), and their count.
using Routine = RoutineResult (*)(const uintptr_t* args, int32_t count);

// The registered exit routine.
using ExitRoutine = void (*)();

// The program's code base: handler link n in the template data names
// routines[n]. The two do-nothing routines stand just below it.
struct CodeBase {
  const Routine* routines = nullptr;
  uint32_t count = 0;
  int32_t (*returnsZero)() = nullptr;
  void (*returnsAtOnce)() = nullptr;
};

// ---- Unit types and libraries ---------------------------------------------

// Property type codes (the low 16 bits of a property's type word). The type
// says how a value travels between the program and the unit.
namespace proptype {
inline constexpr uint32_t kInteger = 1000;
inline constexpr uint32_t kOtherInteger = 1001;
inline constexpr uint32_t kDouble = 1002;  // 8 bytes
inline constexpr uint32_t kLogical = 1003;
inline constexpr uint32_t kDateTime = 1004;  // 8 bytes
inline constexpr uint32_t kText = 1005;
inline constexpr uint32_t kPickIndex = 1006;  // a position in the pick list, never negative
inline constexpr uint32_t kPickText = 1007;
inline constexpr uint32_t kEditablePickText = 1008;
inline constexpr uint32_t kPicture = 1009;
inline constexpr uint32_t kSound = 1010;   // sound bytes (the window's BackMusic)
inline constexpr uint32_t kCursor = 1011;  // a MousePointer value
inline constexpr uint32_t kIcon = 1012;    // icon file bytes
inline constexpr uint32_t kFont = 1013;
inline constexpr uint32_t kColour = 1014;
inline constexpr uint32_t kColourOrNone = 1015;
inline constexpr uint32_t kFileName = 1016;
inline constexpr uint32_t kBackColour = 1017;
// Five codes of texts whose kinds no unit here has; they travel as texts.
inline constexpr uint32_t kUnusedTextKind1 = 1018;
inline constexpr uint32_t kUnusedTextKind2 = 1019;
inline constexpr uint32_t kUnusedTextKind3 = 1020;
inline constexpr uint32_t kUnusedTextKind4 = 1021;
inline constexpr uint32_t kUnusedTextKind5 = 1022;
inline constexpr uint32_t kTextList = 1023;  // a list of texts as bytes (the list box's Items)
inline constexpr uint32_t kCustomData = 1024;
inline constexpr uint32_t kFirst = kInteger;
inline constexpr uint32_t kLast = kCustomData;
}  // namespace proptype

// One property of a unit type (5 words).
struct PropertyInfo {
  const char* name;
  const char* englishName;
  const char* description;
  uint32_t typeWord;  // low 16 bits: a proptype code
  const void* pickList;
};

// Type flags the runtime reads.
namespace typeflag {
inline constexpr uint32_t kMenu = 0x04;
inline constexpr uint32_t kNeverRebuilt = 0x10;
inline constexpr uint32_t kPreTranslates = 0x20;
inline constexpr uint32_t kWindowUnit = 0x40;
inline constexpr uint32_t kChildrenMove = 0x80;
inline constexpr uint32_t kPagedContainer = 0x100;
inline constexpr uint32_t kOwnsInnerWindows = 0x200;
inline constexpr uint32_t kOptionButtonKind = 0x400;
inline constexpr uint32_t kButtonKind = 0x800;
inline constexpr uint32_t kCheckBoxKind = 0x1000;
inline constexpr uint32_t kLabelKind = 0x2000;
inline constexpr uint32_t kFrameKind = 0x4000;
inline constexpr uint32_t kNoWindowShown = 0x8000;
inline constexpr uint32_t kNoTabFocus = 0x10000;
inline constexpr uint32_t kParentNotified = 0x100000;
inline constexpr uint32_t kOwnsInnerWindows2 = 0x200000;
inline constexpr uint32_t kDragsForm = 0x4000000;
inline constexpr uint32_t kAlwaysSet = 0x80000000;   // carried by every type; not read
inline constexpr uint32_t kScrollBarMark = 0x20000;  // carried by the scroll bar; not read
}  // namespace typeflag

// One unit type of a library (14 words); an empty slot is all zero.
struct UnitTypeRecord {
  const char* name;
  const char* englishName;
  uintptr_t reserved2[3];
  uint32_t flags;
  uintptr_t reserved6[3];
  uint32_t propertyCount;
  const PropertyInfo* properties;
  InterfaceFn interfaceFn;
  uintptr_t reserved12[2];
};

inline bool IsEmptySlot(const UnitTypeRecord& r) {
  return r.name == nullptr && r.englishName == nullptr && r.flags == 0 &&
         r.interfaceFn == nullptr && r.propertyCount == 0;
}

constexpr uint32_t kLibraryFormatMarker = 20000101;

// A runtime library (36 words); the runtime uses the type array, the command
// table and the notify function and keeps the rest as given.
struct LibraryDescriptor {
  uint32_t formatMarker;  // 20000101
  const char* identity;   // 32 hexadecimal digits
  uint32_t versionMajor;
  uint32_t versionMinor;
  uint32_t versionBuild;
  uint32_t versionWords[4];
  const char* displayName;
  uint32_t alwaysOne;  // 1 in every library
  const char* unusedText;
  uint32_t flags;
  const char* unusedTexts[8];
  uint32_t typeCount;
  const UnitTypeRecord* types;
  uint32_t reserved23[2];
  uint32_t commandCount;
  const void* reserved26;
  const CommandFn* commands;
  uint32_t reserved28[2];
  NotifyFn notify;
  uint32_t reserved31[5];
};

// Notify codes.
constexpr int32_t kNotifyStart = 1;
constexpr int32_t kNotifyFarewell = 6;

// ---- The program header -----------------------------------------------------

struct ProgramHeader {
  uint32_t formatValue;  // 3 here: forms are first shown in their start state
  uint32_t keptAsGiven;  // words the runtime keeps without reading them:
  uint32_t keptPlusOne;  // this one incremented by one
  const CodeBase* codeBase;
  const void* constantData;
  uint32_t constantSize;
  const uint8_t* templateData;
  uint32_t templateSize;
  uint32_t libraryCount;
  const LibraryDescriptor* const* libraries;
  uint32_t dllCommandCount;
  const char* const* dllLibraryNames;
  const char* const* dllCommandNames;
};

// ---- The helper table --------------------------------------------------------

// A property value as exchanged with the program and with unit types: an
// address or a value up to 8 bytes wide, and a second word (a data length).
struct PropValue {
  uint64_t value = 0;
  uint32_t second = 0;
};

// Reading and making property values that are addresses: a text is its
// address, a block of bytes its address and length (null when empty), a
// record its address.
inline const void* AddressIn(const PropValue& v) {
  return reinterpret_cast<const void*>(static_cast<uintptr_t>(v.value));
}
inline const char* TextIn(const PropValue& v) { return static_cast<const char*>(AddressIn(v)); }
inline ByteSpan BytesIn(const PropValue& v) {
  return {static_cast<const uint8_t*>(AddressIn(v)), v.value != 0 ? v.second : 0};
}
inline PropValue AddressValue(const void* address, uint32_t length = 0) {
  return {reinterpret_cast<uintptr_t>(address), length};
}
inline PropValue BytesValue(const uint8_t* data, size_t length) {
  return AddressValue(length ? data : nullptr, static_cast<uint32_t>(length));
}

// Operations reached through helper 12, by operation number.
struct OtherHelpTable {
  char* (*findFile)(const char* pattern, uint32_t attributeMask, int32_t anyFile,
                    uintptr_t* searchHandle);                             // 0
  void (*endFind)(uintptr_t searchHandle);                                // 1
  void (*makeArrayPrivate)(int32_t elementSize, void** arrayBlock);       // 2
  void (*registerExitRoutine)(ExitRoutine routine);                       // 3
  PropValue (*readObjectProperty)(void* object, int32_t index);           // 4
  void (*writeObjectProperty)(void* object, int32_t index, PropValue v);  // 5
  void (*initialize)();                                                   // 6
};

// The 13 helpers the program calls the runtime through.
struct HelperTable {
  void (*runtimeError)(int32_t number);        // 0
  void* (*resolveDllCommand)(int32_t number);  // 1
  ArgRecord (*callLibraryCommand)(CommandFn fn, int32_t library, int32_t count,
                                  ArgRecord* args);                            // 2
  ArgRecord (*callCoreCommand)(CommandFn fn, int32_t count, ArgRecord* args);  // 3
  PropValue (*readProperty)(uint32_t formId, uint32_t unitId, int32_t index,
                            int32_t element);  // 4
  void (*writeProperty)(uint32_t formId, uint32_t unitId, int32_t index, int32_t element,
                        PropValue value);          // 5
  void* (*allocate)(int32_t size);                 // 6
  void* (*reallocate)(void* block, int32_t size);  // 7
  void (*free)(void* block);                       // 8
  void (*exitProgram)(int32_t code);               // 9
  void (*messageLoop)();                           // 10
  void (*loadStartupForm)(uint32_t formId);        // 11
  const OtherHelpTable* otherHelp;                 // 12
};

}  // namespace rt
