#include "dao/sql/select_query.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <unordered_map>

#include "dao/sql/functions.h"
#include "dao/sql/output_types.h"
#include "dao/sql/sortable_key.h"
#include "dao/sql/sql_error.h"
#include "platform/text_case.h"

namespace dao::sql {
namespace {

using platform::Variant;

// A row of the one FROM table, read through the table's reader.
class ReaderRow : public RowValues {
 public:
  explicit ReaderRow(ColumnReader& reader) : reader_(&reader) {}
  Variant Column(int, int column) override { return reader_->Value(column); }

 private:
  ColumnReader* reader_;
};

// The tables' rows held in memory, for joins.
using TableRows = std::vector<std::vector<Variant>>;

// A combination of rows of the FROM tables (-1: none, for the missing side
// of an outer join).
class CombinationRow : public RowValues {
 public:
  CombinationRow(const std::vector<TableRows>& tables, const std::int32_t* combination)
      : tables_(&tables), combination_(combination) {}
  Variant Column(int source, int column) override {
    const std::int32_t row = combination_[source];
    if (row < 0) return Variant::Null();
    return (*tables_)[static_cast<std::size_t>(source)][static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
  }

 private:
  const std::vector<TableRows>* tables_;
  const std::int32_t* combination_;
};

struct Group {
  std::vector<Variant> terms;
  std::vector<AggregateState> states;
  // A crosstab's cells: the TRANSFORM aggregates over the group's rows of
  // each pivot value, by the value's key.
  std::unordered_map<std::string, std::vector<AggregateState>> cells;
};

// The values of a group: its GROUP BY terms and the results of aggregates
// over its rows (or over those of one crosstab cell).
class GroupRow : public RowValues {
 public:
  GroupRow(const std::vector<Variant>& terms, const std::vector<AggregateState>& states)
      : terms_(&terms), states_(&states) {}
  Variant Column(int, int) override { return Variant::Null(); }
  Variant AggregateResult(int slot) override { return (*states_)[static_cast<std::size_t>(slot)].Result(); }
  Variant GroupValue(int term) override { return (*terms_)[static_cast<std::size_t>(term)]; }

 private:
  const std::vector<Variant>* terms_;
  const std::vector<AggregateState>* states_;
};

// A row of output values (ORDER BY of a union).
class OutputRow : public RowValues {
 public:
  explicit OutputRow(const std::vector<Variant>& values) : values_(&values) {}
  Variant Column(int, int column) override { return (*values_)[static_cast<std::size_t>(column)]; }

 private:
  const std::vector<Variant>* values_;
};

struct Entry {
  std::string orderKey;
  std::uint32_t id = 0;
  std::vector<Variant> values;
};

void CollectTables(FromItem& item, std::vector<FromItem*>& tables) {
  if (!item.isJoin) {
    tables.push_back(&item);
    return;
  }
  CollectTables(*item.left, tables);
  CollectTables(*item.right, tables);
}

[[noreturn]] void NoSuchTable(const std::string& name) {
  RaiseSql(jet::kErrInputTableNotFound, "The database engine cannot find the input table or query '" + name +
                                            "'. Make sure it exists and that its name is spelled correctly.");
}

// Keeps the first `count` entries and those that tie with the last kept
// one in ORDER BY, as Jet's TOP does.
void KeepTop(std::vector<Entry>& entries, const SelectStatement& select) {
  if (!select.top) return;
  double count = *select.top;
  if (select.topPercent) count = std::ceil(static_cast<double>(entries.size()) * count / 100.0);
  std::size_t keep = count <= 0 ? 0 : static_cast<std::size_t>(std::min(count, static_cast<double>(entries.size())));
  if (!select.orderBy.empty() && keep > 0) {
    while (keep < entries.size() && entries[keep].orderKey == entries[keep - 1].orderKey) ++keep;
  }
  entries.resize(keep);
}

// Whether `expr`, not yet bound, calls an aggregate function.
bool CallsAggregate(const Expr& expr) {
  if (expr.kind == ExprKind::kCall) {
    const std::optional<int> id = FindFunction(expr.name);
    if (id && FunctionAt(*id).aggregate) return true;
  }
  return std::any_of(expr.args.begin(), expr.args.end(), [](const ExprPtr& arg) { return CallsAggregate(*arg); });
}

void SplitConjunction(ExprPtr expr, std::vector<ExprPtr>& terms) {
  if (expr->kind == ExprKind::kBinary && expr->op == Operator::kAnd) {
    SplitConjunction(std::move(expr->args[0]), terms);
    SplitConjunction(std::move(expr->args[1]), terms);
    return;
  }
  terms.push_back(std::move(expr));
}

ExprPtr Conjunction(std::vector<ExprPtr> terms) {
  ExprPtr result;
  for (ExprPtr& term : terms) {
    if (!result) {
      result = std::move(term);
      continue;
    }
    auto both = std::make_unique<Expr>();
    both->kind = ExprKind::kBinary;
    both->op = Operator::kAnd;
    both->begin = result->begin;
    both->end = term->end;
    both->height = std::max(result->height, term->height) + 1;
    both->args.push_back(std::move(result));
    both->args.push_back(std::move(term));
    result = std::move(both);
  }
  return result;
}

// Access writes the conditions on a crosstab's groups into its WHERE
// clause: the terms of WHERE that hold an aggregate move to HAVING.
void MoveGroupConditions(SelectStatement& select) {
  if (!select.where || !CallsAggregate(*select.where)) return;
  std::vector<ExprPtr> terms;
  SplitConjunction(std::move(select.where), terms);
  std::vector<ExprPtr> rowTerms;
  std::vector<ExprPtr> groupTerms;
  if (select.having) groupTerms.push_back(std::move(select.having));
  for (ExprPtr& term : terms) (CallsAggregate(*term) ? groupTerms : rowTerms).push_back(std::move(term));
  select.where = Conjunction(std::move(rowTerms));
  select.having = Conjunction(std::move(groupTerms));
}

// PIVOT value IN (list) reads as one In expression; the list names the
// crosstab's columns.
void TakeColumnList(SelectStatement& select) {
  if (!select.pivotValues.empty() || select.pivot->kind != ExprKind::kIn || select.pivot->negated) return;
  ExprPtr in = std::move(select.pivot);
  select.pivot = std::move(in->args[0]);
  for (std::size_t i = 1; i < in->args.size(); ++i) select.pivotValues.push_back(std::move(in->args[i]));
}

// The name of a crosstab's column for pivot value `value`.
std::string PivotName(const Variant& value) { return value.IsNull() ? "<>" : value.ToText(); }

// A crosstab's column of cells, of type `type`, named `name`.
OutputColumn CellColumn(std::string name, const SourceColumn& type, const Expr& transform) {
  OutputColumn column;
  column.name = std::move(name);
  column.daoType = type.daoType;
  column.size = type.size;
  column.expr = &transform;
  return column;
}

}  // namespace

struct SelectQuery::Part {
  SelectStatement* select = nullptr;
  std::vector<BoundTable> tables;
  std::vector<OutputColumn> outputs;
  std::vector<Expr*> aggregates;
  bool grouped = false;
  // A crosstab: the aggregates of its TRANSFORM value, the type of its
  // cells and how many outputs are row headings.
  std::vector<Expr*> cellAggregates;
  SourceColumn cellType;
  std::size_t rowHeadings = 0;
};

SelectQuery::SelectQuery(Statement statement, Catalog& catalog, const TextOrder& order)
    : statement_(std::move(statement)), order_(&order), binder_(statement_.parameters) {
  if (statement_.kind != StatementKind::kSelect || !statement_.select) {
    RaiseSql(kErrInvalidStatement, "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.");
  }
  SelectStatement& top = *statement_.select;
  if (top.transform) {
    MoveGroupConditions(top);
    TakeColumnList(top);
  }
  parts_.push_back(std::make_unique<Part>());
  parts_.back()->select = &top;
  for (UnionPart& part : top.unions) {
    parts_.push_back(std::make_unique<Part>());
    parts_.back()->select = part.select.get();
  }
  for (const std::unique_ptr<Part>& part : parts_) BindPart(*part, catalog);
  const std::size_t width = parts_.front()->outputs.size();
  for (const std::unique_ptr<Part>& part : parts_) {
    if (part->outputs.size() != width) {
      RaiseSql(kErrUnionColumnCount, "The number of columns in the two selected tables or queries of a union query "
                                     "do not match.");
    }
  }
  if (parts_.size() > 1 && !top.orderBy.empty()) {
    // ORDER BY of a union names the output columns of the first SELECT.
    BoundTable outputs;
    for (const OutputColumn& column : Columns()) outputs.columns.push_back({column.name, column.daoType, column.size});
    const std::vector<BoundTable> scope = {outputs};
    for (OrderItem& item : top.orderBy) binder_.Bind(*item.expr, scope, Clause::kWhere);
  }
}

SelectQuery::~SelectQuery() = default;

const std::vector<OutputColumn>& SelectQuery::Columns() const { return parts_.front()->outputs; }

const std::vector<BoundTable>& SelectQuery::Tables() const { return parts_.front()->tables; }

void SelectQuery::BindPart(Part& part, Catalog& catalog) {
  SelectStatement& select = *part.select;
  if (select.from.empty()) RaiseSql(kErrNoInputTable, "Query input must contain at least one table or query.");
  std::vector<FromItem*> items;
  for (const std::unique_ptr<FromItem>& item : select.from) CollectTables(*item, items);
  for (FromItem* item : items) {
    std::shared_ptr<TableData> data = catalog.Table(item->table.name);
    if (!data) NoSuchTable(item->table.name);
    item->source = static_cast<int>(part.tables.size());
    part.tables.push_back({data->Name(), item->table.alias, data->Columns(), data});
  }

  // * and Table.* stand for the columns of every table or of one.
  std::vector<SelectItem> columns;
  std::vector<std::string> names;
  for (SelectItem& item : select.columns) {
    if (item.expr->kind != ExprKind::kStar) {
      columns.push_back(std::move(item));
      continue;
    }
    bool any = false;
    for (std::size_t t = 0; t < part.tables.size(); ++t) {
      const BoundTable& table = part.tables[t];
      if (!item.expr->qualifier.empty() && !platform::AnsiSameText(table.Qualifier(), item.expr->qualifier)) continue;
      any = true;
      for (std::size_t c = 0; c < table.columns.size(); ++c) {
        SelectItem expanded;
        expanded.expr = std::make_unique<Expr>();
        expanded.expr->kind = ExprKind::kName;
        expanded.expr->qualifier = table.Qualifier();
        expanded.expr->name = table.columns[c].name;
        expanded.expr->begin = item.expr->begin;
        expanded.expr->end = item.expr->end;
        columns.push_back(std::move(expanded));
      }
    }
    if (!any) NoSuchTable(item.expr->qualifier);
  }
  select.columns = std::move(columns);

  std::vector<std::unique_ptr<FromItem>*> pending;
  for (std::unique_ptr<FromItem>& item : select.from) pending.push_back(&item);
  while (!pending.empty()) {
    FromItem& item = **pending.back();
    pending.pop_back();
    if (!item.isJoin) continue;
    binder_.Bind(*item.on, part.tables, Clause::kOn);
    pending.push_back(&item.left);
    pending.push_back(&item.right);
  }
  if (select.where) binder_.Bind(*select.where, part.tables, Clause::kWhere);
  for (ExprPtr& term : select.groupBy) binder_.Bind(*term, part.tables, Clause::kGroupBy);
  for (SelectItem& item : select.columns) binder_.Bind(*item.expr, part.tables, Clause::kSelect, &part.aggregates);
  if (select.having) binder_.Bind(*select.having, part.tables, Clause::kHaving, &part.aggregates);
  if (parts_.front().get() == &part) {
    for (OrderItem& item : select.orderBy) binder_.Bind(*item.expr, part.tables, Clause::kOrderBy, &part.aggregates);
  }
  if (select.transform) BindCrosstab(part);
  part.grouped = !select.groupBy.empty() || !part.aggregates.empty() || select.transform;
  if (part.grouped) CheckGrouping(part);
  if (select.distinct && parts_.front().get() == &part) {
    // DISTINCT leaves only the output columns to order by.
    for (const OrderItem& item : select.orderBy) {
      bool listed = false;
      for (const SelectItem& column : select.columns) listed = listed || SameExpression(*item.expr, *column.expr);
      if (!listed) {
        RaiseSql(kErrOrderByConflictsWithDistinct,
                 "ORDER BY clause (" + ExpressionText(*item.expr, statement_.text) + ") conflicts with DISTINCT.");
      }
    }
  }

  // Output names: the alias, a column's name (qualified where two
  // outputs would share it), or Expr1000, Expr1001, ...
  int unnamed = 1000;
  for (SelectItem& item : select.columns) {
    OutputColumn output;
    const Expr& expr = *item.expr;
    const SourceColumn type = TypeOfExpression(expr, part.tables, binder_.Parameters());
    output.daoType = type.daoType;
    output.size = type.size;
    output.expr = &expr;
    if (expr.kind == ExprKind::kName && expr.bound == BoundKind::kColumn) {
      output.source = expr.source;
      output.column = expr.index;
    }
    if (!item.alias.empty()) {
      output.name = item.alias;
    } else if (output.source >= 0) {
      output.name = part.tables[static_cast<std::size_t>(output.source)].columns[static_cast<std::size_t>(output.column)].name;
    } else {
      output.name = "Expr" + std::to_string(unnamed++);
    }
    part.outputs.push_back(std::move(output));
  }
  std::vector<bool> shared(part.outputs.size(), false);
  for (std::size_t i = 0; i < part.outputs.size(); ++i) {
    for (std::size_t j = 0; j < part.outputs.size(); ++j) {
      shared[i] = shared[i] || (j != i && part.outputs[i].source >= 0 && select.columns[i].alias.empty() &&
                                platform::AnsiSameText(part.outputs[j].name, part.outputs[i].name));
    }
  }
  for (std::size_t i = 0; i < part.outputs.size(); ++i) {
    OutputColumn& output = part.outputs[i];
    if (shared[i]) output.name = part.tables[static_cast<std::size_t>(output.source)].Qualifier() + "." + output.name;
  }
  part.rowHeadings = part.outputs.size();
  // The columns of PIVOT ... IN are known before the query runs.
  for (const ExprPtr& value : select.pivotValues) {
    part.outputs.push_back(CellColumn(
        value->kind == ExprKind::kLiteral ? PivotName(value->value) : ExpressionText(*value, statement_.text),
        part.cellType, *select.transform));
  }
}

// The TRANSFORM value is an expression of aggregates over the rows of a
// cell; the pivot is a value of each row; the values of IN are constants.
void SelectQuery::BindCrosstab(Part& part) {
  SelectStatement& select = *part.select;
  binder_.Bind(*select.transform, part.tables, Clause::kSelect, &part.cellAggregates);
  if (part.cellAggregates.empty()) {
    RaiseSql(kErrSyntaxInTransform, "The TRANSFORM value (" + ExpressionText(*select.transform, statement_.text) +
                                        ") must be an aggregate function.");
  }
  binder_.Bind(*select.pivot, part.tables, Clause::kGroupBy);
  for (ExprPtr& value : select.pivotValues) binder_.Bind(*value, {}, Clause::kWhere);
  part.cellType = TypeOfExpression(*select.transform, part.tables, binder_.Parameters());
}

// In a grouped query every column outside an aggregate must stand in a
// GROUP BY term; the terms found are marked so that they are read from
// their group.
void SelectQuery::CheckGrouping(Part& part) {
  SelectStatement& select = *part.select;
  const std::function<void(Expr&)> mark = [&](Expr& expr) {
    for (std::size_t i = 0; i < select.groupBy.size(); ++i) {
      if (SameExpression(expr, *select.groupBy[i])) {
        expr.group = static_cast<int>(i);
        return;
      }
    }
    if (expr.bound == BoundKind::kAggregate) return;
    if (expr.kind == ExprKind::kName && expr.bound == BoundKind::kColumn) {
      RaiseSql(kErrNotPartOfAggregate, "You tried to execute a query that does not include the specified expression '" +
                                           ExpressionText(expr, statement_.text) + "' as part of an aggregate function.");
    }
    for (ExprPtr& arg : expr.args) mark(*arg);
  };
  for (SelectItem& item : select.columns) mark(*item.expr);
  if (select.transform) mark(*select.transform);
  if (select.having) mark(*select.having);
  if (parts_.front().get() == &part) {
    for (OrderItem& item : select.orderBy) mark(*item.expr);
  }
}

void SelectQuery::SetParameterValues(std::vector<Variant> values) {
  parameterValues_ = std::move(values);
  evaluator_.reset();
}

Evaluator& SelectQuery::Evaluation() {
  if (!evaluator_) {
    const std::size_t needed = binder_.Parameters().size();
    if (parameterValues_.size() < needed) {
      RaiseSql(kErrTooFewParameters,
               "Too few parameters. Expected " + std::to_string(needed - parameterValues_.size()) + ".");
    }
    evaluator_ = std::make_unique<Evaluator>(*order_, parameterValues_);
  }
  return *evaluator_;
}

bool SelectQuery::ReadsOneTable() const {
  const Part& part = *parts_.front();
  return parts_.size() == 1 && part.tables.size() == 1 && !part.grouped && !part.select->distinct;
}

Variant SelectQuery::OutputValue(int column, ColumnReader& row) {
  ReaderRow values(row);
  return Evaluation().Value(*Columns()[static_cast<std::size_t>(column)].expr, values);
}

QueryRows SelectQuery::Run(bool values) {
  Evaluation();
  if (parts_.size() == 1) return RunPart(*parts_.front(), values);
  QueryRows result = RunPart(*parts_.front(), true);
  std::vector<std::vector<Variant>>& rows = result.values;
  for (std::size_t p = 0; p < statement_.select->unions.size(); ++p) {
    QueryRows more = RunPart(*parts_[p + 1], true);
    for (std::vector<Variant>& row : more.values) rows.push_back(std::move(row));
    if (statement_.select->unions[p].all) continue;
    // UNION without ALL: one row of each kind, in the order of the values.
    std::vector<std::pair<std::string, std::size_t>> keys;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      std::string key;
      for (const Variant& value : rows[r]) AppendSortableKey(key, value, *order_);
      keys.emplace_back(std::move(key), r);
    }
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::vector<Variant>> distinct;
    for (std::size_t k = 0; k < keys.size(); ++k) {
      if (k > 0 && keys[k].first == keys[k - 1].first) continue;
      distinct.push_back(std::move(rows[keys[k].second]));
    }
    rows = std::move(distinct);
  }
  OrderUnion(rows);
  return result;
}

void SelectQuery::OrderUnion(std::vector<std::vector<Variant>>& rows) {
  const SelectStatement& select = *statement_.select;
  if (select.orderBy.empty()) return;
  Evaluator& evaluator = Evaluation();
  std::vector<Entry> entries;
  for (std::vector<Variant>& row : rows) {
    Entry entry;
    OutputRow values(row);
    for (const OrderItem& item : select.orderBy) {
      AppendSortableKey(entry.orderKey, evaluator.Value(*item.expr, values), *order_, item.descending);
    }
    entry.values = std::move(row);
    entries.push_back(std::move(entry));
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.orderKey < b.orderKey; });
  rows.clear();
  for (Entry& entry : entries) rows.push_back(std::move(entry.values));
}

QueryRows SelectQuery::RunPart(Part& part, bool values) {
  Evaluator& evaluator = Evaluation();
  SelectStatement& select = *part.select;
  const bool ordered = parts_.front().get() == &part && parts_.size() == 1;
  const bool byId = !values && &part == parts_.front().get() && ReadsOneTable();
  std::vector<Entry> entries;
  std::vector<Group> groups;
  std::unordered_map<std::string, std::size_t> groupIndex;
  // A bound aggregate's index is its slot among the aggregates; its kind
  // comes from its function's name.
  const auto statesOf = [](const std::vector<Expr*>& aggregates) {
    std::vector<AggregateState> states;
    for (const Expr* aggregate : aggregates) states.emplace_back(*FunctionAt(*FindFunction(aggregate->name)).aggregate);
    return states;
  };
  const std::vector<AggregateState> freshStates = statesOf(part.aggregates);
  const std::vector<AggregateState> freshCell = statesOf(part.cellAggregates);
  const auto accumulate = [&](const std::vector<Expr*>& aggregates, std::vector<AggregateState>& states, RowValues& row) {
    for (std::size_t a = 0; a < aggregates.size(); ++a) {
      const Expr& aggregate = *aggregates[a];
      const bool star = aggregate.args[0]->kind == ExprKind::kStar;
      states[a].Add(star ? Variant(true) : evaluator.Value(*aggregate.args[0], row), *order_);
    }
  };
  // A crosstab's pivot values by key: their sort key, or with an IN list
  // the key of their text (the list names columns by their text).
  const bool fixedColumns = !select.pivotValues.empty();
  const auto pivotKey = [&](const Variant& value) {
    std::string result;
    AppendSortableKey(result, fixedColumns ? Variant(PivotName(value)) : value, *order_);
    return result;
  };
  std::map<std::string, Variant> pivots;
  if (part.grouped && select.groupBy.empty()) {
    // Aggregates without GROUP BY: one group, even over no rows.
    groups.push_back({{}, freshStates, {}});
    groupIndex.emplace(std::string(), 0);
  }
  std::string key;
  const auto orderKey = [&](RowValues& row) {
    std::string result;
    if (ordered) {
      for (const OrderItem& item : select.orderBy) {
        AppendSortableKey(result, evaluator.Value(*item.expr, row), *order_, item.descending);
      }
    }
    return result;
  };
  const auto outputs = [&](RowValues& row) {
    std::vector<Variant> result;
    result.reserve(select.columns.size());
    for (const SelectItem& item : select.columns) result.push_back(evaluator.Value(*item.expr, row));
    return result;
  };

  // Every row of the FROM clause that passes WHERE.
  const auto take = [&](RowValues& row, std::uint32_t id) {
    if (select.where && evaluator.Test(*select.where, row) != Truth::kTrue) return;
    if (part.grouped) {
      key.clear();
      std::vector<Variant> terms;
      for (const ExprPtr& term : select.groupBy) {
        terms.push_back(evaluator.Value(*term, row));
        AppendSortableKey(key, terms.back(), *order_);
      }
      auto [found, inserted] = groupIndex.try_emplace(key, groups.size());
      if (inserted) groups.push_back({std::move(terms), freshStates, {}});
      Group& group = groups[found->second];
      accumulate(part.aggregates, group.states, row);
      if (select.transform) {
        const Variant pivot = evaluator.Value(*select.pivot, row);
        const std::string& cellKey = pivots.try_emplace(pivotKey(pivot), pivot).first->first;
        accumulate(part.cellAggregates, group.cells.try_emplace(cellKey, freshCell).first->second, row);
      }
      return;
    }
    Entry entry;
    entry.orderKey = orderKey(row);
    if (byId) {
      entry.id = id;
    } else {
      entry.values = outputs(row);
    }
    entries.push_back(std::move(entry));
  };

  if (part.tables.size() == 1) {
    part.tables[0].data->Scan([&](std::uint32_t id, ColumnReader& reader) {
      ReaderRow row(reader);
      take(row, id);
      return true;
    });
  } else {
    // The tables in memory, joined as FROM says.
    std::vector<TableRows> tables(part.tables.size());
    for (std::size_t t = 0; t < part.tables.size(); ++t) {
      const std::size_t width = part.tables[t].columns.size();
      part.tables[t].data->Scan([&](std::uint32_t, ColumnReader& reader) {
        std::vector<Variant> row(width);
        for (std::size_t c = 0; c < width; ++c) row[c] = reader.Value(static_cast<int>(c));
        tables[t].push_back(std::move(row));
        return true;
      });
    }
    const std::size_t width = part.tables.size();
    using Combinations = std::vector<std::int32_t>;
    const std::function<Combinations(const FromItem&)> combine = [&](const FromItem& item) {
      Combinations result;
      if (!item.isJoin) {
        const auto& rows = tables[static_cast<std::size_t>(item.source)];
        for (std::size_t r = 0; r < rows.size(); ++r) {
          result.insert(result.end(), width, -1);
          result[result.size() - width + static_cast<std::size_t>(item.source)] = static_cast<std::int32_t>(r);
        }
        return result;
      }
      const Combinations left = combine(*item.left);
      const Combinations right = combine(*item.right);
      const std::size_t leftCount = left.size() / width, rightCount = right.size() / width;
      std::vector<bool> rightMatched(rightCount, false);
      std::vector<std::int32_t> merged(width);
      for (std::size_t l = 0; l < leftCount; ++l) {
        bool matched = false;
        for (std::size_t r = 0; r < rightCount; ++r) {
          for (std::size_t s = 0; s < width; ++s) {
            const std::int32_t fromRight = right[r * width + s];
            merged[s] = fromRight >= 0 ? fromRight : left[l * width + s];
          }
          CombinationRow row(tables, merged.data());
          if (evaluator.Test(*item.on, row) != Truth::kTrue) continue;
          result.insert(result.end(), merged.begin(), merged.end());
          matched = true;
          rightMatched[r] = true;
        }
        if (!matched && item.join == JoinType::kLeft) {
          result.insert(result.end(), left.begin() + static_cast<std::ptrdiff_t>(l * width),
                        left.begin() + static_cast<std::ptrdiff_t>((l + 1) * width));
        }
      }
      if (item.join == JoinType::kRight) {
        for (std::size_t r = 0; r < rightCount; ++r) {
          if (!rightMatched[r]) {
            result.insert(result.end(), right.begin() + static_cast<std::ptrdiff_t>(r * width),
                          right.begin() + static_cast<std::ptrdiff_t>((r + 1) * width));
          }
        }
      }
      return result;
    };
    // The tables each item of FROM joins: an item sets all of them in a
    // combination, -1 for the missing side of an outer join.
    const std::function<void(const FromItem&, std::vector<std::size_t>&)> sourcesOf =
        [&](const FromItem& item, std::vector<std::size_t>& sources) {
          if (!item.isJoin) {
            sources.push_back(static_cast<std::size_t>(item.source));
            return;
          }
          sourcesOf(*item.left, sources);
          sourcesOf(*item.right, sources);
        };
    std::vector<Combinations> items;
    std::vector<std::vector<std::size_t>> itemSources;
    for (const std::unique_ptr<FromItem>& item : select.from) {
      items.push_back(combine(*item));
      sourcesOf(*item, itemSources.emplace_back());
    }
    // The comma-separated items form every combination of their rows.
    std::vector<std::int32_t> current(width, -1);
    const std::function<void(std::size_t)> cross = [&](std::size_t i) {
      if (i == items.size()) {
        CombinationRow row(tables, current.data());
        take(row, 0);
        return;
      }
      const Combinations& combinations = items[i];
      for (std::size_t c = 0; c < combinations.size(); c += width) {
        for (const std::size_t s : itemSources[i]) current[s] = combinations[c + s];
        cross(i + 1);
      }
    };
    cross(0);
  }

  // A crosstab's columns: the IN list, else every pivot value in order.
  std::vector<std::string> cellKeys;
  if (select.transform) {
    part.outputs.resize(part.rowHeadings);
    std::vector<std::pair<std::string, Variant>> columns(pivots.begin(), pivots.end());
    if (fixedColumns) {
      columns.clear();
      const std::vector<Variant> none;
      OutputRow constants(none);
      for (const ExprPtr& value : select.pivotValues) {
        const Variant listed = evaluator.Value(*value, constants);
        columns.emplace_back(pivotKey(listed), listed);
      }
    }
    for (auto& [cellKey, value] : columns) {
      part.outputs.push_back(CellColumn(PivotName(value), part.cellType, *select.transform));
      cellKeys.push_back(std::move(cellKey));
    }
  }
  if (part.grouped) {
    std::vector<std::pair<const std::string*, std::size_t>> order;
    for (const auto& [groupKey, index] : groupIndex) order.emplace_back(&groupKey, index);
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return *a.first < *b.first; });
    for (const auto& [groupKey, index] : order) {
      const Group& group = groups[index];
      GroupRow row(group.terms, group.states);
      if (select.having && evaluator.Test(*select.having, row) != Truth::kTrue) continue;
      Entry entry;
      entry.orderKey = orderKey(row);
      entry.values = outputs(row);
      for (const std::string& cellKey : cellKeys) {
        const auto cell = group.cells.find(cellKey);
        if (cell == group.cells.end()) {
          entry.values.push_back(Variant::Null());
          continue;
        }
        GroupRow cellRow(group.terms, cell->second);
        entry.values.push_back(evaluator.Value(*select.transform, cellRow));
      }
      entries.push_back(std::move(entry));
    }
  }
  if (select.distinct) {
    // One row of each kind; without ORDER BY in the order of the values.
    std::vector<std::pair<std::string, std::size_t>> keys;
    for (std::size_t e = 0; e < entries.size(); ++e) {
      std::string distinctKey;
      for (const Variant& value : entries[e].values) AppendSortableKey(distinctKey, value, *order_);
      keys.emplace_back(std::move(distinctKey), e);
    }
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Entry> distinct;
    for (std::size_t k = 0; k < keys.size(); ++k) {
      if (k > 0 && keys[k].first == keys[k - 1].first) continue;
      distinct.push_back(std::move(entries[keys[k].second]));
    }
    entries = std::move(distinct);
  }
  if (ordered && !select.orderBy.empty()) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.orderKey < b.orderKey; });
  }
  KeepTop(entries, select);

  QueryRows result;
  result.byId = byId;
  for (Entry& entry : entries) {
    if (byId) {
      result.ids.push_back(entry.id);
    } else {
      result.values.push_back(std::move(entry.values));
    }
  }
  return result;
}

}  // namespace dao::sql

