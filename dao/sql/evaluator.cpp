#include "dao/sql/evaluator.h"

#include "dao/sql/functions.h"
#include "dao/sql/sql_error.h"

namespace dao::sql {

using platform::Variant;

Variant RowValues::AggregateResult(int) { return Variant::Null(); }

Variant RowValues::GroupValue(int) { return Variant::Null(); }

std::optional<int> Evaluator::CompareOperands(const Expr& expr, RowValues& row) {
  const Expr& right = *expr.args[1];
  // A text compared with a text literal: the literal's key is made once.
  if (right.kind == ExprKind::kLiteral && right.value.StringIf() != nullptr) {
    const Variant left = Value(*expr.args[0], row);
    if (const std::string* text = left.StringIf()) {
      auto found = literalKeys_.find(&right);
      if (found == literalKeys_.end()) found = literalKeys_.emplace(&right, order_->Key(*right.value.StringIf())).first;
      return CompareKeys(order_->Key(*text), found->second);
    }
    return Compare(left, right.value, *order_);
  }
  const Variant left = Value(*expr.args[0], row);
  const Variant value = Value(right, row);
  return Compare(left, value, *order_);
}

bool Evaluator::Like(const Expr& expr, const std::string& text, const Variant& pattern) {
  const std::string patternText = pattern.ToText();
  auto& cached = patterns_[&expr];
  if (!cached.second || cached.first != patternText) {
    cached.second = std::make_unique<LikePattern>(patternText);
    cached.first = patternText;
  }
  return cached.second->Matches(text);
}

Variant Evaluator::Call(const Expr& expr, RowValues& row) {
  if (expr.bound == BoundKind::kAggregate) return row.AggregateResult(expr.index);
  if (expr.index == IIfFunction()) {
    return TruthOf(Value(*expr.args[0], row)) == Truth::kTrue ? Value(*expr.args[1], row) : Value(*expr.args[2], row);
  }
  Variant args[4];
  std::size_t count = 0;
  for (const ExprPtr& arg : expr.args) args[count++] = Value(*arg, row);
  return CallFunction(expr.index, std::span<const Variant>(args, count), *order_);
}

Variant Evaluator::Value(const Expr& expr, RowValues& row) {
  if (expr.group >= 0) return row.GroupValue(expr.group);
  switch (expr.kind) {
    case ExprKind::kLiteral: return expr.value;
    case ExprKind::kName:
      if (expr.bound == BoundKind::kColumn) return row.Column(expr.source, expr.index);
      if (expr.bound == BoundKind::kParameter) return parameters_.at(static_cast<std::size_t>(expr.index));
      RaiseMissingOperator(expr.name);
    case ExprKind::kStar: RaiseMissingOperator("*");
    case ExprKind::kUnary:
      if (expr.op == Operator::kNot) {
        const Truth truth = Test(*expr.args[0], row);
        return VariantOf(truth == Truth::kNull ? Truth::kNull : (truth == Truth::kTrue ? Truth::kFalse : Truth::kTrue));
      }
      return Negate(Value(*expr.args[0], row));
    case ExprKind::kBinary:
      switch (expr.op) {
        case Operator::kEqual:
        case Operator::kNotEqual:
        case Operator::kLess:
        case Operator::kLessOrEqual:
        case Operator::kGreater:
        case Operator::kGreaterOrEqual:
        case Operator::kAnd:
        case Operator::kOr:
        case Operator::kXor:
        case Operator::kEqv:
        case Operator::kImp: return VariantOf(Test(expr, row));
        case Operator::kConcatenate: return Concatenate(Value(*expr.args[0], row), Value(*expr.args[1], row));
        default: return Arithmetic(expr.op, Value(*expr.args[0], row), Value(*expr.args[1], row));
      }
    case ExprKind::kCall: return Call(expr, row);
    case ExprKind::kIn:
    case ExprKind::kBetween:
    case ExprKind::kLike:
    case ExprKind::kIsNull: return VariantOf(Test(expr, row));
  }
  return Variant::Null();
}

Truth Evaluator::Test(const Expr& expr, RowValues& row) {
  if (expr.group >= 0) return TruthOf(row.GroupValue(expr.group));
  const auto negated = [&](Truth truth) {
    if (!expr.negated || truth == Truth::kNull) return truth;
    return truth == Truth::kTrue ? Truth::kFalse : Truth::kTrue;
  };
  switch (expr.kind) {
    case ExprKind::kBinary:
      switch (expr.op) {
        case Operator::kEqual:
        case Operator::kNotEqual:
        case Operator::kLess:
        case Operator::kLessOrEqual:
        case Operator::kGreater:
        case Operator::kGreaterOrEqual: return Compared(expr.op, CompareOperands(expr, row));
        case Operator::kAnd: {
          const Truth left = Test(*expr.args[0], row);
          if (left == Truth::kFalse) return Truth::kFalse;
          return Logical(Operator::kAnd, left, Test(*expr.args[1], row));
        }
        case Operator::kOr: {
          const Truth left = Test(*expr.args[0], row);
          if (left == Truth::kTrue) return Truth::kTrue;
          return Logical(Operator::kOr, left, Test(*expr.args[1], row));
        }
        case Operator::kXor:
        case Operator::kEqv:
        case Operator::kImp: return Logical(expr.op, Test(*expr.args[0], row), Test(*expr.args[1], row));
        default: break;
      }
      break;
    case ExprKind::kUnary:
      if (expr.op == Operator::kNot) {
        const Truth truth = Test(*expr.args[0], row);
        return truth == Truth::kNull ? Truth::kNull : (truth == Truth::kTrue ? Truth::kFalse : Truth::kTrue);
      }
      break;
    case ExprKind::kIsNull: {
      const Variant value = Value(*expr.args[0], row);
      return negated(value.IsNull() || value.IsEmpty() ? Truth::kTrue : Truth::kFalse);
    }
    case ExprKind::kLike: {
      const Variant value = Value(*expr.args[0], row);
      const Variant pattern = Value(*expr.args[1], row);
      if (value.IsNull() || pattern.IsNull()) return Truth::kNull;
      const bool matches = value.StringIf() != nullptr ? Like(expr, *value.StringIf(), pattern)
                                                       : Like(expr, value.ToText(), pattern);
      return negated(matches ? Truth::kTrue : Truth::kFalse);
    }
    case ExprKind::kBetween: {
      const Variant value = Value(*expr.args[0], row);
      const Truth low = Compared(Operator::kGreaterOrEqual, Compare(value, Value(*expr.args[1], row), *order_));
      const Truth high = Compared(Operator::kLessOrEqual, Compare(value, Value(*expr.args[2], row), *order_));
      return negated(Logical(Operator::kAnd, low, high));
    }
    case ExprKind::kIn: {
      const Variant value = Value(*expr.args[0], row);
      if (value.IsNull()) return Truth::kNull;
      Truth result = Truth::kFalse;
      for (std::size_t i = 1; i < expr.args.size(); ++i) {
        const Truth equal = Compared(Operator::kEqual, Compare(value, Value(*expr.args[i], row), *order_));
        if (equal == Truth::kTrue) return negated(Truth::kTrue);
        if (equal == Truth::kNull) result = Truth::kNull;
      }
      return negated(result);
    }
    default: break;
  }
  return TruthOf(Value(expr, row));
}

}  // namespace dao::sql
