// Memo and OLE values: a 12-byte header in the row, followed by the data
// inline, or pointing to one row or a chain of rows on long-value pages.
#pragma once

#include <cstdint>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/layout.h"
#include "dao/jet/page_file.h"

namespace dao::jet {

// Total length in bytes stated by a long-value header (the column's bytes
// in the row); raises "damaged" when the header is cut short.
std::uint32_t LongValueLength(Bytes header);

// Replaces `out` with the whole value whose header (and inline data) is
// `field`. Raises "damaged" for a malformed header, pointers to missing or
// foreign rows, a chain that loops or ends early, or a length the file
// cannot hold.
void ReadLongValue(PageFile& pages, const Layout& layout, Bytes field, std::vector<std::uint8_t>& out);

}  // namespace dao::jet
