#include "dao/jet/table_creator.h"

#include <algorithm>
#include <set>

#include "dao/jet/data_page_writer.h"
#include "dao/jet/index_tree.h"
#include "dao/jet/jet_error.h"
#include "dao/jet/row_view.h"
#include "dao/jet/system_tables.h"
#include "dao/jet/table_definition_writer.h"
#include "dao/jet/table_writer.h"
#include "dao/jet/usage_map_writer.h"

namespace dao::jet {
namespace {

// Rights a new table grants each account, as Access grants them.
constexpr std::uint32_t kNewTableRights = 0x000FFEFF;
// The rights of the placeholder for "the creator" on a container; that
// placeholder gets no entry of its own on new objects.
constexpr std::uint32_t kCreatorPlaceholderRights = 0x000F00FE;

std::uint8_t ColumnFlags(const NewColumn& column) {
  std::uint8_t flags = kColumnUpdatable;
  if (FixedDescriptorLength(column.type) != 0) flags |= kColumnFixed;
  if (column.autoNumber) flags |= kColumnAutoNumber;
  if (column.hyperlink) flags |= kColumnHyperlink;
  return flags;
}

struct CatalogAccounts {
  std::vector<std::uint8_t> owner;               // SID of the Admin user, from MSysDb
  std::vector<std::vector<std::uint8_t>> users;  // accounts with rights on the Tables container
};

const ColumnDefinition& NamedColumn(const TableDefinition& table, const char* name) {
  for (const ColumnDefinition& column : table.columns)
    if (column.name == name) return column;
  ThrowDamaged(std::string("a system table lacks the column ") + name);
}

CatalogAccounts ReadAccounts(TableWriter& objects, TableWriter& aces) {
  CatalogAccounts accounts;
  const TableDefinition& o = objects.Definition();
  const ColumnDefinition& id = NamedColumn(o, "Id");
  const ColumnDefinition& owner = NamedColumn(o, "Owner");
  objects.ForEachRow([&](RowPointer, Bytes row) {
    const RowView view(objects.GetLayout(), row, o.variableColumns);
    Bytes value;
    if (view.Value(id, value) && LoadU32(value.data()) == kMSysDbId && view.Value(owner, value))
      accounts.owner.assign(value.begin(), value.end());
  });
  const TableDefinition& a = aces.Definition();
  const ColumnDefinition& objectId = NamedColumn(a, "ObjectId");
  const ColumnDefinition& sid = NamedColumn(a, "SID");
  const ColumnDefinition& rights = NamedColumn(a, "ACM");
  std::set<std::vector<std::uint8_t>> seen;
  aces.ForEachRow([&](RowPointer, Bytes row) {
    const RowView view(aces.GetLayout(), row, a.variableColumns);
    Bytes value, account, mask;
    if (!view.Value(objectId, value) || LoadU32(value.data()) != kTablesContainerId) return;
    if (!view.Value(sid, account) || !view.Value(rights, mask) || LoadU32(mask.data()) == kCreatorPlaceholderRights)
      return;
    std::vector<std::uint8_t> key(account.begin(), account.end());
    if (seen.insert(key).second) accounts.users.push_back(key);
  });
  if (accounts.owner.empty()) ThrowDamaged("the catalog has no MSysDb row");
  if (std::find(accounts.users.begin(), accounts.users.end(), accounts.owner) == accounts.users.end())
    accounts.users.insert(accounts.users.begin(), accounts.owner);
  return accounts;
}

std::vector<FieldValue> RowFor(const TableDefinition& table,
                               const std::vector<std::pair<const char*, FieldValue>>& values) {
  std::vector<FieldValue> row(table.columns.size());
  for (const auto& [name, value] : values) {
    const ColumnDefinition& column = NamedColumn(table, name);
    row[static_cast<std::size_t>(&column - table.columns.data())] = value;
  }
  return row;
}

}  // namespace

RowPointer UsageMapRows::Add(std::uint32_t listedPage) {
  const Layout& layout = pages_.GetLayout();
  const std::uint32_t capacity = layout.inlineUsageMapBitmapSize * 8;
  std::vector<std::uint8_t> row =
      NewInlineUsageMap(listedPage >= capacity ? listedPage / 8 * 8 : 0, layout.inlineUsageMapBitmapSize);
  if (listedPage != 0) SetInlineUsageMapBit(row, listedPage, true);
  if (holder_ == 0 || !DataPageHasRoomFor(pages_.Read(holder_)->Data(), row.size(), layout)) {
    const MutablePageRef page = pages_.Allocate();
    InitDataPage(page->MutableData(), kUsageMapHolderOwner, layout);
    holder_ = page->Number();
  }
  return {holder_, *AddRow(pages_.Modify(holder_)->MutableData(), row, layout)};
}

std::size_t AppendIndexDefinition(TableDefinition& definition, const NewIndex& index, const Layout& layout) {
  RealIndex real;
  real.columns = index.columns;
  const bool unique = index.unique || index.primary;
  const bool required = index.required || index.primary;
  real.flags = static_cast<std::uint8_t>((unique ? kIndexUnique : 0) | (index.ignoreNulls ? kIndexIgnoreNulls : 0) |
                                         (required ? kIndexRequired : 0) | (layout.IsJet4() ? kIndexJet4 : 0));
  LogicalIndex logical;
  logical.name = index.name;
  for (const LogicalIndex& existing : definition.logicalIndexes)
    logical.number = std::max(logical.number, existing.number + 1);
  logical.realIndex = static_cast<std::uint32_t>(definition.realIndexes.size());
  logical.kind = index.primary ? kIndexKindPrimary : kIndexKindNormal;
  logical.cascadeUpdates = kIndexNoForeignCascade;
  logical.cascadeDeletes = kIndexNoForeignCascade;
  definition.realIndexes.push_back(real);
  definition.logicalIndexes.push_back(logical);
  SortLogicalIndexesByName(definition);
  return definition.realIndexes.size() - 1;
}

ColumnDefinition NewColumnDefinition(const NewColumn& c, const Layout& layout) {
  ColumnDefinition column;
  column.name = c.name;
  column.typeCode = static_cast<std::uint8_t>(c.type);
  column.flags = ColumnFlags(c);
  column.sortOrder = kGeneralSortOrder;
  const bool text = c.type == ColumnType::kText;
  if (layout.IsJet4() && (text || c.type == ColumnType::kMemo) && c.compressedText)
    column.extendedFlags = kColumnCompressedUnicode;
  column.length = static_cast<std::uint16_t>(
      text ? c.size * (layout.IsJet4() ? 2 : 1) : c.type == ColumnType::kBinary ? c.size : FixedDescriptorLength(c.type));
  return column;
}

TableDefinition NewTableDefinition(const std::vector<NewColumn>& columns, const std::vector<NewIndex>& indexes,
                                   const Layout& layout) {
  TableDefinition definition;
  definition.tableType = kTableTypeUser;
  for (const NewColumn& c : columns) definition.columns.push_back(NewColumnDefinition(c, layout));
  AssignColumnLayout(definition);
  for (const NewIndex& index : indexes) AppendIndexDefinition(definition, index, layout);
  return definition;
}

std::uint32_t CreateTable(PageWriter& pages, const TextCodec& codec, const std::string& name,
                          const std::vector<NewColumn>& columns, const std::vector<NewIndex>& indexes, double now) {
  const Layout& layout = pages.GetLayout();
  TableDefinition definition = NewTableDefinition(columns, indexes, layout);
  // Nothing of a table that cannot be made in full stays behind.
  pages.Transactionally([&] {
    // Pages in the engine's order: tdef, usage-map holder, index leaves.
    const MutablePageRef tdef = pages.Allocate();
    definition.page = tdef->Number();
    UsageMapRows maps(pages);
    definition.ownedPagesMap = maps.Add(0);
    definition.freePagesMap = maps.Add(0);
    for (RealIndex& index : definition.realIndexes) {
      index.rootPage = WriteEmptyIndexRoot(pages, definition.page);
      index.usageMap = maps.Add(index.rootPage);
    }
    for (ColumnDefinition& column : definition.columns) {
      if (!column.IsLongValue()) continue;
      column.ownedPagesMap = maps.Add(0);
      column.freePagesMap = maps.Add(0);
    }
    const std::vector<std::uint8_t> stream = SerializeTableDefinition(definition, layout, codec);
    std::vector<std::uint32_t> numbers = {definition.page};
    std::vector<MutablePageRef> held = {tdef};
    while (numbers.size() < TableDefinitionPageCount(stream.size(), layout)) {
      held.push_back(pages.Allocate());
      numbers.push_back(held.back()->Number());
    }
    std::vector<MutableBytes> bytes;
    for (const MutablePageRef& page : held) bytes.push_back(pages.Modify(page->Number())->MutableData());
    LayTableDefinitionPages(stream, numbers, bytes, layout);

    TableWriter objects(pages, codec, ReadTableDefinition(pages.File(), layout, codec, kMSysObjectsPage));
    TableWriter aces(pages, codec, ReadTableDefinition(pages.File(), layout, codec, kMSysACEsPage));
    const CatalogAccounts accounts = ReadAccounts(objects, aces);
    std::vector<FieldValue> row = RowFor(objects.Definition(), {{"Id", FieldValue::Integer(definition.page)},
                                                                 {"ParentId", FieldValue::Integer(kTablesContainerId)},
                                                                 {"Name", FieldValue::Text(name)},
                                                                 {"Type", FieldValue::Integer(kObjectTypeTable)},
                                                                 {"DateCreate", FieldValue::Real(now)},
                                                                 {"DateUpdate", FieldValue::Real(now)},
                                                                 {"Owner", FieldValue::Binary(accounts.owner)},
                                                                 {"Flags", FieldValue::Integer(0)}});
    objects.Insert(row);
    for (const std::vector<std::uint8_t>& account : accounts.users) {
      std::vector<FieldValue> ace = RowFor(aces.Definition(), {{"ObjectId", FieldValue::Integer(definition.page)},
                                                               {"SID", FieldValue::Binary(account)},
                                                               {"ACM", FieldValue::Integer(kNewTableRights)},
                                                               {"FInheritable", FieldValue::Integer(0)}});
      aces.Insert(ace);
    }
  }, [] {});
  return definition.page;
}

}  // namespace dao::jet
