#include "dao/sql/sql_error.h"

namespace dao::sql {

void RaiseSql(int number, const std::string& text) { throw jet::JetError(number, text); }

void RaiseMissingOperator(std::string_view expression) {
  RaiseSql(kErrSyntaxInExpression,
           "Syntax error (missing operator) in query expression '" + std::string(expression) + "'.");
}

void RaiseTypeMismatch() { RaiseSql(kErrTypeMismatchInCriteria, "Data type mismatch in criteria expression."); }

}  // namespace dao::sql
