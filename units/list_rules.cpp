#include "units/list_rules.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "units/blocks.h"

namespace units {

namespace {

// The style numbers of the list box control and its scroll bars.
constexpr uint32_t kChildClipped = 0x44000000;  // WS_CHILD | WS_CLIPSIBLINGS
constexpr uint32_t kNotify = 0x1, kSort = 0x2, kTabStops = 0x80, kNoIntegralHeight = 0x100;
constexpr uint32_t kMultiColumn = 0x200, kExtendedSelection = 0x800;
constexpr uint32_t kVerticalScroll = 0x200000, kHorizontalScroll = 0x100000;

}  // namespace

uint32_t ListBoxStyle(bool sorted, bool hasDataSource, bool multiColumn, bool multiSelect) {
  uint32_t style = kChildClipped | kNoIntegralHeight | kTabStops | kNotify;
  if (sorted && !hasDataSource) style |= kSort;
  style |= multiColumn ? kHorizontalScroll | kMultiColumn : kVerticalScroll;
  if (multiSelect) style |= kExtendedSelection;
  return style;
}

int32_t ClampListIndex(int32_t value, int32_t rows) {
  if (value > rows - 1) value = rows - 1;
  return value < -1 ? -1 : value;
}

size_t ItemNumberCount(const std::vector<uint8_t>& itemData) { return itemData.size() / 4; }

uint32_t ItemNumber(const std::vector<uint8_t>& itemData, size_t row) {
  const uint8_t* p = itemData.data() + row * 4;
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

namespace {

// A LOGFONTA record keeps its 32-byte face name from byte 28.
constexpr size_t kFontSize = 60, kFaceAt = 28, kFaceSize = 32;

void VisitFace(std::vector<uint8_t>& font, void (*visit)(void*, std::string&), void* context) {
  const char* face = reinterpret_cast<const char*>(font.data() + kFaceAt);
  std::string text(face, strnlen(face, kFaceSize));
  visit(context, text);
  text.resize(std::min(text.size(), kFaceSize - 1));
  std::fill(font.begin() + kFaceAt, font.end(), 0);
  std::memcpy(font.data() + kFaceAt, text.data(), text.size());
}

}  // namespace

std::vector<uint8_t> RewriteListBoxTexts(const uint8_t* data, size_t length,
                                         void (*visit)(void* context, std::string& text),
                                         void* context) {
  forms::PropertyValues values(kListBoxBlock);
  if (forms::ReadBlock(data, length, values) != forms::BlockStatus::kOk) return {};
  if (visit == nullptr) return forms::WriteBlock(values);
  std::vector<uint8_t> font = values.Bytes(listboxfield::kFont);
  if (font.size() == kFontSize) {
    VisitFace(font, visit, context);
    values.SetBytes(listboxfield::kFont, std::move(font));
  }
  std::vector<std::string> items = values.TextList(listboxfield::kItems);
  for (std::string& item : items) visit(context, item);
  values.SetTextList(listboxfield::kItems, std::move(items));
  for (size_t field : {listboxfield::kDataSource, listboxfield::kDataField}) {
    std::string text = values.Text(field);
    visit(context, text);
    values.SetText(field, std::move(text));
  }
  return forms::WriteBlock(values);
}

}  // namespace units
