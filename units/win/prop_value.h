#pragma once
// Property values as units exchange them (rt::PropValue): a text is its
// address, a byte block its address and length (null when empty), anything
// else the value itself.

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/program.h"

namespace units {

inline std::vector<uint8_t> BytesOf(const rt::PropValue& v) {
  const rt::ByteSpan bytes = rt::BytesIn(v);
  return std::vector<uint8_t>(bytes.data, bytes.data + bytes.size);
}

inline std::string TextOf(const rt::PropValue& v) {
  const char* text = rt::TextIn(v);
  return text ? std::string(text) : std::string();
}

inline rt::PropValue BytesValue(const std::vector<uint8_t>& b) {
  return rt::BytesValue(b.data(), b.size());
}

inline rt::PropValue TextValue(const std::string& text) { return rt::AddressValue(text.c_str()); }

inline rt::PropValue IntValue(int32_t value) { return {static_cast<uint32_t>(value), 0}; }

}  // namespace units
