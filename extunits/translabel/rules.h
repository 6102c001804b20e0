#pragma once
// The transparent label's portable rules: its own property numbers, the
// block field behind each, the values it stores, and the font it draws with.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "forms/property_block.h"

namespace translabel {

// Own property numbers (overall number - 8).
namespace prop {
enum : int32_t {
  kCaption,
  kEffect,
  kFont,
  kTextColor,
  kAlignment,
  kWordWrap,
  kVertAlignment,
  kCount
};
}  // namespace prop

// The block field (extunits::translabelfield) of an own property number in 0..6.
size_t FieldOf(int32_t own);

// The value stored when an integer property is written: `Effect` clamped to
// 0..3, the alignments to 0..2, the rest as given.
int32_t StoredValue(int32_t own, int32_t value);
extern const forms::IntClamps kClamps;  // the same, for loading a block

// The LOGFONTA the label draws with: a 60-byte block with its character set
// made DEFAULT_CHARSET, its precisions 0, PROOF_QUALITY and pitch-and-family
// 0. Any other block gives an empty result (the default GUI font is used).
std::vector<uint8_t> DrawingFont(const std::vector<uint8_t>& block);

}  // namespace translabel
