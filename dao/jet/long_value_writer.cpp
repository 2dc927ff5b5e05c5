#include "dao/jet/long_value_writer.h"

#include <algorithm>

#include "dao/jet/data_page_writer.h"
#include "dao/jet/format.h"
#include "dao/jet/jet_error.h"

namespace dao::jet {
namespace {

// An LVAL page stays in the free-space map while it can take this much more.
constexpr std::uint32_t kUsefulFreeSpace = 64;

}  // namespace

std::vector<std::uint8_t> LongValueWriter::Write(const ColumnDefinition& column, Bytes value, bool allowInline) {
  if (value.size() > kLongValueLengthMask) throw JetError(kErrDiskError, "The value is too large to be stored.");
  std::vector<std::uint8_t> header(kLongValueHeaderSize, 0);
  const auto length = static_cast<std::uint32_t>(value.size());
  if (allowInline && length <= kMaxInlineLongValue) {
    StoreU32(header.data(), length | kLongValueInline);
    header.insert(header.end(), value.begin(), value.end());
  } else if (length <= layout_.maxRowSize - kRowPointerSize) {
    StoreU32(header.data(), length | kLongValueSingleRow);
    StoreU32(header.data() + kLongValuePointerOffset, WriteSingleRow(column, value).ToU32());
  } else {
    StoreU32(header.data(), length | kLongValueChain);
    StoreU32(header.data() + kLongValuePointerOffset, WriteChain(column, value).ToU32());
  }
  return header;
}

MutablePageRef LongValueWriter::NewLongValuePage(const ColumnDefinition& column) {
  MutablePageRef page = pages_.Allocate();
  InitDataPage(page->MutableData(), kLongValueOwner, layout_);
  pages_.SetListed(column.ownedPagesMap, page->Number(), true);
  pages_.SetListed(column.freePagesMap, page->Number(), true);
  return page;
}

RowPointer LongValueWriter::WriteSingleRow(const ColumnDefinition& column, Bytes value) {
  MutablePageRef page;
  const auto open = openPages_.find(column.number);
  if (open != openPages_.end()) {
    page = pages_.Modify(open->second);
    if (!DataPageHasRoomFor(page->Data(), value.size(), layout_)) page.reset();
  }
  if (!page) page = NewLongValuePage(column);
  const std::uint8_t row = *AddRow(page->MutableData(), value, layout_);
  openPages_[column.number] = page->Number();
  if (DataPageFreeSpace(page->Data(), layout_) < kUsefulFreeSpace) {
    pages_.SetListed(column.freePagesMap, page->Number(), false);
    openPages_.erase(column.number);
  }
  return {page->Number(), row};
}

RowPointer LongValueWriter::WriteChain(const ColumnDefinition& column, Bytes value) {
  // Each part is row 0 of a page of its own and points to the next part.
  const std::size_t perPart = layout_.longValueChainDataSize;
  const std::size_t parts = (value.size() + perPart - 1) / perPart;
  std::vector<MutablePageRef> pages;
  for (std::size_t i = 0; i < parts; ++i) pages.push_back(NewLongValuePage(column));
  std::vector<std::uint8_t> row;
  for (std::size_t i = 0; i < parts; ++i) {
    const Bytes part = value.subspan(i * perPart, std::min(perPart, value.size() - i * perPart));
    row.assign(kRowPointerSize, 0);
    if (i + 1 < parts) StoreU32(row.data(), RowPointer{pages[i + 1]->Number(), 0}.ToU32());
    row.insert(row.end(), part.begin(), part.end());
    AddRow(pages[i]->MutableData(), row, layout_);
    if (DataPageFreeSpace(pages[i]->Data(), layout_) < kUsefulFreeSpace)
      pages_.SetListed(column.freePagesMap, pages[i]->Number(), false);
  }
  return {pages[0]->Number(), 0};
}

void LongValueWriter::Delete(Bytes field) {
  if (field.size() < kLongValueHeaderSize) return;
  const std::uint32_t kind = LoadU32(field.data()) & kLongValueKindMask;
  if (kind == kLongValueInline) return;
  RowPointer next = RowPointer::FromU32(LoadU32(field.data() + kLongValuePointerOffset));
  // A chain cannot be longer than the file has pages.
  for (std::uint32_t hops = 0; !next.IsNull() && hops <= pages_.PageCount(); ++hops) {
    if (next.page >= pages_.PageCount()) ThrowDamaged("a long value points beyond the end of the file");
    MutablePageRef page = pages_.Modify(next.page);
    // A damaged pointer must not mark "rows" of an index or definition page.
    if (page->Data()[kPageTypeOffset] != static_cast<std::uint8_t>(PageType::kData))
      ThrowDamaged("a long value points to a page that holds no rows");
    const MutableBytes bytes = MutableSlotBytes(page->MutableData(), next.row, layout_);
    const RowPointer current = next;
    next = kind == kLongValueChain && bytes.size() >= kRowPointerSize ? RowPointer::FromU32(LoadU32(bytes.data()))
                                                                      : RowPointer{};
    MarkRowDeleted(page->MutableData(), current.row, layout_);
  }
}

}  // namespace dao::jet
