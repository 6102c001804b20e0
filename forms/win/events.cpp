// Event dispatch: a unit raises an event, the framework finds the program's
// routine bound to (form, unit, event) and calls it with the arguments.

#include <vector>

#include "forms/events.h"
#include "forms/win/framework_state.h"
#include "runtime/fatal.h"
#include "runtime/messages.h"
#include "runtime/runtime.h"
#include "runtime/service.h"

namespace forms {

namespace {

// Follows event links to the unit whose event list serves this one. Links
// that come back to a unit already visited stop there.
const UnitRecord* EventListOwner(const FormRecord& form, const UnitRecord* record) {
  for (size_t hops = 0; record->eventLink != 0 && hops < form.units.records.size(); ++hops) {
    const UnitRecord* linked = form.units.Find(record->eventLink);
    if (linked == nullptr || linked->typeCode != record->typeCode) break;
    record = linked;
  }
  return record;
}

rt::Routine HandlerIn(const UnitRecord& record, int32_t event) {
  if (record.IsMenuItem()) return record.click.routine;
  for (const EventLink& link : record.events) {
    if (link.event == event) return link.routine;
  }
  return nullptr;
}

// The routine for (form, unit, event), or none; records the event source.
rt::Routine FindHandler(uint32_t formId, uint32_t unitId, int32_t event) {
  if (rt::BusyCount() > 0) return nullptr;
  FormRecord* form = FindForm(formId);
  if (form == nullptr) rt::FatalError(rt::msg::kEventFormNotFound);
  UnitRecord* record = FindRecord(*form, unitId);
  if (record == nullptr) rt::FatalError(rt::msg::kEventUnitNotFound);
  const UnitRecord* owner = EventListOwner(*form, record);
  const uint32_t canRaise = rt::typeflag::kWindowUnit | rt::typeflag::kMenu;
  if (!(TypeFlags(*owner) & canRaise)) rt::FatalError(rt::msg::kEventUnitInvalid);
  rt::Routine routine = HandlerIn(*owner, event);
  if (routine == nullptr) return nullptr;
  State().eventFormId = formId;
  State().eventUnitId = unitId ? unitId : record->id;
  State().eventSourceSet = true;
  return routine;
}

rt::RoutineResult Call(rt::Routine routine, const uintptr_t* args, int32_t count) {
  rt::RoutineResult result = routine(args, count);
  State().eventSourceSet = false;
  return result;
}

// How many words an argument takes when handed to a routine.
int WordsFor(const rt::EventArg& arg) {
  if (arg.type == kMenuTypeCode) return 2;
  if (arg.flags & 1) return 1;
  if (arg.flags & 2) return 2;
  switch (arg.type) {
    case rt::TypeCode::Int64:
    case rt::TypeCode::Double:
    case rt::TypeCode::DateTime:
    case rt::TypeCode::EightBytes: return 2;
    default: return 1;
  }
}

}  // namespace

bool RaiseWord(WordEvent& event) {
  rt::Routine routine = FindHandler(event.formId, event.unitId, event.event);
  if (routine == nullptr) return false;
  const int32_t count = event.argCount < 0 ? 0 : (event.argCount > 5 ? 5 : event.argCount);
  rt::RoutineResult result = Call(routine, event.args, count);
  if (result.present) {
    event.hasResult = 1;
    event.result = result.value;
  }
  return true;
}

bool RaiseTyped(TypedEvent& event) {
  rt::Routine routine = FindHandler(event.formId, event.unitId, event.event);
  if (routine == nullptr) return false;
  const int32_t count = event.argCount < 0 ? 0 : (event.argCount > 12 ? 12 : event.argCount);
  std::vector<uintptr_t> words;
  for (int32_t i = 0; i < count; ++i)
    rt::AppendEventWords(event.args[i], WordsFor(event.args[i]) == 2, words);
  rt::RoutineResult result = Call(routine, words.data(), static_cast<int32_t>(words.size()));
  if (result.present) {
    event.hasResult = 1;
    event.resultLow = static_cast<uint32_t>(result.value);
    event.resultHigh = static_cast<uint32_t>(result.value >> 32);
  }
  return true;
}

std::optional<uint64_t> RaiseWordEvent(uint32_t formId, uint32_t unitId, int32_t event,
                                       std::initializer_list<uintptr_t> args) {
  return RaiseWordEvent(formId, unitId, event, args.begin(), args.size());
}

std::optional<uint64_t> RaiseWordEvent(uint32_t formId, uint32_t unitId, int32_t event,
                                       const uintptr_t* args, size_t count) {
  WordEvent e;
  e.formId = formId;
  e.unitId = unitId;
  e.event = event;
  for (size_t i = 0; i < count && e.argCount < 5; ++i) e.args[e.argCount++] = args[i];
  rt::Service(rt::svc::kRaiseEvent, reinterpret_cast<uintptr_t>(&e), 0);
  if (!e.hasResult) return std::nullopt;
  return e.result;
}

}  // namespace forms
