#include "forms/property_block.h"

#include <type_traits>
#include <utility>

#include "runtime/bytes.h"

namespace forms {

using rt::ByteReader;
using rt::ByteWriter;

namespace {

constexpr uint16_t kWideCount = 0xFFFF;  // a 32-bit count follows

const std::string kNoText;
const std::vector<uint8_t> kNoBytes;
const std::vector<std::string> kNoTexts;

// A stored text ends at its first zero byte, whatever its length says.
void CutAtNul(std::string& text) {
  size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
}

bool ReadText(ByteReader& in, std::string& text) {
  if (!in.CountedText(text)) return false;
  CutAtNul(text);
  return true;
}

bool ReadTextList(ByteReader& in, std::vector<std::string>& texts) {
  uint8_t small[2];
  if (!in.Raw(small, 2)) return false;
  uint32_t count = small[0] | (small[1] << 8);
  if (count == kWideCount && !in.U32(count)) return false;
  // Every text needs at least its length word: a count beyond that is a lie.
  if (count > in.Remaining() / 4) return in.Fail();
  texts.resize(count);
  for (std::string& text : texts) {
    if (!ReadText(in, text)) return false;
  }
  return true;
}

void WriteTextList(ByteWriter& out, const std::vector<std::string>& texts) {
  if (texts.size() < kWideCount) {
    const uint8_t small[2] = {static_cast<uint8_t>(texts.size()),
                              static_cast<uint8_t>(texts.size() >> 8)};
    out.Bytes(small, 2);
  } else {
    const uint8_t wide[2] = {0xFF, 0xFF};
    out.Bytes(wide, 2);
    out.U32(static_cast<uint32_t>(texts.size()));
  }
  for (const std::string& text : texts) out.CountedText(text);
}

}  // namespace

// ---- Layout --------------------------------------------------------------------------

int BlockLayout::FieldIndex(std::string_view name) const {
  for (size_t i = 0; i < fieldCount; ++i) {
    if (name == fields[i].name) return static_cast<int>(i);
  }
  return -1;
}

// ---- Values ------------------------------------------------------------------------

PropertyValues::PropertyValues(const BlockLayout& layout)
    : layout_(&layout), values_(layout.fieldCount) {
  Reset();
}

void PropertyValues::Reset() {
  for (size_t i = 0; i < values_.size(); ++i) {
    const FieldLayout& field = layout_->fields[i];
    switch (field.kind) {
      case FieldKind::kInt: values_[i] = field.intDefault; break;
      case FieldKind::kText:
        values_[i] = std::string(field.textDefault ? field.textDefault : "");
        break;
      case FieldKind::kBytes: values_[i] = std::vector<uint8_t>(); break;
      case FieldKind::kTextList: values_[i] = std::vector<std::string>(); break;
    }
  }
}

size_t PropertyValues::Index(std::string_view name) const {
  int index = layout_->FieldIndex(name);
  return index < 0 ? values_.size() : static_cast<size_t>(index);
}

template <typename T>
const T* PropertyValues::Get(size_t field) const {
  return field < values_.size() ? std::get_if<T>(&values_[field]) : nullptr;
}

template <typename T>
bool PropertyValues::Put(size_t field, T&& value) {
  if (field >= values_.size() || !std::holds_alternative<std::decay_t<T>>(values_[field])) {
    return false;
  }
  values_[field] = std::forward<T>(value);
  return true;
}

int32_t PropertyValues::Int(size_t field) const {
  const int32_t* value = Get<int32_t>(field);
  return value ? *value : 0;
}

const std::string& PropertyValues::Text(size_t field) const {
  const std::string* value = Get<std::string>(field);
  return value ? *value : kNoText;
}

const std::vector<uint8_t>& PropertyValues::Bytes(size_t field) const {
  const auto* value = Get<std::vector<uint8_t>>(field);
  return value ? *value : kNoBytes;
}

const std::vector<std::string>& PropertyValues::TextList(size_t field) const {
  const auto* value = Get<std::vector<std::string>>(field);
  return value ? *value : kNoTexts;
}

bool PropertyValues::SetInt(size_t field, int32_t value) { return Put(field, std::move(value)); }
bool PropertyValues::SetText(size_t field, std::string value) {
  return Put(field, std::move(value));
}
bool PropertyValues::SetBytes(size_t field, std::vector<uint8_t> value) {
  return Put(field, std::move(value));
}
bool PropertyValues::SetTextList(size_t field, std::vector<std::string> value) {
  return Put(field, std::move(value));
}

bool PropertyValues::operator==(const PropertyValues& other) const {
  return layout_ == other.layout_ && values_ == other.values_;
}

// ---- Reading and writing -------------------------------------------------------------

namespace {

bool ReadField(ByteReader& in, const FieldLayout& field, size_t index, PropertyValues& values) {
  switch (field.kind) {
    case FieldKind::kInt: {
      int32_t number = 0;
      return in.I32(number) && values.SetInt(index, number);
    }
    case FieldKind::kText: {
      std::string text;
      return ReadText(in, text) && values.SetText(index, std::move(text));
    }
    case FieldKind::kBytes: {
      std::vector<uint8_t> bytes;
      return in.CountedBytes(bytes) && values.SetBytes(index, std::move(bytes));
    }
    case FieldKind::kTextList: {
      std::vector<std::string> texts;
      return ReadTextList(in, texts) && values.SetTextList(index, std::move(texts));
    }
  }
  return false;
}

BlockStatus ReadFields(const uint8_t* data, size_t size, PropertyValues& values) {
  const BlockLayout& layout = values.layout();
  ByteReader in(data, size);
  uint32_t version = 0;
  if (!in.U32(version)) return BlockStatus::kTruncated;
  if (version > layout.version) return BlockStatus::kNewerVersion;
  for (size_t i = 0; i < layout.fieldCount; ++i) {
    const FieldLayout& field = layout.fields[i];
    if (field.since > version) continue;
    if (!ReadField(in, field, i, values)) return BlockStatus::kTruncated;
  }
  return BlockStatus::kOk;
}

}  // namespace

BlockStatus ReadBlock(const uint8_t* data, size_t size, PropertyValues& values) {
  values.Reset();
  if (size == 0 || values.layout().fieldCount == 0) return BlockStatus::kOk;
  BlockStatus status = ReadFields(data, size, values);
  if (status != BlockStatus::kOk) values.Reset();
  return status;
}

std::vector<uint8_t> WriteBlock(const PropertyValues& values) {
  const BlockLayout& layout = values.layout();
  ByteWriter out;
  if (layout.fieldCount == 0) return out.Take();
  out.U32(layout.version);
  for (size_t i = 0; i < layout.fieldCount; ++i) {
    switch (layout.fields[i].kind) {
      case FieldKind::kInt: out.I32(values.Int(i)); break;
      case FieldKind::kText: out.CountedText(values.Text(i)); break;
      case FieldKind::kBytes: out.CountedBytes(values.Bytes(i)); break;
      case FieldKind::kTextList: WriteTextList(out, values.TextList(i)); break;
    }
  }
  return out.Take();
}

void ApplyClamps(PropertyValues& values, const IntClamps& clamps) {
  const BlockLayout& layout = values.layout();
  for (int32_t number = 0; number < clamps.count; ++number) {
    const size_t field = clamps.field(number);
    if (field >= layout.fieldCount || layout.fields[field].kind != FieldKind::kInt) continue;
    values.SetInt(field, clamps.stored(number, values.Int(field)));
  }
}

bool ReadTextListBlock(const uint8_t* data, size_t size, std::vector<std::string>& texts) {
  ByteReader in(data, size);
  if (ReadTextList(in, texts)) return true;
  texts.clear();
  return false;
}

std::vector<uint8_t> WriteTextListBlock(const std::vector<std::string>& texts) {
  ByteWriter out;
  WriteTextList(out, texts);
  return out.Take();
}

}  // namespace forms
