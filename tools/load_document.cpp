#include "tools/load_document.h"

#include <charconv>
#include <set>

namespace tools {
namespace {

// Remembers the members an object has had, to refuse a repeated one.
class MemberSet {
 public:
  void Add(const std::string& key, JsonPosition where) {
    if (!seen_.insert(key).second) throw JsonError(where, "the member \"" + key + "\" appears twice");
  }
  bool Has(const std::string& key) const { return seen_.count(key) != 0; }

 private:
  std::set<std::string> seen_;
};

[[noreturn]] void UnknownMember(JsonPosition where, const std::string& key, const char* inside,
                                const char* known) {
  throw JsonError(where, "unknown member \"" + key + "\" in " + inside + " (known: " + known + ")");
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

std::vector<LoadProperty> ReadProperties(JsonReader& reader) {
  std::vector<LoadProperty> properties;
  MemberSet members;
  reader.BeginObject();
  while (auto key = reader.NextKey()) {
    LoadProperty property{*key, {}};
    reader.ReadScalar(property.value);
    members.Add(*key, property.value.where);
    properties.push_back(std::move(property));
  }
  return properties;
}

LoadColumn ReadColumn(JsonReader& reader) {
  LoadColumn column;
  column.where = reader.Position();
  reader.BeginObject();
  MemberSet members;
  while (auto key = reader.NextKey()) {
    const JsonPosition where = reader.Position();
    members.Add(*key, where);
    if (*key == "name") {
      column.name = reader.ReadString();
    } else if (*key == "type") {
      column.type = reader.ReadString();
    } else if (*key == "size") {
      column.size = ReadSize(reader);
    } else if (*key == "properties") {
      column.properties = ReadProperties(reader);
    } else {
      UnknownMember(where, *key, "a column", "name, type, size, properties");
    }
  }
  if (!members.Has("name")) throw JsonError(column.where, "a column has no \"name\"");
  if (!members.Has("type")) {
    throw JsonError(column.where, "the column \"" + column.name + "\" has no \"type\"");
  }
  return column;
}

bool ReadBoolean(JsonReader& reader) {
  JsonScalar value;
  reader.ReadScalar(value);
  if (value.kind != JsonKind::Boolean) throw JsonError(value.where, "expected true or false");
  return value.boolean;
}

LoadIndexField ReadIndexField(JsonReader& reader) {
  LoadIndexField field;
  const JsonPosition where = reader.Position();
  reader.BeginObject();
  MemberSet members;
  while (auto key = reader.NextKey()) {
    const JsonPosition at = reader.Position();
    members.Add(*key, at);
    if (*key == "name") {
      field.name = reader.ReadString();
    } else if (*key == "descending") {
      field.descending = ReadBoolean(reader);
    } else {
      UnknownMember(at, *key, "an index field", "name, descending");
    }
  }
  if (!members.Has("name")) throw JsonError(where, "an index field has no \"name\"");
  return field;
}

LoadIndex ReadIndex(JsonReader& reader) {
  LoadIndex index;
  index.where = reader.Position();
  reader.BeginObject();
  MemberSet members;
  while (auto key = reader.NextKey()) {
    const JsonPosition where = reader.Position();
    members.Add(*key, where);
    if (*key == "name") {
      index.name = reader.ReadString();
    } else if (*key == "primary") {
      index.primary = ReadBoolean(reader);
    } else if (*key == "unique") {
      index.unique = ReadBoolean(reader);
    } else if (*key == "foreign") {
      index.foreign = ReadBoolean(reader);
    } else if (*key == "ignoreNulls") {
      index.ignoreNulls = ReadBoolean(reader);
    } else if (*key == "required") {
      index.required = ReadBoolean(reader);
    } else if (*key == "fields") {
      reader.BeginArray();
      while (reader.NextElement()) index.fields.push_back(ReadIndexField(reader));
    } else {
      UnknownMember(where, *key, "an index", "name, primary, unique, foreign, ignoreNulls, required, fields");
    }
  }
  if (!members.Has("name")) throw JsonError(index.where, "an index has no \"name\"");
  if (index.fields.empty()) throw JsonError(index.where, "the index \"" + index.name + "\" has no \"fields\"");
  return index;
}

std::vector<LoadIndex> ReadIndexes(JsonReader& reader) {
  std::vector<LoadIndex> indexes;
  reader.BeginArray();
  while (reader.NextElement()) indexes.push_back(ReadIndex(reader));
  return indexes;
}

std::vector<LoadColumn> ReadColumns(JsonReader& reader) {
  std::vector<LoadColumn> columns;
  reader.BeginArray();
  while (reader.NextElement()) columns.push_back(ReadColumn(reader));
  return columns;
}

// Streams the rows of `table` into the sink; returns how many there were.
std::int64_t ReadRows(JsonReader& reader, const LoadTable& table, LoadSink& sink) {
  std::vector<JsonScalar> values(table.columns.size());
  std::int64_t rowNumber = 0;
  reader.BeginArray();
  while (reader.NextElement()) {
    ++rowNumber;
    const JsonPosition rowStart = reader.Position();
    reader.BeginArray();
    std::size_t count = 0;
    while (reader.NextElement()) {
      if (count == values.size()) {
        throw JsonError(reader.Position(), "row " + std::to_string(rowNumber) + " of table \"" +
                                               table.name + "\" has more values than the table's " +
                                               std::to_string(values.size()) + " columns");
      }
      reader.ReadScalar(values[count++]);
    }
    if (count != values.size()) {
      throw JsonError(rowStart, "row " + std::to_string(rowNumber) + " of table \"" + table.name +
                                    "\" has " + std::to_string(count) + " values; the table has " +
                                    std::to_string(values.size()) + " columns");
    }
    sink.AddRow(values, rowNumber);
  }
  return rowNumber;
}

// One table object. Name and columns must come before the rows: the rows
// stream into a table that already exists.
std::int64_t ReadTable(JsonReader& reader, LoadSink& sink) {
  LoadTable table;
  table.where = reader.Position();
  reader.BeginObject();
  MemberSet members;
  bool begun = false;
  std::int64_t rows = 0;
  const auto begin = [&](JsonPosition where) {
    if (!members.Has("name")) throw JsonError(where, "the table needs its \"name\" before its rows");
    if (!members.Has("columns")) {
      throw JsonError(where, "the table \"" + table.name + "\" needs its \"columns\" before its rows");
    }
    sink.BeginTable(table);
    begun = true;
  };
  while (auto key = reader.NextKey()) {
    const JsonPosition where = reader.Position();
    members.Add(*key, where);
    if (*key == "name") {
      table.name = reader.ReadString();
    } else if (*key == "columns") {
      table.columns = ReadColumns(reader);
    } else if (*key == "indexes") {
      table.indexes = ReadIndexes(reader);
    } else if (*key == "rows") {
      begin(where);
      rows = ReadRows(reader, table, sink);
    } else {
      UnknownMember(where, *key, "a table", "name, columns, indexes, rows");
    }
  }
  if (!begun) begin(table.where);
  sink.EndTable(table);
  return rows;
}

}  // namespace

LoadSummary ReadLoadDocument(JsonReader& reader, LoadSink& sink) {
  LoadSummary summary;
  reader.BeginObject();
  MemberSet members;
  while (auto key = reader.NextKey()) {
    const JsonPosition where = reader.Position();
    members.Add(*key, where);
    if (*key == "format") {
      sink.Format(reader.ReadString(), where);
    } else if (*key == "tables") {
      reader.BeginArray();
      while (reader.NextElement()) {
        summary.rows += ReadTable(reader, sink);
        ++summary.tables;
      }
    } else {
      UnknownMember(where, *key, "the document", "format, tables");
    }
  }
  if (!members.Has("tables")) throw JsonError(JsonPosition{}, "the document has no \"tables\"");
  reader.ExpectEnd();
  return summary;
}

}  // namespace tools
