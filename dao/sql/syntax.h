// The syntax tree of one Access SQL statement, as the parser builds it and
// the binder annotates it (which table column or parameter a name stands
// for, which function a call is).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/variant.h"

namespace dao::sql {

enum class ExprKind : std::uint8_t {
  kLiteral,
  kName,     // a column or, when no table has it, a parameter
  kStar,     // * or Table.* in a select list, the * of Count(*)
  kUnary,
  kBinary,
  kCall,     // function or aggregate
  kIn,       // args[0] In (args[1..])
  kBetween,  // args[0] Between args[1] And args[2]
  kLike,     // args[0] Like args[1]
  kIsNull,   // args[0] Is Null
};

enum class Operator : std::uint8_t {
  kNegate,
  kNot,
  kAdd,
  kSubtract,
  kMultiply,
  kDivide,
  kIntegerDivide,
  kModulo,
  kPower,
  kConcatenate,
  kEqual,
  kNotEqual,
  kLess,
  kLessOrEqual,
  kGreater,
  kGreaterOrEqual,
  kAnd,
  kOr,
  kXor,
  kEqv,
  kImp,
};

// What a name or call was bound to.
enum class BoundKind : std::uint8_t { kNone, kColumn, kParameter, kOutput, kAggregate, kFunction };

struct Expr {
  ExprKind kind = ExprKind::kLiteral;
  Operator op = Operator::kAdd;
  bool negated = false;      // Not In, Not Between, Not Like, Is Not Null
  platform::Variant value;   // literal
  std::string qualifier;     // the table or alias before a name, "" when none
  std::string name;          // column, parameter or function name
  std::vector<std::unique_ptr<Expr>> args;
  std::size_t begin = 0;     // the expression's text in the statement
  std::size_t end = 0;
  int height = 1;  // levels of the tree below and including this node

  // Set by the binder.
  BoundKind bound = BoundKind::kNone;
  int source = -1;   // kColumn: the table of the FROM clause
  int index = -1;    // kColumn: column position; kParameter: parameter; kOutput: output column;
                     // kAggregate: aggregate slot; kFunction: function id
  int group = -1;    // in a grouped query: the GROUP BY term this expression is
};

using ExprPtr = std::unique_ptr<Expr>;

// A table or stored query named in FROM (or the target of a statement).
struct TableRef {
  std::string name;
  std::string alias;  // "" when none
  std::size_t begin = 0;
  std::size_t end = 0;
};

enum class JoinType : std::uint8_t { kInner, kLeft, kRight };

// One item of a FROM list: a table or a join of two items.
struct FromItem {
  bool isJoin = false;
  TableRef table;
  int source = -1;  // set by the binder: the table's place among the FROM tables
  JoinType join = JoinType::kInner;
  std::unique_ptr<FromItem> left;
  std::unique_ptr<FromItem> right;
  ExprPtr on;
};

struct SelectItem {
  ExprPtr expr;       // kStar for * and Table.*
  std::string alias;  // "" when none
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
};

// PARAMETERS name type, ...
struct ParameterDecl {
  std::string name;
  int daoType = 0;  // 0: Value (any type)
  int size = 0;     // Text (n)
};

struct SelectStatement;

struct UnionPart {
  bool all = false;
  std::unique_ptr<SelectStatement> select;
};

struct SelectStatement {
  std::size_t begin = 0;  // the statement's text, up to its ORDER BY (of
  std::size_t end = 0;    // the whole, after unions) and semicolon
  bool distinct = false;
  bool ownerAccess = false;  // WITH OWNERACCESS OPTION
  bool distinctRow = false;
  std::optional<double> top;  // TOP n
  bool topPercent = false;
  std::vector<SelectItem> columns;
  std::string intoTable;  // SELECT ... INTO: a make-table query
  std::vector<std::unique_ptr<FromItem>> from;
  ExprPtr where;
  std::vector<ExprPtr> groupBy;
  ExprPtr having;
  std::vector<OrderItem> orderBy;  // of the whole statement when it has unions
  std::vector<UnionPart> unions;
  // TRANSFORM value ... PIVOT expression: a crosstab query.
  ExprPtr transform;
  std::string transformAlias;  // TRANSFORM value AS name: kept with the stored query
  ExprPtr pivot;
  std::vector<ExprPtr> pivotValues;  // PIVOT ... IN (values)
};

struct Assignment {
  ExprPtr target;  // a column name
  ExprPtr value;
};

struct InsertStatement {
  TableRef table;
  std::vector<std::string> columns;  // empty: every column in table order
  std::vector<ExprPtr> values;       // INSERT ... VALUES
  std::unique_ptr<SelectStatement> select;  // INSERT ... SELECT
};

struct UpdateStatement {
  std::vector<std::unique_ptr<FromItem>> from;
  std::vector<Assignment> assignments;
  ExprPtr where;
};

struct DeleteStatement {
  std::vector<ExprPtr> columns;  // DELETE Table.* / fields: the table rows are deleted from
  std::vector<std::unique_ptr<FromItem>> from;
  ExprPtr where;
};

// A column of CREATE TABLE or ALTER TABLE ... ADD COLUMN.
struct ColumnDecl {
  std::string name;
  int daoType = 0;
  int size = 0;
  bool autoIncrement = false;
  bool notNull = false;
  bool primaryKey = false;  // column constraint PRIMARY KEY
  bool unique = false;      // column constraint UNIQUE
  std::string constraintName;
};

// CONSTRAINT name PRIMARY KEY (cols) / UNIQUE (cols), and CREATE INDEX.
struct IndexDecl {
  std::string name;
  std::string table;
  std::vector<std::pair<std::string, bool>> columns;  // name, descending
  bool primary = false;
  bool unique = false;
  bool disallowNull = false;
  bool ignoreNull = false;
};

struct CreateTableStatement {
  std::string table;
  std::vector<ColumnDecl> columns;
  std::vector<IndexDecl> constraints;
};

struct AlterTableStatement {
  std::string table;
  std::optional<ColumnDecl> addColumn;
  std::optional<IndexDecl> addConstraint;
  std::string dropColumn;
  std::string dropConstraint;
};

struct DropStatement {
  bool index = false;  // DROP INDEX name ON table, else DROP TABLE name
  std::string name;
  std::string table;
};

enum class StatementKind : std::uint8_t {
  kSelect,
  kInsert,
  kUpdate,
  kDelete,
  kCreateTable,
  kCreateIndex,
  kAlterTable,
  kDrop,
};

struct Statement {
  StatementKind kind = StatementKind::kSelect;
  std::vector<ParameterDecl> parameters;
  std::unique_ptr<SelectStatement> select;  // kSelect (also make-table and crosstab)
  std::unique_ptr<InsertStatement> insert;
  std::unique_ptr<UpdateStatement> update;
  std::unique_ptr<DeleteStatement> remove;
  std::unique_ptr<CreateTableStatement> createTable;
  std::unique_ptr<IndexDecl> createIndex;
  std::unique_ptr<AlterTableStatement> alterTable;
  std::unique_ptr<DropStatement> drop;
  std::string text;  // the statement as given (error messages quote it)
};

}  // namespace dao::sql
