// The offsets and sizes in which Jet 3 and Jet 4 files differ, gathered in
// one descriptor per version so that readers and writers never branch on the
// version for a plain offset.
#pragma once

#include <cstdint>

#include "dao/jet/format.h"

namespace dao::jet {

enum class Version : std::uint8_t { kJet3, kJet4 };

struct Layout {
  Version version;
  std::uint32_t pageSize;
  std::uint64_t maxFileSize;

  // Page 0.
  std::uint32_t headerMaskLength;     // bytes masked from kHeaderMaskOffset on
  std::uint32_t passwordLength;       // bytes of the password field
  std::uint32_t sortOrderOffset;      // LCID of the database sort order
  std::uint32_t sortVersionOffset;    // Jet 4 sort-order version byte (0 for Jet 3: none)

  // Data pages.
  std::uint32_t dataRowCountOffset;   // u16 number of row slots
  std::uint32_t dataHeaderSize;       // offset of the first row slot

  // Table definition header.
  std::uint32_t tdefRowCountOffset;
  std::uint32_t tdefAutoNumberOffset;
  std::uint32_t tdefTableTypeOffset;
  std::uint32_t tdefMaxColumnsOffset;
  std::uint32_t tdefVariableColumnsOffset;
  std::uint32_t tdefColumnCountOffset;
  std::uint32_t tdefIndexCountOffset;
  std::uint32_t tdefRealIndexCountOffset;
  std::uint32_t tdefOwnedPagesOffset;
  std::uint32_t tdefFreePagesOffset;
  std::uint32_t tdefHeaderSize;       // where the real-index statistics start
  std::uint32_t realIndexStatisticsSize;

  // Column descriptor.
  std::uint32_t columnSize;
  std::uint32_t columnTypeOffset;
  std::uint32_t columnNumberOffset;
  std::uint32_t columnVariableIndexOffset;
  std::uint32_t columnSecondIndexOffset;
  std::uint32_t columnSortOrderOffset;   // u16 LCID of text columns
  std::uint32_t columnPrecisionOffset;   // Jet 4 decimal: u8 precision, then u8 scale
  std::uint32_t columnScaleOffset;
  std::uint32_t columnFlagsOffset;
  std::uint32_t columnExtendedFlagsOffset;  // Jet 4 only (0 for Jet 3: none)
  std::uint32_t columnFixedOffsetOffset;
  std::uint32_t columnLengthOffset;
  std::uint32_t nameLengthSize;          // length prefix of names: u8 / u16

  // Real index descriptor.
  std::uint32_t realIndexSize;
  std::uint32_t realIndexColumnsOffset;  // 10 x {u16 column, u8 order}
  std::uint32_t realIndexUsageMapOffset;
  std::uint32_t realIndexRootOffset;
  std::uint32_t realIndexFlagsOffset;

  // Logical index descriptor.
  std::uint32_t logicalIndexSize;
  std::uint32_t logicalNumberOffset;
  std::uint32_t logicalRealIndexOffset;
  std::uint32_t logicalRelatedTypeOffset;
  std::uint32_t logicalRelatedIndexOffset;
  std::uint32_t logicalRelatedTableOffset;
  std::uint32_t logicalCascadeUpdatesOffset;
  std::uint32_t logicalCascadeDeletesOffset;
  std::uint32_t logicalKindOffset;

  // Rows: width of the column count, variable offsets, EOD and nvar.
  std::uint32_t rowFieldSize;

  // Index pages.
  std::uint32_t indexPreviousPageOffset;
  std::uint32_t indexNextPageOffset;
  std::uint32_t indexTailPageOffset;
  std::uint32_t indexPrefixLengthOffset;
  std::uint32_t indexPrefixLengthSize;
  std::uint32_t indexMaskOffset;
  std::uint32_t indexMaskSize;
  std::uint32_t indexFirstEntryOffset;

  // Long values: data bytes of one full chain row.
  std::uint32_t longValueChainDataSize;
  // Largest row (with its slot) that fits an empty data page.
  std::uint32_t maxRowSize;

  // Usage maps: bitmap bytes of a new inline map row.
  std::uint32_t inlineUsageMapBitmapSize;

  bool IsJet4() const { return version == Version::kJet4; }
};

inline constexpr Layout kJet3Layout = {
    .version = Version::kJet3,
    .pageSize = kJet3PageSize,
    .maxFileSize = kJet3MaxFileSize,
    .headerMaskLength = 126,
    .passwordLength = 20,
    .sortOrderOffset = 0x3A,
    .sortVersionOffset = 0,
    .dataRowCountOffset = 0x08,
    .dataHeaderSize = 0x0A,
    .tdefRowCountOffset = 0x0C,
    .tdefAutoNumberOffset = 0x10,
    .tdefTableTypeOffset = 0x14,
    .tdefMaxColumnsOffset = 0x15,
    .tdefVariableColumnsOffset = 0x17,
    .tdefColumnCountOffset = 0x19,
    .tdefIndexCountOffset = 0x1B,
    .tdefRealIndexCountOffset = 0x1F,
    .tdefOwnedPagesOffset = 0x23,
    .tdefFreePagesOffset = 0x27,
    .tdefHeaderSize = 0x2B,
    .realIndexStatisticsSize = 8,
    .columnSize = 18,
    .columnTypeOffset = 0x00,
    .columnNumberOffset = 0x01,
    .columnVariableIndexOffset = 0x03,
    .columnSecondIndexOffset = 0x05,
    .columnSortOrderOffset = 0x09,
    .columnPrecisionOffset = 0,
    .columnScaleOffset = 0,
    .columnFlagsOffset = 0x0D,
    .columnExtendedFlagsOffset = 0,
    .columnFixedOffsetOffset = 0x0E,
    .columnLengthOffset = 0x10,
    .nameLengthSize = 1,
    .realIndexSize = 39,
    .realIndexColumnsOffset = 0x00,
    .realIndexUsageMapOffset = 0x1E,
    .realIndexRootOffset = 0x22,
    .realIndexFlagsOffset = 0x26,
    .logicalIndexSize = 20,
    .logicalNumberOffset = 0x00,
    .logicalRealIndexOffset = 0x04,
    .logicalRelatedTypeOffset = 0x08,
    .logicalRelatedIndexOffset = 0x09,
    .logicalRelatedTableOffset = 0x0D,
    .logicalCascadeUpdatesOffset = 0x11,
    .logicalCascadeDeletesOffset = 0x12,
    .logicalKindOffset = 0x13,
    .rowFieldSize = 1,
    .indexPreviousPageOffset = 0x08,
    .indexNextPageOffset = 0x0C,
    .indexTailPageOffset = 0x10,
    .indexPrefixLengthOffset = 0x14,
    .indexPrefixLengthSize = 1,
    .indexMaskOffset = 0x16,
    .indexMaskSize = 226,
    .indexFirstEntryOffset = 0xF8,
    .longValueChainDataSize = 2032,
    .maxRowSize = kJet3PageSize - 0x0A - 2,
    .inlineUsageMapBitmapSize = 128,
};

inline constexpr Layout kJet4Layout = {
    .version = Version::kJet4,
    .pageSize = kJet4PageSize,
    .maxFileSize = kJet4MaxFileSize,
    .headerMaskLength = 128,
    .passwordLength = 40,
    .sortOrderOffset = 0x6E,
    .sortVersionOffset = 0x71,
    .dataRowCountOffset = 0x0C,
    .dataHeaderSize = 0x0E,
    .tdefRowCountOffset = 0x10,
    .tdefAutoNumberOffset = 0x14,
    .tdefTableTypeOffset = 0x28,
    .tdefMaxColumnsOffset = 0x29,
    .tdefVariableColumnsOffset = 0x2B,
    .tdefColumnCountOffset = 0x2D,
    .tdefIndexCountOffset = 0x2F,
    .tdefRealIndexCountOffset = 0x33,
    .tdefOwnedPagesOffset = 0x37,
    .tdefFreePagesOffset = 0x3B,
    .tdefHeaderSize = 0x3F,
    .realIndexStatisticsSize = 12,
    .columnSize = 25,
    .columnTypeOffset = 0x00,
    .columnNumberOffset = 0x05,
    .columnVariableIndexOffset = 0x07,
    .columnSecondIndexOffset = 0x09,
    .columnSortOrderOffset = 0x0B,
    .columnPrecisionOffset = 0x0B,
    .columnScaleOffset = 0x0C,
    .columnFlagsOffset = 0x0F,
    .columnExtendedFlagsOffset = 0x10,
    .columnFixedOffsetOffset = 0x15,
    .columnLengthOffset = 0x17,
    .nameLengthSize = 2,
    .realIndexSize = 52,
    .realIndexColumnsOffset = 0x04,
    .realIndexUsageMapOffset = 0x22,
    .realIndexRootOffset = 0x26,
    .realIndexFlagsOffset = 0x2E,
    .logicalIndexSize = 28,
    .logicalNumberOffset = 0x04,
    .logicalRealIndexOffset = 0x08,
    .logicalRelatedTypeOffset = 0x0C,
    .logicalRelatedIndexOffset = 0x0D,
    .logicalRelatedTableOffset = 0x11,
    .logicalCascadeUpdatesOffset = 0x15,
    .logicalCascadeDeletesOffset = 0x16,
    .logicalKindOffset = 0x17,
    .rowFieldSize = 2,
    .indexPreviousPageOffset = 0x0C,
    .indexNextPageOffset = 0x10,
    .indexTailPageOffset = 0x14,
    .indexPrefixLengthOffset = 0x18,
    .indexPrefixLengthSize = 2,
    .indexMaskOffset = 0x1B,
    .indexMaskSize = 453,
    .indexFirstEntryOffset = 0x1E0,
    .longValueChainDataSize = 4072,
    .maxRowSize = kJet4PageSize - 0x0E - 2,
    .inlineUsageMapBitmapSize = 64,
};

// The descriptor of a version.
inline const Layout& LayoutFor(Version version) {
  return version == Version::kJet4 ? kJet4Layout : kJet3Layout;
}

}  // namespace dao::jet
