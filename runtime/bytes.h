#pragma once
// Bounded little-endian reading and writing of stored bytes. A reader never
// passes its end: every read checks the remaining length first, and a read
// that would pass it reads nothing and leaves the reader failed for good (at
// its end), so a chain of reads can be checked once at the end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rt {

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

  bool Ok() const { return ok_; }
  size_t Position() const { return pos_; }
  size_t Length() const { return size_; }
  size_t Remaining() const { return ok_ ? size_ - pos_ : 0; }
  bool AtEnd() const { return pos_ == size_; }
  const uint8_t* Here() const { return data_ + pos_; }

  // Reads that hand back a value: 0 when the data has run out.
  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  uint32_t U32Be();  // big-endian, as PNG stores its numbers
  int32_t I32() { return static_cast<int32_t>(U32()); }
  // The next `count` bytes, or null when fewer remain.
  const uint8_t* Take(size_t count);
  // Moves to an absolute offset; false when it lies past the end.
  bool Seek(size_t offset);

  // Reads that tell whether they succeeded.
  bool U32(uint32_t& value);
  bool I32(int32_t& value);
  bool Skip(size_t count);
  bool Bytes(size_t count, std::vector<uint8_t>& out);
  bool Bytes(size_t count, std::string& out);
  bool Raw(void* out, size_t count);
  // Bytes up to a NUL, which is consumed but not kept; fails without one.
  bool TerminatedText(std::string& out);
  // A 32-bit length, then that many bytes.
  bool CountedBytes(std::vector<uint8_t>& out);
  bool CountedText(std::string& out);
  bool Fail();

 private:
  bool Has(size_t count);
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

class ByteWriter {
 public:
  void U32(uint32_t value);
  void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
  void Bytes(const void* data, size_t count);
  void Bytes(const std::vector<uint8_t>& data) { Bytes(data.data(), data.size()); }
  void TerminatedText(const std::string& text);
  void CountedBytes(const void* data, size_t count);
  void CountedBytes(const std::vector<uint8_t>& data) { CountedBytes(data.data(), data.size()); }
  void CountedText(const std::string& text) { CountedBytes(text.data(), text.size()); }
  void PatchU32(size_t offset, uint32_t value);

  size_t size() const { return bytes_.size(); }
  std::vector<uint8_t>& bytes() { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace rt
