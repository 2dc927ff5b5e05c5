// Evaluates bound expressions over a row: names read the row's columns or
// the statement's parameters, aggregate calls read the results of their
// group.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "dao/sql/like_pattern.h"
#include "dao/sql/syntax.h"
#include "dao/sql/text_order.h"
#include "dao/sql/values.h"
#include "platform/variant.h"

namespace dao::sql {

// The row an expression is evaluated over.
class RowValues {
 public:
  virtual ~RowValues() = default;
  // Column `column` of FROM table `source` (Null for the missing side of
  // an outer join).
  virtual platform::Variant Column(int source, int column) = 0;
  // The result of aggregate `slot` for the row's group.
  virtual platform::Variant AggregateResult(int slot);
  // The value of GROUP BY term `term` for the row's group.
  virtual platform::Variant GroupValue(int term);
};

class Evaluator {
 public:
  // `parameters` are the values of the statement's parameters, by index.
  Evaluator(const TextOrder& order, std::vector<platform::Variant> parameters = {})
      : order_(&order), parameters_(std::move(parameters)) {}

  const TextOrder& Order() const { return *order_; }
  platform::Variant Value(const Expr& expr, RowValues& row);
  // The truth of a condition; Null counts as not true where the caller
  // filters.
  Truth Test(const Expr& expr, RowValues& row);

 private:
  std::optional<int> CompareOperands(const Expr& expr, RowValues& row);
  platform::Variant Call(const Expr& expr, RowValues& row);
  bool Like(const Expr& expr, const std::string& text, const platform::Variant& pattern);

  const TextOrder* order_;
  std::vector<platform::Variant> parameters_;
  // Keys of text literals and compiled LIKE patterns, made once per node.
  std::unordered_map<const Expr*, std::vector<std::uint8_t>> literalKeys_;
  std::unordered_map<const Expr*, std::pair<std::string, std::unique_ptr<LikePattern>>> patterns_;
};

}  // namespace dao::sql
