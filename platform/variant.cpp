#include "platform/variant.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <ostream>

#include "platform/errors.h"
#include "platform/number_text.h"
#include "platform/text_case.h"

namespace platform {
namespace {

constexpr const char* kTypeNames[] = {"Empty",  "Null",   "Boolean",  "Byte", "Int16",
                                      "Int32",  "Int64",  "Single",   "Double", "Currency",
                                      "Date",   "String", "Bytes",    "Guid", "Decimal",
                                      "Array"};

[[noreturn]] void ThrowMismatch(VariantType from, VariantType to) {
  throw ConversionError(ConversionError::Kind::kTypeMismatch,
                        std::string("Ungültige Variant-Typumwandlung von ") +
                            VariantTypeName(from) + " nach " + VariantTypeName(to));
}

[[noreturn]] void ThrowOverflow(VariantType from, VariantType to) {
  throw ConversionError(ConversionError::Kind::kOverflow,
                        std::string("Überlauf bei Variant-Typumwandlung von ") +
                            VariantTypeName(from) + " nach " + VariantTypeName(to));
}

// Exact decimal texts for conversions between the exact kinds.
FormatSettings PlainNumberSettings() {
  FormatSettings settings;
  settings.decimalSeparator = ".";
  settings.thousandsSeparator.clear();
  return settings;
}

// Rounds a currency amount to an integer, half to even.
std::int64_t RoundCurrency(Currency value) {
  std::int64_t quotient = value.scaled / Currency::kScale;
  const std::int64_t remainder = value.scaled % Currency::kScale;
  const std::int64_t twice = 2 * (remainder < 0 ? -remainder : remainder);
  if (twice > Currency::kScale || (twice == Currency::kScale && quotient % 2 != 0)) {
    quotient += remainder < 0 ? -1 : 1;
  }
  return quotient;
}

bool IsTrueText(std::string_view text) { return AnsiSameText(text, "True"); }
bool IsFalseText(std::string_view text) { return AnsiSameText(text, "False"); }

}  // namespace

const char* VariantTypeName(VariantType type) { return kTypeNames[static_cast<int>(type)]; }

Variant::Variant(bool value) : storage_(value) {}
Variant::Variant(std::uint8_t value) : storage_(value) {}
Variant::Variant(std::int16_t value) : storage_(value) {}
Variant::Variant(std::int32_t value) : storage_(value) {}
Variant::Variant(std::int64_t value) : storage_(value) {}
Variant::Variant(float value) : storage_(value) {}
Variant::Variant(double value) : storage_(value) {}
Variant::Variant(Currency value) : storage_(value) {}
Variant::Variant(std::string value) : storage_(std::move(value)) {}
Variant::Variant(std::string_view value) : storage_(std::string(value)) {}
Variant::Variant(const char* value) : storage_(std::string(value)) {}
Variant::Variant(Bytes value) : storage_(std::move(value)) {}
Variant::Variant(Guid value) : storage_(value) {}
Variant::Variant(Decimal value) : storage_(value) {}

Variant Variant::Null() { return Variant(Storage(NullTag{})); }
Variant Variant::FromDate(TDateTime value) { return Variant(Storage(DateTag{value})); }
Variant Variant::Array(std::vector<Variant> items) {
  return Variant(Storage(ArrayTag{std::make_shared<const std::vector<Variant>>(std::move(items))}));
}

VariantType Variant::Type() const { return static_cast<VariantType>(storage_.index()); }

const std::string* Variant::StringIf() const { return std::get_if<std::string>(&storage_); }
const Bytes* Variant::BytesIf() const { return std::get_if<Bytes>(&storage_); }
const std::vector<Variant>* Variant::ArrayIf() const {
  const auto* array = std::get_if<ArrayTag>(&storage_);
  return array != nullptr ? array->items.get() : nullptr;
}

bool Variant::ToBoolean() const {
  switch (Type()) {
    case VariantType::kEmpty: return false;
    case VariantType::kBoolean: return std::get<bool>(storage_);
    case VariantType::kString: {
      const std::string& text = std::get<std::string>(storage_);
      if (IsTrueText(text)) return true;
      if (IsFalseText(text)) return false;
      return ToDouble() != 0;
    }
    case VariantType::kCurrency: return std::get<Currency>(storage_).scaled != 0;
    case VariantType::kDecimal: return !std::get<Decimal>(storage_).IsZero();
    case VariantType::kNull:
    case VariantType::kBytes:
    case VariantType::kGuid:
    case VariantType::kArray: ThrowMismatch(Type(), VariantType::kBoolean);
    default: return ToDouble() != 0;
  }
}

template <class Int>
static Int CheckedInteger(double rounded, VariantType from, VariantType to) {
  // The bounds are exact doubles: -2^(n-1) and 2^(n-1) (or 2^8 for Byte).
  const double low = static_cast<double>(std::numeric_limits<Int>::min());
  const double high = static_cast<double>(std::numeric_limits<Int>::max()) + 1.0;
  if (!(rounded >= low && rounded < high)) ThrowOverflow(from, to);
  return static_cast<Int>(rounded);
}

template <class Int>
static Int CheckedInteger(std::int64_t value, VariantType from, VariantType to) {
  if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max()) {
    ThrowOverflow(from, to);
  }
  return static_cast<Int>(value);
}

// Shared by the integer conversions: the value as an integer of type Int,
// rounding half to even and checking the range.
template <class Int>
static Int ToInteger(const Variant& variant, VariantType target) {
  const VariantType from = variant.Type();
  switch (from) {
    case VariantType::kEmpty: return 0;
    case VariantType::kBoolean:
      // True is all bits set: -1, or 255 for the unsigned byte.
      if (!variant.ToBoolean()) return 0;
      return std::numeric_limits<Int>::is_signed ? Int(-1) : std::numeric_limits<Int>::max();
    case VariantType::kByte:
    case VariantType::kInt16:
    case VariantType::kInt32:
    case VariantType::kInt64: return CheckedInteger<Int>(variant.ToInt64(), from, target);
    case VariantType::kCurrency:
      return CheckedInteger<Int>(RoundCurrency(variant.ToCurrency()), from, target);
    case VariantType::kDecimal: {
      const auto value = DecimalToInt64(variant.ToDecimal());
      if (!value) ThrowOverflow(from, target);
      return CheckedInteger<Int>(*value, from, target);
    }
    case VariantType::kString: {
      const std::string& text = *variant.StringIf();
      if (const auto value = TryParseInt64(text)) return CheckedInteger<Int>(*value, from, target);
      const auto number = TryParseGroupedFloat(text);
      if (!number) ThrowMismatch(from, target);
      return CheckedInteger<Int>(std::nearbyint(*number), from, target);
    }
    case VariantType::kSingle:
    case VariantType::kDouble:
    case VariantType::kDate: return CheckedInteger<Int>(std::nearbyint(variant.ToDouble()), from, target);
    default: ThrowMismatch(from, target);
  }
}

std::uint8_t Variant::ToByte() const {
  if (const auto* value = std::get_if<std::uint8_t>(&storage_)) return *value;
  return ToInteger<std::uint8_t>(*this, VariantType::kByte);
}

std::int16_t Variant::ToInt16() const {
  if (const auto* value = std::get_if<std::int16_t>(&storage_)) return *value;
  return ToInteger<std::int16_t>(*this, VariantType::kInt16);
}

std::int32_t Variant::ToInt32() const {
  if (const auto* value = std::get_if<std::int32_t>(&storage_)) return *value;
  return ToInteger<std::int32_t>(*this, VariantType::kInt32);
}

std::int64_t Variant::ToInt64() const {
  switch (Type()) {
    case VariantType::kByte: return std::get<std::uint8_t>(storage_);
    case VariantType::kInt16: return std::get<std::int16_t>(storage_);
    case VariantType::kInt32: return std::get<std::int32_t>(storage_);
    case VariantType::kInt64: return std::get<std::int64_t>(storage_);
    default: return ToInteger<std::int64_t>(*this, VariantType::kInt64);
  }
}

float Variant::ToSingle() const {
  if (const auto* value = std::get_if<float>(&storage_)) return *value;
  const double value = ToDouble();
  if (std::isfinite(value) && std::fabs(value) > FLT_MAX) ThrowOverflow(Type(), VariantType::kSingle);
  return static_cast<float>(value);
}

double Variant::ToDouble() const {
  switch (Type()) {
    case VariantType::kEmpty: return 0;
    case VariantType::kBoolean: return std::get<bool>(storage_) ? -1 : 0;
    case VariantType::kByte:
    case VariantType::kInt16:
    case VariantType::kInt32:
    case VariantType::kInt64: return static_cast<double>(ToInt64());
    case VariantType::kSingle: return std::get<float>(storage_);
    case VariantType::kDouble: return std::get<double>(storage_);
    case VariantType::kCurrency: return CurrencyToDouble(std::get<Currency>(storage_));
    case VariantType::kDate: return std::get<DateTag>(storage_).value;
    case VariantType::kDecimal: return DecimalToDouble(std::get<Decimal>(storage_));
    case VariantType::kString:
      if (const auto value = TryParseGroupedFloat(std::get<std::string>(storage_))) return *value;
      [[fallthrough]];
    default: ThrowMismatch(Type(), VariantType::kDouble);
  }
}

Currency Variant::ToCurrency() const {
  switch (Type()) {
    case VariantType::kCurrency: return std::get<Currency>(storage_);
    case VariantType::kString: {
      if (const auto value = TryParseCurrency(std::get<std::string>(storage_))) return *value;
      // Distinguish a number too large from a text that is no number.
      if (TryParseGroupedFloat(std::get<std::string>(storage_))) {
        ThrowOverflow(Type(), VariantType::kCurrency);
      }
      ThrowMismatch(Type(), VariantType::kCurrency);
    }
    case VariantType::kDecimal: {
      const FormatSettings plain = PlainNumberSettings();
      const auto value = TryParseCurrency(DecimalToText(std::get<Decimal>(storage_), plain), plain);
      if (!value) ThrowOverflow(Type(), VariantType::kCurrency);
      return *value;
    }
    case VariantType::kByte:
    case VariantType::kInt16:
    case VariantType::kInt32:
    case VariantType::kInt64: {
      const std::int64_t value = ToInt64();
      constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / Currency::kScale;
      if (value > kLimit || value < -kLimit) ThrowOverflow(Type(), VariantType::kCurrency);
      return Currency{value * Currency::kScale};
    }
    default: {
      const auto value = CurrencyFromDouble(ToDouble());
      if (!value) ThrowOverflow(Type(), VariantType::kCurrency);
      return *value;
    }
  }
}

TDateTime Variant::ToDate() const {
  switch (Type()) {
    case VariantType::kDate: return std::get<DateTag>(storage_).value;
    case VariantType::kString:
      if (const auto value = TryParseDateTime(std::get<std::string>(storage_))) return *value;
      ThrowMismatch(Type(), VariantType::kDate);
    default: {
      const double value = ToDouble();
      if (!IsValidDateTime(value)) ThrowOverflow(Type(), VariantType::kDate);
      return value;
    }
  }
}

std::string Variant::ToText() const {
  const FormatSettings& settings = CurrentFormatSettings();
  switch (Type()) {
    case VariantType::kEmpty: return "";
    case VariantType::kBoolean: return std::get<bool>(storage_) ? "True" : "False";
    case VariantType::kByte:
    case VariantType::kInt16:
    case VariantType::kInt32:
    case VariantType::kInt64: return std::to_string(ToInt64());
    case VariantType::kSingle: return FloatToStrGeneral(std::get<float>(storage_), 7, settings);
    case VariantType::kDouble: return FloatToStrGeneral(std::get<double>(storage_), 15, settings);
    case VariantType::kCurrency: return CurrencyToText(std::get<Currency>(storage_), settings);
    case VariantType::kDate: return DateTimeToStr(std::get<DateTag>(storage_).value, settings);
    case VariantType::kString: return std::get<std::string>(storage_);
    case VariantType::kBytes: {
      const Bytes& bytes = std::get<Bytes>(storage_);
      return std::string(bytes.begin(), bytes.end());
    }
    case VariantType::kGuid: return GuidToString(std::get<Guid>(storage_));
    case VariantType::kDecimal: return DecimalToText(std::get<Decimal>(storage_), settings);
    default: ThrowMismatch(Type(), VariantType::kString);
  }
}

Bytes Variant::ToBytes() const {
  if (const auto* bytes = std::get_if<Bytes>(&storage_)) return *bytes;
  if (const auto* text = std::get_if<std::string>(&storage_)) return Bytes(text->begin(), text->end());
  ThrowMismatch(Type(), VariantType::kBytes);
}

Guid Variant::ToGuid() const {
  if (const auto* guid = std::get_if<Guid>(&storage_)) return *guid;
  if (const auto* text = std::get_if<std::string>(&storage_)) return ParseGuid(*text);
  ThrowMismatch(Type(), VariantType::kGuid);
}

Decimal Variant::ToDecimal() const {
  switch (Type()) {
    case VariantType::kDecimal: return std::get<Decimal>(storage_);
    case VariantType::kEmpty: return Decimal{};
    case VariantType::kBoolean:
    case VariantType::kByte:
    case VariantType::kInt16:
    case VariantType::kInt32:
    case VariantType::kInt64: return DecimalFromInt64(ToInt64());
    case VariantType::kCurrency: {
      const FormatSettings plain = PlainNumberSettings();
      return *TryParseDecimal(CurrencyToText(std::get<Currency>(storage_), plain), plain);
    }
    case VariantType::kString:
      if (const auto value = TryParseDecimal(std::get<std::string>(storage_))) return *value;
      if (TryParseGroupedFloat(std::get<std::string>(storage_))) {
        ThrowOverflow(Type(), VariantType::kDecimal);
      }
      ThrowMismatch(Type(), VariantType::kDecimal);
    case VariantType::kSingle:
    case VariantType::kDouble:
    case VariantType::kDate: {
      const auto value = DecimalFromDouble(ToDouble());
      if (!value) ThrowOverflow(Type(), VariantType::kDecimal);
      return *value;
    }
    default: ThrowMismatch(Type(), VariantType::kDecimal);
  }
}

Variant Variant::ChangeType(VariantType type) const {
  if (type == Type()) return *this;
  switch (type) {
    case VariantType::kEmpty: return Variant();
    case VariantType::kNull: ThrowMismatch(Type(), type);
    case VariantType::kBoolean: return Variant(ToBoolean());
    case VariantType::kByte: return Variant(ToByte());
    case VariantType::kInt16: return Variant(ToInt16());
    case VariantType::kInt32: return Variant(ToInt32());
    case VariantType::kInt64: return Variant(ToInt64());
    case VariantType::kSingle: return Variant(ToSingle());
    case VariantType::kDouble: return Variant(ToDouble());
    case VariantType::kCurrency: return Variant(ToCurrency());
    case VariantType::kDate: return FromDate(ToDate());
    case VariantType::kString: return Variant(ToText());
    case VariantType::kBytes: return Variant(ToBytes());
    case VariantType::kGuid: return Variant(ToGuid());
    case VariantType::kDecimal: return Variant(ToDecimal());
    case VariantType::kArray: break;
  }
  ThrowMismatch(Type(), type);
}

bool operator==(const Variant& a, const Variant& b) { return a.storage_ == b.storage_; }

void PrintTo(const Variant& value, std::ostream* out) {
  *out << VariantTypeName(value.Type());
  switch (value.Type()) {
    case VariantType::kEmpty:
    case VariantType::kNull:
      return;
    case VariantType::kString:
      *out << "(\"" << *value.StringIf() << "\")";
      return;
    case VariantType::kBytes:
      *out << "(" << value.BytesIf()->size() << " bytes)";
      return;
    case VariantType::kArray: {
      const char* separator = "";
      *out << "(";
      for (const Variant& item : *value.ArrayIf()) {
        *out << separator;
        PrintTo(item, out);
        separator = ", ";
      }
      *out << ")";
      return;
    }
    default: {
      const ScopedFormatSettings plain(PlainNumberSettings());
      *out << "(" << value.ToText() << ")";
    }
  }
}

}  // namespace platform
