#include "tools/load_ntd.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>

#include "platform/codepage.h"
#include "platform/text_case.h"
#include "recordset/blob_fields.h"
#include "tablefile/field_type_mapping.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/ntd_format.h"
#include "tablefile/storage_type.h"
#include "tools/dump_ntd.h"
#include "tools/load_values.h"

namespace tools {
namespace {

using platform::Variant;
using tablefile::TNtdStorageType;

constexpr int kFirstStorageCode = static_cast<int>(TNtdStorageType::SmallInt);
constexpr int kLastStorageCode = static_cast<int>(TNtdStorageType::Graphic);

std::string KnownStorageTypes() {
  std::string names;
  for (int code = kFirstStorageCode; code <= kLastStorageCode; ++code) {
    if (!names.empty()) names += ", ";
    names += tablefile::StorageTypeName(static_cast<TNtdStorageType>(code));
  }
  return names;
}

bool IsText(TNtdStorageType type) {
  return type == TNtdStorageType::SmallStr || type == TNtdStorageType::String;
}

bool IsMemo(TNtdStorageType type) {
  return type == TNtdStorageType::Memo || type == TNtdStorageType::FmtMemo;
}

// What every column of a table made from field definitions has; a document
// that asks for other properties describes a table this engine cannot make.
const std::vector<std::pair<std::string, std::string>>& NewColumnProperties() {
  static const std::vector<std::pair<std::string, std::string>> properties{
      {"TablePrefix", tablefile::kDefaultTablePrefix}, {"DefaultText", ""}, {"ExtraText", ""}};
  return properties;
}

// The name as the table file will keep it: blanks as "_" (the description
// section ends a name at a blank).
std::string StoredName(const std::string& name) {
  std::string stored = name;
  std::replace(stored.begin(), stored.end(), ' ', '_');
  return stored;
}

// A table file has no indexes; its dump lists none.
void RefuseIndexes(const LoadTable& table) {
  if (table.indexes.empty()) return;
  RefuseTable(table, "a table file has no indexes; \"" + table.indexes.front().name + "\" cannot be made");
}

void CheckNewColumnProperties(const LoadTable& table, const LoadColumn& column) {
  for (const LoadProperty& property : column.properties) {
    const auto& known = NewColumnProperties();
    const auto match = std::find_if(known.begin(), known.end(),
                                    [&](const auto& entry) { return entry.first == property.name; });
    if (match == known.end()) {
      RefuseColumn(table, column, "a table file column has no property \"" + property.name + "\"");
    }
    if (property.value.kind != JsonKind::String || property.value.text != match->second) {
      RefuseColumn(table, column, "new table-file columns have the " + property.name + " \"" + match->second +
                                      "\"; " + ShowValue(property.value) + " cannot be kept");
    }
  }
}

}  // namespace

struct NtdLoader::Column {
  const LoadColumn* described = nullptr;  // the document's column
  recordset::TField* field = nullptr;
  TNtdStorageType type = TNtdStorageType::Unknown;
  int declaredSize = 0;
};

NtdLoader::NtdLoader(std::string path, std::string tableName, bool append, std::optional<std::string> password,
                     LoadNotes& notes)
    : path_(std::move(path)),
      tableName_(std::move(tableName)),
      append_(append),
      password_(std::move(password)),
      notes_(notes) {}

NtdLoader::~NtdLoader() = default;

void NtdLoader::Format(const std::string& format, JsonPosition where) {
  if (format != "ntd") {
    throw LoadError(where, "the document holds a \"" + format +
                               "\" database; a .ntd target takes a document of format \"ntd\"");
  }
}

void NtdLoader::BeginTable(const LoadTable& table) {
  if (hasTable_) RefuseTable(table, "a table file holds exactly one table; the document has more");
  hasTable_ = true;
  RefuseIndexes(table);
  description_ = table;
  if (table.name != tableName_) {
    notes_.AddForTable(table.name, "a table file takes its name from the file: the table is named \"" +
                                       tableName_ + "\"");
  }
  if (append_) {
    OpenTable(description_);
  } else {
    CreateTable(description_);
  }
}

void NtdLoader::CreateTable(const LoadTable& table) {
  table_ = std::make_unique<tablefile::TNtdTable>();
  if (password_) table_->SetPassword(*password_);
  if (table.columns.empty()) RefuseTable(table, "a table file needs at least one column");
  std::set<std::string> storedNames;
  for (const LoadColumn& described : table.columns) {
    const TNtdStorageType type = NewColumnType(table, described);
    CheckNewColumnProperties(table, described);
    CheckNewColumnName(table, described, storedNames);
    table_->FieldDefs().AddFieldDef(described.name, tablefile::FieldTypeOf(type),
                                    IsText(type) ? static_cast<int>(*described.size) : 0);
  }
  table_->SetActive(true);
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    Column column;
    column.described = &table.columns[i];
    column.field = &table_->FieldNamed(table_->FieldDefs()[static_cast<int>(i)].Name());
    column.type = table_->Store()->Field(i)->StorageType;
    column.declaredSize = table_->Store()->Field(i)->DeclaredSize;
    columns_.push_back(column);
  }
}

TNtdStorageType NtdLoader::NewColumnType(const LoadTable& table, const LoadColumn& described) const {
  const auto type = tablefile::StorageTypeOfName(described.type);
  if (!type) {
    RefuseColumn(table, described,
                 "unknown type \"" + described.type + "\" (a table file knows " + KnownStorageTypes() + ")");
  }
  if (!IsText(*type)) {
    const std::int64_t size = DumpedColumnSize(*type, 0);
    if (described.size && *described.size != size) {
      RefuseColumn(table, described, "a " + described.type + " column has size " + std::to_string(size) +
                                         ", not " + std::to_string(*described.size));
    }
    return *type;
  }
  if (!described.size) RefuseColumn(table, described, "a " + described.type + " column needs its \"size\"");
  // Field definitions make text of up to 35 characters SmallStr, longer
  // text String; the document's type must be the one its size gives.
  const bool small = *described.size <= tablefile::kLargestSmallStr;
  if (small != (*type == TNtdStorageType::SmallStr) || *described.size > std::numeric_limits<int>::max()) {
    RefuseColumn(table, described,
                 "a table file makes text columns of up to " + std::to_string(tablefile::kLargestSmallStr) +
                     " characters SmallStr and longer ones String; size " + std::to_string(*described.size) +
                     " cannot be a " + described.type);
  }
  return *type;
}

void NtdLoader::CheckNewColumnName(const LoadTable& table, const LoadColumn& described,
                                   std::set<std::string>& storedNames) {
  const std::string& name = described.name;
  if (!platform::CanEncode(name)) {
    RefuseColumn(table, described, "the name has characters the table file's code page cannot hold");
  }
  // "~" starts a field's default text in the description section, and
  // control characters end entries there.
  if (std::any_of(name.begin(), name.end(), [](char c) { return c == '~' || static_cast<unsigned char>(c) < 0x20; })) {
    RefuseColumn(table, described, "a table file cannot keep \"~\" or control characters in a column name");
  }
  const std::string stored = StoredName(name);
  if (!storedNames.insert(platform::AnsiUpperCase(stored)).second) {
    RefuseColumn(table, described, "the name is used twice (a table file keeps blanks in names as \"_\")");
  }
  if (stored != name) {
    notes_.AddForTable(table.name, "the column \"" + name + "\" is named \"" + stored +
                                       "\" (a table file keeps blanks in names as \"_\")");
  }
}

void NtdLoader::OpenTable(const LoadTable& table) {
  table_ = std::make_unique<tablefile::TNtdTable>();
  table_->SetTableName(path_);
  if (password_) table_->SetPassword(*password_);
  table_->SetActive(true);
  const tablefile::TNtdCursor& store = *table_->Store();
  for (const LoadColumn& described : table.columns) {
    const tablefile::TNtdField* stored = store.FindField(platform::Utf8ToAnsi(StoredName(described.name)));
    if (stored == nullptr) RefuseColumn(table, described, "the table file has no such column");
    if (tablefile::StorageTypeName(stored->StorageType) != described.type) {
      RefuseColumn(table, described,
                   "the column is " + std::string(tablefile::StorageTypeName(stored->StorageType)) +
                       " in the table file, " + described.type + " in the document");
    }
    Column column;
    column.described = &described;
    column.type = stored->StorageType;
    column.declaredSize = stored->DeclaredSize;
    const auto index = static_cast<std::size_t>(stored - store.Fields().data());
    column.field = &table_->FieldNamed(table_->FieldDefs()[static_cast<int>(index)].Name());
    columns_.push_back(column);
  }
}

void NtdLoader::AddRow(std::span<const JsonScalar> values, std::int64_t rowNumber) {
  table_->AppendRow();
  for (std::size_t i = 0; i < columns_.size(); ++i) StoreValue(columns_[i], values[i], rowNumber);
  table_->PostRow();
  CheckAutoIncValues(values, rowNumber);
}

void NtdLoader::StoreValue(const Column& column, const JsonScalar& value, std::int64_t rowNumber) {
  const LoadColumn& described = *column.described;
  const auto refuse = [&](const std::string& reason) {
    RefuseValue(description_, rowNumber, described, value, reason);
  };
  const auto note = [&](const std::string& what) { notes_.Add(description_.name, described.name, what); };
  if (value.kind == JsonKind::Null) {
    if (column.type == TNtdStorageType::AutoInc) {
      note("null is numbered by the table file");
    } else if (tablefile::ZeroIsAValue(column.type)) {
      note(column.type == TNtdStorageType::Boolean ? "null is stored as false (a table file keeps no null here)"
                                                    : "null is stored as 0 (a table file keeps no null here)");
    }
    return;  // a new row's fields are empty
  }
  const auto zeroNote = [&] { note("0 reads back as null (a table file does not tell 0 from an empty field)"); };
  try {
    switch (column.type) {
      case TNtdStorageType::SmallInt:
        column.field->SetVariantValue(Variant(ReadInteger<std::int16_t>(value)));
        break;
      case TNtdStorageType::Integer:
        column.field->SetVariantValue(Variant(ReadInteger<std::int32_t>(value)));
        break;
      case TNtdStorageType::AutoInc:
        ReadInteger<std::int32_t>(value);  // the engine numbers the row; checked after posting
        break;
      case TNtdStorageType::Int64: {
        const std::int64_t number = ReadInteger<std::int64_t>(value);
        if (number == 0) zeroNote();
        column.field->SetVariantValue(Variant(number));
        break;
      }
      case TNtdStorageType::Boolean: column.field->SetVariantValue(Variant(ReadBoolean(value))); break;
      case TNtdStorageType::Double:
      case TNtdStorageType::Currency: {
        const double number = ReadDouble(value);
        if (number == 0 && std::signbit(number)) note("-0 is stored as 0");
        column.field->SetVariantValue(Variant(number));
        break;
      }
      case TNtdStorageType::Date: column.field->SetVariantValue(Variant::FromDate(ReadDate(value))); break;
      case TNtdStorageType::Time: column.field->SetVariantValue(Variant::FromDate(ReadTime(value))); break;
      case TNtdStorageType::DateTime:
        column.field->SetVariantValue(Variant::FromDate(ReadDateTime(value)));
        break;
      case TNtdStorageType::SmallStr:
      case TNtdStorageType::String: {
        const std::string& text = ReadText(value);
        if (!platform::CanEncode(text)) refuse("the text has characters the table file's code page cannot hold");
        if (text.find('\0') != std::string::npos) refuse("a text column cannot hold a NUL character");
        const std::size_t length = platform::Utf8ToAnsi(text).size();
        const std::size_t limit = std::min<std::size_t>(static_cast<std::size_t>(column.declaredSize),
                                                        column.type == TNtdStorageType::String
                                                            ? tablefile::kMaxStringLength
                                                            : static_cast<std::size_t>(column.declaredSize));
        if (length > limit) {
          refuse("the text has " + std::to_string(length) + " characters; the column holds " +
                 std::to_string(limit));
        }
        if (text.empty()) note("\"\" reads back as null (a table file does not tell them apart)");
        column.field->SetVariantValue(Variant(text));
        break;
      }
      case TNtdStorageType::Memo:
      case TNtdStorageType::FmtMemo:
      case TNtdStorageType::BLOB:
      case TNtdStorageType::Graphic: {
        std::string bytes;
        if (IsMemo(column.type)) {
          bytes = ReadText(value);
          if (!platform::CanEncode(bytes)) refuse("the text has characters the table file's code page cannot hold");
        } else {
          const platform::Bytes data = ReadHex(value);
          bytes.assign(data.begin(), data.end());
        }
        if (bytes.size() > tablefile::kMaxBlobLength) refuse("the value is longer than a table file can hold");
        if (bytes.empty()) note("an empty value reads back as null (a table file does not tell them apart)");
        static_cast<recordset::TBlobField*>(column.field)->SetValue(bytes);
        break;
      }
      default: break;
    }
  } catch (const LoadError&) {
    throw;
  } catch (const std::exception& error) {
    // ValueError, and whatever the field refuses (a date outside its range).
    refuse(error.what());
  }
}

void NtdLoader::CheckAutoIncValues(std::span<const JsonScalar> values, std::int64_t rowNumber) {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    const Column& column = columns_[i];
    if (column.type != TNtdStorageType::AutoInc || values[i].kind == JsonKind::Null) continue;
    const std::int64_t wanted = ReadInteger<std::int32_t>(values[i]);
    const std::int32_t given = column.field->VariantValue().ToInt32();
    if (wanted != given) {
      RefuseValue(description_, rowNumber, *column.described, values[i],
                  "a table file numbers AutoInc columns itself and gives this row " + std::to_string(given) +
                      " (write null to take the table file's number)");
    }
  }
}

void NtdLoader::EndTable(const LoadTable& table) { RefuseIndexes(table); }

void NtdLoader::Query(const LoadQuery& query) {
  throw LoadError(query.where, "a table file holds no queries; the document has the query \"" + query.name + "\"");
}

void NtdLoader::EndDocument() {
  if (!hasTable_) throw LoadError("the document has no table; a table file holds exactly one");
  if (append_) {
    table_->SaveChanges();
  } else {
    table_->WriteTableFile(path_);
  }
  table_->SetActive(false);
}

}  // namespace tools
