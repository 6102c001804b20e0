#include "tools/formc/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace formc {

namespace {

// The length of the UTF-8 sequence that starts at `text[at]`; 0 when it is
// not a well-formed one (overlong forms and surrogates included).
size_t SequenceLength(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  uint8_t lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  }
  uint8_t second = byte(at + 1);
  if (lead == 0xE0 && second < 0xA0) return 0;   // overlong
  if (lead == 0xED && second >= 0xA0) return 0;  // surrogate
  if (lead == 0xF0 && second < 0x90) return 0;   // overlong
  if (lead == 0xF4 && second >= 0x90) return 0;  // above U+10FFFF
  return length;
}

// Converts one well-formed character; false when code page 936 lacks it.
bool ConvertCharacter(iconv_t cd, std::string_view character, std::string& out) {
  char buffer[8];
  char* in = const_cast<char*>(character.data());
  size_t inLeft = character.size();
  char* outPtr = buffer;
  size_t outLeft = sizeof buffer;
  if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return false;
  out.append(buffer, outPtr);
  return true;
}

class Converter {
 public:
  Converter() : cd_(iconv_open("CP936", "UTF-8")) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

}  // namespace

Conversion ToCodePage936(std::string_view utf8, std::string& out, std::string* offender) {
  out.clear();
  Converter converter;
  if (!converter.ok()) return Conversion::kUnavailable;
  for (size_t at = 0; at < utf8.size();) {
    size_t length = SequenceLength(utf8, at);
    if (length == 0) {
      if (offender) *offender = utf8.substr(at, 1);
      return Conversion::kBadUtf8;
    }
    std::string_view character = utf8.substr(at, length);
    if (!ConvertCharacter(converter.get(), character, out)) {
      if (offender) *offender = character;
      return Conversion::kNotIn936;
    }
    at += length;
  }
  return Conversion::kOk;
}

}  // namespace formc
