#pragma once
// Typed values: the 12-byte ArgRecord that carries every command argument,
// command result and property value, the 16-byte EventArg of typed events,
// and the helpers that copy, convert and free them.
//
// A value that is an address (text, byte-set, array, routine) fills word 0 on
// 32-bit builds and words 0 and 1 (one little-endian 64-bit value) on 64-bit
// builds. Only this module reads or writes that; everybody else goes through
// the typed accessors below, which check the type code.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace rt {

// Type codes of the system's own value types. A unit type's code is
// ((library index + 1) << 16) | type number instead.
struct TypeCode {
  enum : uint32_t {
    Byte = 0x80000101,
    Short = 0x80000201,
    Int = 0x80000301,
    Int64 = 0x80000401,
    Float = 0x80000501,
    Double = 0x80000601,
    Bool = 0x80000002,
    DateTime = 0x80000003,
    Text = 0x80000004,
    ByteSet = 0x80000005,
    SubPointer = 0x80000006,
    EightBytes = 0x80000008,
  };
};

constexpr uint32_t kArrayBit = 0x20000000;

constexpr bool IsSystemType(uint32_t type) { return (type & 0x80000000u) != 0; }
constexpr bool IsArrayType(uint32_t type) { return IsSystemType(type) && (type & kArrayBit) != 0; }
constexpr uint32_t ElementType(uint32_t type) { return type & ~kArrayBit; }
constexpr bool IsNumericType(uint32_t type) {
  return IsSystemType(type) && !IsArrayType(type) && (type & 0xFF) == 0x01;
}

// Every command argument and result and every property value.
struct ArgRecord {
  uint32_t low = 0;
  uint32_t high = 0;
  uint32_t type = 0;  // 0 marks an omitted optional argument
};
static_assert(sizeof(ArgRecord) == 12, "ArgRecord is three words");

// Typed event argument; flags bit 0: pass only the low word, bit 1: pass both.
struct EventArg {
  uint32_t low = 0;
  uint32_t high = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
};
static_assert(sizeof(EventArg) == 16, "EventArg is four words");

// ---- Making records ----------------------------------------------------
ArgRecord MakeInt(int32_t value);
ArgRecord MakeByte(uint8_t value);
ArgRecord MakeShort(int16_t value);
ArgRecord MakeInt64(int64_t value);
ArgRecord MakeFloat(float value);
ArgRecord MakeDouble(double value);
ArgRecord MakeBool(bool value);
ArgRecord MakeDateTime(double oleDate);
ArgRecord MakeText(const char* text);  // stores the pointer, copies nothing
ArgRecord MakeByteSetValue(const void* block);
ArgRecord MakeArray(uint32_t elementType, void* block);
ArgRecord MakeUnitRef(uint32_t formId, uint32_t unitId, uint32_t unitType);

// ---- Reading records ---------------------------------------------------
inline bool IsOmitted(const ArgRecord& r) { return r.type == 0; }
const char* TextOf(const ArgRecord& r);     // null unless a Text
const void* ByteSetOf(const ArgRecord& r);  // null unless a ByteSet
void* ArrayOf(const ArgRecord& r);          // null unless an array
uintptr_t AddressOf(const ArgRecord& r);    // the address word(s) of any value
int64_t Int64Of(const ArgRecord& r);        // words 0 and 1 as one value
double DoubleOf(const ArgRecord& r);        // words 0 and 1 as an IEEE double
float FloatOf(const ArgRecord& r);          // word 0 as an IEEE single
void SetAddress(ArgRecord& r, uintptr_t address);

// The form and unit a unit reference names (words 0 and 1).
struct UnitRef {
  uint32_t formId = 0;
  uint32_t unitId = 0;
};
UnitRef UnitRefOf(const ArgRecord& r);
// Word 0 as stored, whatever the type: flags and numbers that callers may
// pass as any numeric or logical type.
uint32_t WordOf(const ArgRecord& r);

// The words a routine receives for a typed event argument: with `twoWords`,
// words 0 and 1 as they are; else an address whole in one word, a Byte
// zero-extended and a Short sign-extended (unless flags bit 0 asks for word
// 0 as it is), anything else word 0.
void AppendEventWords(const EventArg& arg, bool twoWords, std::vector<uintptr_t>& words);
bool IsAddressType(uint32_t type);  // Text, ByteSet, SubPointer or an array

// ---- A command's arguments ----------------------------------------------
// The records a command is called with, read by position. A position past
// the count is missing; "given" means there and not omitted.
class Args {
 public:
  Args(int32_t count, const ArgRecord* records)
      : count_(count < 0 ? 0 : count), records_(records) {}

  int32_t count() const { return count_; }
  bool Has(int32_t index) const { return index >= 0 && index < count_; }
  // The record at `index` when it is given; null otherwise.
  const ArgRecord* Given(int32_t index) const;
  // A given Text's characters; null otherwise.
  const char* Text(int32_t index) const;
  // Word 0 as stored; 0 when missing.
  uint32_t Word(int32_t index) const;
  // The value as ValueToInt converts it (a non-numeric value is fatal);
  // `otherwise` when not given.
  int32_t Int(int32_t index, int32_t otherwise) const;
  std::optional<int32_t> OptionalInt(int32_t index) const;
  // The caller's 32-bit variable a by-reference argument points at; null
  // when not given.
  int32_t* Variable(int32_t index) const;
  // The unit reference at `index`; {0, 0} when missing.
  UnitRef Unit(int32_t index) const;

 private:
  int32_t count_;
  const ArgRecord* records_;
};

// ---- Byte-sets and arrays ---------------------------------------------
// A byte-set block is {1, length, bytes}; an array block is
// {dimension count n, n sizes, elements}.
struct ByteSpan {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
};
ByteSpan ByteSetBytes(const void* block);  // {1, 0} and null are both empty
uint64_t ArrayElementCount(const void* block);
void* ArrayElements(void* block);
const void* ArrayElements(const void* block);
size_t ElementSize(uint32_t elementType);  // 0 for unknown element types

// ---- Value helpers ------------------------------------------------------
char* CopyText(const char* text);                         // null or "" -> null
char* CopyCountedText(const char* text, int64_t length);  // length < 1 -> null
void* MakeByteSet(const void* bytes, uint32_t length);    // length 0 -> null
int32_t NumericSize(uint32_t type);
int32_t ValueToInt(const ArgRecord& value);  // non-numeric: fatal error, 0
char* ValueToText(const ArgRecord& value);   // new text or null

// Frees the storage a value owns: texts and byte-sets, arrays with their
// Text or ByteSet elements first.
void FreeValue(uintptr_t address, uint32_t type);
void FreeArray(void* block, uint32_t elementType);

// When *arrayBlock lies in constant data, replaces it by a private heap copy
// of the whole block (header and elements), cut at the end of the constant range.
void MakeArrayPrivate(int32_t elementSize, void** arrayBlock);

// ---- Dates ----------------------------------------------------------------
struct CivilTime {
  int year, month, day, hour, minute, second;
};
constexpr double kMinOleDate = -657434.0;  // 1 January 100
constexpr double kMaxOleDate = 2958465.0;  // 31 December 9999
CivilTime OleDateToCivil(double oleDate);  // clamps into the range above

}  // namespace rt
