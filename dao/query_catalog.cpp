#include "dao/query_catalog.h"

#include "dao/dao_types.h"
#include "dao/jet/table_scanner.h"

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

std::shared_ptr<sql::TableData> DatabaseCatalog::Table(const std::string& name) {
  std::shared_ptr<TableSource> table = FindTable(name);
  if (!table) return nullptr;
  return std::make_shared<StoredTableData>(std::move(table));
}

}  // namespace dao
