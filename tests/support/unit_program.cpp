#include "tests/support/unit_program.h"

#include "extunits/media/win/library.h"
#include "runtime/application.h"
#include "runtime/runtime.h"
#include "tests/forms/win/test_units.h"
#include "units/win/timer.h"

namespace unitprog {

namespace {

constexpr uint32_t kCoreTypeSlots = 51;

const rt::LibraryDescriptor& CoreLibrary() {
  static rt::UnitTypeRecord types[kCoreTypeSlots] = {};
  static const rt::LibraryDescriptor library = [] {
    rt::LibraryDescriptor d = testunits::Library();
    for (uint32_t i = 0; i < d.typeCount; ++i) types[i] = d.types[i];
    types[units::kTimerTypeNumber - 1] = units::TimerType();
    d.typeCount = kCoreTypeSlots;
    d.types = types;
    return d;
  }();
  return library;
}

const rt::LibraryDescriptor* const* Libraries() {
  static rt::LibraryDescriptor empty{};
  empty.formatMarker = rt::kLibraryFormatMarker;
  static const rt::LibraryDescriptor* const libraries[7] = {
      &CoreLibrary(), &empty, &empty, &empty, &empty, &media::Library(), &empty};
  return libraries;
}

}  // namespace

void UnitProgramTest::StartUnits(std::vector<forms::FormRecord> forms) {
  forms::TemplateData data;
  data.forms = std::move(forms);
  StartUnitsWithBytes(forms::WriteTemplate(data), testprog::RecordingCodeBase());
}

void UnitProgramTest::StartUnitsWithBytes(std::vector<uint8_t> bytes,
                                          const rt::CodeBase& codeBase) {
  bytes_ = std::move(bytes);
  header_ = {
      3, 0,           0, &codeBase, nullptr, 0, bytes_.data(), static_cast<uint32_t>(bytes_.size()),
      7, Libraries(), 0, nullptr,   nullptr};
  forms::InstallFramework();
  rt::BeginApplication(header_);
  rt::InitializeRuntime();
}

}  // namespace unitprog
