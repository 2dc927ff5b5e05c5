// The errors of Access SQL as DAO reports them. They are engine errors
// (jet::JetError), so the DAO objects pass them on with DAO's number and
// text like any other failure of the engine.
#pragma once

#include <string>
#include <string_view>

#include "dao/jet/jet_error.h"

namespace dao::sql {

enum SqlErrorNumber : int {
  kErrOverflow = 6,
  kErrOrderByConflictsWithDistinct = 3093,
  kErrUnionColumnCount = 3307,
  kErrDivisionByZero = 11,
  kErrTooFewParameters = 3061,
  kErrSelectCannotExecute = 3065,
  kErrNoInputTable = 3067,
  kErrExpressionTooComplex = 3071,
  kErrSyntaxInExpression = 3075,
  kErrAmbiguousField = 3079,
  kErrUndefinedFunction = 3085,
  kErrAggregateInWhere = 3096,
  kErrNotPartOfAggregate = 3122,
  kErrUnknownInsertField = 3127,
  kErrInvalidStatement = 3129,
  kErrSyntaxInFrom = 3131,
  kErrSyntaxInInsert = 3134,
  kErrSyntaxInJoin = 3135,
  kErrTextAfterStatement = 3142,
  kErrSyntaxInSelect = 3141,
  kErrSyntaxInUpdate = 3144,
  kErrSyntaxInOrderBy = 3138,
  kErrSyntaxInWhere = 3145,
  kErrSyntaxInCreateTable = 3290,
  kErrSyntaxInFieldDefinition = 3292,
  kErrSyntaxInAlterTable = 3293,
  kErrSyntaxInDrop = 3295,
  kErrJoinNotSupported = 3296,
  kErrSyntaxInConstraint = 3289,
  kErrSyntaxInCreateIndex = 3291,
  kErrSyntaxInDelete = 3130,
  kErrSyntaxInGroupBy = 3132,
  kErrSyntaxInParameters = 3139,
  kErrSyntaxInTransform = 3143,
  kErrValueCountMismatch = 3346,
  kErrQueryTooComplex = 3360,
  kErrFieldExists = 3380,
  kErrNoSuchTable = 3376,
  kErrNoSuchIndex = 3371,
  kErrTypeMismatchInCriteria = 3464,
};

// DAO's text for 3141.
inline constexpr const char* kSelectText =
    "The SELECT statement includes a reserved word or an argument name that is misspelled or missing, or the "
    "punctuation is incorrect.";

// Throws the error `number` with `text`.
[[noreturn]] void RaiseSql(int number, const std::string& text);

// 3075: "Syntax error (missing operator) in query expression '...'".
[[noreturn]] void RaiseMissingOperator(std::string_view expression);
// 3464: "Data type mismatch in criteria expression."
[[noreturn]] void RaiseTypeMismatch();

}  // namespace dao::sql
