#include "dao/jet/data_page_writer.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "dao/jet/format.h"
#include "dao/jet/jet_error.h"

namespace dao::jet {
namespace {

std::uint16_t SlotEntry(Bytes page, std::uint8_t slot, const Layout& layout) {
  return LoadU16(&page[layout.dataHeaderSize + kRowSlotSize * slot]);
}

void SetSlotEntry(MutableBytes page, std::uint8_t slot, std::uint16_t value, const Layout& layout) {
  StoreU16(&page[layout.dataHeaderSize + kRowSlotSize * slot], value);
}

std::size_t RowStart(Bytes page, std::uint8_t slot, const Layout& layout) {
  return SlotEntry(page, slot, layout) & kRowOffsetMask;
}

std::size_t RowEnd(Bytes page, std::uint8_t slot, const Layout& layout) {
  return slot == 0 ? layout.pageSize : RowStart(page, static_cast<std::uint8_t>(slot - 1), layout);
}

std::uint16_t SlotFlags(Bytes page, std::uint8_t slot, const Layout& layout) {
  return SlotEntry(page, slot, layout) & static_cast<std::uint16_t>(~kRowOffsetMask);
}

Bytes SlotBytes(Bytes page, std::uint8_t slot, const Layout& layout) {
  if (slot >= DataPageSlotCount(page, layout)) ThrowDamaged("row slot beyond the slot table");
  const std::size_t start = RowStart(page, slot, layout);
  const std::size_t end = RowEnd(page, slot, layout);
  if (start > end || end > layout.pageSize) ThrowDamaged("row offsets out of order");
  return page.subspan(start, end - start);
}

std::size_t LowestRowStart(Bytes page, const Layout& layout) {
  const std::uint16_t count = DataPageSlotCount(page, layout);
  return count == 0 ? layout.pageSize : RowStart(page, static_cast<std::uint8_t>(count - 1), layout);
}

// The slot count, checked: a larger one cannot be a page's.
std::uint16_t CheckedSlotCount(Bytes page, const Layout& layout) {
  const std::uint16_t count = DataPageSlotCount(page, layout);
  if (count > kMaxRowsPerPage) ThrowDamaged("a data page claims " + std::to_string(count) + " rows");
  return count;
}

void SetFreeSpace(MutableBytes page, const Layout& layout) {
  StoreU16(&page[kDataFreeSpaceOffset], static_cast<std::uint16_t>(DataPageFreeSpace(page, layout)));
}

}  // namespace

void InitDataPage(MutableBytes page, std::uint32_t owner, const Layout& layout) {
  std::fill(page.begin(), page.end(), 0);
  page[kPageTypeOffset] = static_cast<std::uint8_t>(PageType::kData);
  page[kPageMarkerOffset] = kPageMarker;
  StoreU32(&page[kDataOwnerOffset], owner);
  SetFreeSpace(page, layout);
}

std::size_t DataPageFreeSpace(Bytes page, const Layout& layout) {
  const std::size_t tableEnd = layout.dataHeaderSize + kRowSlotSize * CheckedSlotCount(page, layout);
  const std::size_t lowest = LowestRowStart(page, layout);
  if (lowest < tableEnd || lowest > layout.pageSize) ThrowDamaged("the rows of a data page overlap its slot table");
  return lowest - tableEnd;
}

std::uint16_t DataPageSlotCount(Bytes page, const Layout& layout) {
  return LoadU16(&page[layout.dataRowCountOffset]);
}

bool DataPageHasRoomFor(Bytes page, std::size_t length, const Layout& layout) {
  return DataPageFreeSpace(page, layout) >= length + kRowSlotSize && DataPageSlotCount(page, layout) < kMaxRowsPerPage;
}

std::optional<std::uint8_t> AddRow(MutableBytes page, Bytes row, const Layout& layout, std::uint16_t flags) {
  if (!DataPageHasRoomFor(page, row.size(), layout)) return std::nullopt;
  const std::uint16_t count = DataPageSlotCount(page, layout);
  const std::size_t start = LowestRowStart(page, layout) - row.size();
  std::copy(row.begin(), row.end(), page.begin() + static_cast<long>(start));
  StoreU16(&page[layout.dataRowCountOffset], static_cast<std::uint16_t>(count + 1));
  SetSlotEntry(page, static_cast<std::uint8_t>(count), static_cast<std::uint16_t>(start | flags), layout);
  SetFreeSpace(page, layout);
  return static_cast<std::uint8_t>(count);
}

MutableBytes MutableSlotBytes(MutableBytes page, std::uint8_t slot, const Layout& layout) {
  const Bytes bytes = SlotBytes(page, slot, layout);
  return page.subspan(static_cast<std::size_t>(bytes.data() - page.data()), bytes.size());
}

void MarkRowDeleted(MutableBytes page, std::uint8_t slot, const Layout& layout) {
  SetSlotEntry(page, slot, static_cast<std::uint16_t>(SlotEntry(page, slot, layout) | kRowDeletedFlags), layout);
}

bool ReplaceRow(MutableBytes page, std::uint8_t slot, Bytes row, std::uint16_t flags, const Layout& layout) {
  const std::uint16_t count = CheckedSlotCount(page, layout);
  if (slot >= count) ThrowDamaged("row slot beyond the slot table");
  std::vector<std::vector<std::uint8_t>> contents(count);
  std::vector<std::uint16_t> slotFlags(count);
  std::size_t total = 0;
  for (std::uint8_t i = 0; i < count; ++i) {
    slotFlags[i] = SlotFlags(page, i, layout);
    if (i == slot) {
      contents[i].assign(row.begin(), row.end());
      slotFlags[i] = flags;
    } else if ((slotFlags[i] & kRowDeletedFlags) != kRowDeletedFlags) {
      const Bytes bytes = SlotBytes(page, i, layout);
      contents[i].assign(bytes.begin(), bytes.end());
    }
    total += contents[i].size();
  }
  if (layout.dataHeaderSize + kRowSlotSize * count + total > layout.pageSize) return false;
  std::size_t end = layout.pageSize;
  for (std::uint8_t i = 0; i < count; ++i) {
    end -= contents[i].size();
    std::copy(contents[i].begin(), contents[i].end(), page.begin() + static_cast<long>(end));
    SetSlotEntry(page, i, static_cast<std::uint16_t>(end | slotFlags[i]), layout);
  }
  const std::size_t tableEnd = layout.dataHeaderSize + kRowSlotSize * count;
  std::fill(page.begin() + static_cast<long>(tableEnd), page.begin() + static_cast<long>(end), 0);
  SetFreeSpace(page, layout);
  return true;
}

}  // namespace dao::jet
