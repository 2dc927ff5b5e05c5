// DAO Database objects: an open Jet database file with its tables.
#pragma once

#include <map>
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
  // A database the program lets go of is closed (pending pages written).
  ~Database();
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

  // The tables (user and system, local and linked), in name order, as the
  // catalog stands now. Appending a TableDef made by CreateTableDef creates
  // the table with its fields, indexes and field properties in one step:
  // DaoError 3010 when a table of that name exists, 3125 for a name the
  // engine does not accept, 3027 on a read-only database, and the checks
  // of the fields and indexes (3264, 3259, 3191, 3001, ...). Nothing is
  // created when it fails. Deleting a table removes it with its rows and
  // pages: DaoError 3211 while a recordset is open on it, 3303 when it
  // takes part in a relationship, 3251 for links and system tables.
  TableDefCollection& TableDefs();
  // A new table `name` to be described and appended to TableDefs. Linked
  // tables (`sourceTableName`, `connect`) are not available (DaoError
  // 3251); `attributes` must be 0.
  std::shared_ptr<TableDef> CreateTableDef(const std::string& name = "", int attributes = 0,
                                           const std::string& sourceTableName = "",
                                           const std::string& connect = "");

  // Opens the table `source`, or the rows of `source` when it is the SQL
  // text of a SELECT. `type` 0 picks DAO's default (table type for a local
  // table, dynaset for SQL); `options` and `lockType` as DAO defines them.
  // Raises DaoError 3078 (3011 for the table type) when there is no such
  // table, the errors of the SQL text (3075, 3131, 3061, ...), and 3219 for
  // the table type on SQL and for the SQL of an action query.
  std::shared_ptr<Recordset> OpenRecordset(const std::string& source, int type = 0, int options = 0,
                                           int lockType = 0);

  // Runs the action query or data definition `query` (SQL text):
  // RecordsAffected tells the rows it changed. With dbFailOnError in
  // `options` a failing row undoes the whole statement and raises its
  // error; without it, rows that fail are left out. Raises DaoError 3065
  // for a SELECT, 3061 for parameters (they have no values here) and the
  // errors of the SQL text.
  void Execute(const std::string& query, int options = 0);

  // Closes the database; its objects raise DaoError 3420 afterwards.
  void Close();
  // Whether Close has not been called yet.
  bool IsOpen() const { return state_->IsOpen(); }

  // The open engine database, for the objects that work on it.
  const DatabaseLink& Link() const { return state_; }

 private:
  DatabaseLink state_;
  std::string connect_;
  int queryTimeout_ = 60;
  long recordsAffected_ = 0;
  void AppendTableDef(const std::shared_ptr<TableDef>& tableDef);
  void DeleteTableDef(std::string_view name);
  std::shared_ptr<Recordset> OpenSqlRecordset(const std::string& text, int type, int options, int lockType,
                                              std::vector<platform::Variant> parameters);

  std::optional<TableDefCollection> tableDefs_;
  std::uint64_t tableDefsSchema_ = 0;
  std::map<std::uint32_t, std::shared_ptr<TableDef>> known_;  // by table id, kept across reloads
};

}  // namespace dao
