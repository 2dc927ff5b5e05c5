#include "dao/field_value_conversion.h"

#include "dao/dao_error.h"
#include "dao/jet/column_value.h"
#include "dao/jet/jet_error.h"
#include "dao/jet/value_encoder.h"
#include "platform/errors.h"

namespace dao {
namespace {

constexpr int kErrNumericOverflow = 3349;
const char* const kFieldSource = "DAO.Field";

}  // namespace

jet::FieldValue ToFieldValue(const jet::ColumnDefinition& column, const platform::Variant& value) {
  try {
    return jet::ConvertVariant(column, value);
  } catch (const platform::ConversionError& error) {
    if (error.GetKind() == platform::ConversionError::Kind::kOverflow)
      throw DaoError(kErrNumericOverflow, kFieldSource, "Numeric field overflow.");
    throw DaoError(jet::kErrTypeConversion, kFieldSource, "Data type conversion error.");
  }
}

platform::Variant ReadBackValue(const jet::ColumnDefinition& column, const jet::FieldValue& value,
                                const jet::TextCodec& codec) {
  if (value.null) return column.Type() == jet::ColumnType::kBoolean ? platform::Variant(false) : platform::Variant::Null();
  switch (column.Type()) {
    case jet::ColumnType::kBoolean: return platform::Variant(value.integer != 0);
    case jet::ColumnType::kMemo: return platform::Variant(value.text);
    case jet::ColumnType::kOle: return platform::Variant(value.bytes);
    default:
      return jet::DecodeStoredValue(column.Type(), jet::EncodeValue(column, value, codec), column.scale, codec);
  }
}

}  // namespace dao
