#include "tools/load_document.h"

#include <charconv>
#include <functional>
#include <initializer_list>
#include <set>

namespace tools {
namespace {

// One member an object may have, and how its value is read.
struct Member {
  const char* name;
  std::function<void()> read;
};

// Reads the members of the object that starts here, each at most once and
// each one of `known`; returns the names it had. `what` names the object
// in messages ("a column").
std::set<std::string> ReadMembers(JsonReader& reader, const char* what, std::initializer_list<Member> known) {
  std::set<std::string> seen;
  reader.BeginObject();
  while (auto key = reader.NextKey()) {
    const JsonPosition where = reader.Position();
    if (!seen.insert(*key).second) throw JsonError(where, "the member \"" + *key + "\" appears twice");
    const Member* member = nullptr;
    for (const Member& candidate : known) {
      if (*key == candidate.name) member = &candidate;
    }
    if (member == nullptr) {
      std::string names;
      for (const Member& candidate : known) names += (names.empty() ? "" : ", ") + std::string(candidate.name);
      throw JsonError(where, "unknown member \"" + *key + "\" in " + what + " (known: " + names + ")");
    }
    member->read();
  }
  return seen;
}

bool ReadBoolean(JsonReader& reader) {
  JsonScalar value;
  reader.ReadScalar(value);
  if (value.kind != JsonKind::Boolean) throw JsonError(value.where, "expected true or false");
  return value.boolean;
}

std::int64_t ReadSize(JsonReader& reader) {
  JsonScalar value;
  reader.ReadScalar(value);
  std::int64_t size = -1;
  const char* end = value.text.data() + value.text.size();
  if (value.kind == JsonKind::Number) {
    const auto [stop, error] = std::from_chars(value.text.data(), end, size);
    if (error != std::errc() || stop != end) size = -1;
  }
  if (size < 0) throw JsonError(value.where, "\"size\" must be a whole number of 0 or more");
  return size;
}

// Calls `read` for every element of the array that starts here.
void ReadElements(JsonReader& reader, const std::function<void()>& read) {
  reader.BeginArray();
  while (reader.NextElement()) read();
}

std::vector<LoadProperty> ReadProperties(JsonReader& reader) {
  std::vector<LoadProperty> properties;
  std::set<std::string> seen;
  reader.BeginObject();
  while (auto key = reader.NextKey()) {
    LoadProperty property{*key, {}};
    reader.ReadScalar(property.value);
    if (!seen.insert(*key).second) throw JsonError(property.value.where, "the property \"" + *key + "\" appears twice");
    properties.push_back(std::move(property));
  }
  return properties;
}

LoadColumn ReadColumn(JsonReader& reader) {
  LoadColumn column;
  column.where = reader.Position();
  const auto seen = ReadMembers(reader, "a column",
                                {{"name", [&] { column.name = reader.ReadString(); }},
                                 {"type", [&] { column.type = reader.ReadString(); }},
                                 {"size", [&] { column.size = ReadSize(reader); }},
                                 {"properties", [&] { column.properties = ReadProperties(reader); }}});
  if (!seen.count("name")) throw JsonError(column.where, "a column has no \"name\"");
  if (!seen.count("type")) throw JsonError(column.where, "the column \"" + column.name + "\" has no \"type\"");
  return column;
}

LoadIndexField ReadIndexField(JsonReader& reader) {
  LoadIndexField field;
  const JsonPosition where = reader.Position();
  const auto seen = ReadMembers(reader, "an index field",
                                {{"name", [&] { field.name = reader.ReadString(); }},
                                 {"descending", [&] { field.descending = ReadBoolean(reader); }}});
  if (!seen.count("name")) throw JsonError(where, "an index field has no \"name\"");
  return field;
}

LoadIndex ReadIndex(JsonReader& reader) {
  LoadIndex index;
  index.where = reader.Position();
  const auto seen = ReadMembers(
      reader, "an index",
      {{"name", [&] { index.name = reader.ReadString(); }},
       {"primary", [&] { index.primary = ReadBoolean(reader); }},
       {"unique", [&] { index.unique = ReadBoolean(reader); }},
       {"foreign", [&] { index.foreign = ReadBoolean(reader); }},
       {"ignoreNulls", [&] { index.ignoreNulls = ReadBoolean(reader); }},
       {"required", [&] { index.required = ReadBoolean(reader); }},
       {"fields", [&] { ReadElements(reader, [&] { index.fields.push_back(ReadIndexField(reader)); }); }}});
  if (!seen.count("name")) throw JsonError(index.where, "an index has no \"name\"");
  if (index.fields.empty()) throw JsonError(index.where, "the index \"" + index.name + "\" has no \"fields\"");
  return index;
}

// Streams the rows of `table` into the sink; returns how many there were.
std::int64_t ReadRows(JsonReader& reader, const LoadTable& table, LoadSink& sink) {
  std::vector<JsonScalar> values(table.columns.size());
  std::int64_t rowNumber = 0;
  const auto refuseLength = [&](JsonPosition where, const std::string& count) {
    throw JsonError(where, "row " + std::to_string(rowNumber) + " of table \"" + table.name + "\" has " + count +
                               " values; the table has " + std::to_string(values.size()) + " columns");
  };
  // Plain loops: this is the one place that runs for every value.
  reader.BeginArray();
  while (reader.NextElement()) {
    ++rowNumber;
    const JsonPosition rowStart = reader.Position();
    std::size_t count = 0;
    reader.BeginArray();
    while (reader.NextElement()) {
      if (count == values.size()) refuseLength(reader.Position(), "more");
      reader.ReadScalar(values[count++]);
    }
    if (count != values.size()) refuseLength(rowStart, std::to_string(count));
    sink.AddRow(values, rowNumber);
  }
  return rowNumber;
}

// One table object. Name and columns must come before the rows: the rows
// stream into a table that already exists.
std::int64_t ReadTable(JsonReader& reader, LoadSink& sink) {
  LoadTable table;
  table.where = reader.Position();
  bool hasName = false;
  bool hasColumns = false;
  bool begun = false;
  std::int64_t rows = 0;
  const auto begin = [&](JsonPosition where) {
    if (!hasName) throw JsonError(where, "the table needs its \"name\" before its rows");
    if (!hasColumns) throw JsonError(where, "the table \"" + table.name + "\" needs its \"columns\" before its rows");
    sink.BeginTable(table);
    begun = true;
  };
  ReadMembers(reader, "a table",
              {{"name",
                [&] {
                  table.name = reader.ReadString();
                  hasName = true;
                }},
               {"columns",
                [&] {
                  ReadElements(reader, [&] { table.columns.push_back(ReadColumn(reader)); });
                  hasColumns = true;
                }},
               {"indexes", [&] { ReadElements(reader, [&] { table.indexes.push_back(ReadIndex(reader)); }); }},
               {"rows", [&] {
                  begin(reader.Position());
                  rows = ReadRows(reader, table, sink);
                }}});
  if (!begun) begin(table.where);
  sink.EndTable(table);
  return rows;
}

void ReadParameter(JsonReader& reader) {
  const JsonPosition where = reader.Position();
  const auto seen = ReadMembers(reader, "a parameter",
                                {{"name", [&] { reader.ReadString(); }}, {"type", [&] { reader.ReadString(); }}});
  if (!seen.count("name")) throw JsonError(where, "a parameter has no \"name\"");
}

LoadQuery ReadQuery(JsonReader& reader) {
  LoadQuery query;
  query.where = reader.Position();
  const auto seen =
      ReadMembers(reader, "a query",
                  {{"name", [&] { query.name = reader.ReadString(); }},
                   {"type", [&] { query.type = reader.ReadString(); }},
                   {"sql", [&] { query.sql = reader.ReadString(); }},
                   {"parameters", [&] { ReadElements(reader, [&] { ReadParameter(reader); }); }}});
  if (!seen.count("name")) throw JsonError(query.where, "a query has no \"name\"");
  if (!seen.count("sql")) throw JsonError(query.where, "the query \"" + query.name + "\" has no \"sql\"");
  return query;
}

}  // namespace

LoadSummary ReadLoadDocument(JsonReader& reader, LoadSink& sink) {
  LoadSummary summary;
  bool hadTables = false;  // the queries refer to the tables, so they come after them
  const auto seen = ReadMembers(reader, "the document",
                                {{"format",
                                  [&] {
                                    const JsonPosition where = reader.Position();
                                    sink.Format(reader.ReadString(), where);
                                  }},
                                 {"tables",
                                  [&] {
                                    ReadElements(reader, [&] {
                                      summary.rows += ReadTable(reader, sink);
                                      ++summary.tables;
                                    });
                                    hadTables = true;
                                  }},
                                 {"queries", [&] {
                                    if (!hadTables) {
                                      throw JsonError(reader.Position(), "\"queries\" must follow \"tables\"");
                                    }
                                    ReadElements(reader, [&] {
                                      sink.Query(ReadQuery(reader));
                                      ++summary.queries;
                                    });
                                  }}});
  if (!seen.count("tables")) throw JsonError(JsonPosition{}, "the document has no \"tables\"");
  reader.ExpectEnd();
  sink.EndDocument();
  return summary;
}

}  // namespace tools
