#include "extunits/translabel/rules.h"

#include <algorithm>

#include "extunits/blocks.h"

namespace translabel {

namespace tf = extunits::translabelfield;

size_t FieldOf(int32_t own) {
  constexpr size_t kFields[prop::kCount] = {tf::kCaption,      tf::kEffect,    tf::kFont,
                                            tf::kTextColor,    tf::kAlignment, tf::kWordWrap,
                                            tf::kVertAlignment};
  return kFields[own];
}

int32_t StoredValue(int32_t own, int32_t value) {
  switch (own) {
    case prop::kEffect: return std::clamp(value, 0, 3);
    case prop::kAlignment:
    case prop::kVertAlignment: return std::clamp(value, 0, 2);
    default: return value;
  }
}

const forms::IntClamps kClamps = {prop::kCount, FieldOf, StoredValue};

std::vector<uint8_t> DrawingFont(const std::vector<uint8_t>& block) {
  // LOGFONTA: five 32-bit fields, three flag bytes, then the character set,
  // the two precisions, the quality and the pitch and family.
  constexpr size_t kLogFontSize = 60, kCharSet = 23;
  constexpr uint8_t kDefaultCharset = 1, kProofQuality = 2;
  if (block.size() != kLogFontSize) return {};
  std::vector<uint8_t> font = block;
  const uint8_t tail[5] = {kDefaultCharset, 0, 0, kProofQuality, 0};
  std::copy(tail, tail + 5, font.begin() + kCharSet);
  return font;
}

}  // namespace translabel
