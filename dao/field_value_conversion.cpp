#include "dao/field_value_conversion.h"

#include "dao/dao_error.h"
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

}  // namespace dao
