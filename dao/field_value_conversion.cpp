#include "dao/field_value_conversion.h"

#include "dao/dao_error.h"
#include "dao/jet/bytes.h"
#include "dao/jet/format.h"
#include "dao/jet/jet_error.h"
#include "platform/errors.h"

namespace dao {
namespace {

constexpr int kErrNumericOverflow = 3349;
const char* const kFieldSource = "DAO.Field";

[[noreturn]] void ThrowOverflow() { throw DaoError(kErrNumericOverflow, kFieldSource, "Numeric field overflow."); }

// Decimal columns keep a fixed scale: the value is rescaled (rounding half
// away from zero) and must keep within the column's precision.
std::vector<std::uint8_t> StoredDecimal(const jet::ColumnDefinition& column, platform::Decimal value) {
  unsigned __int128 magnitude = (static_cast<unsigned __int128>(value.high) << 64) | value.low;
  int scale = value.scale;
  for (; scale < column.scale; ++scale) magnitude *= 10;
  for (; scale > column.scale; --scale) magnitude = (magnitude + 5) / 10;
  unsigned __int128 limit = 1;
  for (int digit = 0; digit < std::max<int>(column.precision, 1); ++digit) limit *= 10;
  if (magnitude >= limit) ThrowOverflow();
  std::vector<std::uint8_t> stored(jet::kDecimalSize, 0);
  stored[0] = value.negative && magnitude != 0 ? jet::kDecimalNegative : 0;
  // Four little-endian words, most significant first.
  for (int word = 0; word < 4; ++word)
    jet::StoreU32(&stored[1 + 4 * word], static_cast<std::uint32_t>(magnitude >> (32 * (3 - word))));
  return stored;
}

jet::FieldValue Convert(const jet::ColumnDefinition& column, const platform::Variant& value) {
  using jet::ColumnType;
  using jet::FieldValue;
  switch (column.Type()) {
    case ColumnType::kBoolean: return FieldValue::Integer(value.ToBoolean() ? 1 : 0);
    case ColumnType::kByte: return FieldValue::Integer(value.ToByte());
    case ColumnType::kInteger: return FieldValue::Integer(value.ToInt16());
    case ColumnType::kLong: return FieldValue::Integer(value.ToInt32());
    case ColumnType::kCurrency: return FieldValue::Integer(value.ToCurrency().scaled);
    case ColumnType::kSingle: return FieldValue::Real(value.ToSingle());
    case ColumnType::kDouble: return FieldValue::Real(value.ToDouble());
    case ColumnType::kDateTime: return FieldValue::Real(value.ToDate());
    case ColumnType::kText:
    case ColumnType::kMemo: return FieldValue::Text(value.ToText());
    case ColumnType::kGuid: {
      const platform::Guid guid = value.ToGuid();
      return FieldValue::Binary({guid.bytes.begin(), guid.bytes.end()});
    }
    case ColumnType::kDecimal: return FieldValue::Binary(StoredDecimal(column, value.ToDecimal()));
    default: return FieldValue::Binary(value.ToBytes());
  }
}

}  // namespace

jet::FieldValue ToFieldValue(const jet::ColumnDefinition& column, const platform::Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return jet::FieldValue::Null();
  try {
    return Convert(column, value);
  } catch (const platform::ConversionError& error) {
    if (error.GetKind() == platform::ConversionError::Kind::kOverflow) ThrowOverflow();
    throw DaoError(jet::kErrTypeConversion, kFieldSource, "Data type conversion error.");
  }
}

}  // namespace dao
