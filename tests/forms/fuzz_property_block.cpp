// Fuzzes the property block reader with a type that has every field kind and
// fields of several versions: any input is read without leaving its bounds, a
// refused block leaves the defaults, and an accepted one writes back into
// bytes that read to the same values. Loaded with the type's clamps, the
// numbers are ones a set keeps and nothing else differs. (Each unit type's
// own clamps run on fuzzed blocks in its tests, tests/support/block_fuzz.h.)

#include <algorithm>
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

// Own numbers 0..3 name Number, Text, Second and a field beyond the block:
// a choice, a text the clamps must pass over, a floor, and nothing.
size_t FieldOf(int32_t number) {
  constexpr size_t kFieldOf[] = {0, 1, 3, 99};
  return kFieldOf[number];
}
int32_t Stored(int32_t number, int32_t value) {
  return number == 0 ? std::clamp(value, 0, 6) : std::max(value, -1);
}
const forms::IntClamps kClamps = {4, FieldOf, Stored};

void CheckClamped(const uint8_t* data, size_t size, const forms::PropertyValues& read) {
  forms::PropertyValues clamped(kLayout);
  if (forms::ReadBlock(data, size, clamped, kClamps) != forms::BlockStatus::kOk) std::abort();
  if (clamped.Int(size_t{0}) != std::clamp(read.Int(size_t{0}), 0, 6)) std::abort();
  if (clamped.Int(size_t{3}) != std::max(read.Int(size_t{3}), -1)) std::abort();
  clamped.SetInt(size_t{0}, read.Int(size_t{0}));
  clamped.SetInt(size_t{3}, read.Int(size_t{3}));
  if (clamped != read) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  forms::PropertyValues values(kLayout);
  if (forms::ReadBlock(data, size, values) != forms::BlockStatus::kOk) {
    if (values != forms::PropertyValues(kLayout)) std::abort();
    return 0;
  }
  CheckClamped(data, size, values);
  std::vector<uint8_t> written = forms::WriteBlock(values);
  forms::PropertyValues again(kLayout);
  if (forms::ReadBlock(written, again) != forms::BlockStatus::kOk || again != values) std::abort();
  if (forms::WriteBlock(again) != written) std::abort();
  return 0;
}
