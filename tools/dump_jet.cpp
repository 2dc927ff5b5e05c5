#include "tools/dump_jet.h"

#include <cstdio>
#include <optional>
#include <set>
#include <stdexcept>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/jet/column_value.h"
#include "platform/date_time.h"
#include "platform/decimal.h"
#include "platform/format_settings.h"
#include "platform/guids.h"
#include "tools/dao_type_names.h"
#include "tools/dump_access_rows.h"
#include "tools/hex_text.h"
#include "tools/terminal_password.h"

namespace tools {

void WriteDate(platform::TDateTime value, JsonWriter& out) {
  if (!platform::IsValidDateTime(value)) return out.Double(value);
  const platform::DateParts date = platform::DecodeDate(value);
  const platform::TimeParts time = platform::DecodeTime(value);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", date.year, date.month, date.day, time.hour,
                time.minute, time.second, time.millisecond);
  out.String(text);
}

namespace {

// Column values as the dump format writes them.
class JsonValueSink final : public dao::jet::ValueSink {
 public:
  explicit JsonValueSink(JsonWriter& out) : out_(out) {}

  void Null() override { out_.Null(); }
  void Boolean(bool value) override { out_.Boolean(value); }
  void Byte(std::uint8_t value) override { out_.Integer(value); }
  void Integer(std::int16_t value) override { out_.Integer(value); }
  void Long(std::int32_t value) override { out_.Integer(value); }
  void BigInt(std::int64_t value) override { out_.Integer(value); }
  void Currency(std::int64_t scaled) override { out_.Currency(scaled); }
  void Single(float value) override { out_.Single(value); }
  void Double(double value) override { out_.Double(value); }
  void Date(double value) override { WriteDate(value, out_); }
  void Text(std::string_view utf8) override { out_.String(utf8); }
  void Binary(dao::jet::Bytes data) override { out_.String(LowerHex(data)); }
  void Guid(const platform::Guid& value) override { out_.String(platform::GuidToString(value)); }
  void Decimal(const platform::Decimal& value) override {
    out_.String(platform::DecimalToText(value, platform::EnglishUsFormatSettings()));
  }

 private:
  JsonWriter& out_;
};

}  // namespace

void WriteValue(const platform::Variant& value, JsonWriter& out) {
  using platform::VariantType;
  switch (value.Type()) {
    case VariantType::kEmpty:
    case VariantType::kNull: return out.Null();
    case VariantType::kBoolean: return out.Boolean(value.ToBoolean());
    case VariantType::kByte:
    case VariantType::kInt16:
    case VariantType::kInt32:
    case VariantType::kInt64: return out.Integer(value.ToInt64());
    case VariantType::kSingle: return out.Single(value.ToSingle());
    case VariantType::kDouble: return out.Double(value.ToDouble());
    case VariantType::kCurrency: return out.Currency(value.ToCurrency().scaled);
    case VariantType::kDate: return WriteDate(value.ToDate(), out);
    case VariantType::kString: return out.String(*value.StringIf());
    case VariantType::kBytes: return out.String(LowerHex(*value.BytesIf()));
    case VariantType::kGuid: return out.String(platform::GuidToString(value.ToGuid()));
    case VariantType::kDecimal:
      return out.String(platform::DecimalToText(value.ToDecimal(), platform::EnglishUsFormatSettings()));
    case VariantType::kArray:
      out.BeginArray(JsonLayout::kInline);
      for (const platform::Variant& item : *value.ArrayIf()) WriteValue(item, out);
      return out.EndArray();
  }
}

namespace {

bool IsColumnFact(const std::string& name) {
  static const std::set<std::string> kFacts{"Name", "Type", "Size", "OrdinalPosition", "SourceTable", "SourceField"};
  return kFacts.count(name) != 0;
}

void WriteColumn(const dao::Field& field, bool schema, JsonWriter& out) {
  out.BeginObject(JsonLayout::kInline);
  out.Key("name");
  out.String(field.Name());
  out.Key("type");
  out.String(DaoTypeName(field.Type()));
  out.Key("size");
  out.Integer(field.Size());
  if (schema) {
    // Every property DAO keeps for the column, except those that repeat
    // what the column entry says already.
    out.Key("properties");
    out.BeginObject(JsonLayout::kInline);
    for (const auto& property : field.Properties()) {
      if (IsColumnFact(property->Name())) continue;
      out.Key(property->Name());
      WriteValue(property->Value(), out);
    }
    out.EndObject();
  }
  out.EndObject();
}

void WriteIndexes(const dao::TableDef& table, JsonWriter& out) {
  out.Key("indexes");
  out.BeginArray();
  for (const auto& index : table.Indexes()) {
    out.BeginObject(JsonLayout::kInline);
    out.Key("name");
    out.String(index->Name());
    out.Key("primary");
    out.Boolean(index->Primary());
    out.Key("unique");
    out.Boolean(index->Unique());
    out.Key("foreign");
    out.Boolean(index->Foreign());
    out.Key("ignoreNulls");
    out.Boolean(index->IgnoreNulls());
    out.Key("required");
    out.Boolean(index->Required());
    out.Key("fields");
    out.BeginArray();
    for (const auto& field : index->Fields()) {
      out.BeginObject();
      out.Key("name");
      out.String(field->Name());
      out.Key("descending");
      out.Boolean((field->Attributes() & dao::dbDescending) != 0);
      out.EndObject();
    }
    out.EndArray();
    out.EndObject();
  }
  out.EndArray();
}

// The dump of a database: the DAO objects, and what reading through the
// Access layer needs (the file and its password).
struct DumpSource {
  std::string path;
  std::optional<std::string> password;
  std::shared_ptr<dao::Database> database;
};

void WriteTable(const DumpSource& source, const dao::TableDef& table, const DumpOptions& options, JsonWriter& out) {
  const bool schema = options.schema;
  out.BeginObject();
  out.Key("name");
  out.String(table.Name());
  out.Key("columns");
  out.BeginArray();
  for (const auto& field : table.Fields()) WriteColumn(*field, schema, out);
  out.EndArray();
  if (schema) WriteIndexes(table, out);
  if (options.filter || !options.order.empty()) {
    DumpOptions access = options;
    access.password = source.password;
    DumpAccessRows(source.path, table.Name(), access, out);
    out.EndObject();
    return;
  }
  out.Key("rows");
  out.BeginArray();
  const auto recordset = source.database->OpenRecordset(table.Name(), dao::dbOpenForwardOnly);
  JsonValueSink sink(out);
  for (; !recordset->AtEOF(); recordset->MoveNext()) {
    out.BeginArray(JsonLayout::kInline);
    recordset->ReadRow(sink);
    out.EndArray();
  }
  out.EndArray();
  out.EndObject();
}

DumpSource OpenDatabase(dao::Workspace& workspace, const std::string& path, const DumpOptions& options) {
  DumpSource source{.path = path, .password = options.password, .database = nullptr};
  if (options.password) {
    source.database = workspace.OpenDatabase(path, false, true, ";PWD=" + *options.password);
    return source;
  }
  try {
    source.database = workspace.OpenDatabase(path, false, true);
  } catch (const dao::DaoError& error) {
    std::string password;
    if (error.Number() != dao::jet::kErrWrongPassword || !AskPasswordOnTerminal(password)) throw;
    source.database = workspace.OpenDatabase(path, false, true, ";PWD=" + password);
    source.password = password;
  }
  return source;
}

}  // namespace

void DumpJet(const std::string& path, const DumpOptions& options, JsonWriter& out) {
  const auto engine = dao::DBEngine::Create("DAO.DBEngine.36");
  const auto workspace = engine->CreateWorkspace("nutaro", "Admin", "");
  const DumpSource source = OpenDatabase(*workspace, path, options);
  const std::shared_ptr<dao::Database>& database = source.database;
  const dao::TableDefCollection& tables = database->TableDefs();

  std::vector<std::shared_ptr<dao::TableDef>> chosen;
  for (const std::string& name : options.tables) {
    if (!tables.Contains(name)) throw std::runtime_error("Table '" + name + "' not found in " + path);
    chosen.push_back(tables.Item(name));
  }
  if (options.tables.empty()) {
    for (const auto& table : tables) {
      if ((table->Attributes() & (dao::dbSystemObject | dao::dbAttachedTable | dao::dbAttachedODBC)) == 0) {
        chosen.push_back(table);
      }
    }
  }

  out.BeginObject();
  out.Key("format");
  out.String(database->Version() == "3.0" ? "jet3" : "jet4");
  out.Key("tables");
  out.BeginArray();
  for (const auto& table : chosen) WriteTable(source, *table, options, out);
  out.EndArray();
  out.EndObject();
  out.Finish();
}

}  // namespace tools
