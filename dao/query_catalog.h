// The tables of a database as the SQL layer reads them: their columns with
// DAO's types, and their rows in storage order with each row's pointer as
// its id.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dao/database_state.h"
#include "dao/jet/column_value.h"
#include "dao/jet/row_view.h"
#include "dao/jet/stored_queries.h"
#include "dao/sql/sources.h"

namespace dao {

// The columns of one stored row, decoded when asked for.
class RowColumns : public sql::ColumnReader {
 public:
  RowColumns(const jet::TableDefinition& definition, jet::ValueDecoder& decoder)
      : definition_(&definition), decoder_(&decoder) {}
  // Reads from `row` from now on; it must outlive the reads.
  void Reset(const jet::RowView& row) { row_ = &row; }
  platform::Variant Value(int column) override;

 private:
  const jet::TableDefinition* definition_;
  jet::ValueDecoder* decoder_;
  const jet::RowView* row_ = nullptr;
};

class StoredTableData : public sql::TableData {
 public:
  explicit StoredTableData(std::shared_ptr<TableSource> table);

  const std::string& Name() const override { return table_->Entry().name; }
  const std::vector<sql::SourceColumn>& Columns() const override { return columns_; }
  void Scan(const std::function<bool(std::uint32_t id, sql::ColumnReader& row)>& visit) override;

  const std::shared_ptr<TableSource>& Source() const { return table_; }

 private:
  std::shared_ptr<TableSource> table_;
  std::vector<sql::SourceColumn> columns_;
};

// The local tables (user and system) and stored SELECT queries of a
// database, by name.
class DatabaseCatalog : public sql::Catalog {
 public:
  // `depth` counts the stored queries this catalog serves within.
  explicit DatabaseCatalog(DatabaseLink database, int depth = 0) : database_(std::move(database)), depth_(depth) {}
  // A table, or a stored query's rows. Raises 3360 for queries nested
  // more deeply than any sound database needs (a query that reads itself).
  std::shared_ptr<sql::TableData> Table(const std::string& name) override;
  // The local table `name`, or nullptr.
  std::shared_ptr<TableSource> FindTable(const std::string& name) const;

 private:
  DatabaseLink database_;
  int depth_;
};

// The MSysQueries rows and the SQL text of the stored query with catalog
// id `id`.
std::vector<jet::QueryRow> StoredQueryRows(DatabaseState& database, std::uint32_t id);
std::string StoredQuerySql(DatabaseState& database, std::uint32_t id);

}  // namespace dao
