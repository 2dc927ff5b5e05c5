#include "dao/jet/usage_map_writer.h"

#include <algorithm>

#include "dao/jet/format.h"

namespace dao::jet {

std::vector<std::uint8_t> NewInlineUsageMap(std::uint32_t startPage, std::uint32_t bitmapSize) {
  std::vector<std::uint8_t> row(kUsageMapInlineBitmapOffset + bitmapSize, 0);
  row[0] = kUsageMapInline;
  StoreU32(&row[kUsageMapInlineStartOffset], startPage);
  return row;
}

bool InlineUsageMapCovers(Bytes row, std::uint32_t page) {
  const std::uint32_t start = LoadU32(&row[kUsageMapInlineStartOffset]);
  const std::uint64_t pages = static_cast<std::uint64_t>(row.size() - kUsageMapInlineBitmapOffset) * 8;
  return page >= start && page - start < pages;
}

void SetInlineUsageMapBit(MutableBytes row, std::uint32_t page, bool listed) {
  const std::uint32_t bit = page - LoadU32(&row[kUsageMapInlineStartOffset]);
  std::uint8_t& byte = row[kUsageMapInlineBitmapOffset + bit / 8];
  const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
  byte = listed ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
}

bool InlineUsageMapLists(Bytes row, std::uint32_t page) {
  if (!InlineUsageMapCovers(row, page)) return false;
  const std::uint32_t bit = page - LoadU32(&row[kUsageMapInlineStartOffset]);
  return (row[kUsageMapInlineBitmapOffset + bit / 8] >> (bit % 8) & 1) != 0;
}

std::uint32_t PagesPerUsageBitmapPage(const Layout& layout) {
  return (layout.pageSize - kUsageBitmapPageHeaderSize) * 8;
}

void InitUsageBitmapPage(MutableBytes page) {
  std::fill(page.begin(), page.end(), 0);
  page[kPageTypeOffset] = static_cast<std::uint8_t>(PageType::kUsageBitmap);
  page[kPageMarkerOffset] = kPageMarker;
}

}  // namespace dao::jet
