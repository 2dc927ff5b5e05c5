// DAO QueryDef objects: the stored queries of a database (every kind Access
// keeps in MSysQueries) with their SQL, type and parameters, and queries
// made by CreateQueryDef, which are stored as Access stores them (a catalog
// row and the MSysQueries rows of the query's parts). A QueryDef opens its
// rows as a recordset or runs as an action query.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dao/collection.h"
#include "dao/database_state.h"
#include "dao/recordset.h"
#include "dao/sql/syntax.h"
#include "platform/variant.h"

namespace dao {

class Database;

// DAO's ParameterDirectionEnum value for input parameters.
inline constexpr int dbParamInput = 1;

class Parameter {
 public:
  Parameter(EngineLink engine, std::string name, int type) : engine_(std::move(engine)), name_(std::move(name)), type_(type) {}

  const std::string& Name() const { return name_; }
  // The DAO type declared in PARAMETERS (dbText for a name the query's
  // tables do not have).
  int Type() const { return type_; }
  int Direction() const { return dbParamInput; }
  // The value the query runs with (Null until one is given).
  const platform::Variant& Value() const { return value_; }
  // Whether a value was given.
  bool HasValue() const { return given_; }
  // Takes `value` converted to the parameter's type: DaoError 3421 when it
  // has no meaning in that type.
  void SetValue(const platform::Variant& value);

 private:
  EngineLink engine_;
  std::string name_;
  int type_;
  platform::Variant value_ = platform::Variant::Null();
  bool given_ = false;
};

using ParameterCollection = Collection<Parameter>;

class QueryDef {
 public:
  // The stored query with catalog id `id`.
  QueryDef(DatabaseLink database, Database& owner, std::uint32_t id);
  // A query that is not stored (CreateQueryDef without a name).
  QueryDef(DatabaseLink database, Database& owner, std::string sql);
  QueryDef(const QueryDef&) = delete;
  QueryDef& operator=(const QueryDef&) = delete;

  const std::string& Name() const;
  // The SQL text (rebuilt from the stored parts, in Access's layout).
  std::string SQL() const;
  // Stores `sql` as the query's new definition (DaoError 3075 and the
  // other errors of SQL that does not parse; nothing changes then).
  void SetSQL(const std::string& sql);
  // dbQSelect, dbQAction kinds, dbQCrosstab, ... (QueryDefTypeEnum).
  int Type() const;
  // Creation and last change (Null for a query that is not stored).
  platform::Variant DateCreated() const;
  platform::Variant LastUpdated() const;
  // Pass-through queries: the connect string ("ODBC;...").
  std::string Connect() const;
  // The declared parameters and the names of a SELECT that none of its
  // tables has, in order; their values persist until the SQL changes.
  ParameterCollection& Parameters();
  // Most rows a recordset on the query gives (0: all).
  long MaxRecords() const { return maxRecords_; }
  void SetMaxRecords(long count) { maxRecords_ = count; }
  // Seconds an ODBC query may take; stored only.
  int ODBCTimeout() const { return odbcTimeout_; }
  void SetODBCTimeout(int seconds) { odbcTimeout_ = seconds; }
  // Rows changed by the last Execute.
  long RecordsAffected() const { return recordsAffected_; }

  // Opens the query's rows with the parameters' values (DaoError 3061
  // while one has none; 3219 for an action query).
  std::shared_ptr<Recordset> OpenRecordset(int type = 0, int options = 0, int lockType = 0);
  // Runs the action query (DaoError 3065 for a SELECT).
  void Execute(int options = 0);

  // For the database: the catalog id (0 for a query not stored), and the
  // name a query made without SQL is stored under once it has SQL.
  std::uint32_t Id() const { return id_; }
  void SetPendingName(std::string name) { name_ = std::move(name); }

 private:
  template <class Action>
  auto Run(Action&& action) const -> decltype(action());
  const jet::CatalogEntry& Entry() const;
  std::vector<platform::Variant> ParameterValues();
  void LoadParameters();

  DatabaseLink database_;
  Database* owner_;
  std::uint32_t id_ = 0;
  std::string name_;
  std::string sql_;  // of a query not stored
  long maxRecords_ = 0;
  int odbcTimeout_ = 60;
  long recordsAffected_ = 0;
  std::optional<ParameterCollection> parameters_;
  std::string parametersSql_;  // the SQL the parameters were read from
};

using QueryDefCollection = Collection<QueryDef>;

}  // namespace dao
