#include "tools/formc/compiler.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "forms/property_block.h"
#include "runtime/bytes.h"
#include "tools/formc/source.h"
#include "tools/formc/types.h"
#include "tools/formc/values.h"

namespace formc {

namespace {

using forms::FormRecord;
using forms::UnitRecord;

std::string Hex(uint32_t value) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%08x", value);
  return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

void SetFlag(uint32_t& flags, uint32_t bit, bool on) { flags = on ? flags | bit : flags & ~bit; }

int32_t Coordinate(const Entry& e) {
  return static_cast<int32_t>(ReadNumber(e, INT32_MIN, INT32_MAX));
}

const Entry* FindEntry(const Section& section, std::string_view key) {
  for (const Entry& e : section.entries) {
    if (e.key == key) return &e;
  }
  return nullptr;
}

const Entry& RequiredEntry(const Section& section, const std::string& key) {
  const Entry* e = FindEntry(section, key);
  if (!e) Fail(section.at, "[" + section.kind + "] needs '" + key + "'");
  return *e;
}

// Every key but "raw" may appear once per section.
void CheckRepeatedKeys(const Section& section) {
  std::map<std::string, int> lines;
  for (const Entry& e : section.entries) {
    auto [first, fresh] = lines.emplace(e.key, e.at.line);
    if (!fresh && e.key != "raw") {
      Fail(e.at,
           "'" + e.key + "' is given twice (first on line " + std::to_string(first->second) + ")");
    }
  }
}

// Where a record's references to other units were written, for the checks
// made once the whole form is known.
struct References {
  Location section, parent, children, eventLink;
};

// A record being read from its section.
struct UnitDraft {
  UnitRecord record;
  References refs;
  std::vector<Entry> props;  // prop.<Name>, read once all keys are known
  std::vector<Entry> raw;    // raw = <kind> <value>
};

// Keys that set one field of a record.
using KeyReader = void (*)(const Entry& e, UnitDraft& d, FileReader& files);
using KeyTable = std::map<std::string_view, KeyReader>;

void SetStateFlag(UnitDraft& d, uint32_t bit, const Entry& e) {
  SetFlag(d.record.stateWords[1], bit, ReadBool(e));
}

void SetMenuFlag(UnitDraft& d, uint32_t bit, const Entry& e) {
  SetFlag(d.record.menuFlags, bit, ReadBool(e));
}

void ReadEventLink(const Entry& e, UnitDraft& d, FileReader&) {
  d.record.eventLink = ReadWord(e);
  d.refs.eventLink = e.at;
}

const KeyTable& UnitKeys() {
  using namespace forms::unitflag;
  static const KeyTable keys = {
      {"name", [](const Entry& e, UnitDraft& d, FileReader&) { d.record.name = ReadText(e); }},
      {"tag", [](const Entry& e, UnitDraft& d, FileReader&) { d.record.tag = ReadText(e); }},
      {"left", [](const Entry& e, UnitDraft& d, FileReader&) { d.record.left = Coordinate(e); }},
      {"top", [](const Entry& e, UnitDraft& d, FileReader&) { d.record.top = Coordinate(e); }},
      {"width", [](const Entry& e, UnitDraft& d, FileReader&) { d.record.width = Coordinate(e); }},
      {"height",
       [](const Entry& e, UnitDraft& d, FileReader&) { d.record.height = Coordinate(e); }},
      {"visible", [](const Entry& e, UnitDraft& d, FileReader&) { SetStateFlag(d, kVisible, e); }},
      {"disable", [](const Entry& e, UnitDraft& d, FileReader&) { SetStateFlag(d, kDisabled, e); }},
      {"tabstop", [](const Entry& e, UnitDraft& d, FileReader&) { SetStateFlag(d, kTabStop, e); }},
      {"ownerdrawnmenu",
       [](const Entry& e, UnitDraft& d, FileReader&) { SetStateFlag(d, kOwnerDrawnMenu, e); }},
      {"taborder",
       [](const Entry& e, UnitDraft& d, FileReader&) { d.record.stateWords[2] = ReadWord(e); }},
      {"cursor", [](const Entry& e, UnitDraft& d,
                    FileReader& files) { d.record.mousePointer = ReadCursor(e, files); }},
      {"parent",
       [](const Entry& e, UnitDraft& d, FileReader&) {
         d.record.parent = ReadWord(e);
         d.refs.parent = e.at;
       }},
      {"children",
       [](const Entry& e, UnitDraft& d, FileReader&) {
         d.record.childIds = ReadWords(e);
         d.refs.children = e.at;
       }},
      {"eventlink", ReadEventLink},
      {"raw", [](const Entry& e, UnitDraft& d, FileReader&) { d.raw.push_back(e); }},
  };
  return keys;
}

const KeyTable& MenuKeys() {
  using namespace forms::menuflag;
  static const KeyTable keys = {
      {"name", [](const Entry& e, UnitDraft& d, FileReader&) { d.record.name = ReadText(e); }},
      {"caption",
       [](const Entry& e, UnitDraft& d, FileReader&) { d.record.caption = ReadText(e); }},
      {"level", [](const Entry& e, UnitDraft& d,
                   FileReader&) { d.record.level = static_cast<uint32_t>(ReadNumber(e, 0, 64)); }},
      {"shortcut",
       [](const Entry& e, UnitDraft& d, FileReader&) { d.record.shortcut = ReadShortcut(e); }},
      {"hidden", [](const Entry& e, UnitDraft& d, FileReader&) { SetMenuFlag(d, kHidden, e); }},
      {"grey", [](const Entry& e, UnitDraft& d, FileReader&) { SetMenuFlag(d, kGrey, e); }},
      {"checked", [](const Entry& e, UnitDraft& d, FileReader&) { SetMenuFlag(d, kChecked, e); }},
      {"eventlink", ReadEventLink},
  };
  return keys;
}

// ---- Property data ------------------------------------------------------------------

void SetProperty(forms::PropertyValues& values, const Entry& e, FileReader& files) {
  const std::string name = e.key.substr(5);
  const int index = values.layout().FieldIndex(name);
  if (index < 0)
    Fail(e.at, std::string(values.layout().typeName) + " has no property '" + name + "'");
  const size_t field = static_cast<size_t>(index);
  switch (values.layout().fields[field].kind) {
    case forms::FieldKind::kInt: values.SetInt(field, ReadInt(e)); break;
    case forms::FieldKind::kText: values.SetText(field, ReadText(e)); break;
    case forms::FieldKind::kBytes: values.SetBytes(field, ReadBytes(e, files)); break;
    case forms::FieldKind::kTextList: values.SetTextList(field, ReadTextList(e)); break;
  }
}

std::vector<uint8_t> RawBlock(const std::vector<Entry>& raw, FileReader& files) {
  rt::ByteWriter out;
  for (const Entry& e : raw) {
    const size_t space = e.value.find(' ');
    const std::string kind = e.value.substr(0, space);
    const std::string rest(space == std::string::npos ? "" : Trim(e.value.substr(space)));
    const Entry part{e.key, rest, e.at};
    if (kind == "int") {
      out.I32(ReadInt(part));
    } else if (kind == "text") {
      out.CountedText(ReadText(part));
    } else if (kind == "bytes") {
      out.CountedBytes(ReadBytes(part, files));
    } else if (kind == "hex") {
      out.Bytes(ReadBytes({e.key, "hex:" + rest, e.at}, files));
    } else {
      Fail(e.at, "raw fields are int, text, bytes or hex, not '" + kind + "'");
    }
  }
  return out.Take();
}

std::vector<uint8_t> PropertyData(const UnitType& type, const UnitDraft& draft, FileReader& files) {
  if (!draft.raw.empty()) {
    if (!draft.props.empty()) Fail(draft.props[0].at, "prop. and raw cannot be mixed");
    return RawBlock(draft.raw, files);
  }
  if (draft.props.empty()) return {};
  if (type.layout == nullptr || type.layout->fieldCount == 0) {
    const std::string name = type.name ? type.name : Hex(type.code);
    Fail(draft.props[0].at, "type " + name + " has no described properties; use raw = ...");
  }
  forms::PropertyValues values(*type.layout);
  for (const Entry& e : draft.props) SetProperty(values, e, files);
  return forms::WriteBlock(values);
}

// ---- Ids and types ------------------------------------------------------------------

bool HasKind(uint32_t id, uint32_t high) { return (id >> 24) == high && (id & 0xFFFFFF) != 0; }

UnitType ReadUnitType(const Entry& e) {
  UnitType type;
  if (!FindType(e.value, type)) Fail(e.at, "unknown type '" + e.value + "'");
  if (type.code == forms::kMenuTypeCode) Fail(e.at, "menu items are written as [menu] sections");
  return type;
}

// The window unit comes first and only first; other units are 0x16xxxxxx.
void CheckUnitShape(bool first, uint32_t id, const UnitType& type, const Entry& idAt,
                    const Entry& typeAt) {
  if (first && id != forms::kFormWindowUnitId) {
    Fail(idAt.at, "a form's first unit is its window, id 0x06010000, not " + Hex(id));
  }
  if (first && type.code != forms::kWindowTypeCode) {
    Fail(typeAt.at, "a form's first unit is of type window");
  }
  if (!first && type.code == forms::kWindowTypeCode) {
    Fail(typeAt.at, "only a form's first unit is of type window");
  }
  if (!first && !HasKind(id, 0x16)) {
    Fail(idAt.at, "unit ids have the form 0x16xxxxxx with xxxxxx not 0, not " + Hex(id));
  }
}

// ---- The compiler -------------------------------------------------------------------

class Compiler {
 public:
  Compiler(std::string file, std::string folder) : file_(std::move(file)), files_(folder) {}
  CompiledForms Run(std::string_view text);

 private:
  void StartForm(const Section& s);
  void AddUnit(const Section& s);
  void AddMenuItem(const Section& s);
  void ReadUnitKey(const Entry& e, UnitDraft& draft);
  void ReadMenuKey(const Entry& e, UnitDraft& draft);
  void AddEvent(const Entry& e, UnitRecord& r);
  uint32_t RoutineLink(const Entry& e);
  uint32_t NewId(const Section& s);
  FormRecord& CurrentForm(const Section& s);
  void FinishForm();
  void CheckReferences(const UnitRecord& r, const References& refs) const;
  void CheckMenuLevels() const;

  std::string file_;
  FileReader files_;
  CompiledForms out_;
  std::map<std::string, uint32_t> links_;  // routine name -> handler link
  std::vector<References> refs_;           // per record of the current form
  bool menuStarted_ = false;
  Location formAt_;  // the current form's section
};

CompiledForms Compiler::Run(std::string_view text) {
  for (const Section& s : ParseSections(text, file_)) {
    CheckRepeatedKeys(s);
    if (s.kind == "form") {
      StartForm(s);
    } else if (s.kind == "unit") {
      AddUnit(s);
    } else if (s.kind == "menu") {
      AddMenuItem(s);
    } else {
      Fail(s.at, "unknown section [" + s.kind + "]; sections are [form], [unit] and [menu]");
    }
  }
  if (out_.data.forms.empty()) Fail({file_, 0}, "the source holds no [form]");
  FinishForm();
  out_.files.insert(out_.files.end(), files_.filesRead().begin(), files_.filesRead().end());
  return std::move(out_);
}

void Compiler::StartForm(const Section& s) {
  if (!out_.data.forms.empty()) FinishForm();
  FormRecord form;
  form.id = ReadWord(RequiredEntry(s, "id"));
  if (form.id == 0) Fail(RequiredEntry(s, "id").at, "a form id is not 0");
  if (out_.data.Find(form.id)) Fail(s.at, "the form id " + Hex(form.id) + " is used twice");
  for (const Entry& e : s.entries) {
    if (e.key == "id") continue;
    if (e.key == "name") {
      form.name = ReadText(e);
    } else if (e.key == "text") {
      form.text = ReadText(e);
    } else if (e.key == "worda") {
      form.wordA = ReadWord(e);
    } else if (e.key == "wordb") {
      form.wordB = ReadWord(e);
    } else {
      Fail(e.at, "unknown key '" + e.key + "' in [form]");
    }
  }
  out_.data.forms.push_back(std::move(form));
  formAt_ = s.at;
  refs_.clear();
  menuStarted_ = false;
}

FormRecord& Compiler::CurrentForm(const Section& s) {
  if (out_.data.forms.empty()) Fail(s.at, "[" + s.kind + "] comes before any [form]");
  return out_.data.forms.back();
}

uint32_t Compiler::NewId(const Section& s) {
  const Entry& e = RequiredEntry(s, "id");
  const uint32_t id = ReadWord(e);
  const FormRecord& form = CurrentForm(s);
  for (size_t i = 0; i < form.units.records.size(); ++i) {
    if (form.units.records[i].id == id) {
      Fail(e.at, "the id " + Hex(id) + " is used twice in this form (first on line " +
                     std::to_string(refs_[i].section.line) + ")");
    }
  }
  return id;
}

void Compiler::AddUnit(const Section& s) {
  FormRecord& form = CurrentForm(s);
  if (menuStarted_) Fail(s.at, "units come before the form's menu items");
  UnitDraft d;
  UnitRecord& r = d.record;
  r.id = NewId(s);
  const UnitType type = ReadUnitType(RequiredEntry(s, "type"));
  CheckUnitShape(form.units.records.empty(), r.id, type, RequiredEntry(s, "id"),
                 RequiredEntry(s, "type"));
  r.typeCode = type.code;
  r.mousePointer = {0, 0, 0, 0};  // no cursor of its own
  r.stateWords[1] = forms::unitflag::kVisible;
  d.refs.section = s.at;
  for (const Entry& e : s.entries) ReadUnitKey(e, d);
  r.propertyData = PropertyData(type, d, files_);
  form.units.records.push_back(std::move(r));
  refs_.push_back(d.refs);
}

void Compiler::ReadUnitKey(const Entry& e, UnitDraft& draft) {
  if (e.key == "id" || e.key == "type") return;  // read first
  if (StartsWith(e.key, "on.")) return AddEvent(e, draft.record);
  if (StartsWith(e.key, "prop.")) return draft.props.push_back(e);
  const auto& keys = UnitKeys();
  auto found = keys.find(e.key);
  if (found == keys.end()) Fail(e.at, "unknown key '" + e.key + "' in [unit]");
  found->second(e, draft, files_);
}

void Compiler::AddMenuItem(const Section& s) {
  FormRecord& form = CurrentForm(s);
  if (form.units.records.empty()) Fail(s.at, "a form's window [unit] comes before its menu");
  UnitDraft d;
  d.record.id = NewId(s);
  if (!HasKind(d.record.id, 0x26)) {
    Fail(RequiredEntry(s, "id").at,
         "menu item ids have the form 0x26xxxxxx with xxxxxx not 0, not " + Hex(d.record.id));
  }
  d.record.typeCode = forms::kMenuTypeCode;
  d.refs.section = s.at;
  for (const Entry& e : s.entries) ReadMenuKey(e, d);
  form.units.records.push_back(std::move(d.record));
  refs_.push_back(d.refs);
  menuStarted_ = true;
}

void Compiler::ReadMenuKey(const Entry& e, UnitDraft& draft) {
  if (e.key == "id") return;
  if (e.key == "on.click") {
    draft.record.click.handler = RoutineLink(e);
    return;
  }
  const auto& keys = MenuKeys();
  auto found = keys.find(e.key);
  if (found == keys.end()) Fail(e.at, "unknown key '" + e.key + "' in [menu]");
  found->second(e, draft, files_);
}

void Compiler::AddEvent(const Entry& e, UnitRecord& r) {
  const Entry number{"the event number", e.key.substr(3), e.at};
  const int32_t event = static_cast<int32_t>(ReadNumber(number, INT32_MIN, INT32_MAX));
  for (const forms::EventLink& link : r.events) {
    if (link.event == event) Fail(e.at, "event " + std::to_string(event) + " is bound twice");
  }
  r.events.push_back({event, RoutineLink(e), nullptr});
}

uint32_t Compiler::RoutineLink(const Entry& e) {
  const std::string name = ReadRoutineName(e);
  auto [at, fresh] = links_.emplace(name, static_cast<uint32_t>(out_.routines.size()));
  if (fresh) out_.routines.push_back(name);
  return at->second;
}

// ---- Checks once a form is complete -------------------------------------------------

void Compiler::FinishForm() {
  const forms::UnitTable& table = out_.data.forms.back().units;
  if (table.records.empty()) Fail(formAt_, "the form has no [unit]");
  for (size_t i = 0; i < table.records.size(); ++i) CheckReferences(table.records[i], refs_[i]);
  CheckMenuLevels();
}

void Compiler::CheckReferences(const UnitRecord& r, const References& refs) const {
  const forms::UnitTable& table = out_.data.forms.back().units;
  const auto isUnit = [&](uint32_t id) {
    const UnitRecord* other = table.Find(id);
    return other && !other->IsMenuItem() && id != r.id;
  };
  if (r.parent != 0 && !isUnit(r.parent)) {
    Fail(refs.parent, "the parent " + Hex(r.parent) + " is not another unit of this form");
  }
  for (uint32_t child : r.childIds) {
    if (child != 0 && !isUnit(child)) {
      Fail(refs.children, "the child " + Hex(child) + " is not another unit of this form");
    }
  }
  // An event link may name any other record, menu items included (a menu
  // item borrows another item's click handler). A link to a unit of another
  // type is kept; the runtime then uses the unit's own events.
  const auto isOtherRecord = [&](uint32_t id) { return table.Find(id) && id != r.id; };
  if (r.eventLink != 0 && !isOtherRecord(r.eventLink)) {
    Fail(refs.eventLink,
         "the event link " + Hex(r.eventLink) + " is not another unit of this form");
  }
}

// Each item is at most one level below the item before it; the first is at level 0.
void Compiler::CheckMenuLevels() const {
  const forms::UnitTable& table = out_.data.forms.back().units;
  int64_t previous = -1;
  for (size_t i = 0; i < table.records.size(); ++i) {
    const UnitRecord& r = table.records[i];
    if (!r.IsMenuItem()) continue;
    if (r.level > previous + 1) {
      Fail(refs_[i].section,
           "the menu level jumps from " +
               (previous < 0 ? std::string("the menu bar") : std::to_string(previous)) + " to " +
               std::to_string(r.level));
    }
    previous = r.level;
  }
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

CompiledForms CompileText(std::string_view text, const std::string& file,
                          const std::string& folder) {
  CompiledForms result = Compiler(file, folder).Run(text);
  result.files.insert(result.files.begin(), file);
  return result;
}

CompiledForms CompileFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail({path, 0}, std::string("cannot read the form source: ") + std::strerror(errno));
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return CompileText(text, path, FolderOf(path));
}

}  // namespace formc
