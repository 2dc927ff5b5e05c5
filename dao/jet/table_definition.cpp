#include "dao/jet/table_definition.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "dao/jet/bytes.h"

namespace dao::jet {
namespace {

// Collects the definition stream: the whole first page, then bytes 8.. of
// every continuation page, until `tdef_len` bytes are there.
std::vector<std::uint8_t> ReadStream(PageFile& pages, const Layout& layout, std::uint32_t first,
                                     std::vector<std::uint32_t>& continuation) {
  PageRef page = pages.Read(first);
  const auto isTdef = [](const PageRef& p) {
    return p->Data()[kPageTypeOffset] == static_cast<std::uint8_t>(PageType::kTableDefinition);
  };
  if (!isTdef(page)) ThrowDamaged("page " + std::to_string(first) + " is not a table definition");
  const std::uint32_t length = LoadU32(page->Data().data() + kTdefLengthOffset);
  const std::uint32_t perPage = layout.pageSize - kTdefPageHeaderSize;
  const std::uint64_t reachable = layout.pageSize + static_cast<std::uint64_t>(perPage) * pages.PageCount();
  if (length < layout.tdefHeaderSize || length > reachable) {
    ThrowDamaged("the table definition on page " + std::to_string(first) + " claims " +
                 std::to_string(length) + " bytes");
  }
  std::vector<std::uint8_t> stream(page->Data().begin(), page->Data().end());
  std::unordered_set<std::uint32_t> seen{first};
  while (stream.size() < length) {
    const std::uint32_t next = LoadU32(page->Data().data() + kTdefNextPageOffset);
    if (next == 0) ThrowDamaged("the table definition on page " + std::to_string(first) + " ends early");
    if (!seen.insert(next).second) {
      ThrowDamaged("the pages of the table definition on page " + std::to_string(first) + " form a cycle");
    }
    page = pages.Read(next);
    if (!isTdef(page)) ThrowDamaged("page " + std::to_string(next) + " is not a table definition");
    continuation.push_back(next);
    stream.insert(stream.end(), page->Data().begin() + kTdefPageHeaderSize, page->Data().end());
  }
  stream.resize(length);
  return stream;
}

// Reads fields of the stream in order, raising "damaged" past its end.
class StreamReader {
 public:
  explicit StreamReader(Bytes stream) : stream_(stream) {}

  std::size_t Position() const { return position_; }
  void Seek(std::size_t position) { position_ = position; }
  // Reserves `size` bytes at the current position and moves past them.
  Bytes Take(std::size_t size) {
    const Bytes part = SliceAt(stream_, position_, size, "a table definition is cut short");
    position_ += size;
    return part;
  }
  // A count of `itemSize`-byte items that must still fit in the stream.
  std::uint32_t CheckedCount(std::uint32_t count, std::size_t itemSize) {
    if (itemSize != 0 && count > (stream_.size() - std::min(position_, stream_.size())) / itemSize) {
      ThrowDamaged("a table definition counts more items than it holds");
    }
    return count;
  }

 private:
  Bytes stream_;
  std::size_t position_ = 0;
};

ColumnDefinition ParseColumn(const Layout& layout, Bytes d) {
  ColumnDefinition column;
  column.typeCode = d[layout.columnTypeOffset];
  column.number = LoadU16(d.data() + layout.columnNumberOffset);
  column.variableIndex = LoadU16(d.data() + layout.columnVariableIndexOffset);
  column.sortOrder = LoadU16(d.data() + layout.columnSortOrderOffset);
  column.flags = d[layout.columnFlagsOffset];
  if (layout.IsJet4()) {
    column.extendedFlags = d[layout.columnExtendedFlagsOffset];
    if (column.Type() == ColumnType::kDecimal) {
      column.precision = d[layout.columnPrecisionOffset];
      column.scale = d[layout.columnScaleOffset];
    }
  }
  column.fixedOffset = LoadU16(d.data() + layout.columnFixedOffsetOffset);
  column.length = LoadU16(d.data() + layout.columnLengthOffset);
  return column;
}

std::string ParseName(const Layout& layout, const TextCodec& codec, StreamReader& reader) {
  const Bytes prefix = reader.Take(layout.nameLengthSize);
  const std::uint32_t length = layout.nameLengthSize == 1 ? prefix[0] : LoadU16(prefix.data());
  return codec.Name(reader.Take(length));
}

RealIndex ParseRealIndex(const Layout& layout, Bytes d) {
  RealIndex index;
  for (std::uint32_t i = 0; i < kMaxIndexColumns; ++i) {
    const std::uint8_t* slot = d.data() + layout.realIndexColumnsOffset + 3 * i;
    const std::uint16_t number = LoadU16(slot);
    if (number == kUnusedIndexColumn) continue;
    index.columns.push_back({number, slot[2] != kIndexAscending});
  }
  index.usageMap = RowPointer::FromU32(LoadU32(d.data() + layout.realIndexUsageMapOffset));
  index.rootPage = LoadU32(d.data() + layout.realIndexRootOffset);
  index.flags = d[layout.realIndexFlagsOffset];
  return index;
}

LogicalIndex ParseLogicalIndex(const Layout& layout, Bytes d) {
  LogicalIndex index;
  index.number = LoadU32(d.data() + layout.logicalNumberOffset);
  index.realIndex = LoadU32(d.data() + layout.logicalRealIndexOffset);
  index.relatedTableType = d[layout.logicalRelatedTypeOffset];
  index.relatedIndex = LoadU32(d.data() + layout.logicalRelatedIndexOffset);
  index.relatedTablePage = LoadU32(d.data() + layout.logicalRelatedTableOffset);
  index.cascadeUpdates = d[layout.logicalCascadeUpdatesOffset];
  index.cascadeDeletes = d[layout.logicalCascadeDeletesOffset];
  index.kind = d[layout.logicalKindOffset];
  return index;
}

// The long-value map records that follow the indexes, up to the FF FF
// terminator. Definitions that end without them are accepted: readers do
// not need the maps.
void ParseLongValueMaps(StreamReader& reader, std::size_t streamSize, TableDefinition& table) {
  while (reader.Position() + 2 <= streamSize) {
    const Bytes head = reader.Take(2);
    const std::uint16_t number = LoadU16(head.data());
    if (number == kTdefTerminator || reader.Position() + kLongValueColumnMapSize - 2 > streamSize) return;
    const Bytes maps = reader.Take(kLongValueColumnMapSize - 2);
    auto column = std::find_if(table.columns.begin(), table.columns.end(),
                               [number](const ColumnDefinition& c) { return c.number == number; });
    if (column == table.columns.end()) continue;
    // `maps` starts after the column number.
    column->ownedPagesMap = RowPointer::FromU32(LoadU32(maps.data() + kLongValueColumnOwnedMapOffset - 2));
    column->freePagesMap = RowPointer::FromU32(LoadU32(maps.data() + kLongValueColumnFreeMapOffset - 2));
  }
}

void CheckColumns(const TableDefinition& table) {
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const ColumnDefinition& column = table.columns[i];
    if (column.number >= table.maxColumns || (i > 0 && table.columns[i - 1].number == column.number)) {
      ThrowDamaged("column '" + column.name + "' has an impossible column number");
    }
  }
}

}  // namespace

const ColumnDefinition* TableDefinition::ColumnByNumber(std::uint16_t number) const {
  const auto it = std::lower_bound(columns.begin(), columns.end(), number,
                                   [](const ColumnDefinition& c, std::uint16_t n) { return c.number < n; });
  return it != columns.end() && it->number == number ? &*it : nullptr;
}

TableDefinition ReadTableDefinition(PageFile& pages, const Layout& layout, const TextCodec& codec,
                                    std::uint32_t page) {
  TableDefinition table;
  table.page = page;
  const std::vector<std::uint8_t> stream = ReadStream(pages, layout, page, table.continuationPages);
  const Bytes s(stream);
  const std::uint8_t* p = stream.data();
  table.length = static_cast<std::uint32_t>(stream.size());
  table.rowCount = LoadU32(p + layout.tdefRowCountOffset);
  table.autoNumber = LoadU32(p + layout.tdefAutoNumberOffset);
  table.tableType = p[layout.tdefTableTypeOffset];
  table.maxColumns = LoadU16(p + layout.tdefMaxColumnsOffset);
  table.variableColumns = LoadU16(p + layout.tdefVariableColumnsOffset);
  const std::uint16_t columnCount = LoadU16(p + layout.tdefColumnCountOffset);
  const std::uint32_t indexCount = LoadU32(p + layout.tdefIndexCountOffset);
  const std::uint32_t realIndexCount = LoadU32(p + layout.tdefRealIndexCountOffset);
  table.ownedPagesMap = RowPointer::FromU32(LoadU32(p + layout.tdefOwnedPagesOffset));
  table.freePagesMap = RowPointer::FromU32(LoadU32(p + layout.tdefFreePagesOffset));

  StreamReader reader(s);
  reader.Seek(layout.tdefHeaderSize);
  reader.CheckedCount(realIndexCount, layout.realIndexStatisticsSize);
  table.realIndexes.resize(realIndexCount);
  for (RealIndex& index : table.realIndexes) {
    const Bytes stats = reader.Take(layout.realIndexStatisticsSize);
    index.statisticRows = LoadU32(stats.data() + kIndexStatisticRowsOffset);
    index.statisticDistinct = LoadU32(stats.data() + kIndexStatisticDistinctOffset);
  }

  reader.CheckedCount(columnCount, layout.columnSize);
  table.columns.reserve(columnCount);
  for (std::uint16_t i = 0; i < columnCount; ++i) {
    table.columns.push_back(ParseColumn(layout, reader.Take(layout.columnSize)));
  }
  for (ColumnDefinition& column : table.columns) column.name = ParseName(layout, codec, reader);

  reader.CheckedCount(realIndexCount, layout.realIndexSize);
  for (std::uint32_t i = 0; i < realIndexCount; ++i) {
    RealIndex parsed = ParseRealIndex(layout, reader.Take(layout.realIndexSize));
    parsed.statisticRows = table.realIndexes[i].statisticRows;
    parsed.statisticDistinct = table.realIndexes[i].statisticDistinct;
    table.realIndexes[i] = std::move(parsed);
  }

  reader.CheckedCount(indexCount, layout.logicalIndexSize);
  table.logicalIndexes.reserve(indexCount);
  for (std::uint32_t i = 0; i < indexCount; ++i) {
    LogicalIndex index = ParseLogicalIndex(layout, reader.Take(layout.logicalIndexSize));
    if (index.realIndex >= realIndexCount) ThrowDamaged("an index refers to a missing index tree");
    table.logicalIndexes.push_back(index);
  }
  for (LogicalIndex& index : table.logicalIndexes) index.name = ParseName(layout, codec, reader);

  ParseLongValueMaps(reader, stream.size(), table);

  const auto byNumber = [](const ColumnDefinition& a, const ColumnDefinition& b) { return a.number < b.number; };
  if (!std::is_sorted(table.columns.begin(), table.columns.end(), byNumber)) {
    std::stable_sort(table.columns.begin(), table.columns.end(), byNumber);
  }
  CheckColumns(table);
  return table;
}

}  // namespace dao::jet
