#include "dao/jet/data_page.h"

#include <string>

namespace dao::jet {

DataPage::DataPage(const Layout& layout, PageRef page) : layout_(&layout), page_(std::move(page)) {
  const Bytes data = page_->Data();
  if (data[kPageTypeOffset] != static_cast<std::uint8_t>(PageType::kData)) {
    ThrowDamaged("page " + std::to_string(page_->Number()) + " should be a data page");
  }
  rowCount_ = LoadU16(data.data() + layout.dataRowCountOffset);
  if (rowCount_ > kMaxRowsPerPage ||
      layout.dataHeaderSize + kRowSlotSize * rowCount_ > layout.pageSize) {
    ThrowDamaged("data page " + std::to_string(page_->Number()) + " claims " +
                 std::to_string(rowCount_) + " rows");
  }
}

Bytes DataPage::RowBytes(std::uint16_t row) const {
  const std::uint32_t start = Slot(row) & kRowOffsetMask;
  const std::uint32_t end = row == 0 ? layout_->pageSize : (Slot(row - 1) & kRowOffsetMask);
  const std::uint32_t slotsEnd = layout_->dataHeaderSize + kRowSlotSize * rowCount_;
  if (start < slotsEnd || start > end || end > layout_->pageSize) {
    ThrowDamaged("row " + std::to_string(row) + " of page " + std::to_string(Number()) +
                 " lies outside its page");
  }
  return page_->Data().subspan(start, end - start);
}

DataPage ReadDataPage(PageFile& pages, const Layout& layout, std::uint32_t number) {
  return DataPage(layout, pages.Read(number));
}

std::optional<RowRef> ReadRow(PageFile& pages, const Layout& layout, RowPointer pointer,
                              std::uint32_t owner) {
  for (int hop = 0; hop <= kMaxOverflowHops; ++hop) {
    const DataPage page = ReadDataPage(pages, layout, pointer.page);
    if (owner != 0 && page.Owner() != owner) {
      ThrowDamaged("page " + std::to_string(pointer.page) + " does not belong to the table");
    }
    if (pointer.row >= page.RowCount()) {
      ThrowDamaged("row " + std::to_string(pointer.row) + " of page " +
                   std::to_string(pointer.page) + " does not exist");
    }
    const std::uint16_t slot = page.Slot(pointer.row);
    if (IsDeletedSlot(slot)) return std::nullopt;
    const Bytes bytes = page.RowBytes(pointer.row);
    if ((slot & kRowOverflowFlag) == 0) {
      // A plain row, or (after a hop) the moved data the pointer led to.
      if (hop == 0 && !IsRowStart(slot)) {
        ThrowDamaged("row " + std::to_string(pointer.row) + " of page " +
                     std::to_string(pointer.page) + " is not the start of a row");
      }
      return RowRef{page.GetPage(), bytes};
    }
    if (bytes.size() < kRowPointerSize) ThrowDamaged("an overflow row pointer is cut short");
    pointer = RowPointer::FromU32(LoadU32(bytes.data()));
  }
  ThrowDamaged("overflow row pointers form a chain that does not end");
}

}  // namespace dao::jet
