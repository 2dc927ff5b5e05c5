#pragma once

// Adding an index to the definition of an existing table and removing one:
// the descriptors are spliced into or out of the stored definition, which
// is written again over its pages (taking or giving back continuation
// pages); every other byte of it stays as stored.

#include <cstddef>
#include <cstdint>
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
// index with its pages when no other logical index uses it. The logical
// and real indexes behind the removed ones move down a number, so both
// stay numbered from 0 without gaps, as readers expect (mdbtools looks
// for a logical index numbered like each real one); a relationship of the
// table to itself follows. Returns the removed logical index's number.
std::uint32_t RemoveIndexDefinition(PageWriter& pages, const TextCodec& codec, TableDefinition& definition,
                                    std::size_t logical);

// After logical index `removed` of the table at `tablePage` is gone: the
// foreign keys of `definition` (another table) that name a logical index
// of that table behind it name it by its new number. Returns whether
// anything changed.
bool FollowRemovedIndex(PageWriter& pages, const TextCodec& codec, TableDefinition& definition,
                        std::uint32_t tablePage, std::uint32_t removed);

}  // namespace dao::jet
