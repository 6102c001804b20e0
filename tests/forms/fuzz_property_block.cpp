// Fuzzes the property block reader with a type that has every field kind and
// fields of several versions: any input is read without leaving its bounds, a
// refused block leaves the defaults, and an accepted one writes back into
// bytes that read to the same values.

#include <cstdlib>

#include "forms/property_block.h"

namespace {

const forms::FieldLayout kFields[] = {
    forms::IntField("Number", 1),       forms::TextField("Text", "default"),
    forms::BytesField("Bytes"),         forms::IntField("Second", -1, 2),
    forms::TextListField("Items", 2),   forms::TextField("Third", nullptr, 3),
    forms::BytesField("ThirdBytes", 3),
};
const forms::BlockLayout kLayout = forms::MakeBlockLayout(0x00050001, "Fuzzed", 3, kFields);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  forms::PropertyValues values(kLayout);
  if (forms::ReadBlock(data, size, values) != forms::BlockStatus::kOk) {
    if (values != forms::PropertyValues(kLayout)) std::abort();
    return 0;
  }
  std::vector<uint8_t> written = forms::WriteBlock(values);
  forms::PropertyValues again(kLayout);
  if (forms::ReadBlock(written, again) != forms::BlockStatus::kOk || again != values) std::abort();
  if (forms::WriteBlock(again) != written) std::abort();
  return 0;
}
