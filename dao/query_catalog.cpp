#include "dao/query_catalog.h"

#include "dao/dao_types.h"
#include "dao/jet/table_scanner.h"
#include "dao/sql/parser.h"
#include "dao/sql/select_query.h"
#include "dao/sql/sql_error.h"
#include "dao/sql/stored_query.h"
#include "platform/text_case.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Database";

}  // namespace

platform::Variant RowColumns::Value(int column) {
  return decoder_->Decode(definition_->columns[static_cast<std::size_t>(column)], *row_);
}

StoredTableData::StoredTableData(std::shared_ptr<TableSource> table) : table_(std::move(table)) {
  const jet::Layout& layout = table_->Database()->Jet(kSource).GetLayout();
  for (const jet::ColumnDefinition& column : table_->Definition(kSource).columns) {
    columns_.push_back({column.name, DaoTypeOf(column.Type()), DaoSizeOf(column, layout)});
  }
}

void StoredTableData::Scan(const std::function<bool(std::uint32_t, sql::ColumnReader&)>& visit) {
  jet::JetDatabase& jet = table_->Database()->Jet(kSource);
  const std::shared_ptr<const jet::TableDefinition> definition = table_->SharedDefinition(kSource);
  jet::TableScanner scanner(jet.Pages(), jet.GetLayout(), *definition);
  jet::ValueDecoder decoder(jet.Pages(), jet.GetLayout(), jet.Codec());
  RowColumns reader(*definition, decoder);
  while (scanner.Next()) {
    const jet::RowView row(jet.GetLayout(), scanner.Row().bytes, definition->variableColumns);
    reader.Reset(row);
    if (!visit(scanner.Location().ToU32(), reader)) return;
  }
}

std::shared_ptr<TableSource> DatabaseCatalog::FindTable(const std::string& name) const {
  const jet::CatalogEntry* entry = database_->Jet(kSource).FindTable(name);
  if (entry == nullptr) return nullptr;
  return std::make_shared<TableSource>(database_, *entry);
}

std::vector<jet::QueryRow> StoredQueryRows(DatabaseState& database, std::uint32_t id) {
  jet::JetDatabase& jet = database.Jet(kSource);
  return jet::ReadQueryRows(jet.Pages(), jet.GetLayout(), jet.Codec(), *jet.Table(jet::kMSysQueriesPage), id);
}

std::string StoredQuerySql(DatabaseState& database, std::uint32_t id) {
  return sql::SqlOfQueryRows(StoredQueryRows(database, id));
}

namespace {

// No sound database nests stored queries this deeply; a query that reads
// itself would nest without end.
constexpr int kMaxQueryNesting = 16;

// The rows of a stored SELECT, as a table of a statement that reads it.
class StoredQueryData : public sql::TableData {
 public:
  StoredQueryData(DatabaseLink database, std::string name, const std::string& text, int depth)
      : name_(std::move(name)), order_(database->Jet(kSource).Codec()) {
    sql::Statement statement = sql::ParseStatement(text);
    if (statement.kind != sql::StatementKind::kSelect || !statement.select->intoTable.empty()) {
      sql::RaiseSql(jet::kErrInputTableNotFound, "The database engine cannot find the input table or query '" + name_ +
                                                     "'. Make sure it exists and that its name is spelled correctly.");
    }
    DatabaseCatalog catalog(std::move(database), depth);
    query_ = std::make_unique<sql::SelectQuery>(std::move(statement), catalog, order_);
    query_->SetParameterValues({});
    // A crosstab's columns are known once it ran.
    if (query_->IsCrosstab()) query_->Run(/*values=*/true);
    for (const sql::OutputColumn& column : query_->Columns()) columns_.push_back({column.name, column.daoType, column.size});
  }

  const std::string& Name() const override { return name_; }
  const std::vector<sql::SourceColumn>& Columns() const override { return columns_; }
  void Scan(const std::function<bool(std::uint32_t, sql::ColumnReader&)>& visit) override {
    const std::vector<std::vector<platform::Variant>> rows = query_->Run(/*values=*/true).values;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      ValueRow row(rows[i]);
      if (!visit(static_cast<std::uint32_t>(i), row)) return;
    }
  }

 private:
  class ValueRow : public sql::ColumnReader {
   public:
    explicit ValueRow(const std::vector<platform::Variant>& values) : values_(&values) {}
    platform::Variant Value(int column) override { return (*values_)[static_cast<std::size_t>(column)]; }

   private:
    const std::vector<platform::Variant>* values_;
  };

  std::string name_;
  sql::TextOrder order_;
  std::unique_ptr<sql::SelectQuery> query_;
  std::vector<sql::SourceColumn> columns_;
};

}  // namespace

std::shared_ptr<sql::TableData> DatabaseCatalog::Table(const std::string& name) {
  if (std::shared_ptr<TableSource> table = FindTable(name)) return std::make_shared<StoredTableData>(std::move(table));
  for (const jet::CatalogEntry& entry : database_->Jet(kSource).Catalog()) {
    if (entry.parentId != jet::kTablesContainerId || entry.type != jet::kObjectTypeQuery ||
        !platform::AnsiSameText(entry.name, name)) {
      continue;
    }
    if (depth_ >= kMaxQueryNesting) sql::RaiseSql(sql::kErrQueryTooComplex, "Query is too complex.");
    return std::make_shared<StoredQueryData>(database_, entry.name, StoredQuerySql(*database_, entry.id), depth_ + 1);
  }
  return nullptr;
}

}  // namespace dao
