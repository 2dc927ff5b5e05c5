// The DAO type and size of a query's output column, worked out from its
// expression: a column keeps its table's type, an expression gets the type
// its operators and functions give.
#pragma once

#include <vector>

#include "dao/sql/binder.h"
#include "dao/sql/sources.h"
#include "dao/sql/syntax.h"

namespace dao::sql {

// `expr` must be bound against `tables`; `parameters` are the binder's.
SourceColumn TypeOfExpression(const Expr& expr, const std::vector<BoundTable>& tables,
                              const std::vector<ParameterDecl>& parameters);

}  // namespace dao::sql
