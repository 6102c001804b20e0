#include "units/control_texts.h"

#include <algorithm>
#include <cstring>

namespace units {

namespace {
constexpr size_t kFaceNameOffset = 28, kFaceNameSize = 32;
}  // namespace

std::string FontFaceName(const std::vector<uint8_t>& block) {
  if (block.size() != kFontBlockSize) return {};
  const auto* name = reinterpret_cast<const char*>(block.data() + kFaceNameOffset);
  return std::string(name, strnlen(name, kFaceNameSize));
}

void SetFontFaceName(std::vector<uint8_t>& block, const std::string& name) {
  if (block.size() != kFontBlockSize) return;
  uint8_t* face = block.data() + kFaceNameOffset;
  std::memset(face, 0, kFaceNameSize);
  std::memcpy(face, name.data(), std::min(name.size(), kFaceNameSize - 1));
}

std::vector<uint8_t> RewriteBlockTexts(const forms::BlockLayout& layout, const uint8_t* data,
                                       size_t length, std::initializer_list<TextStep> steps,
                                       void (*visit)(void* context, std::string& text),
                                       void* context) {
  forms::PropertyValues values(layout);
  if (forms::ReadBlock(data, length, values) != forms::BlockStatus::kOk) return {};
  for (const TextStep& step : steps) {
    if (step.fontFace) {
      std::vector<uint8_t> font = values.Bytes(step.field);
      if (font.size() != kFontBlockSize) continue;
      std::string name = FontFaceName(font);
      if (visit) visit(context, name);
      SetFontFaceName(font, name);
      values.SetBytes(step.field, std::move(font));
    } else {
      std::string text = values.Text(step.field);
      if (visit) visit(context, text);
      values.SetText(step.field, std::move(text));
    }
  }
  return forms::WriteBlock(values);
}

}  // namespace units
