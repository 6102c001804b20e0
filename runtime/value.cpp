#include "runtime/value.h"

#include <algorithm>
#include <cinttypes>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/fatal.h"
#include "runtime/heap.h"
#include "runtime/messages.h"

namespace rt {

namespace {

ArgRecord Words(uint32_t low, uint32_t high, uint32_t type) {
  ArgRecord r;
  r.low = low;
  r.high = high;
  r.type = type;
  return r;
}

ArgRecord EightByteValue(uint64_t bits, uint32_t type) {
  return Words(static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), type);
}

uint64_t EightBytesOf(const ArgRecord& r) {
  return static_cast<uint64_t>(r.low) | (static_cast<uint64_t>(r.high) << 32);
}

uint32_t ReadWord(const void* p) {
  uint32_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

}  // namespace

// ---- Making and reading records -------------------------------------------

ArgRecord MakeInt(int32_t value) { return Words(static_cast<uint32_t>(value), 0, TypeCode::Int); }
ArgRecord MakeByte(uint8_t value) { return Words(value, 0, TypeCode::Byte); }
ArgRecord MakeShort(int16_t value) {
  return Words(static_cast<uint16_t>(value), 0, TypeCode::Short);
}
ArgRecord MakeInt64(int64_t value) {
  return EightByteValue(static_cast<uint64_t>(value), TypeCode::Int64);
}
ArgRecord MakeFloat(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return Words(bits, 0, TypeCode::Float);
}
ArgRecord MakeDouble(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return EightByteValue(bits, TypeCode::Double);
}
ArgRecord MakeBool(bool value) { return Words(value ? 1 : 0, 0, TypeCode::Bool); }
ArgRecord MakeDateTime(double oleDate) {
  ArgRecord r = MakeDouble(oleDate);
  r.type = TypeCode::DateTime;
  return r;
}
ArgRecord MakeText(const char* text) {
  ArgRecord r;
  r.type = TypeCode::Text;
  SetAddress(r, reinterpret_cast<uintptr_t>(text));
  return r;
}
ArgRecord MakeByteSetValue(const void* block) {
  ArgRecord r;
  r.type = TypeCode::ByteSet;
  SetAddress(r, reinterpret_cast<uintptr_t>(block));
  return r;
}
ArgRecord MakeArray(uint32_t elementType, void* block) {
  ArgRecord r;
  r.type = elementType | kArrayBit;
  SetAddress(r, reinterpret_cast<uintptr_t>(block));
  return r;
}
ArgRecord MakeUnitRef(uint32_t formId, uint32_t unitId, uint32_t unitType) {
  return Words(formId, unitId, unitType);
}

bool IsAddressType(uint32_t type) {
  return type == TypeCode::Text || type == TypeCode::ByteSet || type == TypeCode::SubPointer ||
         IsArrayType(type);
}

void AppendEventWords(const EventArg& arg, bool twoWords, std::vector<uintptr_t>& words) {
  if (twoWords) {
    words.push_back(arg.low);
    words.push_back(arg.high);
  } else if (IsAddressType(arg.type)) {
    words.push_back(static_cast<uintptr_t>(arg.low | (static_cast<uint64_t>(arg.high) << 32)));
  } else if (arg.type == TypeCode::Byte && !(arg.flags & 1)) {
    words.push_back(arg.low & 0xFF);
  } else if (arg.type == TypeCode::Short && !(arg.flags & 1)) {
    words.push_back(static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(arg.low))));
  } else {
    words.push_back(arg.low);
  }
}

UnitRef UnitRefOf(const ArgRecord& r) { return {r.low, r.high}; }

uint32_t WordOf(const ArgRecord& r) { return r.low; }

const ArgRecord* Args::Given(int32_t index) const {
  return Has(index) && !IsOmitted(records_[index]) ? &records_[index] : nullptr;
}

const char* Args::Text(int32_t index) const {
  return Has(index) ? TextOf(records_[index]) : nullptr;
}

uint32_t Args::Word(int32_t index) const { return Has(index) ? records_[index].low : 0; }

int32_t Args::Int(int32_t index, int32_t otherwise) const {
  return OptionalInt(index).value_or(otherwise);
}

std::optional<int32_t> Args::OptionalInt(int32_t index) const {
  const ArgRecord* r = Given(index);
  if (r == nullptr) return std::nullopt;
  return ValueToInt(*r);
}

int32_t* Args::Variable(int32_t index) const {
  const ArgRecord* r = Given(index);
  return r ? reinterpret_cast<int32_t*>(AddressOf(*r)) : nullptr;
}

UnitRef Args::Unit(int32_t index) const {
  return Has(index) ? UnitRefOf(records_[index]) : UnitRef{};
}

void SetAddress(ArgRecord& r, uintptr_t address) {
  uint64_t wide = address;
  r.low = static_cast<uint32_t>(wide);
  r.high = static_cast<uint32_t>(wide >> 32);
}

uintptr_t AddressOf(const ArgRecord& r) { return static_cast<uintptr_t>(EightBytesOf(r)); }

const char* TextOf(const ArgRecord& r) {
  return r.type == TypeCode::Text ? reinterpret_cast<const char*>(AddressOf(r)) : nullptr;
}
const void* ByteSetOf(const ArgRecord& r) {
  return r.type == TypeCode::ByteSet ? reinterpret_cast<const void*>(AddressOf(r)) : nullptr;
}
void* ArrayOf(const ArgRecord& r) {
  return IsArrayType(r.type) ? reinterpret_cast<void*>(AddressOf(r)) : nullptr;
}
int64_t Int64Of(const ArgRecord& r) { return static_cast<int64_t>(EightBytesOf(r)); }
double DoubleOf(const ArgRecord& r) {
  uint64_t bits = EightBytesOf(r);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}
float FloatOf(const ArgRecord& r) {
  float f;
  std::memcpy(&f, &r.low, sizeof f);
  return f;
}

// ---- Byte-sets and arrays --------------------------------------------------

ByteSpan ByteSetBytes(const void* block) {
  ByteSpan span;
  if (block == nullptr) return span;
  const auto* bytes = static_cast<const uint8_t*>(block);
  span.size = ReadWord(bytes + 4);
  span.data = span.size ? bytes + 8 : nullptr;
  return span;
}

uint64_t ArrayElementCount(const void* block) {
  if (block == nullptr) return 0;
  const auto* words = static_cast<const uint8_t*>(block);
  uint32_t dims = ReadWord(words);
  uint64_t count = dims ? 1 : 0;
  for (uint32_t i = 0; i < dims; ++i) {
    uint64_t size = ReadWord(words + 4 + 4 * i);
    count = size == 0 ? 0 : (count > UINT64_MAX / size ? UINT64_MAX : count * size);
  }
  return count;
}

const void* ArrayElements(const void* block) {
  const auto* bytes = static_cast<const uint8_t*>(block);
  return bytes + 4 + 4 * static_cast<size_t>(ReadWord(bytes));
}
void* ArrayElements(void* block) {
  return const_cast<void*>(ArrayElements(static_cast<const void*>(block)));
}

size_t ElementSize(uint32_t elementType) {
  switch (elementType) {
    case TypeCode::Byte: return 1;
    case TypeCode::Short: return 2;
    case TypeCode::Int:
    case TypeCode::Float:
    case TypeCode::Bool: return 4;
    case TypeCode::Int64:
    case TypeCode::Double:
    case TypeCode::DateTime:
    case TypeCode::EightBytes: return 8;
    case TypeCode::Text:
    case TypeCode::ByteSet:
    case TypeCode::SubPointer: return sizeof(void*);
    default: return 0;
  }
}

// ---- Value helpers ---------------------------------------------------------

char* CopyText(const char* text) {
  if (text == nullptr || *text == '\0') return nullptr;
  return CopyCountedText(text, static_cast<int64_t>(std::strlen(text)));
}

char* CopyCountedText(const char* text, int64_t length) {
  if (length < 1 || text == nullptr) return nullptr;
  auto* copy = static_cast<char*>(Allocate(length + 1));
  std::memcpy(copy, text, static_cast<size_t>(length));
  copy[length] = '\0';
  return copy;
}

void* MakeByteSet(const void* bytes, uint32_t length) {
  if (length == 0 || bytes == nullptr) return nullptr;
  auto* block = static_cast<uint8_t*>(Allocate(static_cast<int64_t>(length) + 8));
  const uint32_t header[2] = {1, length};
  std::memcpy(block, header, sizeof header);
  std::memcpy(block + 8, bytes, length);
  return block;
}

int32_t NumericSize(uint32_t type) {
  switch (type) {
    case TypeCode::Byte: return 1;
    case TypeCode::Short: return 2;
    case TypeCode::Int:
    case TypeCode::Float: return 4;
    case TypeCode::Int64:
    case TypeCode::Double: return 8;
    default: return 0;
  }
}

namespace {

// Truncation toward zero as the processor does it: values that do not fit
// (and NaN) give the "integer indefinite" 0x80000000.
int32_t TruncateToInt(double d) {
  if (!(d > -2147483649.0 && d < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(d);
}

}  // namespace

int32_t ValueToInt(const ArgRecord& value) {
  switch (value.type) {
    case TypeCode::Byte: return static_cast<uint8_t>(value.low);
    case TypeCode::Short: return static_cast<int16_t>(value.low);
    case TypeCode::Int:
    case TypeCode::Int64: return static_cast<int32_t>(value.low);
    case TypeCode::Float: return TruncateToInt(FloatOf(value));
    case TypeCode::Double: return TruncateToInt(DoubleOf(value));
    default: FatalError(msg::kNotNumeric, 0);
  }
}

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[128];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return n < 0 ? std::string() : std::string(buffer, std::min<size_t>(n, sizeof buffer - 1));
}

std::string DateTimeText(double oleDate) {
  CivilTime t = OleDateToCivil(oleDate);
  std::string text = Format("%d年%d月%d日", t.year, t.month, t.day);
  if (t.second != 0) {
    text += Format("%d时%d分%d秒", t.hour, t.minute, t.second);
  } else if (t.minute != 0) {
    text += Format("%d时%d分", t.hour, t.minute);
  } else if (t.hour != 0) {
    text += Format("%d时", t.hour);
  }
  return text;
}

// %.6g keeps the six decimal digits a single always holds exactly.
std::string FloatText(float f) { return Format("%.6g", static_cast<double>(f)); }

}  // namespace

char* ValueToText(const ArgRecord& value) {
  std::string text;
  switch (value.type) {
    case TypeCode::Byte: text = Format("%u", static_cast<unsigned>(value.low & 0xFF)); break;
    case TypeCode::Short: text = Format("%d", static_cast<int16_t>(value.low)); break;
    case TypeCode::Int: text = Format("%d", static_cast<int32_t>(value.low)); break;
    case TypeCode::Int64: text = Format("%" PRId64, Int64Of(value)); break;
    case TypeCode::Float: text = FloatText(FloatOf(value)); break;
    case TypeCode::Double: text = Format("%.13g", DoubleOf(value)); break;
    case TypeCode::Bool: text = value.low ? "真" : "假"; break;
    case TypeCode::DateTime: text = DateTimeText(DoubleOf(value)); break;
    case TypeCode::Text: return CopyText(TextOf(value));
    default: return nullptr;
  }
  return CopyText(text.c_str());
}

// ---- Freeing ---------------------------------------------------------------

void FreeArray(void* block, uint32_t elementType) {
  if (block == nullptr) return;
  if (elementType == TypeCode::Text || elementType == TypeCode::ByteSet) {
    auto* element = static_cast<uint8_t*>(ArrayElements(block));
    for (uint64_t i = 0, n = ArrayElementCount(block); i < n; ++i) {
      void* owned;
      std::memcpy(&owned, element + i * sizeof(void*), sizeof owned);
      Free(owned);
    }
  }
  Free(block);
}

void FreeValue(uintptr_t address, uint32_t type) {
  void* block = reinterpret_cast<void*>(address);
  if (IsArrayType(type)) {
    FreeArray(block, ElementType(type));
  } else if (type == TypeCode::Text || type == TypeCode::ByteSet) {
    Free(block);
  }
}

void MakeArrayPrivate(int32_t elementSize, void** arrayBlock) {
  if (arrayBlock == nullptr || !IsConstant(*arrayBlock)) return;
  // The copy never reaches past the constant data the block lies in.
  const uint64_t available = ConstantBytesFrom(*arrayBlock);
  uint64_t size = available;
  if (available >= 4) {
    const uint64_t header = 4 + 4ull * ReadWord(*arrayBlock);
    const uint64_t width = elementSize > 0 ? static_cast<uint64_t>(elementSize) : 0;
    if (header <= available) {
      const uint64_t count = ArrayElementCount(*arrayBlock);
      if (width == 0 || count <= (available - header) / width) size = header + count * width;
    }
  }
  void* copy = Allocate(static_cast<int64_t>(size));
  std::memcpy(copy, *arrayBlock, static_cast<size_t>(size));
  *arrayBlock = copy;
}

// ---- Dates -----------------------------------------------------------------

namespace {

// Civil date from days since 1 January 1970 (proleptic Gregorian calendar).
void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

// An OLE date's whole part counts days from 30 December 1899 (toward zero),
// and its fraction, taken without sign, is the time of day.
CivilTime OleDateToCivil(double oleDate) {
  if (std::isnan(oleDate) || oleDate < kMinOleDate) oleDate = kMinOleDate;
  if (oleDate > kMaxOleDate) oleDate = kMaxOleDate;
  int64_t days = static_cast<int64_t>(oleDate);
  double fraction = std::fabs(oleDate - static_cast<double>(days));
  int64_t seconds = std::llround(fraction * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    days += 1;
  }
  CivilTime t{};
  CivilFromDays(days - 25569, t.year, t.month, t.day);
  t.hour = static_cast<int>(seconds / 3600);
  t.minute = static_cast<int>(seconds / 60 % 60);
  t.second = static_cast<int>(seconds % 60);
  return t;
}

}  // namespace rt
