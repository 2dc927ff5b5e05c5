// The open engine database behind a Database object, shared with its
// TableDefs, Fields and Recordsets so that they notice when it is closed,
// and the lazily loaded facts of one of its tables.
#pragma once

#include <memory>
#include <string>

#include "dao/engine_state.h"
#include "dao/jet/catalog.h"
#include "dao/jet/jet_database.h"
#include "dao/jet/property_blob.h"
#include "dao/jet/table_definition.h"

namespace dao {

class DatabaseState {
 public:
  DatabaseState(EngineLink engine, std::unique_ptr<jet::JetDatabase> jet, std::string name)
      : engine_(std::move(engine)), jet_(std::move(jet)), name_(std::move(name)) {}

  EngineState& Engine() const { return *engine_; }
  const EngineLink& EngineShared() const { return engine_; }
  // The file name the database was opened with.
  const std::string& Name() const { return name_; }
  bool IsOpen() const { return jet_ != nullptr; }
  // The engine database; raises DaoError 3420 once the database is closed.
  jet::JetDatabase& Jet(const char* source) const {
    if (!jet_) RaiseClosed(source);
    return *jet_;
  }
  // Closes the engine database (pending pages are written).
  void Close();

 private:
  [[noreturn]] static void RaiseClosed(const char* source);

  EngineLink engine_;
  std::unique_ptr<jet::JetDatabase> jet_;
  std::string name_;
};

using DatabaseLink = std::shared_ptr<DatabaseState>;

// One table of a database: its catalog entry now, its definition and
// property blob when first needed.
class TableSource {
 public:
  TableSource(DatabaseLink database, jet::CatalogEntry entry)
      : database_(std::move(database)), entry_(std::move(entry)) {}

  const DatabaseLink& Database() const { return database_; }
  const jet::CatalogEntry& Entry() const { return entry_; }
  // The table definition; raises when it cannot be read.
  const jet::TableDefinition& Definition(const char* source);
  // Shared ownership of the definition (for cursors that outlive this call).
  std::shared_ptr<const jet::TableDefinition> SharedDefinition(const char* source);
  // The stored properties of the table and its columns.
  const jet::PropertyBlob& Properties(const char* source);

 private:
  DatabaseLink database_;
  jet::CatalogEntry entry_;
  std::shared_ptr<const jet::TableDefinition> definition_;
  std::shared_ptr<const jet::PropertyBlob> properties_;
};

}  // namespace dao
