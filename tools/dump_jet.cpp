#include "tools/dump_jet.h"

#include <set>
#include <stdexcept>

#include "dao/connect_string.h"
#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/sql/stored_query.h"
#include "platform/decimal.h"
#include "platform/format_settings.h"
#include "platform/guids.h"
#include "tools/dao_type_names.h"
#include "tools/dump_access_rows.h"
#include "tools/hex_text.h"
#include "tools/json_value_sink.h"
#include "tools/open_jet_database.h"

namespace tools {

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
    case VariantType::kDate: return WriteJsonDate(value.ToDate(), out);
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

void WriteTable(dao::Database& database, const dao::TableDef& table, const DumpOptions& options, JsonWriter& out) {
  const bool schema = options.schema;
  out.BeginObject();
  out.Key("name");
  out.String(table.Name());
  WriteColumnsMember(table.Fields(), schema, out);
  if (schema) WriteIndexes(table, out);
  if (options.filter || !options.order.empty()) {
    // Through the Access layer, with the password the database opened with
    // (also one asked for on the terminal).
    DumpOptions access = options;
    access.password = dao::ConnectString(database.Connect()).Value("PWD");
    DumpAccessRows(database.Name(), table.Name(), access, out);
  } else {
    WriteRowsMember(*database.OpenRecordset(table.Name(), dao::dbOpenForwardOnly), out);
  }
  out.EndObject();
}

// A query type as the document names it: DAO's name without its prefix.
const char* QueryTypeName(int type) {
  switch (type) {
    case dao::sql::kQuerySelect: return "Select";
    case dao::sql::kQueryCrosstab: return "Crosstab";
    case dao::sql::kQueryDelete: return "Delete";
    case dao::sql::kQueryUpdate: return "Update";
    case dao::sql::kQueryAppend: return "Append";
    case dao::sql::kQueryMakeTable: return "MakeTable";
    case dao::sql::kQueryDataDefinition: return "DDL";
    case dao::sql::kQueryPassThrough: return "SQLPassThrough";
    case dao::sql::kQueryUnion: return "SetOperation";
    case 144: return "SPTBulk";
    case 160: return "Compound";
    case 224: return "Procedure";
    default: return "Action";
  }
}

void WriteQueries(dao::Database& database, JsonWriter& out) {
  dao::QueryDefCollection& queries = database.QueryDefs();
  if (queries.Count() == 0) return;
  out.Key("queries");
  out.BeginArray();
  for (const auto& query : queries) {
    out.BeginObject();
    out.Key("name");
    out.String(query->Name());
    out.Key("type");
    out.String(QueryTypeName(query->Type()));
    out.Key("sql");
    out.String(query->SQL());
    out.Key("parameters");
    out.BeginArray(JsonLayout::kInline);
    for (const auto& parameter : query->Parameters()) {
      out.BeginObject(JsonLayout::kInline);
      out.Key("name");
      out.String(parameter->Name());
      out.Key("type");
      out.String(DaoTypeName(parameter->Type()));
      out.EndObject();
    }
    out.EndArray();
    out.EndObject();
  }
  out.EndArray();
}

}  // namespace

void WriteColumnsMember(const dao::FieldCollection& fields, bool schema, JsonWriter& out) {
  out.Key("columns");
  out.BeginArray();
  for (const auto& field : fields) WriteColumn(*field, schema, out);
  out.EndArray();
}

void WriteRowsMember(dao::Recordset& recordset, JsonWriter& out) {
  out.Key("rows");
  out.BeginArray();
  JsonValueSink sink(out);
  for (; !recordset.AtEOF(); recordset.MoveNext()) {
    out.BeginArray(JsonLayout::kInline);
    recordset.ReadRow(sink);
    out.EndArray();
  }
  out.EndArray();
}

void DumpJet(const std::string& path, const DumpOptions& options, JsonWriter& out) {
  const auto engine = dao::DBEngine::Create("DAO.DBEngine.36");
  const auto workspace = engine->CreateWorkspace("nutaro", "Admin", "");
  const auto database = OpenJetDatabase(*workspace, path, options.password, true);
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
  for (const auto& table : chosen) WriteTable(*database, *table, options, out);
  out.EndArray();
  if (options.schema) WriteQueries(*database, out);
  out.EndObject();
  out.Finish();
}

}  // namespace tools
