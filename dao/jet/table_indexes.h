#pragma once

// Adding an index to the definition of an existing table and removing one:
// the descriptors are spliced into or out of the stored definition, which
// is written again over its pages (taking or giving back continuation
// pages); every other byte of it stays as stored.

#include <cstddef>
#include <string>

#include "dao/jet/page_writer.h"
#include "dao/jet/table_creator.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {

// Adds `index` (columns by column number) to `definition`, the table's
// definition as stored: an empty root leaf, its usage map and the
// descriptors. Returns the position of the new real index, which the
// caller then fills.
std::size_t AddIndexDefinition(PageWriter& pages, const TextCodec& codec, TableDefinition& definition,
                               const NewIndex& index);

// Removes the logical index at `logical` from `definition`, and its real
// index with its pages when no other logical index uses it. The other
// logical indexes keep their numbers.
void RemoveIndexDefinition(PageWriter& pages, const TextCodec& codec, TableDefinition& definition,
                           std::size_t logical);

}  // namespace dao::jet
