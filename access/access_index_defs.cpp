// TAccessTable: the index definitions of a stored table opened as a
// table-type recordset (IndexDefs), choosing an index for a search,
// IndexName, and making the DAO indexes match IndexDefs.

#include <algorithm>

#include "access/access_database.h"
#include "access/access_messages.h"
#include "access/access_table.h"
#include "access/dao_failures.h"
#include "dao/constants.h"
#include "dao/index.h"
#include "dao/table_def.h"
#include "platform/name_list.h"
#include "platform/text_case.h"

namespace accessdb {

using namespace recordset;

namespace {

bool ContainsName(const std::vector<std::string_view>& names, std::string_view name) {
  return std::any_of(names.begin(), names.end(),
                     [&](std::string_view candidate) { return platform::AnsiSameText(candidate, name); });
}

// Whether every one of `keys` is among `fields`.
bool ContainsAll(const std::vector<std::string_view>& fields, const std::vector<std::string_view>& keys) {
  return std::all_of(keys.begin(), keys.end(), [&](std::string_view key) { return ContainsName(fields, key); });
}

// An index's fields in key order, ascending and descending ones alike.
std::vector<std::string_view> IndexFieldNames(const TIndexDef& def) {
  std::vector<std::string_view> names = platform::SplitNameList(def.fields);
  for (const std::string_view name : platform::SplitNameList(def.descFields)) names.push_back(name);
  return names;
}

}  // namespace

void TAccessTable::ReadIndexDefs() {
  indexDefs_.Clear();
  if (tableName_.empty() || tableType_ != kTableTypeTable || database_->EngineType() == kEngineTypeOdbcDirect) return;
  std::shared_ptr<dao::TableDef> table;
  IgnoringErrors([&] {
    table = database_->DatabaseObject()->TableDefs().Item(tableName_);
    LogDaoCall("Indexes.Refresh");
    table->Indexes().Refresh();
  });
  if (!table) return;
  for (const auto& index : table->Indexes()) {
    std::string name;
    bool primary = false;
    bool unique = false;
    IgnoringErrors([&] {
      name = index->Name();
      primary = index->Primary();
      unique = index->Unique();
    });
    std::string fields;
    std::string descFields;
    bool ascending = false;
    for (const auto& field : index->Fields()) {
      const bool descending = (field->Attributes() & dao::dbDescending) != 0;
      std::string& list = descending ? descFields : fields;
      list += (list.empty() ? "" : ";") + field->Name();
      ascending = ascending || !descending;
    }
    TIndexOptions options;
    if (primary) options.Include(ixPrimary);
    if (unique) options.Include(ixUnique);
    if (!ascending) options.Include(ixDescending);
    indexDefs_.Add(std::move(name), std::move(fields), options).descFields = std::move(descFields);
  }
}

std::string TAccessTable::IndexForFields(std::string_view fieldList) const {
  if (indexDefs_.Empty() || tableType_ != kTableTypeTable) return std::string();
  const bool exact = fieldList.starts_with('!');
  if (exact) fieldList.remove_prefix(1);
  const std::vector<std::string_view> keys = platform::SplitNameList(fieldList);
  if (keys.empty()) return std::string();
  const TIndexDef* candidate = nullptr;
  for (const TIndexDef& def : indexDefs_) {
    const std::vector<std::string_view> fields = IndexFieldNames(def);
    if (exact) {
      if (fields.size() == keys.size() && ContainsAll(fields, keys)) return def.name;
      continue;
    }
    if (fields.size() < keys.size() || !ContainsAll(fields, keys)) continue;
    // An index that leads with a key field can be searched by it.
    if (ContainsName(keys, fields.front())) return def.name;
    candidate = &def;
  }
  return candidate != nullptr ? candidate->name : std::string();
}

void TAccessTable::SetIndexName(std::string name) {
  if (tableType_ != kTableTypeTable && !name.empty()) RaiseError(messages::kIndexOnlyOnTables);
  if (tableType_ == kTableTypeTable) {
    sortedBy_.clear();
    if (Active()) {
      CheckBrowseMode();
      LogDaoCall("Recordset.Index:=");
      recordset_.Object()->SetIndex(name);
      indexName_ = std::move(name);
      countStale_ = true;
      ClearBuffers();
      GoFirst();
      return;
    }
  }
  indexName_ = std::move(name);
}

void TAccessTable::CreateDaoIndex(const TIndexDef& def) {
  const std::vector<std::string>& tables = database_->TableNames();
  const bool tableKnown = std::any_of(tables.begin(), tables.end(),
                                      [&](const std::string& table) { return platform::AnsiSameText(table, tableName_); });
  if (!tableKnown) return;
  for (const std::string_view name : IndexFieldNames(def)) {
    if (FieldDefs().IndexOf(name) < 0) return;
  }
  const bool wasOpen = Active();
  SetActive(false);
  database_->RefreshDefinitions();
  const std::shared_ptr<dao::TableDef> table = database_->DatabaseObject()->TableDefs().Item(tableName_);
  LogDaoCall("TableDef.CreateIndex");
  const std::shared_ptr<dao::Index> index = table->CreateIndex(def.name);
  if (def.options.Has(ixPrimary)) index->SetPrimary(true);
  if (def.options.Has(ixUnique)) index->SetUnique(true);
  for (const std::string_view name : platform::SplitNameList(def.fields)) {
    index->Fields().Append(table->CreateField(std::string(name)));
  }
  for (const std::string_view name : platform::SplitNameList(def.descFields)) {
    const std::shared_ptr<dao::Field> field = table->CreateField(std::string(name));
    field->SetAttributes(field->Attributes() | dao::dbDescending);
    index->Fields().Append(field);
  }
  LogDaoCall("Indexes.Append");
  table->Indexes().Append(index);
  database_->RefreshDefinitions();
  if (wasOpen) SetActive(true);
}

void TAccessTable::RefreshIndexList() {
  // Only a table-type table keeps index definitions; on any other an empty
  // IndexDefs would mean deleting every index the table has.
  if (tableType_ != kTableTypeTable || tableName_.empty() || database_ == nullptr || !database_->Connected()) return;
  std::vector<std::string> daoNames;
  IgnoringErrors([&] {
    for (const auto& index : database_->DatabaseObject()->TableDefs().Item(tableName_)->Indexes()) {
      daoNames.push_back(index->Name());
    }
  });
  const auto named = [](const std::string& name) {
    return [&name](const auto& other) { return platform::AnsiSameText(other, name); };
  };
  // Re-opening reads IndexDefs anew: the wanted ones are kept apart.
  const std::vector<TIndexDef> wanted(indexDefs_.begin(), indexDefs_.end());
  std::vector<std::string> wantedNames;
  for (const TIndexDef& def : wanted) wantedNames.push_back(def.name);
  for (const TIndexDef& def : wanted) {
    if (std::none_of(daoNames.begin(), daoNames.end(), named(def.name))) CreateDaoIndex(def);
  }
  std::vector<std::string> unwanted;
  for (const std::string& name : daoNames) {
    if (std::none_of(wantedNames.begin(), wantedNames.end(), named(name))) unwanted.push_back(name);
  }
  if (!unwanted.empty()) {
    const bool wasOpen = Active();
    SetActive(false);
    for (const std::string& name : unwanted) database_->DeleteIndex(tableName_, name);
    if (wasOpen) SetActive(true);
  }
  ReadIndexDefs();
}

}  // namespace accessdb
