#include "tools/formc/types.h"

#include "extunits/blocks.h"
#include "forms/template.h"
#include "units/blocks.h"

namespace formc {

namespace {

bool FindDescribed(uint32_t code, std::string_view name, UnitType& type) {
  for (const auto* layouts : {&units::CoreBlockLayouts(), &extunits::ExtensionBlockLayouts()}) {
    for (const forms::BlockLayout* layout : *layouts) {
      if (layout->typeCode == code || name == layout->typeName) {
        type = {layout->typeCode, layout->typeName, layout};
        return true;
      }
    }
  }
  if (code == forms::kMenuTypeCode || name == "menu") {
    type = {forms::kMenuTypeCode, "menu", nullptr};
    return true;
  }
  return false;
}

// "0x" and one to eight hex digits.
bool ParseCode(std::string_view text, uint32_t& code) {
  if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] | 0x20) != 'x') {
    return false;
  }
  code = 0;
  for (char c : text.substr(2)) {
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
    if (digit < 0) return false;
    code = code << 4 | static_cast<uint32_t>(digit);
  }
  return true;
}

}  // namespace

bool FindType(std::string_view nameOrCode, UnitType& type) {
  uint32_t code = 0;
  if (!ParseCode(nameOrCode, code)) return FindDescribed(0, nameOrCode, type);
  if (code == 0) return false;
  if (!FindDescribed(code, {}, type)) type = {code, nullptr, nullptr};
  return true;
}

}  // namespace formc
