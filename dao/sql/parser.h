// Parses Access SQL as Jet accepts it where DAO takes SQL text: SELECT
// (with joins, grouping, unions, TRANSFORM ... PIVOT and SELECT ... INTO),
// INSERT, UPDATE, DELETE and the data-definition statements, each
// optionally after PARAMETERS declarations. Raises DAO's errors for text it
// cannot read: 3075 in an expression, 3131 in FROM, 3129 for no statement,
// 3142 for text after the end, 3360 for nesting too deep to follow, and so
// on for the other clauses.
#pragma once

#include <string_view>

#include "dao/sql/syntax.h"

namespace dao::sql {

Statement ParseStatement(std::string_view text);

// Parses a condition or value expression on its own (Filter, FindFirst,
// the conditions the Access layer builds). Raises 3075 when the text is
// not one expression.
ExprPtr ParseExpression(std::string_view text);

// Parses a Sort text: expressions each optionally followed by ASC or DESC,
// separated by commas.
std::vector<OrderItem> ParseOrderList(std::string_view text);

// The DAO type code of a type name of PARAMETERS and data definition
// ("Text", "Long", "IEEEDouble", "COUNTER", ...): nothing when it is none.
// `autoIncrement` is set for COUNTER and AUTOINCREMENT.
std::optional<int> TypeOfName(std::string_view name, bool* autoIncrement = nullptr);

}  // namespace dao::sql
