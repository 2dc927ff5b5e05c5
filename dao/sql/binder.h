// Binds the names of a statement: a name is a column of a FROM table
// (qualified by the table's name or alias, or unique among the tables),
// a declared parameter, or, when nothing else, a parameter of its own, as
// Jet treats every name it cannot find. Calls are bound to functions and
// aggregates, with the rules for where aggregates may stand.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dao/sql/sources.h"
#include "dao/sql/syntax.h"

namespace dao::sql {

// A table of the FROM clause.
struct BoundTable {
  std::string name;   // as stored
  std::string alias;  // "" when none
  std::vector<SourceColumn> columns;
  std::shared_ptr<TableData> data;

  // The name the table's columns are qualified with.
  const std::string& Qualifier() const { return alias.empty() ? name : alias; }
};

// Where an expression stands: aggregates are allowed only in the select
// list, HAVING and ORDER BY.
enum class Clause : std::uint8_t { kSelect, kWhere, kOn, kGroupBy, kHaving, kOrderBy };

class Binder {
 public:
  // `declared` are the statement's PARAMETERS.
  explicit Binder(std::vector<ParameterDecl> declared) : parameters_(std::move(declared)) {}

  // Binds every name and call of `expr` against `tables`; the aggregate
  // calls found (outside other aggregates) are appended to `aggregates`
  // when given. Raises 3079 for an ambiguous name, 3085 for an unknown
  // function, 3075 for a wrong number of arguments, 3096 for an aggregate
  // where none may stand, and 3360 for an expression nested too deeply.
  void Bind(Expr& expr, const std::vector<BoundTable>& tables, Clause clause, std::vector<Expr*>* aggregates = nullptr);

  // The declared parameters followed by the ones names made, in order.
  const std::vector<ParameterDecl>& Parameters() const { return parameters_; }

 private:
  void BindName(Expr& expr, const std::vector<BoundTable>& tables);
  void BindParameter(Expr& expr, const std::string& name);

  std::vector<ParameterDecl> parameters_;
};

// True when the two expressions are written alike (names compared without
// regard to case, the same columns bound).
bool SameExpression(const Expr& a, const Expr& b);

// True when `expr` holds an aggregate call.
bool HasAggregate(const Expr& expr);

// The text of `expr` as it stands in `statement` (for error messages).
std::string ExpressionText(const Expr& expr, const std::string& statement);

}  // namespace dao::sql
