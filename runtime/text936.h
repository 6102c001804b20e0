#pragma once
// Cutting and splitting texts of code page 936 only between characters: a
// byte from 0x81 to 0xFE leads a two-byte character whose trail byte may be
// any byte from 0x40 up, the backslash (0x5C) among them, so a byte search
// alone can land inside a character.

#include <cstddef>
#include <string_view>

namespace rt {

inline bool IsLeadByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x81 && b <= 0xFE;
}

// Bytes of the character starting at `i`; a lead byte that ends the text
// stands alone.
inline size_t CharacterBytes(std::string_view text, size_t i) {
  return IsLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
}

// The longest start of `text` of at most `limit` bytes that ends between
// characters.
inline size_t WholeCharactersWithin(std::string_view text, size_t limit) {
  size_t end = 0;
  while (end < text.size() && end + CharacterBytes(text, end) <= limit) {
    end += CharacterBytes(text, end);
  }
  return end;
}

// The position of the last character `c` (a single-byte character), never a
// trail byte equal to it; npos when there is none.
inline size_t LastCharacter(std::string_view text, char c) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < text.size(); i += CharacterBytes(text, i)) {
    if (text[i] == c) found = i;
  }
  return found;
}

}  // namespace rt
