#pragma once

// The conversion DAO applies when a program assigns a variant to a field:
// any kind of value becomes the field's type (texts read with the current
// number and date formats, so "12,5" is 12.5 under German settings).

#include "dao/jet/field_value.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"
#include "platform/variant.h"

namespace dao {

// The value `value` stores in `column`. Null and Empty store Null. Raises
// DaoError 3421 ("Data type conversion error.") for a value without meaning
// in the column's type and 3349 ("Numeric field overflow.") for one outside
// its range.
jet::FieldValue ToFieldValue(const jet::ColumnDefinition& column, const platform::Variant& value);

// What `value`, given to `column` and not yet stored, reads as: the value
// its stored form decodes to (a Single keeps its precision, text its
// characters). Raises JetError 3163 when it does not fit the column.
platform::Variant ReadBackValue(const jet::ColumnDefinition& column, const jet::FieldValue& value,
                                const jet::TextCodec& codec);

}  // namespace dao
