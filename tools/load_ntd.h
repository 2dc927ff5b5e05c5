#pragma once
// Loads the one table of a document of format "ntd" into a table file: a
// new table made from field definitions, or rows appended to an existing
// table. The table-file engine holds a table wholly in memory, so the rows
// gather in the engine's record store and reach the file in one write at
// the end of the document; the document itself still streams past.

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/load_document.h"
#include "tools/load_report.h"

namespace recordset {
class TField;
}
namespace tablefile {
class TNtdTable;
enum class TNtdStorageType : std::uint8_t;
}

namespace tools {

class NtdLoader : public LoadSink {
 public:
  // Builds a new table to be written to `path`, or, with `append`, extends
  // the table file `path`. `tableName` is the name the table file gives its
  // table (the target's file name without extension). A `password` opens an
  // enciphered table, or enciphers a new one. Notes go to `notes`, which
  // must outlive the loader.
  NtdLoader(std::string path, std::string tableName, bool append, std::optional<std::string> password,
            LoadNotes& notes);
  ~NtdLoader() override;

  void Format(const std::string& format, JsonPosition where) override;
  void BeginTable(const LoadTable& table) override;
  void AddRow(std::span<const JsonScalar> values, std::int64_t rowNumber) override;
  void EndTable(const LoadTable& table) override;
  // Refused: a table file holds no queries.
  void Query(const LoadQuery& query) override;

  // Writes the table file; throws LoadError when the document held no table.
  void EndDocument() override;

 private:
  struct Column;

  void CreateTable(const LoadTable& table);
  // The storage type of a new column, checked against its size.
  tablefile::TNtdStorageType NewColumnType(const LoadTable& table, const LoadColumn& described) const;
  // Refuses a name the table file cannot keep; notes one it keeps changed.
  void CheckNewColumnName(const LoadTable& table, const LoadColumn& described, std::set<std::string>& storedNames);
  void OpenTable(const LoadTable& table);
  void StoreValue(const Column& column, const JsonScalar& value, std::int64_t rowNumber);
  void CheckAutoIncValues(std::span<const JsonScalar> values, std::int64_t rowNumber);

  std::string path_;
  std::string tableName_;
  bool append_;
  std::optional<std::string> password_;
  LoadNotes& notes_;
  std::unique_ptr<tablefile::TNtdTable> table_;
  LoadTable description_;
  std::vector<Column> columns_;
  bool hasTable_ = false;
};

}  // namespace tools
