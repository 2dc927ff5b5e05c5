// DAO Database objects: an open Jet database file with its tables.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "dao/collection.h"
#include "dao/database_state.h"
#include "dao/recordset.h"
#include "dao/table_def.h"

namespace dao {

class Database {
 public:
  // `state` holds the open engine database; `connect` is the connect string
  // it was opened with.
  Database(DatabaseLink state, std::string connect);
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // The path the database was opened with.
  const std::string& Name() const { return state_->Name(); }
  const std::string& Connect() const { return connect_; }
  // "3.0" for Jet 3 files, "4.0" for Jet 4 files.
  std::string Version() const;
  // The database's sort order as DAO reports it (dbSortGeneral = 1033).
  int CollatingOrder() const;
  // Seconds ODBC queries may take; stored only.
  int QueryTimeout() const { return queryTimeout_; }
  void SetQueryTimeout(int seconds) { queryTimeout_ = seconds; }
  // Rows changed by the last Execute.
  long RecordsAffected() const { return recordsAffected_; }
  // False when the file was opened read-only.
  bool Updatable() const;

  // The tables (user and system, local and linked), in name order.
  const TableDefCollection& TableDefs();

  // Opens the table `source`. `type` 0 picks DAO's default (table type for
  // a local table); `options` and `lockType` as DAO defines them. Raises
  // DaoError 3078 (3011 for the table type) when there is no such table.
  std::shared_ptr<Recordset> OpenRecordset(const std::string& source, int type = 0, int options = 0,
                                           int lockType = 0);

  // Closes the database; its objects raise DaoError 3420 afterwards.
  void Close();

 private:
  DatabaseLink state_;
  std::string connect_;
  int queryTimeout_ = 60;
  long recordsAffected_ = 0;
  std::optional<TableDefCollection> tableDefs_;
};

}  // namespace dao
