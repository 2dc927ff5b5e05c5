#include "dao/database.h"

#include <algorithm>

#include "dao/constants.h"
#include "dao/action_query.h"
#include "dao/new_table.h"
#include "dao/query_source.h"
#include "dao/sql/parser.h"
#include "platform/clock.h"
#include "platform/text_case.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Database";

// Whether `source` is SQL text rather than the name of a table or query:
// it starts with the word of a statement.
bool IsSqlText(std::string_view source) {
  std::size_t start = 0;
  while (start < source.size() && std::isspace(static_cast<unsigned char>(source[start]))) ++start;
  if (start < source.size() && source[start] == '(') return true;
  std::size_t end = start;
  while (end < source.size() && std::isalpha(static_cast<unsigned char>(source[end]))) ++end;
  const std::string_view word = source.substr(start, end - start);
  if (end < source.size() && !std::isspace(static_cast<unsigned char>(source[end])) && source[end] != '[' &&
      source[end] != '*' && source[end] != '(') {
    return false;
  }
  for (const std::string_view keyword : {"SELECT", "TRANSFORM", "PARAMETERS", "INSERT", "UPDATE", "DELETE", "CREATE",
                                         "ALTER", "DROP"}) {
    if (platform::AnsiSameText(word, keyword)) return true;
  }
  return false;
}

}  // namespace

Database::Database(DatabaseLink state, std::string connect)
    : state_(std::move(state)), connect_(std::move(connect)) {}

Database::~Database() {
  try {
    state_->Close();
  } catch (...) {
    // A failed write-back cannot be reported from here; Close reports it.
  }
}

std::string Database::Version() const {
  return Guarded(state_->Engine(), kSource, [&] {
    return std::string(state_->Jet(kSource).GetLayout().IsJet4() ? "4.0" : "3.0");
  });
}

int Database::CollatingOrder() const {
  return Guarded(state_->Engine(), kSource, [&] {
    const int sortOrder = state_->Jet(kSource).Header().sortOrder;
    return sortOrder == 0 ? dbSortUndefined : sortOrder;
  });
}

bool Database::Updatable() const {
  return Guarded(state_->Engine(), kSource, [&] { return !state_->Jet(kSource).IsReadOnly(); });
}

TableDefCollection& Database::TableDefs() {
  return Guarded(state_->Engine(), kSource, [&]() -> TableDefCollection& {
    jet::JetDatabase& jet = state_->Jet(kSource);
    if (!tableDefs_) {
      tableDefs_.emplace(state_->EngineShared(), "DAO.TableDefs");
      tableDefs_->SetHandlers([this](const std::shared_ptr<TableDef>& tableDef) { AppendTableDef(tableDef); },
                              [this](std::string_view name) { DeleteTableDef(name); });
    } else if (tableDefsSchema_ == state_->SchemaGeneration()) {
      return *tableDefs_;
    }
    std::vector<const jet::CatalogEntry*> tables;
    for (const jet::CatalogEntry& entry : jet.Catalog()) {
      if (entry.parentId != jet::kTablesContainerId) continue;
      if (entry.type == jet::kObjectTypeTable || entry.type == jet::kObjectTypeLinkedTable ||
          entry.type == jet::kObjectTypeOdbcLink) {
        tables.push_back(&entry);
      }
    }
    std::stable_sort(tables.begin(), tables.end(), [](const jet::CatalogEntry* a, const jet::CatalogEntry* b) {
      return platform::AnsiCompareText(a->name, b->name) < 0;
    });
    // Refilled in place with the same objects for known tables, so that
    // references to the collection and its items stay valid.
    tableDefs_->Clear();
    for (const jet::CatalogEntry* entry : tables) {
      std::shared_ptr<TableDef>& tableDef = known_[entry->id];
      if (!tableDef) tableDef = std::make_shared<TableDef>(std::make_shared<TableSource>(state_, *entry));
      tableDefs_->Add(tableDef);
    }
    tableDefsSchema_ = state_->SchemaGeneration();
    return *tableDefs_;
  });
}

std::shared_ptr<TableDef> Database::CreateTableDef(const std::string& name, int attributes,
                                                   const std::string& sourceTableName, const std::string& connect) {
  return Guarded(state_->Engine(), kSource, [&] {
    state_->Jet(kSource);
    if (!sourceTableName.empty() || !connect.empty()) {
      Raise(jet::kErrNotSupported, kSource, "Operation is not supported for this type of object.");
    }
    if (attributes != 0) Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    return std::make_shared<TableDef>(state_, name);
  });
}

void Database::AppendTableDef(const std::shared_ptr<TableDef>& tableDef) {
  if (tableDef->Source() || tableDef->Database() != state_) {
    Raise(kErrAlreadyInCollection, kSource, "Cannot append. An object with that name already exists in the collection.");
  }
  jet::JetDatabase& jet = state_->Jet(kSource);
  const NewTable table = DescribeNewTable(tableDef->Fields(), tableDef->Indexes(), jet.GetLayout());
  const std::uint32_t id = CreateStoredTable(*state_, tableDef->Name(), table);
  const jet::CatalogEntry* entry = nullptr;
  for (const jet::CatalogEntry& candidate : jet.Catalog()) {
    if (candidate.id == id && candidate.IsLocalTable()) entry = &candidate;
  }
  if (entry == nullptr) jet::ThrowDamaged("a new table is missing from the catalog");
  tableDef->Bind(std::make_shared<TableSource>(state_, *entry));
  known_[id] = tableDef;
  tableDefs_->Add(tableDef);
}

void Database::DeleteTableDef(std::string_view name) {
  const std::shared_ptr<TableDef> tableDef = tableDefs_->Item(name);
  const std::shared_ptr<TableSource>& table = tableDef->Source();
  // Links and the tables of the engine and of Access stay.
  if (!table->Entry().IsLocalTable() || table->Entry().IsSystemObject()) {
    Raise(jet::kErrNotSupported, kSource, "Operation is not supported for this type of object.");
  }
  const std::uint32_t id = table->Id();
  if (!state_->RowSets(id).empty()) {
    Raise(3211, kSource, "The database engine could not lock table '" + tableDef->Name() +
                             "' because it is already in use by another person or process.");
  }
  state_->Write(kSource, [&](jet::DatabaseWriter& writer) { writer.DropTable(id); });
  state_->SchemaChanged();
  known_.erase(id);
  tableDefs_->Remove(name);
}

std::shared_ptr<Recordset> Database::OpenRecordset(const std::string& source, int type, int options,
                                                   int lockType) {
  return Guarded(state_->Engine(), kSource, [&] {
    const TableDefCollection& tables = TableDefs();
    std::shared_ptr<TableSource> table;
    for (const auto& tableDef : tables) {
      if (platform::AnsiSameText(tableDef->Name(), source) && tableDef->Source()->Entry().IsLocalTable()) {
        table = tableDef->Source();
      }
    }
    if (!table && IsSqlText(source)) return OpenSqlRecordset(source, type, options, lockType, {});
    if (type == 0) type = dbOpenTable;
    if (!table) {
      if (type == dbOpenTable) {
        Raise(jet::kErrObjectNotFound, kSource,
              "The database engine could not find the object '" + source +
                  "'. Make sure the object exists and that you spell its name and the path name correctly.");
      }
      Raise(jet::kErrInputTableNotFound, kSource,
            "The database engine cannot find the input table or query '" + source +
                "'. Make sure it exists and that its name is spelled correctly.");
    }
    if (lockType == 0) lockType = dbPessimistic;
    return Recordset::Open(table, type, options, lockType);
  });
}

std::shared_ptr<Recordset> Database::OpenSqlRecordset(const std::string& text, int type, int options, int lockType,
                                                      std::vector<platform::Variant> parameters) {
  sql::Statement statement = sql::ParseStatement(text);
  // Action queries run through Execute; a recordset has no rows of them.
  if (statement.kind != sql::StatementKind::kSelect || !statement.select->intoTable.empty()) {
    Raise(jet::kErrInvalidOperation, kSource, "Invalid operation.");
  }
  auto query = std::make_shared<QuerySource>(state_, std::move(statement));
  query->Query().SetParameterValues(std::move(parameters));
  if (type == 0) type = dbOpenDynaset;
  if (lockType == 0) lockType = dbPessimistic;
  return Recordset::OpenQuery(state_, std::move(query), type, options, lockType);
}

void Database::Execute(const std::string& query, int options) {
  Guarded(state_->Engine(), kSource, [&] {
    state_->Jet(kSource);
    recordsAffected_ = 0;
    recordsAffected_ = RunActionQuery(*this, sql::ParseStatement(query), {}, (options & dbFailOnError) != 0);
  });
}

void Database::Close() {
  Guarded(state_->Engine(), kSource, [&] { state_->Close(); });
}

}  // namespace dao
