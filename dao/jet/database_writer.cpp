#include "dao/jet/database_writer.h"

#include <algorithm>
#include <map>
#include <optional>

#include "dao/jet/data_page_writer.h"
#include "dao/jet/jet_error.h"
#include "dao/jet/long_value.h"
#include "dao/jet/property_blob_writer.h"
#include "dao/jet/row_view.h"
#include "dao/jet/system_tables.h"
#include "dao/jet/table_definition_edit.h"
#include "dao/jet/table_indexes.h"
#include "dao/jet/usage_map.h"
#include "platform/text_case.h"

namespace dao::jet {
namespace {

constexpr int kErrInvalidName = 3125;
constexpr std::size_t kMaxNameCharacters = 64;

std::size_t CharacterCount(const std::string& utf8) {
  std::size_t count = 0;
  for (const char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

void RequireValidName(const std::string& name) {
  if (!IsValidObjectName(name)) throw JetError(kErrInvalidName, "'" + name + "' is not a valid name. Make sure "
                                                                "that it does not include invalid characters or "
                                                                "punctuation and that it is not too long.");
}

// An index needs 1 to 10 columns, none of them memo or OLE;
// `typeOf(number)` gives a column's type (nothing for a missing column).
void RequireIndexable(const NewIndex& index, const std::function<std::optional<ColumnType>(std::uint16_t)>& typeOf) {
  const bool usable = !index.columns.empty() && index.columns.size() <= kMaxIndexColumns &&
                      std::all_of(index.columns.begin(), index.columns.end(), [&](const IndexColumn& c) {
                        const std::optional<ColumnType> type = typeOf(c.columnNumber);
                        return type && *type != ColumnType::kMemo && *type != ColumnType::kOle;
                      });
  if (!usable) throw JetError(kErrInvalidArgument, "The index '" + index.name + "' cannot be built on its fields.");
}

}  // namespace

bool IsValidObjectName(const std::string& name) {
  if (name.empty() || name.front() == ' ' || CharacterCount(name) > kMaxNameCharacters) return false;
  for (const char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == '.' || c == '!' || c == '`' || c == '[' || c == ']') return false;
  return true;
}

DatabaseWriter::DatabaseWriter(PageFile& pages, const Layout& layout, const TextCodec& codec)
    : file_(pages), layout_(layout), codec_(codec), pages_(pages, layout) {}

void DatabaseWriter::Atomically(const std::function<void()>& change) {
  pages_.Transactionally(change, [&] { tables_.clear(); });
}

std::vector<CatalogEntry> DatabaseWriter::Catalog() {
  return ReadCatalog(file_, layout_, codec_, Catalog(kMSysObjectsPage).Definition());
}

TableWriter& DatabaseWriter::Catalog(std::uint32_t tdefPage) {
  auto& writer = tables_[tdefPage];
  if (!writer) writer = std::make_unique<TableWriter>(pages_, codec_, ReadTableDefinition(file_, layout_, codec_, tdefPage));
  return *writer;
}

std::uint32_t DatabaseWriter::CreateTable(const std::string& name, const std::vector<NewColumn>& columns,
                                          const std::vector<NewIndex>& indexes, double now) {
  RequireFreeName(name);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    RequireValidName(columns[i].name);
    for (std::size_t k = 0; k < i; ++k)
      if (platform::AnsiSameText(columns[i].name, columns[k].name))
        throw JetError(kErrDuplicateFieldName, "More than one field named '" + columns[i].name + "'.");
  }
  for (const NewIndex& index : indexes) {
    RequireValidName(index.name);
    RequireIndexable(index, [&](std::uint16_t number) {
      return number < columns.size() ? std::optional<ColumnType>(columns[number].type) : std::nullopt;
    });
  }
  // The catalog's own writers must see the new rows: drop them first.
  tables_.erase(kMSysObjectsPage);
  tables_.erase(kMSysACEsPage);
  return dao::jet::CreateTable(pages_, codec_, name, columns, indexes, now);
}

void DatabaseWriter::AddIndex(std::uint32_t tdefPage, const NewIndex& index) {
  RequireValidName(index.name);
  TableDefinition definition = ReadTableDefinition(file_, layout_, codec_, tdefPage);
  for (const LogicalIndex& existing : definition.logicalIndexes) {
    if (platform::AnsiSameText(existing.name, index.name)) throw JetError(kErrIndexExists, "Index already exists.");
    if (index.primary && existing.kind == kIndexKindPrimary)
      throw JetError(kErrPrimaryKeyExists, "Primary key already exists.");
  }
  RequireIndexable(index, [&](std::uint16_t number) {
    const ColumnDefinition* column = definition.ColumnByNumber(number);
    return column == nullptr ? std::optional<ColumnType>() : column->Type();
  });
  const std::size_t real = AddIndexDefinition(pages_, codec_, definition, index);
  // The table's writer is made again with the new index and fills it.
  tables_.erase(tdefPage);
  Table(tdefPage).FillIndex(real);
}

void DatabaseWriter::RemoveIndex(std::uint32_t tdefPage, const std::string& name) {
  TableDefinition definition = ReadTableDefinition(file_, layout_, codec_, tdefPage);
  const auto found = std::find_if(definition.logicalIndexes.begin(), definition.logicalIndexes.end(),
                                  [&](const LogicalIndex& index) { return platform::AnsiSameText(index.name, name); });
  if (found == definition.logicalIndexes.end()) throw JetError(kErrItemNotFound, "Item not found in this collection.");
  // A foreign key, and an index another table's relationship names, stay.
  bool related = found->kind == kIndexKindForeign;
  for (const CatalogEntry& entry : Catalog()) {
    if (related || !entry.IsLocalTable() || entry.id == tdefPage) continue;
    for (const LogicalIndex& index : ReadTableDefinition(file_, layout_, codec_, entry.id).logicalIndexes)
      related = related || (index.kind == kIndexKindForeign && index.relatedTablePage == tdefPage &&
                            index.relatedIndex == found->number);
  }
  if (related)
    throw JetError(kErrIndexInRelationship,
                   "Cannot delete this index or table. It is either the current index or is used in a relationship.");
  const std::uint32_t removed =
      RemoveIndexDefinition(pages_, codec_, definition, static_cast<std::size_t>(found - definition.logicalIndexes.begin()));
  tables_.erase(tdefPage);
  // Foreign keys of other tables name this table's indexes by number.
  for (const CatalogEntry& entry : Catalog()) {
    if (!entry.IsLocalTable() || entry.id == tdefPage) continue;
    TableDefinition other = ReadTableDefinition(file_, layout_, codec_, entry.id);
    if (FollowRemovedIndex(pages_, codec_, other, tdefPage, removed)) tables_.erase(entry.id);
  }
}

void DatabaseWriter::RequireFreeName(const std::string& name) {
  RequireValidName(name);
  for (const CatalogEntry& entry : Catalog())
    if (entry.parentId == kTablesContainerId && platform::AnsiSameText(entry.name, name))
      throw JetError(kErrTableExists, "Table '" + name + "' already exists.");
}

void DatabaseWriter::InsertQueryRows(std::uint32_t id, const std::vector<QueryRow>& rows) {
  TableWriter& queries = Catalog(kMSysQueriesPage);
  const TableDefinition& definition = queries.Definition();
  const auto position = [&](const char* name) {
    return static_cast<std::size_t>(&CatalogColumn(definition, name) - definition.columns.data());
  };
  const auto text = [](const std::optional<std::string>& value) {
    return value ? FieldValue::Text(*value) : FieldValue::Null();
  };
  // Rows of one attribute are numbered 1, 2, ... in their Order column
  // (four bytes, most significant first), which the table's key needs.
  std::map<std::uint8_t, std::uint32_t> counters;
  for (const QueryRow& row : rows) {
    const std::uint32_t order = ++counters[row.attribute];
    std::vector<std::uint8_t> orderBytes(4);
    StoreU32BigEndian(orderBytes.data(), order);
    std::vector<FieldValue> values(definition.columns.size());
    values[position("ObjectId")] = FieldValue::Integer(static_cast<std::int32_t>(id));
    values[position("Attribute")] = FieldValue::Integer(row.attribute);
    values[position("Order")] = FieldValue::Binary(std::move(orderBytes));
    values[position("Name1")] = text(row.name1);
    values[position("Name2")] = text(row.name2);
    values[position("Expression")] = text(row.expression);
    if (row.flag) values[position("Flag")] = FieldValue::Integer(*row.flag);
    queries.Insert(values);
  }
}

void DatabaseWriter::DeleteQueryRows(std::uint32_t id) {
  TableWriter& queries = Catalog(kMSysQueriesPage);
  const ColumnDefinition& objectId = CatalogColumn(queries.Definition(), "ObjectId");
  std::vector<RowPointer> found;
  queries.ForEachRow([&](RowPointer at, Bytes row) {
    Bytes value;
    if (RowView(layout_, row, queries.Definition().variableColumns).Value(objectId, value) && LoadU32(value.data()) == id)
      found.push_back(at);
  });
  for (const RowPointer at : found) queries.Delete(at);
}

void DatabaseWriter::DeleteCatalogObject(std::uint32_t id) {
  TableWriter& objects = Catalog(kMSysObjectsPage);
  for (const CatalogEntry& entry : Catalog()) {
    if (entry.id == id && entry.parentId == kTablesContainerId) objects.Delete(entry.row);
  }
  TableWriter& aces = Catalog(kMSysACEsPage);
  const ColumnDefinition& objectId = CatalogColumn(aces.Definition(), "ObjectId");
  std::vector<RowPointer> rights;
  aces.ForEachRow([&](RowPointer at, Bytes row) {
    Bytes value;
    if (RowView(layout_, row, aces.Definition().variableColumns).Value(objectId, value) && LoadU32(value.data()) == id)
      rights.push_back(at);
  });
  for (const RowPointer at : rights) aces.Delete(at);
}

std::uint32_t DatabaseWriter::CreateQuery(const std::string& name, std::uint32_t flags, const std::vector<QueryRow>& rows,
                                          double now) {
  RequireFreeName(name);
  // Objects without a definition page are numbered from 0x80000000 on.
  std::uint32_t id = kFirstNumberedObjectId;
  for (const CatalogEntry& entry : Catalog()) {
    if (entry.id >= kFirstNumberedObjectId && entry.id != kNoObjectId) id = std::max(id, entry.id + 1);
  }
  tables_.erase(kMSysObjectsPage);
  tables_.erase(kMSysACEsPage);
  InsertCatalogObject(pages_, codec_, id, name, kObjectTypeQuery, flags, now);
  InsertQueryRows(id, rows);
  return id;
}

void DatabaseWriter::ReplaceQuery(std::uint32_t id, std::uint32_t flags, const std::vector<QueryRow>& rows, double now) {
  DeleteQueryRows(id);
  InsertQueryRows(id, rows);
  TableWriter& objects = Catalog(kMSysObjectsPage);
  const TableDefinition& definition = objects.Definition();
  std::vector<std::optional<FieldValue>> changes(definition.columns.size());
  changes[static_cast<std::size_t>(&CatalogColumn(definition, "Flags") - definition.columns.data())] =
      FieldValue::Integer(flags);
  changes[static_cast<std::size_t>(&CatalogColumn(definition, "DateUpdate") - definition.columns.data())] =
      FieldValue::Real(now);
  for (const CatalogEntry& entry : Catalog()) {
    if (entry.id == id && entry.parentId == kTablesContainerId) objects.Update(entry.row, changes);
  }
}

void DatabaseWriter::DropQuery(std::uint32_t id) {
  DeleteQueryRows(id);
  DeleteCatalogObject(id);
}

bool DatabaseWriter::InRelationship(std::uint32_t tdefPage, const TableDefinition& definition) {
  bool related = std::any_of(definition.logicalIndexes.begin(), definition.logicalIndexes.end(),
                             [](const LogicalIndex& index) { return index.kind == kIndexKindForeign; });
  for (const CatalogEntry& entry : Catalog()) {
    if (related || !entry.IsLocalTable() || entry.id == tdefPage) continue;
    for (const LogicalIndex& index : ReadTableDefinition(file_, layout_, codec_, entry.id).logicalIndexes)
      related = related || (index.kind == kIndexKindForeign && index.relatedTablePage == tdefPage);
  }
  return related;
}

ColumnDefinition DatabaseWriter::AddColumn(std::uint32_t tdefPage, const NewColumn& column) {
  RequireValidName(column.name);
  TableDefinition definition = ReadTableDefinition(file_, layout_, codec_, tdefPage);
  for (const ColumnDefinition& existing : definition.columns) {
    if (platform::AnsiSameText(existing.name, column.name))
      throw JetError(kErrDuplicateFieldName, "More than one field named '" + column.name + "'.");
  }
  DefinitionEditor editor(pages_, codec_, definition);
  ColumnDefinition added = NewColumnDefinition(column, layout_);
  // The next number; rows stored before have fewer columns and read Null.
  added.number = definition.maxColumns;
  if (added.IsFixed()) {
    std::uint16_t end = 0;
    for (const ColumnDefinition& existing : definition.columns) {
      if (existing.IsFixed() && existing.Type() != ColumnType::kBoolean)
        end = std::max<std::uint16_t>(end, static_cast<std::uint16_t>(existing.fixedOffset + existing.length));
    }
    added.fixedOffset = added.Type() == ColumnType::kBoolean ? 0 : end;
    added.variableIndex = definition.variableColumns;
  } else {
    added.variableIndex = definition.variableColumns++;
  }
  ++definition.maxColumns;
  if (added.IsLongValue()) {
    UsageMapRows maps(pages_, definition.ownedPagesMap.page);
    added.ownedPagesMap = maps.Add(0);
    added.freePagesMap = maps.Add(0);
  }
  editor.AddColumn(added, definition.tableType == kTableTypeSystem, definition.maxColumns, definition.variableColumns);
  editor.Store(definition);
  tables_.erase(tdefPage);
  return added;
}

void DatabaseWriter::DropTable(std::uint32_t tdefPage) {
  const TableDefinition definition = ReadTableDefinition(file_, layout_, codec_, tdefPage);
  if (InRelationship(tdefPage, definition))
    throw JetError(kErrIndexInRelationship,
                   "Cannot delete this index or table. It is either the current index or is used in a relationship.");
  // The pages a map lists go back to the file, and the map row goes.
  const auto release = [&](RowPointer map, bool listed) {
    if (map.IsNull()) return;
    if (listed) {
      for (const std::uint32_t page : ReadUsageMap(file_, layout_, map)) pages_.Release(page);
    }
    MarkRowDeleted(pages_.Modify(map.page)->MutableData(), map.row, layout_);
  };
  release(definition.ownedPagesMap, true);
  release(definition.freePagesMap, false);
  for (const RealIndex& index : definition.realIndexes) release(index.usageMap, true);
  for (const ColumnDefinition& column : definition.columns) {
    release(column.ownedPagesMap, true);
    release(column.freePagesMap, false);
  }
  pages_.Release(definition.page);
  for (const std::uint32_t page : definition.continuationPages) pages_.Release(page);

  DeleteCatalogObject(tdefPage);
  tables_.erase(tdefPage);
}

TableWriter& DatabaseWriter::Table(std::uint32_t tdefPage) {
  auto& writer = tables_[tdefPage];
  if (writer) return *writer;
  TableDefinition definition = ReadTableDefinition(file_, layout_, codec_, tdefPage);
  std::vector<bool> required(definition.columns.size(), false);
  for (const CatalogEntry& entry : Catalog()) {
    if (entry.id != tdefPage || !entry.IsLocalTable()) continue;
    const PropertyBlob properties = Properties(entry);
    for (std::size_t i = 0; i < definition.columns.size(); ++i)
      for (const StoredProperty& property : properties.ColumnProperties(definition.columns[i].name))
        if (platform::AnsiSameText(property.name, "Required")) required[i] = property.value.ToBoolean();
  }
  writer = std::make_unique<TableWriter>(pages_, codec_, std::move(definition), std::move(required));
  return *writer;
}

void DatabaseWriter::RequireNoNulls(std::uint32_t tdefPage, const std::string& columnName) {
  TableWriter& rows = Table(tdefPage);
  const TableDefinition& definition = rows.Definition();
  for (const ColumnDefinition& column : definition.columns) {
    if (!platform::AnsiSameText(column.name, columnName) || column.Type() == ColumnType::kBoolean) continue;
    rows.ForEachRow([&](RowPointer, Bytes row) {
      Bytes value;
      if (!RowView(layout_, row, definition.variableColumns).Value(column, value))
        throw JetError(kErrRequiredValue, "Rows of the table hold Null in the field '" + column.name +
                                              "', so it cannot be made required.");
    });
  }
}

PropertyBlob DatabaseWriter::Properties(const CatalogEntry& table) {
  TableWriter& objects = Catalog(kMSysObjectsPage);
  const TableDefinition& definition = objects.Definition();
  const ColumnDefinition& lvProp = CatalogColumn(definition, "LvProp");
  PropertyBlob blob;
  objects.ForEachRow([&](RowPointer at, Bytes row) {
    if (!(at == table.row)) return;
    const RowView view(layout_, row, definition.variableColumns);
    Bytes field;
    if (!view.Value(lvProp, field)) return;
    std::vector<std::uint8_t> value;
    ReadLongValue(file_, layout_, field, value);
    if (!value.empty()) blob = ParsePropertyBlob(value, codec_);
  });
  return blob;
}

void DatabaseWriter::SetProperty(const CatalogEntry& table, const std::string& columnName, StoredProperty property) {
  PropertyBlob blob = Properties(table);
  const bool required = platform::AnsiSameText(property.name, "Required");
  if (required && !columnName.empty() && !property.value.IsNull() && property.value.ToBoolean())
    RequireNoNulls(table.id, columnName);
  dao::jet::SetProperty(blob, columnName, std::move(property));
  TableWriter& objects = Catalog(kMSysObjectsPage);
  const TableDefinition& definition = objects.Definition();
  std::vector<std::optional<FieldValue>> changes(definition.columns.size());
  const ColumnDefinition& lvProp = CatalogColumn(definition, "LvProp");
  changes[static_cast<std::size_t>(&lvProp - definition.columns.data())] =
      FieldValue::Binary(SerializePropertyBlob(blob, codec_));
  objects.Update(table.row, changes);
  // The table's writer is made again with the new Required flags.
  if (required) tables_.erase(table.id);
}

}  // namespace dao::jet
