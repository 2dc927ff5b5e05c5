#include "dao/jet/table_scanner.h"

#include "dao/jet/usage_map.h"

namespace dao::jet {
namespace {

constexpr std::size_t kCacheLineSize = 64;

}  // namespace

TableScanner::TableScanner(PageFile& pages, const Layout& layout, const TableDefinition& table)
    : pages_(&pages),
      layout_(&layout),
      owner_(table.page),
      pageNumbers_(ReadUsageMap(pages, layout, table.ownedPagesMap)) {}

bool TableScanner::OpenNextPage() {
  // A map bit may be stale (a page reused by another table or freed);
  // only data pages of this table hold its rows.
  while (nextPage_ < pageNumbers_.size()) {
    const PageRef page = pages_->Read(pageNumbers_[nextPage_++]);
    if (page->Data()[kPageTypeOffset] != static_cast<std::uint8_t>(PageType::kData) ||
        LoadU32(page->Data().data() + kDataOwnerOffset) != owner_) {
      continue;
    }
    // Its rows are read one after another: asking for all of the page's
    // cache lines at once overlaps their wait for memory.
    for (std::size_t line = 0; line < page->Data().size(); line += kCacheLineSize)
      __builtin_prefetch(page->Data().data() + line);
    page_.emplace(*layout_, page);
    nextRow_ = 0;
    return true;
  }
  page_.reset();
  return false;
}

bool TableScanner::Next() {
  while (page_ || OpenNextPage()) {
    while (nextRow_ < page_->RowCount()) {
      const std::uint16_t row = nextRow_++;
      const std::uint16_t slot = page_->Slot(row);
      if (!IsRowStart(slot)) continue;
      location_ = RowPointer{page_->Number(), static_cast<std::uint8_t>(row)};
      if ((slot & kRowOverflowFlag) == 0) {
        row_ = RowRef{page_->GetPage(), page_->RowBytes(row)};
        return true;
      }
      std::optional<RowRef> moved = ReadRow(*pages_, *layout_, location_, owner_);
      if (!moved) continue;
      row_ = std::move(*moved);
      return true;
    }
    page_.reset();
  }
  return false;
}

}  // namespace dao::jet
