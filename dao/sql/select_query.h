// A SELECT statement bound to the tables it reads and ready to run: its
// output columns with their types, its parameters, and the rows it gives.
// A query over one table without grouping, DISTINCT or unions gives the
// ids of its rows in order (a dynaset's rows; their values are read from
// the table); any other query gives its values.
// A crosstab (TRANSFORM ... PIVOT) gives one row per group: its row
// headings, then one column per pivot value, which are known once it ran.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dao/sql/binder.h"
#include "dao/sql/evaluator.h"
#include "dao/sql/sources.h"
#include "dao/sql/syntax.h"
#include "dao/sql/text_order.h"

namespace dao::sql {

struct OutputColumn {
  std::string name;
  int daoType = 0;
  int size = 0;
  // A plain column of a FROM table, or -1.
  int source = -1;
  int column = -1;
  const Expr* expr = nullptr;
};

struct QueryRows {
  bool byId = false;
  std::vector<std::uint32_t> ids;                       // byId
  std::vector<std::vector<platform::Variant>> values;  // otherwise
};

class SelectQuery {
 public:
  // Binds `statement` (a SELECT) to the tables of `catalog`. Raises 3078
  // for a table that does not exist, 3067 without FROM, and the binder's
  // and the grouping rules' errors (3122, 3093).
  SelectQuery(Statement statement, Catalog& catalog, const TextOrder& order);
  ~SelectQuery();
  SelectQuery(const SelectQuery&) = delete;
  SelectQuery& operator=(const SelectQuery&) = delete;

  // Declared parameters, then the names no table has, in order.
  const std::vector<ParameterDecl>& Parameters() const { return binder_.Parameters(); }
  // Values of the parameters by index (missing ones raise 3061 on Run).
  void SetParameterValues(std::vector<platform::Variant> values);

  // A crosstab's pivot columns are those of its last Run (before one, only
  // those of a PIVOT ... IN list).
  const std::vector<OutputColumn>& Columns() const;
  bool IsCrosstab() const { return statement_.select->transform != nullptr; }
  // Whether the rows are a single table's rows by id (and how many FROM
  // tables there are).
  bool ReadsOneTable() const;
  // The FROM tables of the (first) SELECT.
  const std::vector<BoundTable>& Tables() const;
  // The make-table target of SELECT ... INTO, or "".
  const std::string& IntoTable() const { return statement_.select->intoTable; }
  const Statement& GetStatement() const { return statement_; }

  // Runs the query. `values` asks for values even where ids would do.
  QueryRows Run(bool values = false);
  // The value of output `column` for the row of the one FROM table that
  // `row` reads (for queries that give ids).
  platform::Variant OutputValue(int column, ColumnReader& row);

 private:
  struct Part;
  void BindPart(Part& part, Catalog& catalog);
  void CheckGrouping(Part& part);
  void BindCrosstab(Part& part);
  QueryRows RunPart(Part& part, bool values);
  void OrderUnion(std::vector<std::vector<platform::Variant>>& rows);
  Evaluator& Evaluation();

  Statement statement_;
  const TextOrder* order_;
  Binder binder_;
  std::vector<std::unique_ptr<Part>> parts_;  // the SELECT and its UNION parts
  std::vector<platform::Variant> parameterValues_;
  std::unique_ptr<Evaluator> evaluator_;
};

}  // namespace dao::sql
