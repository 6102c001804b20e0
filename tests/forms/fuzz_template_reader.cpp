// Fuzzes the template reader: any input is read without leaving its bounds,
// and whatever it accepts writes back into bytes that read to the same data.

#include <cstdlib>

#include "forms/template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  forms::LocateFields(data, size);
  auto read = forms::ReadTemplate(data, size);
  if (!read) return 0;
  std::vector<uint8_t> written = forms::WriteTemplate(*read);
  auto again = forms::ReadTemplate(written.data(), written.size());
  if (!again || forms::WriteTemplate(*again) != written) std::abort();
  return 0;
}
