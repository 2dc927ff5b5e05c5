#include "dao/jet/table_definition_writer.h"

#include <algorithm>
#include <cstring>

namespace dao::jet {
namespace {

// Jet 3 column descriptors: constant word and code page of the column.
constexpr std::uint32_t kJet3ColumnConstantOffset = 0x07;
constexpr std::uint16_t kJet3ColumnConstant = 0x0001;
constexpr std::uint32_t kJet3ColumnCodePageOffset = 0x0B;
// Jet 4 tdef header: the descriptor constant and the byte the engine always sets.
constexpr std::uint32_t kJet4TdefConstantOffset = 0x0C;
constexpr std::uint32_t kJet4TdefFlagOffset = 0x18;
constexpr std::uint8_t kJet4TdefFlag = 0x01;
constexpr std::uint32_t kJet4ColumnConstantOffset = 0x01;
constexpr std::uint32_t kJet4LogicalConstantOffset = 0x00;
constexpr std::uint32_t kJet4RealIndexConstantOffset = 0x00;
constexpr std::uint32_t kIndexColumnSlotSize = 3;

// Access writes the text sort order into the descriptor of every column.
std::uint16_t SortOrderOf(const ColumnDefinition& column) {
  return column.sortOrder != 0 ? column.sortOrder : kGeneralSortOrder;
}

class StreamWriter {
 public:
  explicit StreamWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  std::uint8_t* Reserve(std::size_t size) {
    const std::size_t at = out_.size();
    out_.resize(at + size, 0);
    return out_.data() + at;
  }
  void Append(Bytes bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

 private:
  std::vector<std::uint8_t>& out_;
};

void AppendName(StreamWriter& writer, const std::string& name, const Layout& layout, const TextCodec& codec) {
  writer.Append(EncodedDefinitionName(name, layout, codec));
}

void WriteColumn(std::uint8_t* d, const ColumnDefinition& column, bool systemTable, const Layout& layout,
                 const TextCodec& codec) {
  d[layout.columnTypeOffset] = column.typeCode;
  StoreU16(d + layout.columnNumberOffset, column.number);
  StoreU16(d + layout.columnVariableIndexOffset, column.variableIndex);
  // The engine's own tables carry 0 in the second column index.
  StoreU16(d + layout.columnSecondIndexOffset, systemTable ? 0 : column.number);
  d[layout.columnFlagsOffset] = column.flags;
  StoreU16(d + layout.columnFixedOffsetOffset, column.IsFixed() ? column.fixedOffset : 0);
  StoreU16(d + layout.columnLengthOffset, column.length);
  if (layout.IsJet4()) {
    StoreU32(d + kJet4ColumnConstantOffset, kJet4DescriptorConstant);
    if (column.Type() == ColumnType::kDecimal) {
      d[layout.columnPrecisionOffset] = column.precision;
      d[layout.columnScaleOffset] = column.scale;
    } else {
      StoreU16(d + layout.columnSortOrderOffset, SortOrderOf(column));
    }
    d[layout.columnExtendedFlagsOffset] = column.extendedFlags;
  } else {
    StoreU16(d + kJet3ColumnConstantOffset, kJet3ColumnConstant);
    StoreU16(d + layout.columnSortOrderOffset, SortOrderOf(column));
    StoreU16(d + kJet3ColumnCodePageOffset, static_cast<std::uint16_t>(codec.CodePage()));
  }
}

void WriteRealIndex(std::uint8_t* d, const RealIndex& index, const Layout& layout) {
  if (layout.IsJet4()) StoreU32(d + kJet4RealIndexConstantOffset, kJet4RealIndexConstant);
  for (std::uint32_t slot = 0; slot < kMaxIndexColumns; ++slot) {
    std::uint8_t* entry = d + layout.realIndexColumnsOffset + slot * kIndexColumnSlotSize;
    if (slot < index.columns.size()) {
      StoreU16(entry, index.columns[slot].columnNumber);
      entry[2] = index.columns[slot].descending ? kIndexDescending : kIndexAscending;
    } else {
      StoreU16(entry, kUnusedIndexColumn);
    }
  }
  StoreU32(d + layout.realIndexUsageMapOffset, index.usageMap.ToU32());
  StoreU32(d + layout.realIndexRootOffset, index.rootPage);
  d[layout.realIndexFlagsOffset] = index.flags;
}

void WriteLogicalIndex(std::uint8_t* d, const LogicalIndex& index, const Layout& layout) {
  if (layout.IsJet4()) StoreU32(d + kJet4LogicalConstantOffset, kJet4DescriptorConstant);
  StoreU32(d + layout.logicalNumberOffset, index.number);
  StoreU32(d + layout.logicalRealIndexOffset, index.realIndex);
  d[layout.logicalRelatedTypeOffset] = index.relatedTableType;
  StoreU32(d + layout.logicalRelatedIndexOffset, index.relatedIndex);
  StoreU32(d + layout.logicalRelatedTableOffset, index.relatedTablePage);
  d[layout.logicalCascadeUpdatesOffset] = index.cascadeUpdates;
  d[layout.logicalCascadeDeletesOffset] = index.cascadeDeletes;
  d[layout.logicalKindOffset] = index.kind;
}

void WriteStatistics(std::uint8_t* d, const RealIndex& index) {
  StoreU32(d + kIndexStatisticRowsOffset, index.statisticRows);
  StoreU32(d + kIndexStatisticDistinctOffset, index.statisticDistinct);
}

void WriteLongValueRecord(std::uint8_t* d, const ColumnDefinition& column) {
  StoreU16(d, column.number);
  StoreU32(d + kLongValueColumnOwnedMapOffset, column.ownedPagesMap.ToU32());
  StoreU32(d + kLongValueColumnFreeMapOffset, column.freePagesMap.ToU32());
}

template <class Write>
std::vector<std::uint8_t> Block(std::size_t size, const Write& write) {
  std::vector<std::uint8_t> block(size, 0);
  write(block.data());
  return block;
}

}  // namespace

std::vector<std::uint8_t> EncodedDefinitionName(const std::string& name, const Layout& layout, const TextCodec& codec) {
  const std::vector<std::uint8_t> encoded = codec.EncodeName(name);
  std::vector<std::uint8_t> out(layout.nameLengthSize, 0);
  if (layout.nameLengthSize == 1) out[0] = static_cast<std::uint8_t>(encoded.size());
  else StoreU16(out.data(), static_cast<std::uint16_t>(encoded.size()));
  out.insert(out.end(), encoded.begin(), encoded.end());
  return out;
}

std::vector<std::uint8_t> ColumnDescriptor(const ColumnDefinition& column, bool systemTable, const Layout& layout,
                                           const TextCodec& codec) {
  return Block(layout.columnSize, [&](std::uint8_t* d) { WriteColumn(d, column, systemTable, layout, codec); });
}

std::vector<std::uint8_t> RealIndexDescriptor(const RealIndex& index, const Layout& layout) {
  return Block(layout.realIndexSize, [&](std::uint8_t* d) { WriteRealIndex(d, index, layout); });
}

std::vector<std::uint8_t> RealIndexStatistics(const RealIndex& index, const Layout& layout) {
  return Block(layout.realIndexStatisticsSize, [&](std::uint8_t* d) { WriteStatistics(d, index); });
}

std::vector<std::uint8_t> LogicalIndexDescriptor(const LogicalIndex& index, const Layout& layout) {
  return Block(layout.logicalIndexSize, [&](std::uint8_t* d) { WriteLogicalIndex(d, index, layout); });
}

std::vector<std::uint8_t> LongValueColumnRecord(const ColumnDefinition& column) {
  return Block(kLongValueColumnMapSize, [&](std::uint8_t* d) { WriteLongValueRecord(d, column); });
}

std::vector<std::uint8_t> SerializeTableDefinition(const TableDefinition& definition, const Layout& layout,
                                                   const TextCodec& codec,
                                                   const std::vector<std::uint16_t>& longValueOrder) {
  std::vector<std::uint8_t> stream;
  StreamWriter writer(stream);
  std::uint8_t* header = writer.Reserve(layout.tdefHeaderSize);
  header[kPageTypeOffset] = static_cast<std::uint8_t>(PageType::kTableDefinition);
  header[kPageMarkerOffset] = kPageMarker;
  if (layout.IsJet4()) {
    StoreU32(header + kJet4TdefConstantOffset, kJet4DescriptorConstant);
    header[kJet4TdefFlagOffset] = kJet4TdefFlag;
  }
  StoreU32(header + layout.tdefRowCountOffset, definition.rowCount);
  StoreU32(header + layout.tdefAutoNumberOffset, definition.autoNumber);
  header[layout.tdefTableTypeOffset] = definition.tableType;
  StoreU16(header + layout.tdefMaxColumnsOffset, definition.maxColumns);
  StoreU16(header + layout.tdefVariableColumnsOffset, definition.variableColumns);
  StoreU16(header + layout.tdefColumnCountOffset, static_cast<std::uint16_t>(definition.columns.size()));
  StoreU32(header + layout.tdefIndexCountOffset, static_cast<std::uint32_t>(definition.logicalIndexes.size()));
  StoreU32(header + layout.tdefRealIndexCountOffset, static_cast<std::uint32_t>(definition.realIndexes.size()));
  StoreU32(header + layout.tdefOwnedPagesOffset, definition.ownedPagesMap.ToU32());
  StoreU32(header + layout.tdefFreePagesOffset, definition.freePagesMap.ToU32());

  for (const RealIndex& index : definition.realIndexes) WriteStatistics(writer.Reserve(layout.realIndexStatisticsSize), index);
  const bool systemTable = definition.tableType == kTableTypeSystem;
  for (const ColumnDefinition& column : definition.columns)
    WriteColumn(writer.Reserve(layout.columnSize), column, systemTable, layout, codec);
  for (const ColumnDefinition& column : definition.columns) AppendName(writer, column.name, layout, codec);
  for (const RealIndex& index : definition.realIndexes)
    WriteRealIndex(writer.Reserve(layout.realIndexSize), index, layout);
  for (const LogicalIndex& index : definition.logicalIndexes)
    WriteLogicalIndex(writer.Reserve(layout.logicalIndexSize), index, layout);
  for (const LogicalIndex& index : definition.logicalIndexes) AppendName(writer, index.name, layout, codec);
  std::vector<const ColumnDefinition*> longValueColumns;
  for (const ColumnDefinition& column : definition.columns)
    if (column.IsLongValue()) longValueColumns.push_back(&column);
  if (!longValueOrder.empty()) {
    longValueColumns.clear();
    for (const std::uint16_t number : longValueOrder)
      longValueColumns.push_back(&*std::find_if(definition.columns.begin(), definition.columns.end(),
                                                [&](const ColumnDefinition& c) { return c.number == number; }));
  }
  for (const ColumnDefinition* column : longValueColumns) WriteLongValueRecord(writer.Reserve(kLongValueColumnMapSize), *column);
  StoreU16(writer.Reserve(2), kTdefTerminator);
  StoreU32(stream.data() + kTdefLengthOffset, static_cast<std::uint32_t>(stream.size()));
  return stream;
}

std::uint32_t TableDefinitionPageCount(std::size_t streamSize, const Layout& layout) {
  if (streamSize <= layout.pageSize) return 1;
  const std::size_t perContinuation = layout.pageSize - kTdefPageHeaderSize;
  return static_cast<std::uint32_t>(1 + (streamSize - layout.pageSize + perContinuation - 1) / perContinuation);
}

void LayTableDefinitionPages(Bytes stream, const std::vector<std::uint32_t>& pageNumbers,
                             const std::vector<MutableBytes>& pages, const Layout& layout) {
  std::size_t consumed = 0;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const MutableBytes page = pages[i];
    std::fill(page.begin(), page.end(), 0);
    const std::size_t start = i == 0 ? 0 : kTdefPageHeaderSize;
    const std::size_t take = std::min<std::size_t>(stream.size() - consumed, layout.pageSize - start);
    std::memcpy(page.data() + start, stream.data() + consumed, take);
    consumed += take;
    page[kPageTypeOffset] = static_cast<std::uint8_t>(PageType::kTableDefinition);
    page[kPageMarkerOffset] = kPageMarker;
    StoreU32(page.data() + kTdefNextPageOffset, i + 1 < pages.size() ? pageNumbers[i + 1] : 0);
    std::uint16_t free = kJet3TdefMarker;
    if (layout.IsJet4()) {
      // The engine's formula, including its extra 8 on every page.
      if (pages.size() == 1) free = static_cast<std::uint16_t>(layout.pageSize - stream.size() - kTdefPageHeaderSize);
      else if (i == 0) free = 0;
      else free = static_cast<std::uint16_t>(layout.pageSize - (take + kTdefPageHeaderSize) - kTdefPageHeaderSize);
    }
    StoreU16(page.data() + kTdefFreeSpaceOffset, free);
  }
}

}  // namespace dao::jet
