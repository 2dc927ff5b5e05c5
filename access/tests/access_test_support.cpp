#include "access/tests/access_test_support.h"

#include <filesystem>

#include "dao/tests/fixture_support.h"

namespace accessdb::testing {

void AccessTest::SetUp() {
  if (dao::testing::FixturesDir().empty()) GTEST_SKIP() << "fixture folder " << NUTARO_FIXTURES_DIR << " is absent";
}

std::string AccessTest::CopyFixture(const std::string& relative) {
  const std::filesystem::path source = dao::testing::FixturesDir() / relative;
  const std::string target = Path(source.filename().string());
  std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
  return target;
}

std::unique_ptr<TAccessDatabase> AccessTest::Connect(const std::string& path, const std::string& name) {
  auto database = std::make_unique<TAccessDatabase>(name);
  database->SetVersion("3.6");
  database->SetDatabase(path);
  database->SetConnected(true);
  return database;
}

std::unique_ptr<TAccessDatabase> AccessTest::NewDatabase(const std::string& fileName, const std::string& version,
                                                         const std::string& name) {
  TAccessDatabase creator;
  creator.SetVersion(version);
  creator.CreateDatabaseFile(Path(fileName));
  auto database = std::make_unique<TAccessDatabase>(name);
  database->SetVersion(version);
  database->SetDatabase(Path(fileName));
  database->SetConnected(true);
  return database;
}

std::unique_ptr<TAccessTable> AccessTest::OpenTable(TAccessDatabase& database, const std::string& tableName,
                                                    const std::string& name) {
  auto table = std::make_unique<TAccessTable>(name);
  table->SetDatabase(&database);
  table->SetTableName(tableName);
  table->SetActive(true);
  return table;
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    return error.what();
  }
  return std::string();
}

std::vector<std::vector<std::string>> TextRows(TAccessTable& table) {
  std::vector<std::vector<std::string>> rows;
  for (table.GoFirst(); !table.AtEnd(); table.GoNext()) {
    std::vector<std::string> row;
    for (int i = 0; i < table.FieldCount(); ++i) row.push_back(table.Field(i).TextValue());
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace accessdb::testing
