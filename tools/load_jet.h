#pragma once
// Loads the tables of a document of format "jet3" or "jet4" into a Jet
// database through the DAO objects, as any DAO program would: a new
// database with one table per document table (its fields, their
// properties and its indexes), or rows appended to the tables of an
// existing database. Rows go to the file as they arrive.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/load_document.h"
#include "tools/load_report.h"

namespace dao {
class Database;
class DBEngine;
class Field;
class Recordset;
class TableDef;
class Workspace;
}  // namespace dao

namespace tools {

// Rolls back what a Jet writer that is gone left unfinished in the database
// `path`, so that a copy of it holds its last complete state. Raises the
// engine's error when the file is in use or cannot be restored.
void RollBackJetWrite(const std::string& path);

class JetLoader : public LoadSink {
 public:
  // Creates the database `path` (Jet 3 with `jet3`, Jet 4 otherwise; with
  // the database password `password`), or, with `append`, opens the
  // existing database `path` (with `password` when it has one). Notes go
  // to `notes`, which must outlive the loader.
  JetLoader(std::string path, bool jet3, bool append, std::optional<std::string> password, LoadNotes& notes);
  ~JetLoader() override;

  void Format(const std::string& format, JsonPosition where) override;
  void BeginTable(const LoadTable& table) override;
  void AddRow(std::span<const JsonScalar> values, std::int64_t rowNumber) override;
  void EndTable(const LoadTable& table) override;
  // Stores the query with CreateQueryDef.
  void Query(const LoadQuery& query) override;

  // Closes the database: the file is then complete at the path given.
  void EndDocument() override;

 private:
  struct Column;

  void CreateTable(const LoadTable& table);
  // The field of `described` with its properties, appended to `definition`.
  std::shared_ptr<dao::Field> DescribeField(dao::TableDef& definition, const LoadTable& table,
                                            const LoadColumn& described, int type);
  void OpenTable(const LoadTable& table);
  // Describes table.indexes[first...] and appends them to `definition`.
  void AppendIndexes(dao::TableDef& definition, const LoadTable& table, std::size_t first);
  void StoreValue(const Column& column, const JsonScalar& value, std::int64_t rowNumber);
  // Opens (again) the recordset the rows of table_ are added through.
  void OpenRows();

  std::string path_;
  std::string createdPath_;  // where the engine made the file (it adds ".mdb" to bare names)
  bool jet3_;
  bool append_;
  LoadNotes& notes_;
  std::shared_ptr<dao::DBEngine> engine_;
  std::shared_ptr<dao::Workspace> workspace_;
  std::shared_ptr<dao::Database> database_;
  std::shared_ptr<dao::Recordset> rows_;
  std::int64_t rowsInRecordset_ = 0;
  LoadTable table_;
  std::vector<Column> columns_;
  std::size_t indexesMade_ = 0;   // of table_.indexes, made with the table
  // Default values of the new table's columns, set once its rows are in:
  // every value of a loaded row is given, so a default would only cost
  // time (and the engine need not evaluate expressions it does not know).
  std::vector<std::pair<std::string, std::string>> defaults_;
  std::string lastTableName_;     // to notice tables out of name order
};

}  // namespace tools
