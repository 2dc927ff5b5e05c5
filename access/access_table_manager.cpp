#include "access/access_table_manager.h"

#include "access/access_database.h"
#include "access/access_messages.h"
#include "access/dao_call_log.h"
#include "access/dao_helpers.h"
#include "platform/name_list.h"
#include "platform/text_case.h"
#include "recordset/database_error.h"

namespace accessdb {

using recordset::ixPrimary;
using recordset::ixUnique;

void TAccessTableManager::CheckReady() const {
  if (database_ == nullptr) recordset::DatabaseError(messages::kManagerWithoutDatabase);
  if (!database_->Connected()) recordset::DatabaseError(messages::kManagerNotConnected);
  if (tableName_.empty()) recordset::DatabaseError(messages::kManagerWithoutTableName);
}

void TAccessTableManager::CreateTable() {
  CheckReady();
  std::vector<std::string> names;
  std::vector<std::int32_t> types;
  std::vector<std::int32_t> sizes;
  std::vector<std::int32_t> indexFlags;
  std::vector<std::int32_t> requiredFlags;
  for (int i = 0; i < fieldDefs_.Count(); ++i) {
    const recordset::TFieldDef& def = fieldDefs_[i];
    names.push_back(def.Name());
    types.push_back(DaoTypeOfField(def.DataType()));
    sizes.push_back(DaoFieldSize(types.back(), def.Size()));
    indexFlags.push_back(0);
    requiredFlags.push_back(def.Required() ? 1 : 0);
  }
  // Indexes come from IndexDefs alone, never from the field list.
  database_->CreateTable(tableName_, names, types, sizes, indexFlags, requiredFlags);
  CreateIndexes();
}

void TAccessTableManager::CreateIndexes() {
  if (indexDefs_.Empty()) return;
  CheckReady();
  dao::Database& database = *database_->DatabaseObject();
  const std::shared_ptr<dao::TableDef> tableDef = database.TableDefs().Item(tableName_);
  const bool paradox = platform::AnsiLowerCase(database_->DatabaseType()).find("paradox") != std::string::npos;
  std::string primaryKeyName;
  bool hasPrimary = false;
  for (const recordset::TIndexDef& def : indexDefs_) {
    if (!def.options.Has(ixPrimary)) continue;
    hasPrimary = true;
    primaryKeyName = def.name;
  }
  if (paradox) primaryKeyName = tableName_;
  if (hasPrimary) {
    // A table has one primary key: the one it has gives way.
    std::string existing;
    for (const auto& index : tableDef->Indexes()) {
      if (index->Primary()) {
        existing = index->Name();
        break;
      }
    }
    if (!existing.empty()) {
      LogDaoCall("Indexes.Delete");
      tableDef->Indexes().Delete(existing);
    }
    const std::shared_ptr<dao::Index> primaryKey = tableDef->CreateIndex(primaryKeyName);
    primaryKey->SetPrimary(true);
    for (const recordset::TIndexDef& def : indexDefs_) {
      if (!def.options.Has(ixPrimary)) continue;
      for (const std::string_view field : platform::SplitNameList(def.fields)) {
        primaryKey->Fields().Append(primaryKey->CreateField(std::string(field)));
      }
    }
    LogDaoCall("Indexes.Append");
    tableDef->Indexes().Append(primaryKey);
  }
  const recordset::TIndexOptions none;
  const recordset::TIndexOptions unique{ixUnique};
  const recordset::TIndexOptions uniquePrimary{ixPrimary, ixUnique};
  for (const recordset::TIndexDef& def : indexDefs_) {
    if (def.options != none && def.options != unique && def.options != uniquePrimary) continue;
    const std::vector<std::string_view> fields = platform::SplitNameList(def.fields);
    std::string name = def.name;
    if (name.empty() && !fields.empty()) name = std::string(fields.front());
    if (hasPrimary && platform::AnsiSameText(name, primaryKeyName)) continue;
    const std::shared_ptr<dao::Index> index = tableDef->CreateIndex(name);
    if (def.options.Has(ixUnique)) index->SetUnique(true);
    for (const std::string_view field : fields) index->Fields().Append(index->CreateField(std::string(field)));
    LogDaoCall("Indexes.Append");
    tableDef->Indexes().Append(index);
  }
  database_->RefreshDefinitions();
}

}  // namespace accessdb
