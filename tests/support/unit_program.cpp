#include "tests/support/unit_program.h"

#include "extunits/media/win/library.h"
#include "runtime/application.h"
#include "runtime/runtime.h"
#include "tests/forms/win/test_units.h"

namespace unitprog {

void UnitProgramTest::StartUnits(std::vector<forms::FormRecord> forms) {
  forms::TemplateData data;
  data.forms = std::move(forms);
  StartUnitsWithBytes(forms::WriteTemplate(data), testprog::RecordingCodeBase());
}

void UnitProgramTest::StartUnitsWithBytes(std::vector<uint8_t> bytes,
                                          const rt::CodeBase& codeBase) {
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
             testunits::Libraries(&media::Library()),
             0,
             nullptr,
             nullptr};
  forms::InstallFramework();
  rt::BeginApplication(header_);
  rt::InitializeRuntime();
}

}  // namespace unitprog
