#include "dao/stored_indexes.h"

#include "dao/new_table.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Indexes";

}  // namespace

void AppendStoredIndex(TableSource& table, const Index& index) {
  const jet::TableDefinition& definition = table.Definition(kSource);
  std::vector<std::string> names;
  std::vector<std::uint16_t> numbers;
  for (const jet::ColumnDefinition& column : definition.columns) {
    names.push_back(column.name);
    numbers.push_back(column.number);
  }
  const jet::NewIndex described = NewIndexOf(index, names, numbers);
  const std::uint32_t tdefPage = table.Id();
  table.Database()->Write(kSource, [&](jet::DatabaseWriter& writer) { writer.AddIndex(tdefPage, described); });
  table.Database()->SchemaChanged();
}

void DeleteStoredIndex(TableSource& table, std::string_view name) {
  const std::uint32_t tdefPage = table.Id();
  table.Database()->Write(kSource, [&](jet::DatabaseWriter& writer) { writer.RemoveIndex(tdefPage, std::string(name)); });
  table.Database()->SchemaChanged();
}

}  // namespace dao
