#pragma once

// Writing a table definition (tdef): header, index statistics, column and
// index descriptors, names, long-value column maps and terminator, split
// over a first page and continuation pages.

#include <cstdint>
#include <string>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/format.h"
#include "dao/jet/layout.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {

// The definition stream: offset 0 of the first page through the terminator,
// without continuation headers; its size is the tdef length. Column
// descriptors (and the long-value column records) are written in the order
// of `definition.columns`, logical indexes in the order of
// `definition.logicalIndexes`. The records of the memo and OLE columns
// follow `longValueOrder` (column numbers) when given, else the columns.
std::vector<std::uint8_t> SerializeTableDefinition(const TableDefinition& definition, const Layout& layout,
                                                   const TextCodec& codec,
                                                   const std::vector<std::uint16_t>& longValueOrder = {});

// The parts of a definition stream, for editing a stored one: a name with
// its length prefix, the descriptors of a column, a real index and a
// logical index, a real index's statistics and a memo or OLE column's map
// record.
std::vector<std::uint8_t> EncodedDefinitionName(const std::string& name, const Layout& layout, const TextCodec& codec);
std::vector<std::uint8_t> ColumnDescriptor(const ColumnDefinition& column, bool systemTable, const Layout& layout,
                                           const TextCodec& codec);
std::vector<std::uint8_t> RealIndexDescriptor(const RealIndex& index, const Layout& layout);
std::vector<std::uint8_t> RealIndexStatistics(const RealIndex& index, const Layout& layout);
std::vector<std::uint8_t> LogicalIndexDescriptor(const LogicalIndex& index, const Layout& layout);
std::vector<std::uint8_t> LongValueColumnRecord(const ColumnDefinition& column);

// Number of pages the stream needs.
std::uint32_t TableDefinitionPageCount(std::size_t streamSize, const Layout& layout);

// Writes the stream over `pages` (first page, then continuation pages, each
// `layout.pageSize` bytes): page headers, chain and free-space fields.
void LayTableDefinitionPages(Bytes stream, const std::vector<std::uint32_t>& pageNumbers,
                             const std::vector<MutableBytes>& pages, const Layout& layout);

}  // namespace dao::jet
