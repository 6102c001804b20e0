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
  const auto* data = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(v.value));
  return data ? std::vector<uint8_t>(data, data + v.second) : std::vector<uint8_t>{};
}

inline std::string TextOf(const rt::PropValue& v) {
  const auto* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(v.value));
  return text ? std::string(text) : std::string();
}

inline rt::PropValue BytesValue(const std::vector<uint8_t>& b) {
  return {b.empty() ? 0 : reinterpret_cast<uintptr_t>(b.data()), static_cast<uint32_t>(b.size())};
}

inline rt::PropValue TextValue(const std::string& text) {
  return {reinterpret_cast<uintptr_t>(text.c_str()), 0};
}

inline rt::PropValue IntValue(int32_t value) { return {static_cast<uint32_t>(value), 0}; }

}  // namespace units
