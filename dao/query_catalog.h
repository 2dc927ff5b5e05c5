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

// The local tables (user and system) of a database, by name.
class DatabaseCatalog : public sql::Catalog {
 public:
  explicit DatabaseCatalog(DatabaseLink database) : database_(std::move(database)) {}
  std::shared_ptr<sql::TableData> Table(const std::string& name) override;
  // The local table `name`, or nullptr.
  std::shared_ptr<TableSource> FindTable(const std::string& name) const;

 private:
  DatabaseLink database_;
};

}  // namespace dao
