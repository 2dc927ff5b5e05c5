#pragma once

// The definitions of the four tables the engine creates in every database
// (MSysObjects, MSysACEs, MSysQueries, MSysRelationships) as a new file
// holds them, without their page references, which the creator fills in.

#include <cstdint>
#include <vector>

#include "dao/jet/layout.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {

// The four system tables of a new database of `layout`'s version, in tdef
// page order (2, 3, 4, 5); columns in column-number order, logical indexes
// in stored order (by name).
std::vector<TableDefinition> NewSystemTables(const Layout& layout);

// Writes the definition of a system table as the engine does: column
// descriptors by name in Jet 4 (by number in Jet 3), the records of the
// long-value columns by name in both.
std::vector<std::uint8_t> SerializeSystemTable(const TableDefinition& definition, const Layout& layout,
                                               const TextCodec& codec);

// Lays out `definition.columns` (given in column-number order) as the engine
// does: consecutive column numbers, fixed columns at consecutive offsets
// (Yes/No take none), variable columns at consecutive variable indexes, and
// fixed columns carrying the count of variable columns before them. Sets
// the column counts of the definition.
void AssignColumnLayout(TableDefinition& definition);

// The length a column descriptor of `type` states for a fixed type: its
// size, and 1 for Yes/No (whose value lives in the null mask); 0 for the
// variable types.
std::uint16_t FixedDescriptorLength(ColumnType type);

// Puts the logical indexes in the order the engine stores them: by name,
// letter case ignored.
void SortLogicalIndexesByName(TableDefinition& definition);

}  // namespace dao::jet
