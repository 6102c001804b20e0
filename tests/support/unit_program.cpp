#include "tests/support/unit_program.h"

#include "extunits/cartoon/win/library.h"
#include "extunits/media/win/library.h"
#include "extunits/translabel/win/library.h"

namespace unitprog {

void UnitProgramTest::StartUnits(std::vector<forms::FormRecord> forms) {
  forms::TemplateData data;
  data.forms = std::move(forms);
  StartUnitsWithBytes(forms::WriteTemplate(data), testprog::RecordingCodeBase());
}

void UnitProgramTest::StartUnitsWithBytes(std::vector<uint8_t> bytes,
                                          const rt::CodeBase& codeBase) {
  testunits::UseLibrary(cartoon::kLibraryIndex, &cartoon::Library());
  testunits::UseLibrary(translabel::kLibraryIndex, &translabel::Library());
  StartWithBytes(std::move(bytes), codeBase, &media::Library());
}

}  // namespace unitprog
