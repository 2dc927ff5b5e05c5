// Adding an index to a stored table and deleting one, as Indexes.Append
// and Indexes.Delete of a stored TableDef do.
#pragma once

#include <string_view>

#include "dao/database_state.h"
#include "dao/index.h"

namespace dao {

// Builds `index` over the rows of `table`. Raises DaoError 3022 when a
// unique index meets two rows with one key, 3058 when a required index
// meets a Null; the table is then as it was.
void AppendStoredIndex(TableSource& table, const Index& index);

// Deletes the index `name` of `table`. Raises DaoError 3303 when it takes
// part in a relationship.
void DeleteStoredIndex(TableSource& table, std::string_view name);

}  // namespace dao
