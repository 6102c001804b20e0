#include "tools/formc/values.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>
#include <utility>

#include "runtime/bytes.h"
#include "tools/formc/codepage.h"

namespace formc {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decimal or 0x hex with an optional sign; false when malformed or huge.
bool ParseNumber(std::string_view text, int64_t& value) {
  bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] | 0x20) == 'x') {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 15) return false;  // keeps the value inside 64 bits
  value = 0;
  for (char c : text) {
    int digit = HexDigit(c);
    if (digit < 0 || digit >= base) return false;
    value = value * base + digit;
  }
  if (negative) value = -value;
  return true;
}

bool ParseFlag(std::string_view text, bool& flag) {
  for (const char* yes : {"true", "yes", "on", "1"}) {
    if (text == yes) return flag = true;
  }
  for (const char* no : {"false", "no", "off", "0"}) {
    if (text == no) return !(flag = false);
  }
  return false;
}

// Reads a quoted text starting at text[at] == '"'; `at` ends after the quote.
std::string Unquote(std::string_view text, size_t& at, const Location& where) {
  std::string out;
  for (++at; at < text.size(); ++at) {
    char c = text[at];
    if (c == '"') {
      ++at;
      return out;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++at == text.size()) break;
    switch (text[at]) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case '"':
      case '\\': out += text[at]; break;
      default: Fail(where, std::string("unknown escape '\\") + text[at] + "'");
    }
  }
  Fail(where, "the closing quote is missing");
}

std::string SourceText(const Entry& entry) {
  if (entry.value.empty() || entry.value[0] != '"') return entry.value;
  size_t at = 0;
  std::string text = Unquote(entry.value, at, entry.at);
  if (at != entry.value.size()) Fail(entry.at, "something follows the closing quote");
  return text;
}

// Splits "a, "b, c", d" at the commas outside quotes; items are trimmed.
std::vector<std::string> SplitList(const Entry& entry) {
  std::vector<std::string> items;
  std::string_view text = entry.value;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && text[at] == ' ') ++at;
    if (at < text.size() && text[at] == '"') {
      items.push_back(Unquote(text, at, entry.at));
      while (at < text.size() && text[at] == ' ') ++at;
      if (at < text.size() && text[at] != ',') Fail(entry.at, "expected ',' after a quoted text");
    } else {
      size_t comma = std::min(text.find(',', at), text.size());
      items.emplace_back(Trim(text.substr(at, comma - at)));
      at = comma;
    }
    if (at < text.size() && ++at == text.size()) items.emplace_back();  // a trailing comma
  }
  return items;
}

std::vector<uint8_t> HexBytes(std::string_view hex, const Location& at) {
  std::vector<uint8_t> bytes;
  int high = -1;
  for (char c : hex) {
    if (c == ' ') continue;
    int digit = HexDigit(c);
    if (digit < 0) Fail(at, std::string("'") + c + "' is not a hex digit");
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<uint8_t>(high << 4 | digit));
      high = -1;
    }
  }
  if (high >= 0) Fail(at, "an odd number of hex digits");
  return bytes;
}

Entry Part(const Entry& entry, std::string value) {
  return {entry.key, std::move(value), entry.at};
}

// font:face,height[,weight[,italic]] as a 60-byte LOGFONTA with the GB2312 character set.
std::vector<uint8_t> FontBytes(const Entry& entry, std::string_view layout) {
  std::vector<std::string> parts = SplitList(Part(entry, std::string(layout)));
  if (parts.size() < 2 || parts.size() > 4) {
    Fail(entry.at, "a font is font:face,height[,weight[,italic]]");
  }
  std::string face = ToProgramText(parts[0], entry.at);
  if (face.size() > 31) Fail(entry.at, "the font face name is longer than 31 bytes");
  rt::ByteWriter out;
  out.I32(static_cast<int32_t>(ReadNumber(Part(entry, parts[1]), INT32_MIN, INT32_MAX)));
  for (int i = 0; i < 3; ++i) out.U32(0);  // width, escapement, orientation
  out.I32(parts.size() > 2 ? static_cast<int32_t>(ReadNumber(Part(entry, parts[2]), 0, 1000))
                           : 400);
  const uint8_t italic = parts.size() > 3 && ReadBool(Part(entry, parts[3]));
  const uint8_t flags[8] = {italic, 0, 0, 134, 0, 0, 0, 0};  // 134: GB2312_CHARSET
  out.Bytes(flags, sizeof flags);
  char name[32] = {};
  std::memcpy(name, face.data(), face.size());
  out.Bytes(name, sizeof name);
  return out.Take();
}

}  // namespace

// ---- Files -------------------------------------------------------------------------

std::vector<uint8_t> FileReader::Read(const std::string& name, const Location& at) {
  if (name.empty()) Fail(at, "a file name is missing after '@'");
  std::string path = name[0] == '/' || folder_.empty() ? name : folder_ + "/" + name;
  std::ifstream file(path, std::ios::binary);
  if (!file) Fail(at, "cannot read '" + name + "': " + std::strerror(errno));
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                             std::istreambuf_iterator<char>());
  if (file.bad()) Fail(at, "cannot read '" + name + "'");
  if (std::find(filesRead_.begin(), filesRead_.end(), path) == filesRead_.end()) {
    filesRead_.push_back(path);
  }
  return bytes;
}

// ---- Numbers -------------------------------------------------------------------------

int64_t ReadNumber(const Entry& entry, int64_t min, int64_t max) {
  int64_t value = 0;
  if (!ParseNumber(entry.value, value)) {
    Fail(entry.at, "'" + entry.value + "' is not a number (" + entry.key + ")");
  }
  if (value < min || value > max) {
    Fail(entry.at, entry.key + " must lie between " + std::to_string(min) + " and " +
                       std::to_string(max) + ", not " + entry.value);
  }
  return value;
}

int32_t ReadInt(const Entry& entry) {
  bool flag = false;
  if (ParseFlag(entry.value, flag)) return flag ? 1 : 0;
  return static_cast<int32_t>(static_cast<uint32_t>(ReadNumber(entry, INT32_MIN, UINT32_MAX)));
}

uint32_t ReadWord(const Entry& entry) {
  return static_cast<uint32_t>(ReadNumber(entry, 0, UINT32_MAX));
}

bool ReadBool(const Entry& entry) {
  bool flag = false;
  if (!ParseFlag(entry.value, flag)) {
    Fail(entry.at, entry.key + " must be true or false, not '" + entry.value + "'");
  }
  return flag;
}

// ---- Texts ---------------------------------------------------------------------------

std::string ToProgramText(const std::string& utf8, const Location& at) {
  std::string out, offender;
  switch (ToCodePage936(utf8, out, &offender)) {
    case Conversion::kOk: return out;
    case Conversion::kBadUtf8: Fail(at, "the text is not UTF-8");
    case Conversion::kNotIn936: Fail(at, "'" + offender + "' cannot be written in code page 936");
    case Conversion::kUnavailable: Fail(at, "this host's iconv cannot write code page 936");
  }
  Fail(at, "the text cannot be converted");
}

std::string ReadText(const Entry& entry) { return ToProgramText(SourceText(entry), entry.at); }

std::vector<std::string> ReadTextList(const Entry& entry) {
  std::vector<std::string> texts;
  for (const std::string& item : SplitList(entry)) texts.push_back(ToProgramText(item, entry.at));
  return texts;
}

// ---- Byte blocks ---------------------------------------------------------------------

std::vector<uint8_t> ReadBytes(const Entry& entry, FileReader& files) {
  std::string_view value = entry.value;
  if (value.empty()) return {};
  if (value[0] == '@') return files.Read(std::string(Trim(value.substr(1))), entry.at);
  if (value.substr(0, 4) == "hex:") return HexBytes(value.substr(4), entry.at);
  if (value.substr(0, 5) == "font:") return FontBytes(entry, value.substr(5));
  Fail(entry.at, entry.key + " takes @file, hex:... or font:..., not '" + entry.value + "'");
}

std::vector<uint8_t> ReadCursor(const Entry& entry, FileReader& files) {
  rt::ByteWriter out;
  if (!entry.value.empty() && entry.value[0] == '@') {
    out.U32(0xFFFFFFFF);  // a cursor image follows
    out.Bytes(ReadBytes(entry, files));
  } else {
    out.U32(static_cast<uint32_t>(ReadNumber(entry, 0, 14)));
  }
  return out.Take();
}

// ---- Lists and names -----------------------------------------------------------------

std::vector<uint32_t> ReadWords(const Entry& entry) {
  std::vector<uint32_t> words;
  if (entry.value.empty()) return words;
  for (const std::string& item : SplitList(entry)) words.push_back(ReadWord(Part(entry, item)));
  return words;
}

std::string ReadRoutineName(const Entry& entry) {
  const std::string& name = entry.value;
  const auto letter = [](char c) { return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '_'; };
  bool ok = !name.empty() && letter(name[0]);
  for (char c : name) ok = ok && (letter(c) || (c >= '0' && c <= '9'));
  if (!ok) Fail(entry.at, "'" + name + "' is not a routine name (a C++ identifier)");
  return name;
}

uint32_t ReadShortcut(const Entry& entry) {
  std::string_view key = entry.value;
  if (key == "Ins") return 75;
  if (key == "Del") return 76;
  if (key.size() == 6 && key.substr(0, 5) == "Ctrl+" && key[5] >= 'A' && key[5] <= 'Z') {
    return 1 + static_cast<uint32_t>(key[5] - 'A');
  }
  // The F-key groups: F1 is 27, Ctrl+F1 39, Shift+F1 51, Ctrl+Shift+F1 63.
  uint32_t base = 26;
  for (auto [prefix, first] :
       {std::pair<std::string_view, uint32_t>{"Ctrl+Shift+", 62}, {"Shift+", 50}, {"Ctrl+", 38}}) {
    if (key.substr(0, prefix.size()) == prefix) {
      base = first;
      key.remove_prefix(prefix.size());
      break;
    }
  }
  if (base == 26 && (key.empty() || key[0] != 'F')) {
    return static_cast<uint32_t>(ReadNumber(entry, 0, 76));
  }
  int64_t f = 0;
  if (key.size() < 2 || key[0] != 'F' || key[1] == '+' || key[1] == '-' ||
      !ParseNumber(key.substr(1), f) || f < 1 || f > 12) {
    Fail(entry.at, "'" + entry.value +
                       "' is not a shortcut (Ctrl+A..Z, F1..F12, Ctrl+, Shift+ or "
                       "Ctrl+Shift+ F1..F12, Ins, Del, or 0..76)");
  }
  return base + static_cast<uint32_t>(f);
}

}  // namespace formc
