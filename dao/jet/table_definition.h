// Table definitions (tdef pages): columns, real and logical indexes, the
// usage maps of the table and of its long-value columns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dao/jet/format.h"
#include "dao/jet/layout.h"
#include "dao/jet/page_file.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {

struct ColumnDefinition {
  std::string name;  // UTF-8
  std::uint8_t typeCode = 0;  // ColumnType value as stored (unknown codes kept)
  std::uint16_t number = 0;         // bit in the null mask; never reused
  std::uint16_t variableIndex = 0;  // slot in the variable-offset table
  std::uint16_t fixedOffset = 0;    // within the fixed area of a row
  std::uint16_t length = 0;         // bytes (Jet 4 text: 2 per character)
  std::uint8_t flags = 0;
  std::uint8_t extendedFlags = 0;  // Jet 4
  std::uint8_t precision = 0;      // Jet 4 decimal
  std::uint8_t scale = 0;          // Jet 4 decimal
  std::uint16_t sortOrder = 0;     // LCID of text columns
  // Memo and OLE columns: the maps of their long-value pages (null when the
  // definition has none).
  RowPointer ownedPagesMap;
  RowPointer freePagesMap;

  ColumnType Type() const { return static_cast<ColumnType>(typeCode); }
  bool IsFixed() const { return (flags & kColumnFixed) != 0; }
  bool IsAutoNumber() const { return (flags & kColumnAutoNumber) != 0; }
  bool IsLongValue() const { return Type() == ColumnType::kMemo || Type() == ColumnType::kOle; }
};

struct IndexColumn {
  std::uint16_t columnNumber = 0;
  bool descending = false;
};

// A physical B-tree.
struct RealIndex {
  std::vector<IndexColumn> columns;
  RowPointer usageMap;
  std::uint32_t rootPage = 0;
  std::uint8_t flags = 0;  // kIndexUnique, kIndexIgnoreNulls, kIndexRequired
  std::uint32_t statisticRows = 0;      // optimizer statistics (may be stale)
  std::uint32_t statisticDistinct = 0;
};

// What DAO calls an Index: a name and a kind over a real index.
struct LogicalIndex {
  std::string name;
  std::uint32_t number = 0;
  std::uint32_t realIndex = 0;  // position in TableDefinition::realIndexes
  std::uint8_t relatedTableType = 0;
  std::uint32_t relatedIndex = 0xFFFFFFFF;
  std::uint32_t relatedTablePage = 0;
  std::uint8_t cascadeUpdates = 0;
  std::uint8_t cascadeDeletes = 0;
  std::uint8_t kind = kIndexKindNormal;
};

struct TableDefinition {
  std::uint32_t page = 0;  // the tdef page, also the table's object id
  std::vector<std::uint32_t> continuationPages;
  std::uint32_t length = 0;  // tdef_len
  std::uint32_t rowCount = 0;
  std::uint32_t autoNumber = 0;  // last AutoNumber value handed out
  std::uint8_t tableType = kTableTypeUser;
  std::uint16_t maxColumns = 0;       // column count of new rows
  std::uint16_t variableColumns = 0;  // variable slots, deleted ones included
  std::vector<ColumnDefinition> columns;  // ascending column number
  std::vector<RealIndex> realIndexes;
  std::vector<LogicalIndex> logicalIndexes;  // as stored (sorted by name)
  RowPointer ownedPagesMap;
  RowPointer freePagesMap;

  // The column with `number`, or nullptr.
  const ColumnDefinition* ColumnByNumber(std::uint16_t number) const;
};

// Reads the definition starting at tdef page `page`. Raises "damaged" when
// the page chain or the definition stream is malformed (including cyclic
// continuation chains and counts that overrun the stream).
TableDefinition ReadTableDefinition(PageFile& pages, const Layout& layout, const TextCodec& codec,
                                    std::uint32_t page);

// Size in bytes that a value of a fixed-length type occupies in a row; 0 for
// variable-length types and for types without a known size.
constexpr std::uint32_t FixedTypeSize(ColumnType type) {
  switch (type) {
    case ColumnType::kBoolean:
      return 0;
    case ColumnType::kByte:
      return 1;
    case ColumnType::kInteger:
      return 2;
    case ColumnType::kLong:
    case ColumnType::kSingle:
      return 4;
    case ColumnType::kCurrency:
    case ColumnType::kDouble:
    case ColumnType::kDateTime:
    case ColumnType::kBigInt:
      return 8;
    case ColumnType::kGuid:
      return kGuidSize;
    case ColumnType::kDecimal:
      return kDecimalSize;
    default:
      return 0;
  }
}

}  // namespace dao::jet
