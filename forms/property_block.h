#pragma once
// Property blocks: each unit type's own property values as stored in its
// unit records. A block is a 32-bit version, then the type's fields in a
// fixed order: 32-bit little-endian numbers (also bools and colours), texts
// and byte blocks as a 32-bit length and the bytes, and text lists.
//
// One description of a type's block (`BlockLayout`) drives reading, writing
// and the value store, so the form compiler and the units at run time share
// the same rules:
//   - reading first resets every value to its default;
//   - an absent or empty block keeps the defaults and succeeds;
//   - a version above the one the type writes is refused;
//   - fields newer than the block's version keep their defaults;
//   - a text ends at its first zero byte;
//   - a block that ends inside a field is refused (nothing past its end is read);
//   - bytes after the last field are left alone.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace forms {

enum class FieldKind : uint8_t {
  kInt,       // 32-bit number, bool (0/1) or colour
  kText,      // length, then code page 936 bytes without terminator
  kBytes,     // length, then the bytes (pictures, sounds, LOGFONTA records)
  kTextList,  // 16-bit count (0xFFFF: a 32-bit count follows), then length + bytes per text
};

struct FieldLayout {
  const char* name;
  FieldKind kind;
  uint32_t since;           // the first block version that stores the field
  int32_t intDefault;       // kInt only
  const char* textDefault;  // kText only; null is the empty text
};

// Colours are stored as COLORREF words; this one stands for the system colour.
constexpr int32_t kSystemColour = static_cast<int32_t>(0xFF000000);

constexpr FieldLayout IntField(const char* name, int32_t byDefault, uint32_t since = 0) {
  return {name, FieldKind::kInt, since, byDefault, nullptr};
}
constexpr FieldLayout TextField(const char* name, const char* byDefault = nullptr,
                                uint32_t since = 0) {
  return {name, FieldKind::kText, since, 0, byDefault};
}
constexpr FieldLayout BytesField(const char* name, uint32_t since = 0) {
  return {name, FieldKind::kBytes, since, 0, nullptr};
}
constexpr FieldLayout TextListField(const char* name, uint32_t since = 0) {
  return {name, FieldKind::kTextList, since, 0, nullptr};
}

// A unit type's property block. A type without fields keeps nothing: it
// writes an empty block and reads any block as all defaults.
struct BlockLayout {
  uint32_t typeCode;
  const char* typeName;  // the type table's English name
  uint32_t version;      // the version written; blocks above it are refused
  const FieldLayout* fields;
  size_t fieldCount;

  int FieldIndex(std::string_view name) const;  // -1 when the type has no such field
};

template <size_t N>
constexpr BlockLayout MakeBlockLayout(uint32_t typeCode, const char* typeName, uint32_t version,
                                      const FieldLayout (&fields)[N]) {
  return {typeCode, typeName, version, fields, N};
}

// The values of one block, one per field in stored order. Reading a field
// of another kind, or an index or name the type lacks, gives the neutral
// value (0, empty); writing one changes nothing and answers false.
class PropertyValues {
 public:
  explicit PropertyValues(const BlockLayout& layout);

  const BlockLayout& layout() const { return *layout_; }
  size_t size() const { return values_.size(); }
  void Reset();

  int32_t Int(size_t field) const;
  const std::string& Text(size_t field) const;
  const std::vector<uint8_t>& Bytes(size_t field) const;
  const std::vector<std::string>& TextList(size_t field) const;
  bool SetInt(size_t field, int32_t value);
  bool SetText(size_t field, std::string value);
  bool SetBytes(size_t field, std::vector<uint8_t> value);
  bool SetTextList(size_t field, std::vector<std::string> value);

  int32_t Int(std::string_view name) const { return Int(Index(name)); }
  const std::string& Text(std::string_view name) const { return Text(Index(name)); }
  const std::vector<uint8_t>& Bytes(std::string_view name) const { return Bytes(Index(name)); }
  const std::vector<std::string>& TextList(std::string_view name) const {
    return TextList(Index(name));
  }
  bool SetInt(std::string_view name, int32_t value) { return SetInt(Index(name), value); }
  bool SetText(std::string_view name, std::string value) {
    return SetText(Index(name), std::move(value));
  }
  bool SetBytes(std::string_view name, std::vector<uint8_t> value) {
    return SetBytes(Index(name), std::move(value));
  }
  bool SetTextList(std::string_view name, std::vector<std::string> value) {
    return SetTextList(Index(name), std::move(value));
  }

  bool operator==(const PropertyValues& other) const;
  bool operator!=(const PropertyValues& other) const { return !(*this == other); }

 private:
  using Value = std::variant<int32_t, std::string, std::vector<uint8_t>, std::vector<std::string>>;
  size_t Index(std::string_view name) const;  // size() when absent
  template <typename T>
  const T* Get(size_t field) const;
  template <typename T>
  bool Put(size_t field, T&& value);

  const BlockLayout* layout_;
  std::vector<Value> values_;
};

enum class BlockStatus {
  kOk,
  kNewerVersion,  // the version is above the one the type writes
  kTruncated,     // the block ends inside a field
};

// Resets `values` and reads the block into it; on failure the values are
// the defaults again.
BlockStatus ReadBlock(const uint8_t* data, size_t size, PropertyValues& values);
inline BlockStatus ReadBlock(const std::vector<uint8_t>& block, PropertyValues& values) {
  return ReadBlock(block.data(), block.size(), values);
}

// The type's version and every field.
std::vector<uint8_t> WriteBlock(const PropertyValues& values);

// A unit type's set clamps by own property number (0 .. count - 1): `stored`
// is what setting the number to a value keeps, `field` the block field
// that holds it.
struct IntClamps {
  int32_t count;
  size_t (*field)(int32_t number);
  int32_t (*stored)(int32_t number, int32_t value);
};

// Loading applies the clamps a set applies: every number whose field holds
// an integer gets the value a set of its stored value would keep, so a unit
// never starts on a value out of its range.
void ApplyClamps(PropertyValues& values, const IntClamps& clamps);

// ReadBlock, then ApplyClamps on what was read: how units load their block.
inline BlockStatus ReadBlock(const uint8_t* data, size_t size, PropertyValues& values,
                             const IntClamps& clamps) {
  const BlockStatus status = ReadBlock(data, size, values);
  if (status == BlockStatus::kOk) ApplyClamps(values, clamps);
  return status;
}

// A text list on its own, as a text list property's value carries it: the
// same count and texts as inside a block. Reading is false (and `texts`
// empty) when the data ends inside the list; bytes after it are ignored.
bool ReadTextListBlock(const uint8_t* data, size_t size, std::vector<std::string>& texts);
std::vector<uint8_t> WriteTextListBlock(const std::vector<std::string>& texts);

}  // namespace forms
