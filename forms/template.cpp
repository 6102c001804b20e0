#include "forms/template.h"

#include "runtime/bytes.h"

namespace forms {

using rt::ByteReader;
using rt::ByteWriter;

namespace {

// ---- Reading records ------------------------------------------------------------

// Notes where the next field starts, for the field locators.
void Mark(const ByteReader& in, RecordLayout* at, size_t RecordLayout::*field) {
  if (at) at->*field = in.Position();
}

// The 24-byte head and the two terminated texts shared by both kinds.
bool ReadHead(ByteReader& in, UnitRecord& r, RecordLayout* at) {
  in.U32(r.typeCode);
  in.U32(r.eventLink);
  for (uint32_t& word : r.reserved) in.U32(word);
  Mark(in, at, &RecordLayout::name);
  in.TerminatedText(r.name);
  Mark(in, at, &RecordLayout::secondText);
  return in.TerminatedText(r.secondText);
}

bool ReadMenuItem(ByteReader& in, UnitRecord& r) {
  in.U32(r.shortcut);
  in.U32(r.level);
  in.U32(r.menuFlags);
  in.TerminatedText(r.caption);
  in.U32(r.click.handler);
  for (uint32_t& word : r.storedMenuSlots) in.U32(word);
  // Menu items keep nothing further; whatever follows is kept as it is.
  return in.Bytes(in.Remaining(), r.propertyData);
}

// Reads `count` words when they fit in what is left.
bool ReadWords(ByteReader& in, uint32_t count, std::vector<uint32_t>& out) {
  if (count > in.Remaining() / 4) return in.Fail();
  out.resize(count);
  for (uint32_t& word : out) in.U32(word);
  return in.Ok();
}

bool ReadEvents(ByteReader& in, std::vector<EventLink>& events) {
  uint32_t count = 0;
  if (!in.U32(count) || count > in.Remaining() / 8) return in.Fail();
  events.resize(count);
  for (EventLink& link : events) {
    in.I32(link.event);
    in.U32(link.handler);
  }
  return in.Ok();
}

bool ReadUnit(ByteReader& in, UnitRecord& r, RecordLayout* at) {
  Mark(in, at, &RecordLayout::objectSlot);
  in.U32(r.storedObjectSlot);
  Mark(in, at, &RecordLayout::geometry);
  in.I32(r.left);
  in.I32(r.top);
  in.I32(r.width);
  in.I32(r.height);
  Mark(in, at, &RecordLayout::cursorSlot);
  in.U32(r.storedCursorSlot);
  Mark(in, at, &RecordLayout::parent);
  in.U32(r.parent);
  Mark(in, at, &RecordLayout::childCount);
  uint32_t children = 0;
  in.U32(children);
  ReadWords(in, children, r.childIds);
  Mark(in, at, &RecordLayout::mousePointer);
  in.CountedBytes(r.mousePointer);
  Mark(in, at, &RecordLayout::tag);
  in.TerminatedText(r.tag);
  Mark(in, at, &RecordLayout::stateWords);
  for (uint32_t& word : r.stateWords) in.U32(word);
  Mark(in, at, &RecordLayout::eventList);
  ReadEvents(in, r.events);
  Mark(in, at, &RecordLayout::reserved);
  in.Raw(r.reservedTail, sizeof r.reservedTail);
  Mark(in, at, &RecordLayout::propertyData);
  if (at) at->propertyLength = in.Remaining();
  return in.Bytes(in.Remaining(), r.propertyData);
}

bool ReadRecord(const uint8_t* bytes, size_t length, UnitRecord& r) {
  ByteReader in(bytes, length);
  if (!ReadHead(in, r, nullptr)) return false;
  return r.IsMenuItem() ? ReadMenuItem(in, r) : ReadUnit(in, r, nullptr);
}

// ---- Reading tables and forms ------------------------------------------------

bool ReadUnitTable(ByteReader& in, UnitTable& table) {
  uint32_t count = 0, length = 0;
  if (!in.U32(count) || !in.U32(length) || length > in.Remaining()) return in.Fail();
  const uint8_t* base = in.Here();
  in.Skip(length);
  if (count > length / 8) return in.Fail();

  ByteReader index(base, length);
  std::vector<uint32_t> ids, offsets;
  ReadWords(index, count, ids);
  ReadWords(index, count, offsets);
  const size_t entries = index.Position();
  table.records.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (offsets[i] > length - entries) return in.Fail();
    ByteReader entry(base + entries + offsets[i], length - entries - offsets[i]);
    uint32_t size = 0;
    if (!entry.U32(size) || size > entry.Remaining()) return in.Fail();
    table.records[i].id = ids[i];
    if (!ReadRecord(entry.Here(), size, table.records[i])) return in.Fail();
  }
  return in.Ok();
}

bool ReadForm(ByteReader& in, FormRecord& form) {
  in.U32(form.wordA);
  in.U32(form.wordB);
  in.CountedText(form.name);
  in.CountedText(form.text);
  return ReadUnitTable(in, form.units);
}

// ---- Writing -------------------------------------------------------------------

void WriteEvents(ByteWriter& out, const std::vector<EventLink>& events) {
  out.U32(static_cast<uint32_t>(events.size()));
  for (const EventLink& link : events) {
    out.I32(link.event);
    out.U32(link.handler);
  }
}

void WriteUnitFields(ByteWriter& out, const UnitRecord& r) {
  out.U32(r.storedObjectSlot);
  out.I32(r.left);
  out.I32(r.top);
  out.I32(r.width);
  out.I32(r.height);
  out.U32(r.storedCursorSlot);
  out.U32(r.parent);
  out.U32(static_cast<uint32_t>(r.childIds.size()));
  for (uint32_t id : r.childIds) out.U32(id);
  out.CountedBytes(r.mousePointer);
  out.TerminatedText(r.tag);
  for (uint32_t word : r.stateWords) out.U32(word);
  WriteEvents(out, r.events);
  out.Bytes(r.reservedTail, sizeof r.reservedTail);
}

void WriteMenuFields(ByteWriter& out, const UnitRecord& r) {
  out.U32(r.shortcut);
  out.U32(r.level);
  out.U32(r.menuFlags);
  out.TerminatedText(r.caption);
  out.U32(r.click.handler);
  for (uint32_t word : r.storedMenuSlots) out.U32(word);
}

void WriteUnitTable(ByteWriter& out, const UnitTable& table) {
  std::vector<std::vector<uint8_t>> entries;
  for (const UnitRecord& r : table.records) entries.push_back(WriteRecord(r));
  ByteWriter body;
  for (const UnitRecord& r : table.records) body.U32(r.id);
  uint32_t offset = 0;
  for (const auto& entry : entries) {
    body.U32(offset);
    offset += 4 + static_cast<uint32_t>(entry.size());
  }
  for (const auto& entry : entries) body.CountedBytes(entry);
  out.U32(static_cast<uint32_t>(table.records.size()));
  out.CountedBytes(body.bytes());
}

bool Relocate(EventLink& link, const rt::CodeBase& codeBase) {
  if (link.handler == kNoHandler) {
    link.routine = nullptr;
    return true;
  }
  if (link.handler >= codeBase.count || codeBase.routines == nullptr) return false;
  link.routine = codeBase.routines[link.handler];
  return true;
}

}  // namespace

// ---- Field locators --------------------------------------------------------------

std::optional<RecordLayout> LocateFields(const uint8_t* record, size_t length) {
  ByteReader in(record, length);
  RecordLayout at;
  UnitRecord scratch;
  if (!ReadHead(in, scratch, &at) || !ReadUnit(in, scratch, &at)) return std::nullopt;
  return at;
}

// ---- Lookups ---------------------------------------------------------------------

const UnitRecord* UnitTable::Find(uint32_t id) const {
  if (!IsValidUnitId(id)) return nullptr;
  for (const UnitRecord& r : records) {
    if (r.id == id) return &r;
  }
  return nullptr;
}

UnitRecord* UnitTable::Find(uint32_t id) {
  return const_cast<UnitRecord*>(static_cast<const UnitTable*>(this)->Find(id));
}

int UnitTable::PositionOf(uint32_t id) const {
  const UnitRecord* r = Find(id);
  return r ? static_cast<int>(r - records.data()) : -1;
}

const FormRecord* TemplateData::Find(uint32_t formId) const {
  for (const FormRecord& f : forms) {
    if (f.id == formId) return &f;
  }
  return nullptr;
}

FormRecord* TemplateData::Find(uint32_t formId) {
  return const_cast<FormRecord*>(static_cast<const TemplateData*>(this)->Find(formId));
}

// ---- Whole blocks ----------------------------------------------------------------

std::optional<TemplateData> ReadTemplate(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  uint32_t tableLength = 0;
  if (!in.U32(tableLength) || tableLength % 8 != 0 || tableLength > in.Remaining()) {
    return std::nullopt;
  }
  TemplateData result;
  std::vector<uint32_t> ids;
  ReadWords(in, tableLength / 8, ids);
  in.Skip(tableLength / 2);  // the slots are filled by the loaded forms
  result.forms.resize(ids.size());
  for (size_t i = 0; i < ids.size() && in.Ok(); ++i) {
    result.forms[i].id = ids[i];
    ReadForm(in, result.forms[i]);
  }
  if (!in.Ok()) return std::nullopt;
  return result;
}

bool RelocateHandlers(TemplateData& data, const rt::CodeBase& codeBase) {
  TemplateData relocated = data;
  for (FormRecord& form : relocated.forms) {
    for (UnitRecord& r : form.units.records) {
      if (r.IsMenuItem()) {
        if (!Relocate(r.click, codeBase)) return false;
        continue;
      }
      for (EventLink& link : r.events) {
        if (!Relocate(link, codeBase)) return false;
      }
    }
  }
  data = std::move(relocated);
  return true;
}

std::vector<uint8_t> WriteRecord(const UnitRecord& r) {
  ByteWriter out;
  out.U32(r.typeCode);
  out.U32(r.eventLink);
  for (uint32_t word : r.reserved) out.U32(word);
  out.TerminatedText(r.name);
  out.TerminatedText(r.secondText);
  if (r.IsMenuItem()) {
    WriteMenuFields(out, r);
  } else {
    WriteUnitFields(out, r);
  }
  out.Bytes(r.propertyData);
  return out.Take();
}

std::vector<uint8_t> WriteTemplate(const TemplateData& data) {
  ByteWriter out;
  out.U32(static_cast<uint32_t>(data.forms.size() * 8));
  for (const FormRecord& f : data.forms) out.U32(f.id);
  for (size_t i = 0; i < data.forms.size(); ++i) out.U32(0);
  for (const FormRecord& f : data.forms) {
    out.U32(f.wordA);
    out.U32(f.wordB);
    out.CountedText(f.name);
    out.CountedText(f.text);
    WriteUnitTable(out, f.units);
  }
  return out.Take();
}

}  // namespace forms
