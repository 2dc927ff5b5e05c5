#include "dao/jet/system_tables.h"

#include "dao/jet/table_definition_writer.h"

#include <algorithm>
#include <cctype>

namespace dao::jet {
namespace {

// Flags of the engine's system-table columns.
constexpr std::uint8_t kSystemFixed = kColumnFixed | kColumnUpdatable | kColumnSystemTable;
constexpr std::uint8_t kSystemVariable = kColumnUpdatable | kColumnSystemTable;
constexpr std::uint8_t kSystemSid = kColumnUpdatable | kColumnSystemTable | kColumnSid;

struct ColumnPlan {
  const char* name;
  ColumnType type;
  std::uint8_t flags;
};

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

TableDefinition MakeTable(std::uint32_t tdefPage, const std::vector<ColumnPlan>& plan, const Layout& layout) {
  TableDefinition definition;
  definition.page = tdefPage;
  definition.tableType = kTableTypeSystem;
  const std::uint16_t textLength = static_cast<std::uint16_t>(layout.IsJet4() ? kMaxTextBytes : kMaxTextBytes / 2);
  for (const ColumnPlan& p : plan) {
    ColumnDefinition column;
    column.name = p.name;
    column.typeCode = static_cast<std::uint8_t>(p.type);
    column.flags = p.flags;
    column.sortOrder = kGeneralSortOrder;
    column.length = column.IsFixed() ? FixedDescriptorLength(p.type)
                    : (p.type == ColumnType::kText || p.type == ColumnType::kBinary) ? textLength
                                                                                      : 0;
    definition.columns.push_back(column);
  }
  AssignColumnLayout(definition);
  return definition;
}

void AddIndex(TableDefinition& definition, const char* name, std::uint8_t kind,
              std::vector<std::uint16_t> columns, std::uint8_t flags, const Layout& layout) {
  RealIndex real;
  for (const std::uint16_t c : columns) real.columns.push_back({c, false});
  real.flags = static_cast<std::uint8_t>(flags | (layout.IsJet4() ? kIndexJet4 : 0));
  LogicalIndex logical;
  logical.name = name;
  logical.number = static_cast<std::uint32_t>(definition.logicalIndexes.size());
  logical.realIndex = static_cast<std::uint32_t>(definition.realIndexes.size());
  logical.kind = kind;
  logical.cascadeUpdates = kIndexNoForeignCascade;
  logical.cascadeDeletes = kIndexNoForeignCascade;
  definition.realIndexes.push_back(real);
  definition.logicalIndexes.push_back(logical);
}

const auto kByName = [](const auto& a, const auto& b) { return LessIgnoringCase(a.name, b.name); };

}  // namespace

std::uint16_t FixedDescriptorLength(ColumnType type) {
  return type == ColumnType::kBoolean ? 1 : static_cast<std::uint16_t>(FixedTypeSize(type));
}

void AssignColumnLayout(TableDefinition& definition) {
  std::uint16_t number = 0, variables = 0, fixedOffset = 0;
  for (ColumnDefinition& column : definition.columns) {
    column.number = number++;
    if (column.IsFixed()) {
      column.variableIndex = variables;
      column.fixedOffset = column.Type() == ColumnType::kBoolean ? 0 : fixedOffset;
      if (column.Type() != ColumnType::kBoolean) fixedOffset = static_cast<std::uint16_t>(fixedOffset + column.length);
    } else {
      column.variableIndex = variables++;
      column.fixedOffset = 0;
    }
  }
  definition.maxColumns = number;
  definition.variableColumns = variables;
}

std::vector<TableDefinition> NewSystemTables(const Layout& layout) {
  const std::uint8_t uniqueFlag = kIndexUnique;

  TableDefinition objects = MakeTable(kMSysObjectsPage,
                                  {{"Id", ColumnType::kLong, kSystemFixed},
                                   {"ParentId", ColumnType::kLong, kSystemFixed},
                                   {"Name", ColumnType::kText, kSystemVariable},
                                   {"Type", ColumnType::kInteger, kSystemFixed},
                                   {"DateCreate", ColumnType::kDateTime, kSystemFixed},
                                   {"DateUpdate", ColumnType::kDateTime, kSystemFixed},
                                   {"Owner", ColumnType::kBinary, kSystemSid},
                                   {"Flags", ColumnType::kLong, kSystemFixed},
                                   {"Database", ColumnType::kMemo, kSystemVariable},
                                   {"Connect", ColumnType::kMemo, kSystemVariable},
                                   {"ForeignName", ColumnType::kText, kSystemVariable},
                                   {"RmtInfoShort", ColumnType::kBinary, kSystemVariable},
                                   {"RmtInfoLong", ColumnType::kOle, kSystemVariable},
                                   {"Lv", ColumnType::kOle, kSystemVariable},
                                   {"LvProp", ColumnType::kOle, kSystemVariable},
                                   {"LvModule", ColumnType::kOle, kSystemVariable},
                                   {"LvExtra", ColumnType::kOle, kSystemVariable}},
                                  layout);
  AddIndex(objects, "ParentIdName", kIndexKindNormal, {1, 2}, uniqueFlag, layout);
  AddIndex(objects, "Id", kIndexKindPrimary, {0}, uniqueFlag, layout);

  TableDefinition aces = MakeTable(kMSysACEsPage,
                               {{"ObjectId", ColumnType::kLong, kSystemFixed},
                                {"SID", ColumnType::kBinary, kSystemSid},
                                {"ACM", ColumnType::kLong, kSystemFixed},
                                {"FInheritable", ColumnType::kBoolean, kSystemFixed}},
                               layout);
  AddIndex(aces, "ObjectId", kIndexKindNormal, {0}, kIndexRequired, layout);

  std::vector<ColumnPlan> queryColumns = {{"ObjectId", ColumnType::kLong, kSystemFixed},
                                          {"Attribute", ColumnType::kByte, kSystemFixed},
                                          {"Order", ColumnType::kBinary, kSystemVariable},
                                          {"Name1", ColumnType::kText, kSystemVariable},
                                          {"Name2", ColumnType::kText, kSystemVariable},
                                          {"Expression", ColumnType::kMemo, kSystemVariable},
                                          {"Flag", ColumnType::kInteger, kSystemFixed}};
  if (layout.IsJet4()) queryColumns.push_back({"LvExtra", ColumnType::kLong, kSystemFixed});
  TableDefinition queries = MakeTable(kMSysQueriesPage, queryColumns, layout);
  AddIndex(queries, "ObjectIdAttribute", kIndexKindPrimary, {0, 1, 2}, uniqueFlag, layout);

  TableDefinition relationships = MakeTable(kMSysRelationshipsPage,
                                        {{"szRelationship", ColumnType::kText, kSystemVariable},
                                         {"grbit", ColumnType::kLong, kSystemFixed},
                                         {"ccolumn", ColumnType::kLong, kSystemFixed},
                                         {"icolumn", ColumnType::kLong, kSystemFixed},
                                         {"szObject", ColumnType::kText, kSystemVariable},
                                         {"szColumn", ColumnType::kText, kSystemVariable},
                                         {"szReferencedObject", ColumnType::kText, kSystemVariable},
                                         {"szReferencedColumn", ColumnType::kText, kSystemVariable}},
                                        layout);
  AddIndex(relationships, "szRelationship", kIndexKindNormal, {0}, kIndexIgnoreNulls, layout);
  AddIndex(relationships, "szObject", kIndexKindNormal, {4}, kIndexIgnoreNulls, layout);
  AddIndex(relationships, "szReferencedObject", kIndexKindNormal, {6}, kIndexIgnoreNulls, layout);

  std::vector<TableDefinition> tables = {objects, aces, queries, relationships};
  for (TableDefinition& table : tables) SortLogicalIndexesByName(table);
  return tables;
}

void SortLogicalIndexesByName(TableDefinition& definition) {
  std::stable_sort(definition.logicalIndexes.begin(), definition.logicalIndexes.end(), kByName);
}

std::vector<std::uint8_t> SerializeSystemTable(const TableDefinition& definition, const Layout& layout,
                                               const TextCodec& codec) {
  TableDefinition byName = definition;
  std::stable_sort(byName.columns.begin(), byName.columns.end(), kByName);
  std::vector<std::uint16_t> longValueOrder;
  for (const ColumnDefinition& column : byName.columns)
    if (column.IsLongValue()) longValueOrder.push_back(column.number);
  return SerializeTableDefinition(layout.IsJet4() ? byName : definition, layout, codec, longValueOrder);
}

}  // namespace dao::jet
