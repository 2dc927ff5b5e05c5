// Running action queries and data definition for Database::Execute and
// QueryDef::Execute: INSERT, UPDATE, DELETE, SELECT ... INTO, CREATE and
// DROP TABLE, CREATE and DROP INDEX, ALTER TABLE. With dbFailOnError a
// statement changes all its rows or none; without it, rows that fail a
// check are left out, as DAO does, and every other row is changed.
#pragma once

#include <vector>

#include "dao/sql/syntax.h"
#include "platform/variant.h"

namespace dao {

class Database;

// Runs `statement` on `database` with the values of its parameters;
// returns the number of rows changed. Raises 3065 for a SELECT, 3061 for
// parameters without values, the SQL errors, and with `failOnError` the
// first row's failure (the file then as before the statement).
long RunActionQuery(Database& database, sql::Statement statement, std::vector<platform::Variant> parameters,
                    bool failOnError);

}  // namespace dao
