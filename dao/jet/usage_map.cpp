#include "dao/jet/usage_map.h"

#include <string>

#include "dao/jet/data_page.h"

namespace dao::jet {
namespace {

// Appends page first + i for every set bit i of `bitmap`, stopping at `limit`.
void CollectBits(Bytes bitmap, std::uint64_t first, std::uint64_t limit,
                 std::vector<std::uint32_t>& out) {
  for (std::size_t byte = 0; byte < bitmap.size(); ++byte) {
    const std::uint64_t base = first + 8 * static_cast<std::uint64_t>(byte);
    if (base >= limit) return;
    const std::uint8_t bits = bitmap[byte];
    if (bits == 0) continue;
    for (int bit = 0; bit < 8; ++bit) {
      if ((bits >> bit & 1) != 0 && base + bit < limit) out.push_back(static_cast<std::uint32_t>(base + bit));
    }
  }
}

}  // namespace

std::vector<std::uint32_t> ReadUsageMap(PageFile& pages, const Layout& layout, RowPointer pointer) {
  const DataPage holder = ReadDataPage(pages, layout, pointer.page);
  if (pointer.row >= holder.RowCount()) {
    ThrowDamaged("the usage map row " + std::to_string(pointer.row) + " of page " +
                 std::to_string(pointer.page) + " does not exist");
  }
  const Bytes row = holder.RowBytes(pointer.row);
  const std::uint64_t limit = pages.PageCount();
  std::vector<std::uint32_t> result;
  switch (U8At(row, 0, "a usage map row is empty")) {
    case kUsageMapInline:
      return InlineUsageMapPages(row, limit);
    case kUsageMapReference: {
      const std::uint64_t pagesPerBitmap = (layout.pageSize - kUsageBitmapPageHeaderSize) * 8ull;
      for (std::size_t i = 0; 1 + 4 * (i + 1) <= row.size(); ++i) {
        const std::uint64_t first = i * pagesPerBitmap;
        if (first >= limit) break;
        const std::uint32_t bitmapPage = LoadU32(row.data() + 1 + 4 * i);
        if (bitmapPage == 0) continue;
        const PageRef bitmap = pages.Read(bitmapPage);
        if (bitmap->Data()[kPageTypeOffset] != static_cast<std::uint8_t>(PageType::kUsageBitmap)) {
          ThrowDamaged("page " + std::to_string(bitmapPage) + " should be a usage bitmap page");
        }
        CollectBits(bitmap->Data().subspan(kUsageBitmapPageHeaderSize), first, limit, result);
      }
      return result;
    }
    default:
      ThrowDamaged("usage map on page " + std::to_string(pointer.page) + " has an unknown type");
  }
}

std::vector<std::uint32_t> InlineUsageMapPages(Bytes row, std::uint64_t limit) {
  const std::uint32_t start = U32At(row, kUsageMapInlineStartOffset, "an inline usage map is cut short");
  std::vector<std::uint32_t> result;
  CollectBits(row.subspan(kUsageMapInlineBitmapOffset), start, limit, result);
  return result;
}

}  // namespace dao::jet
