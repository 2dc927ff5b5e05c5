#include "dao/tests/write_support.h"

#include "dao/tests/dao_error_of.h"

namespace dao::testing {

void WritingTest::SetUp() {
  engine_ = DBEngine::Create("DAO.DBEngine.36");
  workspace_ = engine_->CreateWorkspace("writer", "Admin", "");
}

std::shared_ptr<Database> WritingTest::NewDatabase(const std::string& name, int options) {
  return workspace_->CreateDatabase(Path(name), dbLangGeneral, options);
}

int WritingTest::ErrorOf(const std::function<void()>& action) { return DaoErrorOf(*engine_, action); }

std::shared_ptr<Field> AppendField(TableDef& table, const std::string& name, int type, int size, int attributes) {
  auto field = table.CreateField(name, type, size);
  if (attributes != 0) field->SetAttributes(attributes);
  table.Fields().Append(field);
  return field;
}

std::shared_ptr<Index> AppendIndex(TableDef& table, const std::string& name, const std::vector<std::string>& fields,
                                   bool primary, bool unique) {
  auto index = table.CreateIndex(name);
  index->SetPrimary(primary);
  index->SetUnique(unique);
  for (const std::string& field : fields) {
    const bool descending = field.front() == '-';
    auto part = index->CreateField(descending ? field.substr(1) : field);
    if (descending) part->SetAttributes(dbDescending);
    index->Fields().Append(part);
  }
  table.Indexes().Append(index);
  return index;
}

void AddRow(Recordset& recordset, const std::vector<std::pair<std::string, platform::Variant>>& values) {
  recordset.AddNew();
  for (const auto& [name, value] : values) recordset.Fields().Item(name)->SetValue(value);
  recordset.Update();
}

std::vector<std::vector<platform::Variant>> ReadTable(Database& database, const std::string& table) {
  std::vector<std::vector<platform::Variant>> rows;
  const auto recordset = database.OpenRecordset(table, dbOpenDynaset);
  for (; !recordset->AtEOF(); recordset->MoveNext()) {
    std::vector<platform::Variant> row;
    for (const auto& field : recordset->Fields()) row.push_back(field->Value());
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace dao::testing
