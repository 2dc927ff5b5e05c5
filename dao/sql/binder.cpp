#include "dao/sql/binder.h"

#include "dao/sql/functions.h"
#include "dao/sql/sql_error.h"
#include "platform/text_case.h"

namespace dao::sql {
namespace {

std::string Qualified(const Expr& expr) {
  return expr.qualifier.empty() ? expr.name : expr.qualifier + "." + expr.name;
}

}  // namespace

void Binder::BindParameter(Expr& expr, const std::string& name) {
  for (std::size_t i = 0; i < parameters_.size(); ++i) {
    if (platform::AnsiSameText(parameters_[i].name, name)) {
      expr.bound = BoundKind::kParameter;
      expr.index = static_cast<int>(i);
      return;
    }
  }
  parameters_.push_back({name, 0, 0});
  expr.bound = BoundKind::kParameter;
  expr.index = static_cast<int>(parameters_.size() - 1);
}

void Binder::BindName(Expr& expr, const std::vector<BoundTable>& tables) {
  const std::string full = Qualified(expr);
  // A declared parameter wins over a column of the same name.
  for (std::size_t i = 0; i < parameters_.size(); ++i) {
    if (platform::AnsiSameText(parameters_[i].name, full)) {
      expr.bound = BoundKind::kParameter;
      expr.index = static_cast<int>(i);
      return;
    }
  }
  int found = 0;
  for (std::size_t t = 0; t < tables.size(); ++t) {
    const BoundTable& table = tables[t];
    if (!expr.qualifier.empty() && !platform::AnsiSameText(table.Qualifier(), expr.qualifier)) continue;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      if (!platform::AnsiSameText(table.columns[c].name, expr.name)) continue;
      if (++found > 1) {
        RaiseSql(kErrAmbiguousField, "The specified field '" + full +
                                         "' could refer to more than one table listed in the FROM clause of your "
                                         "SQL statement.");
      }
      expr.bound = BoundKind::kColumn;
      expr.source = static_cast<int>(t);
      expr.index = static_cast<int>(c);
    }
  }
  if (found == 0) BindParameter(expr, full);
}

void Binder::Bind(Expr& expr, const std::vector<BoundTable>& tables, Clause clause, std::vector<Expr*>* aggregates) {
  switch (expr.kind) {
    case ExprKind::kName:
      BindName(expr, tables);
      return;
    case ExprKind::kCall: {
      const std::optional<int> id = FindFunction(expr.name);
      if (!id) RaiseSql(kErrUndefinedFunction, "Undefined function '" + expr.name + "' in expression.");
      const FunctionInfo& info = FunctionAt(*id);
      const bool star = expr.args.size() == 1 && expr.args[0]->kind == ExprKind::kStar;
      if (expr.args.size() < info.minArgs || expr.args.size() > info.maxArgs ||
          (star && (!info.aggregate || *info.aggregate != Aggregate::kCount))) {
        RaiseSql(kErrSyntaxInExpression, "Wrong number of arguments used with function in query expression '" +
                                             expr.name + "(...)'.");
      }
      expr.index = *id;
      if (!info.aggregate) {
        expr.bound = BoundKind::kFunction;
        for (ExprPtr& arg : expr.args) Bind(*arg, tables, clause, aggregates);
        return;
      }
      if (clause != Clause::kSelect && clause != Clause::kHaving && clause != Clause::kOrderBy) {
        RaiseSql(kErrAggregateInWhere, "Cannot have aggregate function in " +
                                           std::string(clause == Clause::kGroupBy ? "GROUP BY clause" : "WHERE clause") +
                                           " (" + expr.name + "(...)).");
      }
      if (aggregates == nullptr) {
        RaiseSql(kErrAggregateInWhere, "Cannot have aggregate function in expression (" + expr.name + "(...)).");
      }
      expr.bound = BoundKind::kAggregate;
      expr.index = static_cast<int>(aggregates->size());
      aggregates->push_back(&expr);
      // The argument is a value of each row; no aggregate may stand in it.
      if (!star) Bind(*expr.args[0], tables, Clause::kSelect, nullptr);
      return;
    }
    case ExprKind::kStar:
      RaiseSql(kErrSyntaxInExpression, "Syntax error (missing operator) in query expression '*'.");
    default:
      for (ExprPtr& arg : expr.args) Bind(*arg, tables, clause, aggregates);
      return;
  }
}

bool SameExpression(const Expr& a, const Expr& b) {
  if (a.kind != b.kind || a.args.size() != b.args.size() || a.negated != b.negated) return false;
  switch (a.kind) {
    case ExprKind::kLiteral:
      if (!(a.value == b.value)) return false;
      break;
    case ExprKind::kName:
      if (a.bound != b.bound) return false;
      if (a.bound == BoundKind::kColumn) {
        if (a.source != b.source || a.index != b.index) return false;
      } else if (a.bound == BoundKind::kParameter) {
        if (a.index != b.index) return false;
      } else if (!platform::AnsiSameText(a.name, b.name) || !platform::AnsiSameText(a.qualifier, b.qualifier)) {
        return false;
      }
      break;
    case ExprKind::kCall:
      if (!platform::AnsiSameText(a.name, b.name)) return false;
      break;
    case ExprKind::kUnary:
    case ExprKind::kBinary:
      if (a.op != b.op) return false;
      break;
    default: break;
  }
  for (std::size_t i = 0; i < a.args.size(); ++i) {
    if (!SameExpression(*a.args[i], *b.args[i])) return false;
  }
  return true;
}

bool HasAggregate(const Expr& expr) {
  if (expr.bound == BoundKind::kAggregate) return true;
  for (const ExprPtr& arg : expr.args) {
    if (HasAggregate(*arg)) return true;
  }
  return false;
}

std::string ExpressionText(const Expr& expr, const std::string& statement) {
  if (expr.begin >= expr.end || expr.end > statement.size()) return expr.name;
  return statement.substr(expr.begin, expr.end - expr.begin);
}

}  // namespace dao::sql
