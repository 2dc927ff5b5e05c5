#pragma once

// Whether a value DAO read from a row matches a search key the way the
// key conditions (key_conditions.h) match it in Access SQL: texts compare
// without regard to case (and, for a partial key, by their start), numbers
// by value, dates to the second, Null only with Null. LocateRow checks the
// rows an index search lands on with it, and walks with it where DAO
// cannot search.

#include "platform/variant.h"
#include "recordset/dataset.h"
#include "recordset/field_type.h"

namespace accessdb {

bool KeyMatches(recordset::TFieldType type, bool guid, const platform::Variant& rowValue,
                const platform::Variant& key, recordset::TLocateOptions options);

}  // namespace accessdb
