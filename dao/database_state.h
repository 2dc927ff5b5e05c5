// The open engine database behind a Database object, shared with its
// TableDefs, Fields and Recordsets so that they notice when it is closed or
// changed, and the lazily loaded facts of one of its tables.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dao/engine_state.h"
#include "dao/jet/catalog.h"
#include "dao/jet/database_writer.h"
#include "dao/jet/jet_database.h"
#include "dao/jet/property_blob.h"
#include "dao/jet/table_definition.h"

namespace dao {

class RowSet;

class DatabaseState {
 public:
  DatabaseState(EngineLink engine, std::unique_ptr<jet::JetDatabase> jet, std::string name)
      : engine_(std::move(engine)), jet_(std::move(jet)), name_(std::move(name)) {}
  ~DatabaseState();
  DatabaseState(const DatabaseState&) = delete;
  DatabaseState& operator=(const DatabaseState&) = delete;

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

  // Whether the file was opened for writing (raises 3420 once closed).
  bool IsWritable(const char* source) const { return !Jet(source).IsReadOnly(); }
  // Runs `change` through the database's writer as one transaction: when it
  // fails, the file and the writer are as they were before. Raises DaoError
  // 3027 when the database was opened read-only.
  void Write(const char* source, const std::function<void(jet::DatabaseWriter&)>& change);
  // Counts the changes made through Write: anything read from the file
  // before (row bytes, definitions) must be read again when it differs.
  std::uint64_t Generation() const { return generation_; }
  // Counts the changes of the catalog and of table definitions.
  std::uint64_t SchemaGeneration() const { return schemaGeneration_; }
  // Tells that rows of the table at `tdefPage` were written.
  void RowsChanged(std::uint32_t tdefPage);
  // Tells that a table was created, or a definition or stored property
  // changed.
  void SchemaChanged();

  // Registers the row set of a recordset open on the table at `tdefPage`,
  // for as long as it lives.
  void AddRowSet(std::uint32_t tdefPage, const std::shared_ptr<RowSet>& rows);
  // The row sets still open on the table at `tdefPage`.
  std::vector<std::shared_ptr<RowSet>> RowSets(std::uint32_t tdefPage);

 private:
  [[noreturn]] static void RaiseClosed(const char* source);

  EngineLink engine_;
  std::unique_ptr<jet::JetDatabase> jet_;
  std::unique_ptr<jet::DatabaseWriter> writer_;  // made on the first write
  std::string name_;
  std::uint64_t generation_ = 0;
  std::uint64_t schemaGeneration_ = 0;
  std::map<std::uint32_t, std::vector<std::weak_ptr<RowSet>>> rowSets_;
};

using DatabaseLink = std::shared_ptr<DatabaseState>;

// One table of a database: its catalog entry now, its definition and
// property blob when first needed, read again after the database changed.
class TableSource {
 public:
  TableSource(DatabaseLink database, jet::CatalogEntry entry)
      : database_(std::move(database)), entry_(std::move(entry)) {}

  const DatabaseLink& Database() const { return database_; }
  // The catalog entry, as it stands after the latest change of the catalog.
  const jet::CatalogEntry& Entry() const;
  // The object id of the table: its tdef page.
  std::uint32_t Id() const { return entry_.id; }
  // The current table definition (row count and counters included);
  // raises when it cannot be read.
  const jet::TableDefinition& Definition(const char* source);
  // Shared ownership of the current definition (for objects that outlive
  // this call).
  std::shared_ptr<const jet::TableDefinition> SharedDefinition(const char* source);
  // The stored properties of the table and its columns.
  const jet::PropertyBlob& Properties(const char* source);
  // Stores property `property` of column `columnName` (of the table itself
  // when empty) in the catalog.
  void SetProperty(const char* source, const std::string& columnName, jet::StoredProperty property);

 private:
  // Makes definition_ the current definition.
  void RefreshDefinition(const char* source);

  DatabaseLink database_;
  mutable jet::CatalogEntry entry_;
  mutable std::uint64_t entrySchema_ = 0;
  std::shared_ptr<const jet::TableDefinition> definition_;
  std::uint64_t definitionSchema_ = 0;
  std::shared_ptr<const jet::PropertyBlob> properties_;
  std::uint64_t propertiesSchema_ = 0;
};

}  // namespace dao
