#include "dao/new_table.h"

#include "dao/constants.h"
#include "dao/dao_types.h"
#include "platform/clock.h"
#include "platform/text_case.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.TableDef";
constexpr int kMaxTextSize = 255;

[[noreturn]] void InvalidType() { Raise(jet::kErrInvalidFieldType, kSource, "Invalid field data type."); }
[[noreturn]] void NoField() { Raise(jet::kErrNoFieldDefined, kSource, "No field defined--cannot append TableDef or Index."); }

jet::StoredProperty EngineProperty(const char* name, jet::ColumnType type, platform::Variant value) {
  return {name, static_cast<std::uint8_t>(type), true, std::move(value)};
}

jet::NewColumn ColumnOf(const Field& field, const jet::Layout& layout) {
  const FieldDraft& draft = field.Draft();
  const std::optional<jet::ColumnType> type = ColumnTypeOfDao(draft.type);
  if (!type) InvalidType();
  jet::NewColumn column;
  column.name = field.Name();
  column.type = *type;
  if (*type == jet::ColumnType::kText || *type == jet::ColumnType::kBinary) {
    const int size = field.Size();
    if (size < 1 || size > kMaxTextSize) InvalidType();
    column.size = static_cast<std::uint16_t>(size);
  }
  const int attributes = draft.attributes;
  if ((attributes & dbAutoIncrField) != 0) {
    if (*type != jet::ColumnType::kLong) Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    column.autoNumber = true;
  }
  if ((attributes & dbHyperlinkField) != 0) {
    if (*type != jet::ColumnType::kMemo) Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    column.hyperlink = true;
  }
  const bool text = *type == jet::ColumnType::kText || *type == jet::ColumnType::kMemo;
  for (const jet::StoredProperty& property : draft.custom) {
    if (text && layout.IsJet4() && platform::AnsiSameText(property.name, "UnicodeCompression"))
      column.compressedText = !property.value.IsNull() && property.value.ToBoolean();
  }
  return column;
}

}  // namespace

NewTable DescribeNewTable(const FieldCollection& fields, const IndexCollection& indexes, const jet::Layout& layout) {
  if (fields.Count() == 0) NoField();
  if (fields.Count() > static_cast<int>(jet::kMaxColumns)) Raise(jet::kErrTooManyFields, kSource, "Too many fields defined.");
  NewTable table;
  std::vector<std::string> names;
  for (const auto& field : fields) {
    for (const std::string& name : names) {
      if (platform::AnsiSameText(name, field->Name())) {
        Raise(jet::kErrDuplicateFieldName, kSource, "Cannot define field more than once.");
      }
    }
    names.push_back(field->Name());
    table.columns.push_back(ColumnOf(*field, layout));
    const FieldDraft& draft = field->Draft();
    if (draft.required)
      table.properties.emplace_back(field->Name(), EngineProperty("Required", jet::ColumnType::kBoolean, true));
    if (draft.allowZeroLength)
      table.properties.emplace_back(field->Name(),
                                    EngineProperty("AllowZeroLength", jet::ColumnType::kBoolean, true));
    if (!draft.defaultValue.empty())
      table.properties.emplace_back(field->Name(), EngineProperty("DefaultValue", jet::ColumnType::kMemo,
                                                                  platform::Variant(draft.defaultValue)));
    for (const jet::StoredProperty& property : draft.custom) table.properties.emplace_back(field->Name(), property);
  }
  for (const auto& index : indexes) table.indexes.push_back(NewIndexOf(*index, names));
  return table;
}

jet::NewIndex NewIndexOf(const Index& index, const std::vector<std::string>& columnNames,
                         const std::vector<std::uint16_t>& columnNumbers) {
  if (index.Fields().Count() == 0) NoField();
  jet::NewIndex described;
  described.name = index.Name();
  described.primary = index.Primary();
  described.unique = index.Unique() || index.Primary();
  described.required = index.Required() || index.Primary();
  described.ignoreNulls = index.IgnoreNulls();
  for (const auto& field : index.Fields()) {
    std::size_t position = 0;
    while (position < columnNames.size() && !platform::AnsiSameText(columnNames[position], field->Name())) ++position;
    if (position == columnNames.size()) {
      Raise(jet::kErrItemNotFound, "DAO.Index", "Item not found in this collection.");
    }
    const auto number = columnNumbers.empty() ? static_cast<std::uint16_t>(position) : columnNumbers[position];
    // An index field description says dbDescending in its attributes; a
    // field bound to a column says dbFixedField with the same bit.
    const bool descending = field->IsDraft() && (field->Attributes() & dbDescending) != 0;
    described.columns.push_back({number, descending});
  }
  return described;
}

std::uint32_t CreateStoredTable(DatabaseState& database, const std::string& name, const NewTable& table) {
  std::uint32_t id = 0;
  database.Write("DAO.Database", [&](jet::DatabaseWriter& writer) {
    id = writer.CreateTable(name, table.columns, table.indexes, platform::Now());
    if (table.properties.empty()) return;
    for (const jet::CatalogEntry& entry : writer.Catalog()) {
      if (entry.id != id || !entry.IsLocalTable()) continue;
      for (const auto& [column, property] : table.properties) writer.SetProperty(entry, column, property);
    }
  });
  database.SchemaChanged();
  return id;
}

}  // namespace dao
