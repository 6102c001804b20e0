#include "tests/forms/win/test_program.h"

#include "runtime/application.h"
#include "runtime/runtime.h"
#include "runtime/service.h"
#include "tests/forms/win/test_units.h"
#include "units/blocks.h"
#include "units/win/window.h"

namespace testprog {

namespace {

rt::RoutineResult results[kRoutines];
void (*actions[kRoutines])() = {};

template <int N>
rt::RoutineResult Record(const uintptr_t* args, int32_t count) {
  uint32_t source[2] = {0, 0};
  rt::Service(rt::svc::kEventSource, reinterpret_cast<uintptr_t>(source), 0);
  Calls().push_back({N, source[0], source[1], std::vector<uintptr_t>(args, args + count)});
  if (actions[N]) actions[N]();
  return results[N];
}

template <int... N>
constexpr std::array<rt::Routine, sizeof...(N)> MakeRoutines(std::integer_sequence<int, N...>) {
  return {&Record<N>...};
}

}  // namespace

#define TESTPROG_DEFINE(n) \
  rt::RoutineResult R##n(const uintptr_t* args, int32_t count) { return Record<n>(args, count); }
TESTPROG_EACH(TESTPROG_DEFINE)

namespace {

const auto kRoutineTable = MakeRoutines(std::make_integer_sequence<int, kRoutines>{});
const rt::CodeBase kCodeBase = {kRoutineTable.data(), kRoutines, nullptr, nullptr};

}  // namespace

std::vector<Call>& Calls() {
  static std::vector<Call> calls;
  return calls;
}

rt::RoutineResult& ResultOf(int routine) { return results[routine]; }
void SetAction(int routine, void (*action)()) { actions[routine] = action; }
const rt::CodeBase& RecordingCodeBase() { return kCodeBase; }

forms::UnitRecord Unit(uint32_t id, uint32_t type, uint32_t flags) {
  forms::UnitRecord r;
  r.id = id;
  r.typeCode = type;
  r.left = 10;
  r.top = 20;
  r.width = 80;
  r.height = 24;
  r.mousePointer = {0, 0, 0, 0};
  r.stateWords[1] = flags;
  return r;
}

forms::UnitRecord MenuItem(uint32_t id, uint32_t level, const char* caption, uint32_t handler) {
  forms::UnitRecord r;
  r.id = id;
  r.typeCode = forms::kMenuTypeCode;
  r.level = level;
  r.caption = caption;
  r.click.handler = handler;
  return r;
}

// A window unit's block that keeps the form where its record puts it.
std::vector<uint8_t> PlacedWindowBlock() {
  forms::PropertyValues values(units::kWindowBlock);
  values.SetInt(units::windowfield::kWindowState, 0);
  return forms::WriteBlock(values);
}

forms::FormRecord Form(uint32_t formId, std::vector<forms::UnitRecord> units) {
  forms::FormRecord form;
  form.id = formId;
  forms::UnitRecord window = Unit(forms::kFormWindowUnitId, units::kWindowTypeCode);
  window.propertyData = PlacedWindowBlock();
  window.left = 100;
  window.top = 100;
  window.width = 400;
  window.height = 300;
  units.insert(units.begin(), window);
  form.units.records = std::move(units);
  return form;
}

void FrameworkTest::SetUp() {
  RuntimeTest::SetUp();
  forms::ResetFrameworkForTest();
  Calls().clear();
  testunits::Log().clear();
  formWatch_ = std::make_unique<testunits::FormWatch>();
  for (int i = 0; i < kRoutines; ++i) {
    results[i] = {};
    actions[i] = nullptr;
  }
}

void FrameworkTest::TearDown() {
  forms::ResetFrameworkForTest();
  Pump();
  formWatch_.reset();
  RuntimeTest::TearDown();
}

void FrameworkTest::Start(std::vector<forms::FormRecord> forms) {
  forms::TemplateData data;
  data.forms = std::move(forms);
  StartWithBytes(forms::WriteTemplate(data), kCodeBase);
}

void FrameworkTest::StartWithBytes(std::vector<uint8_t> bytes, const rt::CodeBase& codeBase,
                                   const rt::LibraryDescriptor* media) {
  bytes_ = std::move(bytes);
  header_ = {3,
             0,
             0,
             &codeBase,
             nullptr,
             0,
             bytes_.data(),
             static_cast<uint32_t>(bytes_.size()),
             testunits::kLibraryCount,
             testunits::Libraries(media),
             0,
             nullptr,
             nullptr};
  forms::InstallFramework();
  rt::BeginApplication(header_);
  rt::InitializeRuntime();
}

bool FrameworkTest::Load(uint32_t formId, HWND owner, bool modal) {
  return LoadForm(formId, owner, modal);
}

bool LoadForm(uint32_t formId, HWND owner, bool modal) {
  struct {
    uint32_t formId;
    forms::UnitObject* owner;
    int32_t modal;
  } record = {formId, owner ? forms::UnitObject::FromWindow(owner) : nullptr, modal ? 1 : 0};
  return rt::Service(rt::svc::kLoadForm, reinterpret_cast<uintptr_t>(&record), 0) != 0;
}

HWND FrameworkTest::WindowOf(uint32_t unitId, uint32_t formId) {
  forms::UnitObject* object = forms::FindUnitObject(formId, unitId);
  return object ? object->hwnd() : nullptr;
}

void FrameworkTest::Pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

}  // namespace testprog
