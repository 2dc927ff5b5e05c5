#include "dao/query_source.h"

#include "dao/constants.h"
#include "dao/dao_types.h"
#include "dao/query_catalog.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Database";

// The column a computed field of DAO type `daoType` and `size` would have.
jet::ColumnDefinition ComputedColumn(const std::string& name, int daoType, int size, const jet::Layout& layout) {
  jet::ColumnDefinition column;
  column.name = name;
  const jet::ColumnType type = ColumnTypeOfDao(daoType).value_or(jet::ColumnType::kText);
  column.typeCode = static_cast<std::uint8_t>(type);
  if (type == jet::ColumnType::kText || type == jet::ColumnType::kBinary) {
    const int characters = size > 0 && size <= 255 ? size : 255;
    column.length = static_cast<std::uint16_t>(type == jet::ColumnType::kText && layout.IsJet4() ? characters * 2 : characters);
  } else {
    column.length = static_cast<std::uint16_t>(jet::FixedTypeSize(type));
    if (column.length != 0 || type == jet::ColumnType::kBoolean) column.flags |= jet::kColumnFixed;
  }
  return column;
}

}  // namespace

QuerySource::QuerySource(DatabaseLink database, sql::Statement statement)
    : database_(std::move(database)), order_(database_->Jet(kSource).Codec()) {
  DatabaseCatalog catalog(database_);
  query_ = std::make_unique<sql::SelectQuery>(std::move(statement), catalog, order_);
  const std::vector<sql::BoundTable>& tables = query_->Tables();
  // A query over one stored table shows that table's rows (a stored
  // query's rows are values).
  if (query_->ReadsOneTable()) {
    if (const auto* stored = dynamic_cast<const StoredTableData*>(tables.front().data.get())) table_ = stored->Source();
  }
  DescribeColumns();
}

sql::QueryRows QuerySource::Run() {
  sql::QueryRows rows = query_->Run(/*values=*/!table_);
  // A crosstab's columns are the pivot values this run found.
  if (query_->IsCrosstab()) DescribeColumns();
  return rows;
}

void QuerySource::DescribeColumns() {
  const std::vector<sql::BoundTable>& tables = query_->Tables();
  tableColumns_.clear();
  sourceTables_.clear();
  sourceFields_.clear();
  const jet::Layout& layout = database_->Jet(kSource).GetLayout();
  auto shape = std::make_shared<jet::TableDefinition>();
  for (const sql::OutputColumn& output : query_->Columns()) {
    int tableColumn = -1;
    std::shared_ptr<TableSource> sourceTable;
    std::string sourceField;
    jet::ColumnDefinition column;
    const auto* stored =
        output.source >= 0 ? dynamic_cast<const StoredTableData*>(tables[static_cast<std::size_t>(output.source)].data.get())
                           : nullptr;
    if (stored != nullptr) {
      column = stored->Source()->Definition(kSource).columns[static_cast<std::size_t>(output.column)];
      sourceTable = stored->Source();
      sourceField = column.name;
      if (table_) tableColumn = output.column;
    } else {
      column = ComputedColumn(output.name, output.daoType, output.size, layout);
    }
    column.name = output.name;
    shape->columns.push_back(std::move(column));
    tableColumns_.push_back(tableColumn);
    sourceTables_.push_back(std::move(sourceTable));
    sourceFields_.push_back(std::move(sourceField));
  }
  shape_ = std::move(shape);
}

}  // namespace dao
