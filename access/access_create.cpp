// TAccessDatabase: creating database files, tables and their indexes, and
// deleting indexes.

#include "access/access_database.h"
#include "access/access_messages.h"
#include "access/dao_call_log.h"
#include "access/dao_helpers.h"
#include "dao/constants.h"
#include "platform/text_case.h"
#include "recordset/database_error.h"

namespace accessdb {

namespace {

// Index flags of CreateTable.
constexpr std::int32_t kPrimaryKeyMember = 1;
constexpr std::int32_t kOwnUniqueIndex = 2;
constexpr std::int32_t kOwnIndex = 4;

}  // namespace

void TAccessDatabase::CreateDatabaseFile(const std::string& fileName) {
  if (!workspaceObject_) RaiseError(messages::kCreateDatabaseWithoutEngine);
  int format = 0;
  if (version_ == "3.5") format = dao::dbVersion30;
  if (version_ == "3.6") format = dao::dbVersion40;
  // Another version would create nothing; saying so beats a caller
  // believing a file exists.
  if (format == 0) RaiseError(recordset::FillMessage(messages::kCreateDatabaseVersion, {version_}));
  LogDaoCall("Workspace.CreateDatabase");
  // The new file is not kept open: the Database object goes at once.
  workspaceObject_->CreateDatabase(fileName, dao::dbLangGeneral, format)->Close();
}

bool TAccessDatabase::CreateTable(const std::string& tableName, const std::vector<std::string>& names,
                                  const std::vector<std::int32_t>& types, const std::vector<std::int32_t>& sizes,
                                  const std::vector<std::int32_t>& indexFlags,
                                  const std::vector<std::int32_t>& requiredFlags) {
  if (!connected_) RaiseError(messages::kCreateTableNotConnected);
  if (tableName.empty()) RaiseError(messages::kCreateTableNameEmpty);
  const std::size_t count = names.size();
  if (types.size() != count || sizes.size() != count || indexFlags.size() != count ||
      requiredFlags.size() != count) {
    throw std::invalid_argument("CreateTable: the field lists differ in length");
  }
  LogDaoCall("Database.CreateTableDef");
  const std::shared_ptr<dao::TableDef> tableDef = databaseObject_->CreateTableDef(tableName);
  const bool paradox = platform::AnsiLowerCase(databaseType_).find("paradox") != std::string::npos;
  const std::string primaryKeyName = paradox ? tableName : "PrimaryKey";
  std::vector<std::int32_t> daoTypes = types;
  std::shared_ptr<dao::Index> primaryKey;
  for (std::size_t i = 0; i < count; ++i) {
    const bool autoIncrement = daoTypes[i] == AutoIncrementType;
    if (autoIncrement) daoTypes[i] = dao::dbLong;
    tableDef->Fields().Append(tableDef->CreateField(names[i], daoTypes[i], sizes[i]));
    if (autoIncrement) tableDef->Fields().Item(names[i])->SetAttributes(dao::dbAutoIncrField);
    if (indexFlags[i] > 0 && (indexFlags[i] & kPrimaryKeyMember) != 0) {
      if (!primaryKey) {
        primaryKey = tableDef->CreateIndex(primaryKeyName);
        primaryKey->SetPrimary(true);
        primaryKey->SetUnique(true);
      }
      primaryKey->Fields().Append(tableDef->CreateField(names[i], daoTypes[i], sizes[i]));
    }
  }
  if (primaryKey) tableDef->Indexes().Append(primaryKey);
  for (std::size_t i = 0; i < count; ++i) {
    if ((indexFlags[i] & (kOwnUniqueIndex | kOwnIndex)) == 0) continue;
    const std::shared_ptr<dao::Index> index = tableDef->CreateIndex(names[i]);
    if ((indexFlags[i] & kOwnUniqueIndex) != 0) index->SetUnique(true);
    index->Fields().Append(tableDef->CreateField(names[i], daoTypes[i], sizes[i]));
    tableDef->Indexes().Append(index);
  }
  LogDaoCall("TableDefs.Append");
  databaseObject_->TableDefs().Append(tableDef);
  RefreshDefinitions();
  // Required is set on the stored table, once it exists.
  for (std::size_t i = 0; i < count; ++i) {
    if (requiredFlags[i] == 1) databaseObject_->TableDefs().Item(tableName)->Fields().Item(names[i])->SetRequired(true);
  }
  RefreshDefinitions();
  return true;
}

void TAccessDatabase::DeleteIndex(const std::string& tableName, const std::string& indexName) {
  RefreshDefinitions();
  LogDaoCall("Indexes.Delete");
  databaseObject_->TableDefs().Item(tableName)->Indexes().Delete(indexName);
  RefreshDefinitions();
}

}  // namespace accessdb
