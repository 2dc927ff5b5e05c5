#pragma once

// The platform's variant value (what COM calls VARIANT): the value type of
// DAO fields and of the record-set model. It holds one of the kinds below
// and converts between them the way a COM variant change of type does, with
// the current FormatSettings for every text. A conversion that cannot be
// done throws ConversionError (kTypeMismatch or kOverflow); callers map it to
// their own messages.
//
// Conversion rules in short:
//   Empty   converts to 0, false, "", date 0; Null converts to nothing.
//   Boolean true is -1 as a number and "True" as text; numbers and texts
//           are true when not zero / when "True" (any case) or a non-zero number.
//   Numbers to integers round half to even and are range-checked.
//   Text    to numbers: integer syntax (hex included) or a number with the
//           decimal separator and optional thousands grouping; to dates:
//           TryParseDateTime; to GUIDs: the 38-character form.
//   Bytes   and String convert into each other byte for byte.
//   Array   a one-dimensional list of variants indexed from 0 (what a field
//           list yields); it converts to no other kind (its text included),
//           and two arrays are equal when their elements are, pairwise.

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/currency.h"
#include "platform/date_time.h"
#include "platform/decimal.h"
#include "platform/guids.h"

namespace platform {

using Bytes = std::vector<std::uint8_t>;

enum class VariantType : std::uint8_t {
  kEmpty,
  kNull,
  kBoolean,
  kByte,
  kInt16,
  kInt32,
  kInt64,
  kSingle,
  kDouble,
  kCurrency,
  kDate,
  kString,  // UTF-8
  kBytes,   // a byte array
  kGuid,
  kDecimal,
  kArray,   // a one-dimensional array of variants, indexed from 0
};

// "Empty", "Null", "Boolean", ... for messages and test output.
const char* VariantTypeName(VariantType type);

class Variant;

// Test output: the kind and the value, e.g. Double(12.5), String("Käse"),
// Bytes(3 bytes); numbers with a full stop whatever the settings.
void PrintTo(const Variant& value, std::ostream* out);

class Variant {
 public:
  Variant() = default;  // Empty
  Variant(bool value);
  Variant(std::uint8_t value);
  Variant(std::int16_t value);
  Variant(std::int32_t value);
  Variant(std::int64_t value);
  Variant(float value);
  Variant(double value);
  Variant(Currency value);
  Variant(std::string value);
  Variant(std::string_view value);
  Variant(const char* value);
  Variant(Bytes value);
  Variant(Guid value);
  Variant(Decimal value);

  static Variant Null();
  static Variant FromDate(TDateTime value);
  static Variant Array(std::vector<Variant> items);

  VariantType Type() const;
  bool IsEmpty() const { return Type() == VariantType::kEmpty; }
  bool IsNull() const { return Type() == VariantType::kNull; }

  // The held text or bytes without a copy; nullptr for other kinds.
  const std::string* StringIf() const;
  const Bytes* BytesIf() const;
  // The elements of an array; nullptr for other kinds.
  const std::vector<Variant>* ArrayIf() const;

  // Conversions; the held kind returns its value unchanged.
  bool ToBoolean() const;
  std::uint8_t ToByte() const;
  std::int16_t ToInt16() const;
  std::int32_t ToInt32() const;
  std::int64_t ToInt64() const;
  float ToSingle() const;
  double ToDouble() const;
  Currency ToCurrency() const;
  TDateTime ToDate() const;
  // Numbers in the general format (7 digits for Single, 15 for Double),
  // dates by DateTimeToStr, GUIDs in their 38-character form.
  std::string ToText() const;
  Bytes ToBytes() const;
  Guid ToGuid() const;
  Decimal ToDecimal() const;

  // The value converted to `type`. Converting to Empty always succeeds;
  // to Null only from Null.
  Variant ChangeType(VariantType type) const;

  // Same kind and same value (a Double 1 and an Int32 1 differ; NaN differs
  // from itself); arrays element by element.
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  struct NullTag {
    friend bool operator==(NullTag, NullTag) = default;
  };
  struct DateTag {
    TDateTime value;
    friend bool operator==(DateTag, DateTag) = default;
  };
  // Shared and never changed, so copies of an array variant stay cheap.
  struct ArrayTag {
    std::shared_ptr<const std::vector<Variant>> items;
    friend bool operator==(const ArrayTag& a, const ArrayTag& b) { return *a.items == *b.items; }
  };
  // The alternatives in the order of VariantType.
  using Storage = std::variant<std::monostate, NullTag, bool, std::uint8_t, std::int16_t,
                               std::int32_t, std::int64_t, float, double, Currency, DateTag,
                               std::string, Bytes, Guid, Decimal, ArrayTag>;

  explicit Variant(Storage storage) : storage_(std::move(storage)) {}

  Storage storage_;
};

}  // namespace platform
