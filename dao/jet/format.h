// Constants of the Jet 3 / Jet 4 file format that do not depend on the
// version. Offsets that differ between the versions live in layout.h. Every
// reader and writer takes its magic numbers from these two headers.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace dao::jet {

// ---------------------------------------------------------------- pages --

// First byte of every page.
enum class PageType : std::uint8_t {
  kDatabaseDefinition = 0x00,  // page 0 only
  kData = 0x01,                // rows, long values, usage-map rows
  kTableDefinition = 0x02,     // tdef and its continuation pages
  kIndexIntermediate = 0x03,
  kIndexLeaf = 0x04,
  kUsageBitmap = 0x05,         // bitmap page of a reference usage map
};

inline constexpr std::uint32_t kPageTypeOffset = 0x00;
// Second byte of every page of types 0x01-0x05; writers always put 0x01 here.
inline constexpr std::uint32_t kPageMarkerOffset = 0x01;
inline constexpr std::uint8_t kPageMarker = 0x01;

inline constexpr std::uint32_t kJet3PageSize = 2048;
inline constexpr std::uint32_t kJet4PageSize = 4096;
// Jet 3 files end at 1 GB, Jet 4 files at 2 GB.
inline constexpr std::uint64_t kJet3MaxFileSize = 1ull << 30;
inline constexpr std::uint64_t kJet4MaxFileSize = 2ull << 30;

// Fixed page numbers.
inline constexpr std::uint32_t kHeaderPage = 0;
inline constexpr std::uint32_t kGlobalUsageMapPage = 1;
inline constexpr std::uint32_t kMSysObjectsPage = 2;
inline constexpr std::uint32_t kMSysACEsPage = 3;
inline constexpr std::uint32_t kMSysQueriesPage = 4;
inline constexpr std::uint32_t kMSysRelationshipsPage = 5;

// ----------------------------------------------------- page 0 (header) --

inline constexpr std::uint32_t kSignatureOffset = 0x04;
inline constexpr std::string_view kSignature = "Standard Jet DB";
inline constexpr std::uint32_t kVersionOffset = 0x14;
inline constexpr std::uint8_t kJet3VersionByte = 0x00;
inline constexpr std::uint8_t kJet4VersionByte = 0x01;
// Version bytes of the later .accdb formats, refused explicitly.
inline constexpr std::uint8_t kAccdbVersionByteFirst = 0x02;

// Bytes 0x18.. of page 0 are XORed with this key stream (RC4 of the key
// C7 DA 39 6B); Jet 3 masks the first 126 bytes, Jet 4 all 128.
inline constexpr std::uint32_t kHeaderMaskOffset = 0x18;
inline constexpr std::array<std::uint8_t, 128> kHeaderMask = {
    0xB5, 0x6F, 0x03, 0x62, 0x61, 0x08, 0xC2, 0x55, 0xEB, 0xA9, 0x67, 0x72, 0x43, 0x3F, 0x00, 0x9C,
    0x7A, 0x9F, 0x90, 0xFF, 0x80, 0x9A, 0x31, 0xC5, 0x79, 0xBA, 0xED, 0x30, 0xBC, 0xDF, 0xCC, 0x9D,
    0x63, 0xD9, 0xE4, 0xC3, 0x7B, 0x42, 0xFB, 0x8A, 0xBC, 0x4E, 0x86, 0xFB, 0xEC, 0x37, 0x5D, 0x44,
    0x9C, 0xFA, 0xC6, 0x5E, 0x28, 0xE6, 0x13, 0xB6, 0x8A, 0x60, 0x54, 0x94, 0x7B, 0x36, 0xF5, 0x72,
    0xDF, 0xB1, 0x77, 0xF4, 0x13, 0x43, 0xCF, 0xAF, 0xB1, 0x33, 0x34, 0x61, 0x79, 0x5B, 0x92, 0xB5,
    0x7C, 0x2A, 0x05, 0xF1, 0x7C, 0x99, 0x01, 0x1B, 0x98, 0xFD, 0x12, 0x4F, 0x4A, 0x94, 0x6C, 0x3E,
    0x60, 0x26, 0x5F, 0x95, 0xF8, 0xD0, 0x89, 0x24, 0x85, 0x67, 0xC6, 0x1F, 0x27, 0x44, 0xD2, 0xEE,
    0xCF, 0x65, 0xED, 0xFF, 0x07, 0xC7, 0x46, 0xA1, 0x78, 0x16, 0x0C, 0xED, 0xE9, 0x2D, 0x62, 0xD4,
};

inline constexpr std::uint32_t kCodePageOffset = 0x3C;
// Non-zero: every page but page 0 is RC4-encrypted with (key XOR page number).
inline constexpr std::uint32_t kDatabaseKeyOffset = 0x3E;
inline constexpr std::uint32_t kPasswordOffset = 0x42;
// Jet 4: creation date (f64), also the seed of the password mask.
inline constexpr std::uint32_t kJet4CreationDateOffset = 0x72;
// Jet 4: the constant 0x654 and the text "4.0", both stored in clear.
inline constexpr std::uint32_t kJet4ClearConstantOffset = 0x98;
inline constexpr std::uint32_t kJet4ClearConstant = 0x654;
inline constexpr std::uint32_t kJet4VersionTextOffset = 0x9C;
// The 256 u16 words at the end of page 0 (purpose unknown).
inline constexpr std::uint32_t kHeaderTrailerSize = 512;
inline constexpr std::uint16_t kHeaderTrailerFirstWord = 0x0101;
inline constexpr std::uint16_t kHeaderTrailerWord = 0x0100;

inline constexpr std::uint16_t kDefaultCodePage = 1252;
inline constexpr std::uint16_t kGeneralSortOrder = 0x0409;  // LCID 1033

// ------------------------------------------------------- row pointers --

// A row pointer as stored in tdefs, long values and overflow rows: u32 LE,
// page in the upper 24 bits, row in the low 8.
struct RowPointer {
  std::uint32_t page = 0;
  std::uint8_t row = 0;

  static constexpr RowPointer FromU32(std::uint32_t value) {
    return {value >> 8, static_cast<std::uint8_t>(value & 0xFF)};
  }
  constexpr std::uint32_t ToU32() const { return (page << 8) | row; }
  constexpr bool IsNull() const { return page == 0 && row == 0; }
  friend constexpr bool operator==(const RowPointer&, const RowPointer&) = default;
};
inline constexpr std::uint32_t kRowPointerSize = 4;
inline constexpr std::uint32_t kMaxPageNumber = 0x00FFFFFF;  // 24 bits in a row pointer

// --------------------------------------------------------- data pages --

inline constexpr std::uint32_t kDataFreeSpaceOffset = 0x02;
inline constexpr std::uint32_t kDataOwnerOffset = 0x04;
// Owner field of long-value pages: the bytes "LVAL".
inline constexpr std::uint32_t kLongValueOwner = 0x4C41564C;
inline constexpr std::uint32_t kUsageMapHolderOwner = 0;
inline constexpr std::uint32_t kGlobalUsageMapOwner = 1;

inline constexpr std::uint16_t kRowOffsetMask = 0x1FFF;
// The slot holds only a row pointer to where the row really lives.
inline constexpr std::uint16_t kRowOverflowFlag = 0x4000;
// Deleted (with the overflow bit) or the target of an overflow pointer.
inline constexpr std::uint16_t kRowNotHereFlag = 0x8000;
inline constexpr std::uint16_t kRowDeletedFlags = kRowOverflowFlag | kRowNotHereFlag;
inline constexpr std::uint32_t kRowSlotSize = 2;
inline constexpr std::uint32_t kMaxRowsPerPage = 255;
// Overflow pointers were seen one level deep; following a few more is safe,
// following without a limit would let a damaged file loop forever.
inline constexpr int kMaxOverflowHops = 8;

// ---------------------------------------------------------- tdef pages --

// Jet 3 writes "VC" where Jet 4 keeps the free space of a tdef page.
inline constexpr std::uint32_t kTdefFreeSpaceOffset = 0x02;
inline constexpr std::uint16_t kJet3TdefMarker = 0x4356;  // "VC"
inline constexpr std::uint32_t kTdefNextPageOffset = 0x04;
inline constexpr std::uint32_t kTdefLengthOffset = 0x08;
inline constexpr std::uint32_t kTdefPageHeaderSize = 8;  // repeated on continuation pages
inline constexpr std::uint16_t kTdefTerminator = 0xFFFF;
// Jet 4 writes this constant in the tdef header and in every column and
// logical-index descriptor.
inline constexpr std::uint32_t kJet4DescriptorConstant = 0x659;
inline constexpr std::uint32_t kJet4RealIndexConstant = 0x783;

inline constexpr std::uint8_t kTableTypeSystem = 0x53;  // 'S', engine tables
inline constexpr std::uint8_t kTableTypeUser = 0x4E;    // 'N'

inline constexpr std::uint32_t kMaxColumnNameLength = 64;  // characters
inline constexpr std::uint32_t kMaxColumns = 255;

// ------------------------------------------------------------ columns --

enum class ColumnType : std::uint8_t {
  kBoolean = 0x01,
  kByte = 0x02,
  kInteger = 0x03,
  kLong = 0x04,
  kCurrency = 0x05,
  kSingle = 0x06,
  kDouble = 0x07,
  kDateTime = 0x08,
  kBinary = 0x09,
  kText = 0x0A,
  kOle = 0x0B,
  kMemo = 0x0C,
  kUnknown0D = 0x0D,
  kGuid = 0x0F,
  kDecimal = 0x10,       // Jet 4 only
  kAccessBinary = 0x11,  // Access's MSysAccessObjects.Data, fixed 3992 bytes
  kComplex = 0x12,       // Access 2007 and later
  kBigInt = 0x13,        // Access 2016 and later
  kExtendedDate = 0x14,  // Access 2019 and later
};

inline constexpr std::uint8_t kColumnFixed = 0x01;
inline constexpr std::uint8_t kColumnUpdatable = 0x02;
inline constexpr std::uint8_t kColumnAutoNumber = 0x04;
inline constexpr std::uint8_t kColumnSystemTable = 0x10;
inline constexpr std::uint8_t kColumnSid = 0x20;
inline constexpr std::uint8_t kColumnReplicationId = 0x40;
inline constexpr std::uint8_t kColumnHyperlink = 0x80;
// Jet 4 extended flag: text may be stored compressed.
inline constexpr std::uint8_t kColumnCompressedUnicode = 0x01;

// Fixed sizes of the fixed-length types.
inline constexpr std::uint32_t kCurrencyScale = 10000;
inline constexpr std::uint32_t kGuidSize = 16;
inline constexpr std::uint32_t kDecimalSize = 17;
inline constexpr std::uint8_t kDecimalNegative = 0x80;
inline constexpr std::uint32_t kMaxDecimalPrecision = 28;
inline constexpr std::uint32_t kMaxTextBytes = 255 * 2;

// Jet 4 compressed text starts with these two bytes.
inline constexpr std::uint8_t kCompressedTextMarker0 = 0xFF;
inline constexpr std::uint8_t kCompressedTextMarker1 = 0xFE;

// ------------------------------------------------------------ indexes --

inline constexpr std::uint32_t kMaxIndexColumns = 10;
inline constexpr std::uint16_t kUnusedIndexColumn = 0xFFFF;
inline constexpr std::uint8_t kIndexAscending = 0x01;
inline constexpr std::uint8_t kIndexDescending = 0x00;

inline constexpr std::uint8_t kIndexUnique = 0x01;
inline constexpr std::uint8_t kIndexIgnoreNulls = 0x02;
inline constexpr std::uint8_t kIndexRequired = 0x08;
inline constexpr std::uint8_t kIndexJet4 = 0x80;

// Logical index kinds.
inline constexpr std::uint8_t kIndexKindNormal = 0x00;
inline constexpr std::uint8_t kIndexKindPrimary = 0x01;
inline constexpr std::uint8_t kIndexKindForeign = 0x02;
// Cascade byte Access writes for indexes that are not foreign keys.
inline constexpr std::uint8_t kIndexNoForeignCascade = 0x04;

// Key flag bytes in index entries.
inline constexpr std::uint8_t kKeyAscendingValue = 0x7F;
inline constexpr std::uint8_t kKeyDescendingValue = 0x80;
inline constexpr std::uint8_t kKeyAscendingNull = 0x00;
inline constexpr std::uint8_t kKeyDescendingNull = 0xFF;

// -------------------------------------------------------- long values --

inline constexpr std::uint32_t kLongValueHeaderSize = 12;
inline constexpr std::uint32_t kLongValueLengthMask = 0x3FFFFFFF;
inline constexpr std::uint32_t kLongValuePointerOffset = 4;
// Storage kinds in the top bits of the length word.
inline constexpr std::uint32_t kLongValueKindMask = 0xC0000000;
inline constexpr std::uint32_t kLongValueInline = 0x80000000;
inline constexpr std::uint32_t kLongValueSingleRow = 0x40000000;
inline constexpr std::uint32_t kLongValueChain = 0x00000000;
// Record per memo/OLE column at the end of a tdef: column number, owned map,
// free-space map.
inline constexpr std::uint32_t kLongValueColumnMapSize = 10;
inline constexpr std::uint32_t kLongValueColumnOwnedMapOffset = 2;
inline constexpr std::uint32_t kLongValueColumnFreeMapOffset = 6;
// Statistics record of a real index at the start of the tdef's index part:
// rows and distinct keys (Jet 4 adds four unused bytes).
inline constexpr std::uint32_t kIndexStatisticRowsOffset = 0;
inline constexpr std::uint32_t kIndexStatisticDistinctOffset = 4;

// --------------------------------------------------------- usage maps --

inline constexpr std::uint8_t kUsageMapInline = 0x00;
inline constexpr std::uint8_t kUsageMapReference = 0x01;
inline constexpr std::uint32_t kUsageMapInlineStartOffset = 1;
inline constexpr std::uint32_t kUsageMapInlineBitmapOffset = 5;
inline constexpr std::uint32_t kUsageBitmapPageHeaderSize = 4;

// ----------------------------------------------------- system catalog --

inline constexpr std::uint32_t kRootObjectId = 0x0F000000;
inline constexpr std::uint32_t kTablesContainerId = 0x0F000001;
inline constexpr std::uint32_t kDatabasesContainerId = 0x0F000002;
inline constexpr std::uint32_t kRelationshipsContainerId = 0x0F000003;
inline constexpr std::uint32_t kMSysDbId = 0x10000000;
// Objects without a definition page (queries, relationships, Access's
// documents) are numbered from here on; the root has the last number.
inline constexpr std::uint32_t kFirstNumberedObjectId = 0x80000000;
inline constexpr std::uint32_t kNoObjectId = 0xFFFFFFFF;

// MSysObjects.Type
inline constexpr std::int16_t kObjectTypeTable = 1;
inline constexpr std::int16_t kObjectTypeDatabase = 2;
inline constexpr std::int16_t kObjectTypeContainer = 3;
inline constexpr std::int16_t kObjectTypeOdbcLink = 4;
inline constexpr std::int16_t kObjectTypeQuery = 5;
inline constexpr std::int16_t kObjectTypeLinkedTable = 6;
inline constexpr std::int16_t kObjectTypeRelationship = 8;

// MSysObjects.Flags
inline constexpr std::uint32_t kObjectFlagEngineSystem = 0x80000000;
inline constexpr std::uint32_t kObjectFlagAccessSystem = 0x00000002;
inline constexpr std::uint32_t kObjectFlagHidden = 0x00000008;

// --------------------------------------------------- property blobs --

inline constexpr std::string_view kJet3PropertyMagic{"KKD\0", 4};
inline constexpr std::string_view kJet4PropertyMagic{"MR2\0", 4};
inline constexpr std::uint16_t kPropertyChunkNames = 0x0080;
inline constexpr std::uint16_t kPropertyChunkObject = 0x0000;
inline constexpr std::uint16_t kPropertyChunkColumn = 0x0001;
inline constexpr std::uint32_t kPropertyChunkHeaderSize = 6;
inline constexpr std::uint32_t kPropertyValueHeaderSize = 8;

}  // namespace dao::jet
