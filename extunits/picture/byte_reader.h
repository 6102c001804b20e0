#pragma once
// A bounded little-endian reader over a byte block it does not own. Every
// read checks the remaining length first; a read that would pass the end
// reads nothing, answers 0 and marks the reader as exhausted, so a decoder can
// read a whole header and test Ok() once.

#include <cstddef>
#include <cstdint>

namespace ext {

class ByteReader {
 public:
  ByteReader(const uint8_t* bytes, size_t length) : bytes_(bytes), length_(bytes ? length : 0) {}

  size_t Position() const { return position_; }
  size_t Remaining() const { return length_ - position_; }
  size_t Length() const { return length_; }
  bool Ok() const { return !exhausted_; }
  bool AtEnd() const { return position_ == length_; }
  const uint8_t* Here() const { return bytes_ + position_; }

  uint8_t U8() {
    if (!Has(1)) return 0;
    return bytes_[position_++];
  }
  uint16_t U16() {
    if (!Has(2)) return 0;
    uint16_t v = static_cast<uint16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
    position_ += 2;
    return v;
  }
  uint32_t U32() {
    if (!Has(4)) return 0;
    const uint8_t* p = bytes_ + position_;
    position_ += 4;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }

  // The next n bytes, or null (and exhausted) when fewer remain.
  const uint8_t* Take(size_t n) {
    if (!Has(n)) return nullptr;
    const uint8_t* p = bytes_ + position_;
    position_ += n;
    return p;
  }
  bool Skip(size_t n) { return Take(n) != nullptr || n == 0; }

  // Moves to an absolute offset; false (and exhausted) when it lies past the end.
  bool Seek(size_t offset) {
    if (offset > length_) {
      exhausted_ = true;
      return false;
    }
    position_ = offset;
    return true;
  }

 private:
  bool Has(size_t n) {
    if (n <= length_ - position_) return true;
    exhausted_ = true;
    position_ = length_;
    return false;
  }

  const uint8_t* bytes_;
  size_t length_;
  size_t position_ = 0;
  bool exhausted_ = false;
};

}  // namespace ext
