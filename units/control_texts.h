#pragma once
// The list-texts request of the standard controls: a property block's texts,
// and the face name of its font block, shown in a fixed order to a visitor
// that may change them; the block comes back rewritten.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "forms/property_block.h"

namespace units {

inline constexpr size_t kFontBlockSize = 60;  // a LOGFONTA

// The face name of a 60-byte font block, empty for other blocks; and the
// block with a new face name (cut to 31 bytes; other blocks stay as they are).
std::string FontFaceName(const std::vector<uint8_t>& block);
void SetFontFaceName(std::vector<uint8_t>& block, const std::string& name);

// One step of the walk: a text field, or the face name of a font field
// (visited only when the block is 60 bytes).
struct TextStep {
  size_t field;
  bool fontFace = false;
};

// Empty when the block is refused.
std::vector<uint8_t> RewriteBlockTexts(const forms::BlockLayout& layout, const uint8_t* data,
                                       size_t length, std::initializer_list<TextStep> steps,
                                       void (*visit)(void* context, std::string& text),
                                       void* context);

}  // namespace units
