#include "tools/load_jet.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>

#include "dao/constants.h"
#include "dao/dao_error.h"
#include "dao/db_engine.h"
#include "dao/jet/storage.h"
#include "platform/codepage.h"
#include "platform/text_case.h"
#include "tools/dao_type_names.h"
#include "tools/load_values.h"

namespace tools {
namespace {

using platform::Variant;

// The engine behind the tool: it reads and writes Jet 3 and Jet 4 files.
constexpr char kEngineProgId[] = "DAO.DBEngine.36";
// Jet 3 databases made here keep their text in this code page.
constexpr int kJet3CodePage = platform::kWindowsLatin1CodePage;
// The largest size DAO takes for a field.
constexpr std::int64_t kLargestFieldSize = 0x7FFF;
// Rows added through one recordset before the next takes over.
constexpr std::int64_t kRowsPerRecordset = 10'000;

// The DAO types of the field properties Access keeps, which the document
// shows only as JSON values.
const std::map<std::string, int>& AccessPropertyTypes() {
  static const std::map<std::string, int> types{
      {"AggregateType", dao::dbLong},    {"Caption", dao::dbText},         {"ColumnHidden", dao::dbBoolean},
      {"ColumnOrder", dao::dbInteger},   {"ColumnWidth", dao::dbInteger},  {"CurrencyLCID", dao::dbLong},
      {"DecimalPlaces", dao::dbByte},    {"Description", dao::dbText},     {"DisplayControl", dao::dbInteger},
      {"Format", dao::dbText},           {"GUID", dao::dbBinary},          {"IMEMode", dao::dbByte},
      {"IMESentenceMode", dao::dbByte},  {"InputMask", dao::dbText},       {"ResultType", dao::dbByte},
      {"ShowDatePicker", dao::dbInteger}, {"SmartTags", dao::dbText},      {"TextAlign", dao::dbByte},
      {"UnicodeCompression", dao::dbBoolean}, {"ValidationRule", dao::dbText}, {"ValidationText", dao::dbText},
  };
  return types;
}

// A property's DAO type: Access's own for its properties, otherwise what
// the JSON value is.
int PropertyType(const LoadProperty& property) {
  const auto known = AccessPropertyTypes().find(property.name);
  if (known != AccessPropertyTypes().end()) return known->second;
  switch (property.value.kind) {
    case JsonKind::Boolean: return dao::dbBoolean;
    case JsonKind::Number:
      return property.value.text.find_first_of(".eE") == std::string::npos ? dao::dbLong : dao::dbDouble;
    default: return dao::dbText;
  }
}

// The document's value of a property as a value of DAO type `type`.
Variant PropertyValue(const LoadProperty& property, int type) {
  const JsonScalar& value = property.value;
  if (value.kind == JsonKind::Null) return Variant::Null();
  switch (type) {
    case dao::dbBoolean: return Variant(ReadBoolean(value));
    case dao::dbByte: return Variant(ReadInteger<std::uint8_t>(value));
    case dao::dbInteger: return Variant(ReadInteger<std::int16_t>(value));
    case dao::dbLong: return Variant(ReadInteger<std::int32_t>(value));
    case dao::dbDouble: return Variant(ReadDouble(value));
    case dao::dbBinary: return Variant(ReadHex(value));
    default: return Variant(ReadText(value));
  }
}

// The built-in properties a field description takes directly (DefaultValue
// waits for the rows, see JetLoader::defaults_).
bool SetBuiltInProperty(dao::Field& field, const LoadProperty& property) {
  if (property.name == "Required") {
    field.SetRequired(ReadBoolean(property.value));
  } else if (property.name == "AllowZeroLength") {
    field.SetAllowZeroLength(ReadBoolean(property.value));
  } else if (property.name == "Attributes") {
    // The fixed/variable and updatable flags follow from the type.
    field.SetAttributes(static_cast<int>(ReadInteger(property.value, 0, std::numeric_limits<std::int32_t>::max())) &
                        (dao::dbAutoIncrField | dao::dbHyperlinkField));
  } else {
    return false;
  }
  return true;
}

// UTF-16 code units: what a Jet 4 text column's size counts.
std::size_t Utf16Length(const std::string& utf8) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

}  // namespace

void RollBackJetWrite(const std::string& path) { dao::jet::RollBackUnfinishedWrite(path); }

struct JetLoader::Column {
  // The document's column `described`, stored in the table's field `stored`
  // of DAO type `type`.
  Column(const LoadColumn& described, int type, const dao::Field& stored)
      : described(&described),
        type(type),
        size(stored.Size()),
        autoNumber((stored.Attributes() & dao::dbAutoIncrField) != 0) {}

  const LoadColumn* described;
  std::shared_ptr<dao::Field> field;  // of the open recordset
  int type;
  int size;
  bool autoNumber;
};

JetLoader::JetLoader(std::string path, bool jet3, bool append, std::optional<std::string> password,
                     LoadNotes& notes)
    : path_(std::move(path)), createdPath_(path_), jet3_(jet3), append_(append), notes_(notes) {
  engine_ = dao::DBEngine::Create(kEngineProgId);
  workspace_ = engine_->CreateWorkspace("nutaro load", "Admin", "");
  const std::string passwordPart = password ? ";PWD=" + *password : "";
  if (append_) {
    database_ = workspace_->OpenDatabase(path_, false, false, passwordPart);
    jet3_ = database_->Version() == "3.0";
  } else {
    // The engine adds ".mdb" to a name without an extension.
    if (!std::filesystem::path(path_).has_extension()) createdPath_ += ".mdb";
    database_ = workspace_->CreateDatabase(path_, dao::dbLangGeneral + passwordPart,
                                           jet3 ? dao::dbVersion30 : dao::dbVersion40);
  }
}

JetLoader::~JetLoader() = default;

void JetLoader::Format(const std::string& format, JsonPosition where) {
  if (format != "jet3" && format != "jet4") {
    throw LoadError(where, "the document holds a \"" + format + "\" table; a Jet database takes documents of "
                           "format \"jet3\" or \"jet4\"");
  }
  const std::string target = jet3_ ? "jet3" : "jet4";
  if (format != target) {
    notes_.AddForDocument("the document was dumped from a " + format + " database and is loaded into a " + target +
                          " one");
  }
}

void JetLoader::BeginTable(const LoadTable& table) {
  if (!lastTableName_.empty() && platform::AnsiCompareText(table.name, lastTableName_) < 0) {
    notes_.AddForTable(table.name, "a Jet database lists its tables by name, so this table comes earlier");
  }
  lastTableName_ = table.name;
  for (std::size_t i = 1; i < table.indexes.size() && !append_; ++i) {
    if (platform::AnsiCompareText(table.indexes[i].name, table.indexes[i - 1].name) < 0) {
      notes_.AddForTable(table.name, "a Jet table lists its indexes by name, so \"" + table.indexes[i].name +
                                         "\" comes earlier");
    }
  }
  table_ = table;
  columns_.clear();
  if (append_) {
    OpenTable(table_);
  } else {
    CreateTable(table_);
  }
  OpenRows();
}

void JetLoader::OpenRows() {
  if (rows_) rows_->Close();
  rows_ = database_->OpenRecordset(table_.name, dao::dbOpenDynaset, dao::dbAppendOnly);
  const dao::FieldCollection& fields = rows_->Fields();
  for (Column& column : columns_) column.field = fields.Item(column.described->name);
  rowsInRecordset_ = 0;
}

std::shared_ptr<dao::Field> JetLoader::DescribeField(dao::TableDef& definition, const LoadTable& table,
                                                     const LoadColumn& described, int type) {
  if ((type == dao::dbText || type == dao::dbBinary) && !described.size) {
    RefuseColumn(table, described, "a " + described.type + " column needs its \"size\"");
  }
  const auto fail = [&](const dao::DaoError& error) {
    // DAO, like Microsoft's, makes no Decimal columns (Access makes them
    // through SQL, which load does not speak), and BigInt columns came with
    // a later engine than Jet.
    std::string hint;
    if (type == dao::dbDecimal) hint = " (DAO cannot make Decimal columns)";
    if (type == dao::dbBigInt) hint = " (Jet databases have no BigInt columns)";
    RefuseColumn(table, described, error.what() + hint);
  };
  try {
    const int size = described.size ? static_cast<int>(std::min<std::int64_t>(*described.size, kLargestFieldSize)) : 0;
    const std::shared_ptr<dao::Field> field = definition.CreateField(described.name, type, size);
    // A document of plain dump does not say whether text may be empty; its
    // values may well need it.
    if (described.properties.empty() && (type == dao::dbText || type == dao::dbMemo)) {
      field->SetAllowZeroLength(true);
    }
    for (const LoadProperty& property : described.properties) {
      try {
        if (property.name == "DefaultValue") {
          if (!ReadText(property.value).empty()) defaults_.emplace_back(described.name, property.value.text);
        } else if (!SetBuiltInProperty(*field, property)) {
          const int propertyType = PropertyType(property);
          field->Properties().Append(
              field->CreateProperty(property.name, propertyType, PropertyValue(property, propertyType)));
        }
      } catch (const ValueError& error) {
        RefuseColumn(table, described, "the property \"" + property.name + "\": " + error.what());
      }
    }
    definition.Fields().Append(field);
    return field;
  } catch (const dao::DaoError& error) {
    fail(error);
  }
  return nullptr;
}

void JetLoader::CreateTable(const LoadTable& table) {
  if (table.columns.empty()) RefuseTable(table, "a Jet table needs at least one column");
  const std::shared_ptr<dao::TableDef> definition = database_->CreateTableDef(table.name);
  for (const LoadColumn& described : table.columns) {
    const auto type = DaoTypeNamed(described.type);
    if (!type) {
      RefuseColumn(table, described,
                   "unknown type \"" + described.type + "\" (a Jet database knows " + KnownDaoTypes() + ")");
    }
    const Column column(described, *type, *DescribeField(*definition, table, described, *type));
    if (described.size && *described.size != column.size) {
      RefuseColumn(table, described, "a " + described.type + " column has size " + std::to_string(column.size) +
                                         ", not " + std::to_string(*described.size));
    }
    columns_.push_back(column);
  }
  AppendIndexes(*definition, table, 0);
  indexesMade_ = table.indexes.size();
  try {
    database_->TableDefs().Append(definition);
  } catch (const dao::DaoError& error) {
    RefuseTable(table, error.what());
  }
}

void JetLoader::AppendIndexes(dao::TableDef& definition, const LoadTable& table, std::size_t first) {
  for (std::size_t i = first; i < table.indexes.size(); ++i) {
    const LoadIndex& described = table.indexes[i];
    const auto refuse = [&](const std::string& reason) {
      throw LoadError(described.where, "table \"" + table.name + "\", index \"" + described.name + "\": " + reason);
    };
    if (described.foreign) {
      // Relationships (and with them their indexes) are not DAO TableDef
      // business; the rows need no such index.
      notes_.AddForTable(table.name, "the index \"" + described.name +
                                         "\" belongs to a relationship, which load does not make; it is left out");
      continue;
    }
    try {
      const std::shared_ptr<dao::Index> index = definition.CreateIndex(described.name);
      index->SetPrimary(described.primary);
      index->SetUnique(described.unique);
      index->SetIgnoreNulls(described.ignoreNulls);
      index->SetRequired(described.required);
      for (const LoadIndexField& key : described.fields) {
        const std::shared_ptr<dao::Field> field = index->CreateField(key.name);
        if (key.descending) field->SetAttributes(dao::dbDescending);
        index->Fields().Append(field);
      }
      definition.Indexes().Append(index);
    } catch (const dao::DaoError& error) {
      refuse(error.what());
    }
  }
}

void JetLoader::OpenTable(const LoadTable& table) {
  dao::TableDefCollection& tables = database_->TableDefs();
  if (!tables.Contains(table.name)) RefuseTable(table, "the database has no such table");
  const std::shared_ptr<dao::TableDef> definition = tables.Item(table.name);
  for (const LoadColumn& described : table.columns) {
    if (!definition->Fields().Contains(described.name)) {
      RefuseColumn(table, described, "the table in the database has no such column");
    }
    const std::shared_ptr<dao::Field> field = definition->Fields().Item(described.name);
    const auto type = DaoTypeNamed(described.type);
    if (!type || *type != field->Type()) {
      RefuseColumn(table, described,
                   "the column is " + std::string(DaoTypeName(field->Type())) + " in the database, " + described.type +
                       " in the document");
    }
    columns_.emplace_back(described, *type, *field);
  }
}

void JetLoader::AddRow(std::span<const JsonScalar> values, std::int64_t rowNumber) {
  const auto refuse = [&](const dao::DaoError& error) {
    throw LoadError(values.empty() ? table_.where : values.front().where,
                    "table \"" + table_.name + "\", row " + std::to_string(rowNumber) + ": " + error.what());
  };
  try {
    rows_->AddNew();
  } catch (const dao::DaoError& error) {
    refuse(error);
  }
  for (std::size_t i = 0; i < columns_.size(); ++i) StoreValue(columns_[i], values[i], rowNumber);
  try {
    rows_->Update();
  } catch (const dao::DaoError& error) {
    refuse(error);
  }
  // A recordset remembers every row added through it; a fresh one now and
  // then keeps that from growing with the document.
  if (++rowsInRecordset_ == kRowsPerRecordset) OpenRows();
}

void JetLoader::StoreValue(const Column& column, const JsonScalar& value, std::int64_t rowNumber) {
  const auto refuse = [&](const std::string& reason) {
    RefuseValue(table_, rowNumber, *column.described, value, reason);
  };
  try {
    if (value.kind == JsonKind::Null) {
      // An AutoNumber left empty takes the engine's next number; any other
      // column is set to Null so that a default value does not fill it.
      if (!column.autoNumber) column.field->SetValue(Variant::Null());
      if (column.type == dao::dbBoolean) notes_.Add(table_.name, column.described->name, "null is stored as false (a Yes/No column has no null)");
      return;
    }
    Variant converted;
    switch (column.type) {
      case dao::dbBoolean: converted = Variant(ReadBoolean(value)); break;
      case dao::dbByte: converted = Variant(ReadInteger<std::uint8_t>(value)); break;
      case dao::dbInteger: converted = Variant(ReadInteger<std::int16_t>(value)); break;
      case dao::dbLong: converted = Variant(ReadInteger<std::int32_t>(value)); break;
      case dao::dbBigInt: converted = Variant(ReadInteger<std::int64_t>(value)); break;
      case dao::dbCurrency: converted = Variant(ReadCurrency(value)); break;
      case dao::dbSingle: converted = Variant(ReadSingle(value)); break;
      case dao::dbDouble: converted = Variant(ReadDouble(value)); break;
      case dao::dbDate:
        // Dump shows a date outside the calendar as the number the file holds.
        converted = Variant::FromDate(value.kind == JsonKind::Number ? ReadDouble(value) : ReadDateTime(value));
        break;
      case dao::dbGUID: converted = Variant(ReadGuid(value)); break;
      case dao::dbDecimal: converted = Variant(ReadDecimal(value)); break;
      case dao::dbBinary:
      case dao::dbLongBinary: {
        platform::Bytes bytes = ReadHex(value);
        if (column.type == dao::dbBinary && bytes.size() > static_cast<std::size_t>(column.size)) {
          refuse("the value has " + std::to_string(bytes.size()) + " bytes; the column holds " + std::to_string(column.size));
        }
        converted = Variant(std::move(bytes));
        break;
      }
      default: {  // Text and Memo
        const std::string& text = ReadText(value);
        if (jet3_ && !platform::CanEncode(text, kJet3CodePage)) {
          refuse("the text has characters a Jet 3 database's code page cannot hold");
        }
        const std::size_t length = jet3_ ? platform::Utf8ToAnsi(text, kJet3CodePage).size() : Utf16Length(text);
        if (column.type == dao::dbText && length > static_cast<std::size_t>(column.size)) {
          refuse("the text has " + std::to_string(length) + " characters; the column holds " + std::to_string(column.size));
        }
        converted = Variant(text);
      }
    }
    column.field->SetValue(converted);
  } catch (const ValueError& error) {
    refuse(error.what());
  } catch (const dao::DaoError& error) {
    refuse(error.what());
  }
}

void JetLoader::EndTable(const LoadTable& table) {
  rows_->Close();
  rows_.reset();
  if (append_) return;  // an existing table keeps its indexes and defaults
  const std::shared_ptr<dao::TableDef> stored = database_->TableDefs().Item(table.name);
  // Indexes that follow the rows are built over them.
  AppendIndexes(*stored, table, indexesMade_);
  for (const auto& [column, expression] : defaults_) {
    try {
      stored->Fields().Item(column)->SetDefaultValue(expression);
    } catch (const dao::DaoError& error) {
      RefuseTable(table, "the default value of column \"" + column + "\": " + error.what());
    }
  }
  defaults_.clear();
}

void JetLoader::Query(const LoadQuery& query) {
  // Its SQL is meant for the server its connect string names, which the
  // document does not hold; made from the SQL alone it would run here.
  if (query.type == "SQLPassThrough" || query.type == "SPTBulk") {
    throw LoadError(query.where, "the query \"" + query.name +
                                     "\" is a pass-through query; the document does not hold the server it is for");
  }
  try {
    database_->CreateQueryDef(query.name, query.sql);
  } catch (const dao::DaoError& error) {
    throw LoadError(query.where, "the query \"" + query.name + "\": " + error.what());
  }
}

void JetLoader::EndDocument() {
  database_->Close();
  database_.reset();
  workspace_->Close();
  if (createdPath_ != path_) std::filesystem::rename(createdPath_, path_);
}

}  // namespace tools
