#include "runtime/bytes.h"

#include <cstring>

namespace rt {

bool ByteReader::Has(size_t count) {
  if (!ok_ || count > size_ - pos_) return Fail();
  return true;
}

bool ByteReader::Fail() {
  ok_ = false;
  pos_ = size_;
  return false;
}

uint8_t ByteReader::U8() { return Has(1) ? data_[pos_++] : 0; }

uint16_t ByteReader::U16() {
  if (!Has(2)) return 0;
  const uint8_t* p = data_ + pos_;
  pos_ += 2;
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ByteReader::U32() {
  if (!Has(4)) return 0;
  const uint8_t* p = data_ + pos_;
  pos_ += 4;
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint32_t ByteReader::U32Be() {
  if (!Has(4)) return 0;
  const uint8_t* p = data_ + pos_;
  pos_ += 4;
  return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

const uint8_t* ByteReader::Take(size_t count) {
  if (!Has(count)) return nullptr;
  const uint8_t* p = data_ + pos_;
  pos_ += count;
  return p;
}

bool ByteReader::Seek(size_t offset) {
  if (!ok_ || offset > size_) return Fail();
  pos_ = offset;
  return true;
}

bool ByteReader::U32(uint32_t& value) {
  if (!Has(4)) return false;
  value = U32();
  return true;
}

bool ByteReader::I32(int32_t& value) {
  uint32_t word;
  if (!U32(word)) return false;
  value = static_cast<int32_t>(word);
  return true;
}

bool ByteReader::Skip(size_t count) {
  if (!Has(count)) return false;
  pos_ += count;
  return true;
}

bool ByteReader::Raw(void* out, size_t count) {
  if (!Has(count)) return false;
  if (count) std::memcpy(out, data_ + pos_, count);
  pos_ += count;
  return true;
}

bool ByteReader::Bytes(size_t count, std::vector<uint8_t>& out) {
  if (!Has(count)) return false;
  out.assign(data_ + pos_, data_ + pos_ + count);
  pos_ += count;
  return true;
}

bool ByteReader::Bytes(size_t count, std::string& out) {
  if (!Has(count)) return false;
  out.assign(reinterpret_cast<const char*>(data_ + pos_), count);
  pos_ += count;
  return true;
}

bool ByteReader::TerminatedText(std::string& out) {
  if (!ok_ || pos_ == size_) return Fail();
  const void* nul = std::memchr(data_ + pos_, 0, size_ - pos_);
  if (nul == nullptr) return Fail();
  size_t length = static_cast<const uint8_t*>(nul) - (data_ + pos_);
  Bytes(length, out);
  return Skip(1);
}

bool ByteReader::CountedBytes(std::vector<uint8_t>& out) {
  uint32_t length;
  return U32(length) && Bytes(length, out);
}

bool ByteReader::CountedText(std::string& out) {
  uint32_t length;
  return U32(length) && Bytes(length, out);
}

void ByteWriter::U32(uint32_t value) {
  const uint8_t word[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                           static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  bytes_.insert(bytes_.end(), word, word + 4);
}

void ByteWriter::Bytes(const void* data, size_t count) {
  const auto* p = static_cast<const uint8_t*>(data);
  if (count) bytes_.insert(bytes_.end(), p, p + count);
}

void ByteWriter::TerminatedText(const std::string& text) {
  Bytes(text.data(), text.size());
  bytes_.push_back(0);
}

void ByteWriter::CountedBytes(const void* data, size_t count) {
  U32(static_cast<uint32_t>(count));
  Bytes(data, count);
}

void ByteWriter::PatchU32(size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace rt
