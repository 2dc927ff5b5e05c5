// A table of every field type the Access layer searches by, filled with
// rows drawn from small pools (so that keys repeat, hold LIKE's pattern
// characters and quotes, and are Null), kept alongside as plain values: the
// model the searches are checked against by scanning.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "access/access_database.h"
#include "access/access_table.h"
#include "platform/variant.h"
#include "recordset/field_type.h"

namespace accessdb::testing {

struct TypedColumn {
  std::string name;
  recordset::TFieldType type;  // as the table describes the column
  bool guid = false;
  std::vector<platform::Variant> pool;  // the values rows take
};

// The columns of table "Typen" after "Nr" (a Long numbering the rows from 1
// in storage order): text, memo, the integers, boolean, single, double,
// currency, date, time, date-time and GUID.
const std::vector<TypedColumn>& TypedColumns();

// Creates "Typen" in `database` with `rows` rows (pseudo-random from
// `seed`) and answers their values: row i holds Nr i + 1, then one value per
// column of TypedColumns().
std::vector<std::vector<platform::Variant>> CreateTypedTable(TAccessDatabase& database, int rows, unsigned seed);

// Whether a stored value matches a key as Access SQL compares: texts
// without regard to case (by their start for a partial key), numbers by
// value, dates exactly, Null only with Null. Written apart from the code
// under test on purpose.
bool ModelMatches(recordset::TFieldType type, const platform::Variant& stored, const platform::Variant& key,
                  bool partial);

// The Nr of the table's active row.
int Nr(const recordset::TDataSet& table);

}  // namespace accessdb::testing
