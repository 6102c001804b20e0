#pragma once
// Window template data: the stored description of every form of a program,
// its units with their common values, property blocks and event links, and
// its menu items. Reading turns the bytes into records; writing turns the
// records back into the same bytes.
//
// Layout (all integers little-endian, texts in code page 936):
//   form table length (8 x forms), form ids, form slots (ignored on reading),
//   then per form: word A, word B, counted name, counted text, unit table.
//   Unit table: record count n, byte length of what follows, n ids,
//   n offsets (from the end of the offset array), then per record a length
//   word and the record's bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/program.h"

namespace forms {

constexpr uint32_t kFormWindowUnitId = 0x06010000;
constexpr uint32_t kNoHandler = 0xFFFFFFFF;
constexpr uint32_t kMenuTypeCode = 0x00010003;
constexpr uint32_t kWindowTypeCode = 0x00010001;

// Bits 24..27 hold 6 in every valid id; bits 28..31 tell the kind.
constexpr bool IsValidUnitId(uint32_t id) {
  return (id & 0x00FFFFFF) != 0 && ((id >> 24) & 0xF) != 0;
}
constexpr bool IsMenuItemId(uint32_t id) { return (id >> 28) == 2 && ((id >> 24) & 0xF) == 6; }
constexpr bool IsFormWindowUnitId(uint32_t id) { return (id >> 28) == 0; }

// State word 1 of a unit record.
namespace unitflag {
inline constexpr uint32_t kVisible = 0x1;
inline constexpr uint32_t kDisabled = 0x2;
inline constexpr uint32_t kTabStop = 0x4;
inline constexpr uint32_t kOwnerDrawnMenu = 0x8;
}  // namespace unitflag

// Flags word of a menu item record.
namespace menuflag {
inline constexpr uint32_t kHidden = 0x1;
inline constexpr uint32_t kGrey = 0x2;
inline constexpr uint32_t kChecked = 0x4;
}  // namespace menuflag

struct EventLink {
  int32_t event = 0;
  uint32_t handler = kNoHandler;  // offset from the code base
  rt::Routine routine = nullptr;  // after relocation; null: no handler
};

// Byte offsets of the fields inside a unit record that is not a menu item.
struct RecordLayout {
  size_t name = 0;
  size_t secondText = 0;
  size_t objectSlot = 0;
  size_t geometry = 0;  // left, top, width, height
  size_t cursorSlot = 0;
  size_t parent = 0;
  size_t childCount = 0;
  size_t mousePointer = 0;  // its length word
  size_t tag = 0;
  size_t stateWords = 0;
  size_t eventList = 0;  // the event count word
  size_t reserved = 0;   // the 20 reserved bytes
  size_t propertyData = 0;
  size_t propertyLength = 0;
};

// Finds the fields of a record; none when the record ends too early.
std::optional<RecordLayout> LocateFields(const uint8_t* record, size_t length);

// One unit or menu item record. The stored fields are kept as read so that
// writing gives the same bytes; the live slots belong to the running form.
struct UnitRecord {
  uint32_t id = 0;
  uint32_t typeCode = 0;
  uint32_t eventLink = 0;
  uint32_t reserved[4] = {};
  std::string name;
  std::string secondText;

  // Units (not menu items).
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t parent = 0;
  std::vector<uint32_t> childIds;
  std::vector<uint8_t> mousePointer;
  std::string tag;
  uint32_t stateWords[3] = {};  // reserved, flags, tab order
  std::vector<EventLink> events;
  uint8_t reservedTail[20] = {};
  std::vector<uint8_t> propertyData;
  uint32_t storedObjectSlot = 0;  // kept as read (0 in real data)
  uint32_t storedCursorSlot = 0;

  // Menu items.
  uint32_t shortcut = 0;
  uint32_t level = 0;
  uint32_t menuFlags = 0;
  std::string caption;
  EventLink click;
  uint32_t storedMenuSlots[4] = {};

  // Live slots of a loaded form.
  void* object = nullptr;
  void* cursor = nullptr;

  bool IsMenuItem() const { return IsMenuItemId(id); }
  uint32_t Flags() const { return stateWords[1]; }
  uint32_t TabOrder() const { return stateWords[2]; }
};

struct UnitTable {
  std::vector<UnitRecord> records;  // position 0: the form's own window unit

  const UnitRecord* Find(uint32_t id) const;  // null for invalid or unknown ids
  UnitRecord* Find(uint32_t id);
  int PositionOf(uint32_t id) const;  // -1 when absent
};

struct FormRecord {
  uint32_t id = 0;
  uint32_t wordA = 8;
  uint32_t wordB = 0x19010003;
  std::string name;
  std::string text;
  UnitTable units;
};

struct TemplateData {
  std::vector<FormRecord> forms;

  const FormRecord* Find(uint32_t formId) const;
  FormRecord* Find(uint32_t formId);
};

// Reads the whole block; none when it is malformed in any way (ends early,
// counts or offsets that point outside their table, records that end before
// their fields). Never reads outside [data, data + size).
std::optional<TemplateData> ReadTemplate(const uint8_t* data, size_t size);

// Points every handler offset at its routine in the code base; 0xFFFFFFFF
// and a null entry mean none. False when an offset lies outside the code
// base (nothing is changed then).
bool RelocateHandlers(TemplateData& data, const rt::CodeBase& codeBase);

// The bytes of one record and of the whole block.
std::vector<uint8_t> WriteRecord(const UnitRecord& record);
std::vector<uint8_t> WriteTemplate(const TemplateData& data);

}  // namespace forms
