#include "dao/jet/page_writer.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "dao/jet/data_page_writer.h"
#include "dao/jet/format.h"
#include "dao/jet/jet_error.h"
#include "dao/jet/usage_map.h"
#include "dao/jet/usage_map_writer.h"

namespace dao::jet {
namespace {

constexpr std::uint8_t kGlobalMapRow = 0;
// The global map grows by this many bitmap bytes at a time (64 pages J3,
// 128 J4 with one step), so page 1 is rewritten rarely.
constexpr std::uint32_t kGlobalMapGrowth = 64;

// Every page an inline map lists, wherever its range ends.
std::vector<std::uint32_t> ListedPages(Bytes row) {
  return InlineUsageMapPages(row, std::numeric_limits<std::uint64_t>::max());
}

}  // namespace

MutablePageRef PageWriter::Allocate() {
  const std::uint32_t number = pages_.PageCount();
  if ((static_cast<std::uint64_t>(number) + 1) * layout_.pageSize > layout_.maxFileSize || number > kMaxPageNumber)
    throw JetError(kErrDiskError, "The database has reached its maximum size.");
  MutablePageRef page = pages_.Append();
  SetGlobalFree(number, false);
  return page;
}

void PageWriter::Release(std::uint32_t page) { SetGlobalFree(page, true); }

MutablePageRef PageWriter::Modify(std::uint32_t number) {
  MutablePageRef page = pages_.Modify(number);
  if (inTransaction_ && number < pageCountAtBegin_ && !saved_.contains(number)) {
    std::vector<std::uint8_t> copy;
    if (!spareBuffers_.empty()) {
      copy = std::move(spareBuffers_.back());
      spareBuffers_.pop_back();
    }
    copy.assign(page->Data().begin(), page->Data().end());
    saved_.emplace(number, std::move(copy));
  }
  return page;
}

void PageWriter::BeginTransaction() {
  // Between two complete changes the file may take the pages changed so
  // far; a failure to write them fails this change before it starts.
  if (depth_ == 0) pages_.FlushIfDue();
  if (depth_++ > 0) return;
  inTransaction_ = true;
  pageCountAtBegin_ = pages_.PageCount();
}

void PageWriter::Commit() {
  if (--depth_ > 0) return;
  for (auto& entry : saved_) spareBuffers_.push_back(std::move(entry.second));
  saved_.clear();
  inTransaction_ = false;
}

void PageWriter::Rollback() {
  if (--depth_ > 0) return;
  inTransaction_ = false;
  for (auto& [number, bytes] : saved_) {
    const MutableBytes page = pages_.Modify(number)->MutableData();
    std::copy(bytes.begin(), bytes.end(), page.begin());
    spareBuffers_.push_back(std::move(bytes));
  }
  saved_.clear();
  // Pages appended meanwhile exist only in the cache (the file takes pages
  // between transactions), so the file stays exactly as it was. Should they
  // have reached it after all, they stay, zeroed and marked free; freeing
  // may itself append bitmap pages of the global map, and those stay too.
  if (pages_.DropAppendedPages(pageCountAtBegin_)) return;
  const std::uint32_t end = pages_.PageCount();
  for (std::uint32_t number = pageCountAtBegin_; number < end; ++number) {
    const MutableBytes page = pages_.Modify(number)->MutableData();
    std::fill(page.begin(), page.end(), 0);
    SetGlobalFree(number, true);
  }
}

void PageWriter::SetGlobalFree(std::uint32_t page, bool free) {
  MutablePageRef holder = Modify(kGlobalUsageMapPage);
  const MutableBytes row = MutableSlotBytes(holder->MutableData(), kGlobalMapRow, layout_);
  if (row.size() <= kUsageMapInlineBitmapOffset) ThrowDamaged("the global usage map row is too short");
  if (row[0] == kUsageMapReference) {
    SetGlobalReferenceBit(row, page, free);
    return;
  }
  if (row[0] != kUsageMapInline) ThrowDamaged("the global usage map has an unknown type");
  if (InlineUsageMapCovers(row, page)) {
    SetInlineUsageMapBit(row, page, free);
    return;
  }
  if (LoadU32(&row[kUsageMapInlineStartOffset]) != 0) ThrowDamaged("the global usage map does not start at page 0");
  // Enlarge the map: the new bits describe pages beyond the end of the
  // file, which are free, except the page being allocated.
  const std::uint32_t oldBytes = static_cast<std::uint32_t>(row.size() - kUsageMapInlineBitmapOffset);
  const std::uint32_t neededBytes = page / 8 + 1;
  const std::uint32_t newBytes =
      std::max(neededBytes, oldBytes) + kGlobalMapGrowth - (std::max(neededBytes, oldBytes) % kGlobalMapGrowth);
  std::vector<std::uint8_t> grown(row.begin(), row.end());
  grown.resize(kUsageMapInlineBitmapOffset + newBytes, 0xFF);
  SetInlineUsageMapBit(grown, page, free);
  if (ReplaceRow(holder->MutableData(), kGlobalMapRow, grown, 0, layout_)) return;
  // Page 1 is full: the map lists bitmap pages instead, as large files do.
  GlobalToReferenceMap(row);
  SetGlobalReferenceBit(row, page, free);
}

void PageWriter::GlobalToReferenceMap(MutableBytes row) {
  const std::vector<std::uint8_t> inlineMap(row.begin(), row.end());
  std::fill(row.begin(), row.end(), 0);
  row[0] = kUsageMapReference;
  const std::uint32_t perPage = PagesPerUsageBitmapPage(layout_);
  const std::uint32_t covered = static_cast<std::uint32_t>(inlineMap.size() - kUsageMapInlineBitmapOffset) * 8;
  // Bitmap pages for every range the inline map reached; they are appended
  // here directly, so their own bits are set (as used) with the rest.
  std::vector<MutablePageRef> bitmaps;
  for (std::uint32_t first = 0; first < covered; first += perPage) {
    if (1 + 4 * (bitmaps.size() + 1) > row.size())
      throw JetError(kErrDiskError, "The database has grown beyond the pages its usage map can describe.");
    bitmaps.push_back(pages_.Append());
    InitUsageBitmapPage(bitmaps.back()->MutableData());
    StoreU32(&row[1 + 4 * (bitmaps.size() - 1)], bitmaps.back()->Number());
  }
  const std::uint32_t end = pages_.PageCount();
  for (std::size_t i = 0; i < bitmaps.size(); ++i) {
    const MutableBytes bits = bitmaps[i]->MutableData();
    for (std::uint32_t bit = 0; bit < perPage; ++bit) {
      const std::uint32_t page = static_cast<std::uint32_t>(i) * perPage + bit;
      const bool free = page < covered ? InlineUsageMapLists(inlineMap, page) && page < end : page >= end;
      if (free) bits[kUsageBitmapPageHeaderSize + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    }
  }
}

void PageWriter::SetGlobalReferenceBit(MutableBytes row, std::uint32_t page, bool free) {
  const std::uint32_t perPage = PagesPerUsageBitmapPage(layout_);
  const std::size_t slot = page / perPage;
  if (1 + 4 * (slot + 1) > row.size())
    throw JetError(kErrDiskError, "The database has grown beyond the pages its usage map can describe.");
  std::uint32_t bitmapPage = LoadU32(&row[1 + 4 * slot]);
  if (bitmapPage == 0) {
    // A new range: every page in it that exists is in use, the rest free.
    const MutablePageRef created = pages_.Append();
    InitUsageBitmapPage(created->MutableData());
    bitmapPage = created->Number();
    StoreU32(&row[1 + 4 * slot], bitmapPage);
    const std::uint32_t first = static_cast<std::uint32_t>(slot) * perPage;
    const MutableBytes bits = created->MutableData();
    for (std::uint32_t bit = 0; bit < perPage; ++bit)
      if (first + bit >= pages_.PageCount()) bits[kUsageBitmapPageHeaderSize + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    if (bitmapPage / perPage != slot) SetGlobalReferenceBit(row, bitmapPage, false);
  }
  const MutablePageRef bitmap = Modify(bitmapPage);
  const std::uint32_t bit = page % perPage;
  std::uint8_t& byte = bitmap->MutableData()[kUsageBitmapPageHeaderSize + bit / 8];
  const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
  byte = free ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
}

void PageWriter::SetListed(RowPointer map, std::uint32_t page, bool listed) {
  MutablePageRef holder = Modify(map.page);
  MutableBytes row = MutableSlotBytes(holder->MutableData(), map.row, layout_);
  if (row.size() <= kUsageMapInlineBitmapOffset && (row.empty() || row[0] == kUsageMapInline))
    ThrowDamaged("a usage map row is too short");
  if (row[0] == kUsageMapInline) {
    if (InlineUsageMapCovers(row, page)) {
      SetInlineUsageMapBit(row, page, listed);
      return;
    }
    if (!listed) return;
    // Re-base the map when every listed page still fits, else turn it into
    // a reference map.
    std::vector<std::uint32_t> pages = ListedPages(row);
    pages.push_back(page);
    const std::uint32_t first = *std::min_element(pages.begin(), pages.end()) / 8 * 8;
    const std::uint32_t last = *std::max_element(pages.begin(), pages.end());
    if (last - first < (row.size() - kUsageMapInlineBitmapOffset) * 8) {
      std::fill(row.begin() + kUsageMapInlineBitmapOffset, row.end(), 0);
      StoreU32(&row[kUsageMapInlineStartOffset], first);
      for (const std::uint32_t p : pages) SetInlineUsageMapBit(row, p, true);
      return;
    }
    ToReferenceMap(row, page);
    return;
  }
  if (row[0] != kUsageMapReference) ThrowDamaged("unknown usage map type");
  SetReferenceBit(row, page, listed);
}

void PageWriter::ToReferenceMap(MutableBytes row, std::uint32_t page) {
  const std::vector<std::uint32_t> listed = ListedPages(row);
  // The row keeps its length: `01` and the bitmap pages of each range.
  std::fill(row.begin(), row.end(), 0);
  row[0] = kUsageMapReference;
  for (const std::uint32_t p : listed) SetReferenceBit(row, p, true);
  SetReferenceBit(row, page, true);
}

void PageWriter::SetReferenceBit(MutableBytes row, std::uint32_t page, bool listed) {
  const std::uint32_t perPage = PagesPerUsageBitmapPage(layout_);
  const std::size_t slot = page / perPage;
  if (slot >= (row.size() - 1) / 4)
    throw JetError(kErrDiskError, "The table has grown beyond what its usage map can describe.");
  std::uint32_t bitmapPage = LoadU32(&row[1 + 4 * slot]);
  if (bitmapPage == 0) {
    if (!listed) return;
    // Allocate changes only page 1, never a map holder page, so `row` stays valid.
    MutablePageRef created = Allocate();
    InitUsageBitmapPage(created->MutableData());
    bitmapPage = created->Number();
    StoreU32(&row[1 + 4 * slot], bitmapPage);
  }
  MutablePageRef bitmap = Modify(bitmapPage);
  const std::uint32_t bit = page % perPage;
  std::uint8_t& byte = bitmap->MutableData()[kUsageBitmapPageHeaderSize + bit / 8];
  const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
  byte = listed ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
}

}  // namespace dao::jet
