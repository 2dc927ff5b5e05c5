#include "dao/database.h"

#include <algorithm>

#include "dao/constants.h"
#include "platform/text_case.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Database";

}  // namespace

Database::Database(DatabaseLink state, std::string connect)
    : state_(std::move(state)), connect_(std::move(connect)) {}

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

const TableDefCollection& Database::TableDefs() {
  return Guarded(state_->Engine(), kSource, [&]() -> const TableDefCollection& {
    jet::JetDatabase& jet = state_->Jet(kSource);
    if (!tableDefs_) {
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
      TableDefCollection tableDefs(state_->EngineShared(), "DAO.TableDefs");
      for (const jet::CatalogEntry* entry : tables) {
        tableDefs.Add(std::make_shared<TableDef>(std::make_shared<TableSource>(state_, *entry)));
      }
      tableDefs_.emplace(std::move(tableDefs));
    }
    return *tableDefs_;
  });
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

void Database::Close() {
  Guarded(state_->Engine(), kSource, [&] { state_->Close(); });
}

}  // namespace dao
