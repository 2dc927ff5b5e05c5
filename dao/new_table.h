// What TableDefs.Append and Indexes.Append hand to the engine: DAO's
// descriptions of a new table (fields, indexes, properties) or of a new
// index, checked as DAO checks them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "dao/database_state.h"
#include "dao/field.h"
#include "dao/index.h"
#include "dao/jet/layout.h"
#include "dao/jet/table_creator.h"

namespace dao {

struct NewTable {
  std::vector<jet::NewColumn> columns;
  std::vector<jet::NewIndex> indexes;
  // Column properties to store once the table exists: column name and
  // property (Required, AllowZeroLength, DefaultValue, appended ones).
  std::vector<std::pair<std::string, jet::StoredProperty>> properties;
};

// The table described by `fields` and `indexes` in a database of `layout`.
// Raises DaoError 3264 without fields, 3259 for a field without a type or
// with a size its type cannot have, 3001 for attributes its type cannot
// have, 3190 for more than 255 fields, 3191 for two fields of one name,
// and Index's errors (NewIndexOf) for the indexes.
NewTable DescribeNewTable(const FieldCollection& fields, const IndexCollection& indexes, const jet::Layout& layout);

// Creates the table `name` as `table` describes it, with its column
// properties, in one change of `database`; returns its id (tdef page).
// Raises the engine's errors (3010 for a name in use, ...); nothing is
// created then.
std::uint32_t CreateStoredTable(DatabaseState& database, const std::string& name, const NewTable& table);

// The engine's description of `index` over a table whose columns are
// `columnNames` (in column-number order, so a column's number is its
// position; pass the stored numbers through `columnNumbers` when they
// differ). Raises DaoError 3264 for an index without fields and 3265 when
// a field is not a column of the table.
jet::NewIndex NewIndexOf(const Index& index, const std::vector<std::string>& columnNames,
                         const std::vector<std::uint16_t>& columnNumbers = {});

}  // namespace dao
