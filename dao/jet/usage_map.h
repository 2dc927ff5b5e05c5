// Usage maps: bitmaps of page numbers stored as rows (inline maps) or as a
// list of bitmap pages (reference maps).
#pragma once

#include <cstdint>
#include <vector>

#include "dao/jet/layout.h"
#include "dao/jet/page_file.h"

namespace dao::jet {

// The pages whose bits are set in the usage map stored in the row at
// `pointer`, ascending. Pages at or beyond the end of the file are left out
// (a map may cover more pages than the file has). Raises "damaged" when the
// map row or one of its bitmap pages is malformed.
std::vector<std::uint32_t> ReadUsageMap(PageFile& pages, const Layout& layout, RowPointer pointer);

// The pages the inline map row `row` lists, ascending, those at or beyond
// `limit` left out. Raises "damaged" when the row is too short for a start page.
std::vector<std::uint32_t> InlineUsageMapPages(Bytes row, std::uint64_t limit);

}  // namespace dao::jet
