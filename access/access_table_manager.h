#pragma once

// TAccessTableManager: creates one table with its fields and indexes in a
// connected TAccessDatabase. Fill TableName, FieldDefs and IndexDefs, call
// CreateTable once, let it go.

#include <string>

#include "recordset/field_defs.h"
#include "recordset/index_defs.h"

namespace accessdb {

class TAccessDatabase;

class TAccessTableManager {
 public:
  // `database` is not owned and must outlive the manager.
  explicit TAccessTableManager(TAccessDatabase* database) : database_(database) {}
  TAccessTableManager(const TAccessTableManager&) = delete;
  TAccessTableManager& operator=(const TAccessTableManager&) = delete;

  TAccessDatabase* Database() const { return database_; }
  const std::string& TableName() const { return tableName_; }
  void SetTableName(std::string name) { tableName_ = std::move(name); }
  // The fields in table order; only name, type, size and required count.
  recordset::TFieldDefs& FieldDefs() { return fieldDefs_; }
  // The indexes; definitions with options other than ixPrimary and
  // ixUnique are left out.
  recordset::TIndexDefs& IndexDefs() { return indexDefs_; }

  // Creates the table with its fields (DAO types and sizes after
  // DaoTypeOfField and DaoFieldSize), then its indexes. Fails with
  // "Database property not set!", "Database is not connected!" or "Missing
  // TableName!"; DAO's errors pass through (what was created stays).
  void CreateTable();
  // Creates the indexes of IndexDefs in the existing table TableName
  // (CreateTable ends with it). A primary definition replaces the primary
  // key the table has; the primary key holds the fields of every primary
  // definition and is named after the last. Definitions whose options are
  // not empty, {ixUnique} or {ixPrimary, ixUnique} make no index of their
  // own.
  void CreateIndexes();

 private:
  void CheckReady() const;

  TAccessDatabase* database_;
  std::string tableName_;
  recordset::TFieldDefs fieldDefs_;
  recordset::TIndexDefs indexDefs_;
};

}  // namespace accessdb
