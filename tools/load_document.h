#pragma once
// Walks a load document (the JSON that `nutaro dump` prints) as a stream and
// hands its tables and rows to a sink one at a time, so a document of any
// number of rows is never held in memory. The walk checks the document's
// shape; what the values mean is the sink's business.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tools/json_reader.h"

namespace tools {

// A named value of a column's "properties" (dump --schema).
struct LoadProperty {
  std::string name;
  JsonScalar value;
};

// One column as the document describes it.
struct LoadColumn {
  std::string name;
  std::string type;
  std::optional<std::int64_t> size;
  std::vector<LoadProperty> properties;
  JsonPosition where;  // the column's object
};

// One key column of an index.
struct LoadIndexField {
  std::string name;
  bool descending = false;
};

// One index as `dump --schema` describes it.
struct LoadIndex {
  std::string name;
  bool primary = false;
  bool unique = false;
  bool foreign = false;
  bool ignoreNulls = false;
  bool required = false;
  std::vector<LoadIndexField> fields;
  JsonPosition where;  // the index's object
};

// A table's description; complete before its first row reaches the sink
// (indexes given after the rows are not).
struct LoadTable {
  std::string name;
  std::vector<LoadColumn> columns;
  std::vector<LoadIndex> indexes;
  JsonPosition where;  // the table's object
};

// A stored query as `dump --schema` lists it. Its parameters follow from
// its SQL; the document's list of them is read only for its shape.
struct LoadQuery {
  std::string name;
  std::string type;
  std::string sql;
  JsonPosition where;  // the query's object
};

// Receives the parts of a document in document order. Errors it throws
// (LoadError, JsonError, engine errors) end the walk. A sink stands for the
// one target it fills, so it is not copied.
class LoadSink {
 public:
  LoadSink() = default;
  virtual ~LoadSink() = default;
  LoadSink(const LoadSink&) = delete;
  LoadSink& operator=(const LoadSink&) = delete;
  // The document's "format" member, when it has one.
  virtual void Format(const std::string& format, JsonPosition where) = 0;
  // A table's name and columns; its rows follow.
  virtual void BeginTable(const LoadTable& table) = 0;
  // One row, a value per column in column order; `rowNumber` counts the
  // table's rows from 1.
  virtual void AddRow(std::span<const JsonScalar> values, std::int64_t rowNumber) = 0;
  // The table has no more rows; `table` is now complete with the indexes
  // that followed the rows.
  virtual void EndTable(const LoadTable& table) = 0;
  // A stored query of the "queries" member, which follows the tables.
  virtual void Query(const LoadQuery& query) = 0;
  // The whole document was read and is sound: the sink completes its work.
  virtual void EndDocument() = 0;
};

// What a walk saw.
struct LoadSummary {
  std::int64_t tables = 0;
  std::int64_t rows = 0;
  std::int64_t queries = 0;
};

// Reads the whole document from `reader` into `sink`. Throws JsonError for
// malformed JSON and for a document of another shape (unknown or repeated
// members, missing columns, rows before the columns, rows of the wrong
// length), naming line and column.
LoadSummary ReadLoadDocument(JsonReader& reader, LoadSink& sink);

}  // namespace tools
