// The SELECT behind a recordset opened on SQL: the bound query, the fields
// it shows (with the type and size DAO reports for each), and for a query
// over one table the table and which of its columns each field shows, so
// that the recordset reads and changes the table's rows directly.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dao/database_state.h"
#include "dao/sql/select_query.h"
#include "dao/sql/text_order.h"

namespace dao {

class QuerySource {
 public:
  // Binds `statement` (a SELECT) to the tables of `database`. Raises the
  // SQL layer's errors.
  QuerySource(DatabaseLink database, sql::Statement statement);
  QuerySource(const QuerySource&) = delete;
  QuerySource& operator=(const QuerySource&) = delete;

  sql::SelectQuery& Query() { return *query_; }
  // Runs the query: a table's row ids when Table() is set, else values.
  // Shape() then describes the columns of this run.
  sql::QueryRows Run();
  const std::string& Text() const { return query_->GetStatement().text; }
  // The one table of a query whose rows are that table's rows; nullptr
  // for a query that gives values.
  const std::shared_ptr<TableSource>& Table() const { return table_; }
  // One column per field: name, type and size.
  const std::shared_ptr<const jet::TableDefinition>& Shape() const { return shape_; }
  // The table column field `field` shows, or -1 for a computed field
  // (and for every field of a query that gives values).
  int TableColumn(std::size_t field) const { return tableColumns_[field]; }
  // The table and column a field shows (nullptr and "" for computed ones).
  const std::shared_ptr<TableSource>& SourceTable(std::size_t field) const { return sourceTables_[field]; }
  const std::string& SourceField(std::size_t field) const { return sourceFields_[field]; }
  // Most rows a recordset on the query shows (0: all), as
  // QueryDef.MaxRecords sets it.
  long MaxRecords() const { return maxRecords_; }
  void SetMaxRecords(long count) { maxRecords_ = count; }
  // The order of texts in this database.
  const sql::TextOrder& Order() const { return order_; }

 private:
  void DescribeColumns();

  DatabaseLink database_;
  sql::TextOrder order_;
  std::unique_ptr<sql::SelectQuery> query_;
  std::shared_ptr<TableSource> table_;
  std::shared_ptr<const jet::TableDefinition> shape_;
  std::vector<int> tableColumns_;
  std::vector<std::shared_ptr<TableSource>> sourceTables_;
  std::vector<std::string> sourceFields_;
  long maxRecords_ = 0;
};

}  // namespace dao
