#pragma once

// Usage-map rows as the writer creates and changes them. An inline map is
// `00`, a start page and a bitmap (bit set = page listed); a reference map
// is `01` and the numbers of bitmap pages that each cover a fixed range.

#include <cstdint>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/layout.h"

namespace dao::jet {

// A new inline map row listing no page, covering 8 x `bitmapSize` pages
// from `startPage` on.
std::vector<std::uint8_t> NewInlineUsageMap(std::uint32_t startPage, std::uint32_t bitmapSize);

// Whether the inline map row `row` can represent `page`.
bool InlineUsageMapCovers(Bytes row, std::uint32_t page);
// Sets or clears the bit of `page`; the map must cover it.
void SetInlineUsageMapBit(MutableBytes row, std::uint32_t page, bool listed);
// Whether the inline map lists `page` (false outside its range).
bool InlineUsageMapLists(Bytes row, std::uint32_t page);

// Pages one bitmap page of a reference map covers.
std::uint32_t PagesPerUsageBitmapPage(const Layout& layout);
// Turns `page` into an empty bitmap page of a reference map.
void InitUsageBitmapPage(MutableBytes page);

}  // namespace dao::jet
