#include "dao/jet/long_value.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "dao/jet/data_page.h"

namespace dao::jet {
namespace {

// Bytes of the long-value row at `pointer`.
RowRef ReadPart(PageFile& pages, const Layout& layout, RowPointer pointer) {
  const DataPage page = ReadDataPage(pages, layout, pointer.page);
  if (pointer.row >= page.RowCount() || IsDeletedSlot(page.Slot(pointer.row))) {
    ThrowDamaged("a long value points to a missing row (page " + std::to_string(pointer.page) +
                 ", row " + std::to_string(pointer.row) + ")");
  }
  return RowRef{page.GetPage(), page.RowBytes(pointer.row)};
}

}  // namespace

std::uint32_t LongValueLength(Bytes header) {
  return U32At(header, 0, "a long-value header is cut short") & kLongValueLengthMask;
}

void ReadLongValue(PageFile& pages, const Layout& layout, Bytes field, std::vector<std::uint8_t>& out) {
  out.clear();
  RequireFits(field, 0, kLongValueHeaderSize, "a long-value header is cut short");
  const std::uint32_t word = LoadU32(field.data());
  const std::uint32_t length = word & kLongValueLengthMask;
  const RowPointer first = RowPointer::FromU32(LoadU32(field.data() + kLongValuePointerOffset));
  const std::uint64_t fileSize = static_cast<std::uint64_t>(pages.PageCount()) * pages.PageSize();
  if (length > fileSize) ThrowDamaged("a long value claims more bytes than the file holds");

  switch (word & kLongValueKindMask) {
    case kLongValueInline: {
      const Bytes data = SliceAt(field, kLongValueHeaderSize, length, "an inline long value overruns its row");
      out.assign(data.begin(), data.end());
      return;
    }
    case kLongValueSingleRow: {
      const RowRef part = ReadPart(pages, layout, first);
      const Bytes data = SliceAt(part.bytes, 0, length, "a long value is longer than its row");
      out.assign(data.begin(), data.end());
      return;
    }
    case kLongValueChain: {
      out.reserve(length);
      std::unordered_set<std::uint32_t> visited;
      RowPointer next = first;
      while (out.size() < length) {
        if (next.IsNull()) ThrowDamaged("a long-value chain ends before its stated length");
        if (!visited.insert(next.ToU32()).second) ThrowDamaged("a long-value chain loops");
        const RowRef part = ReadPart(pages, layout, next);
        if (part.bytes.size() < kRowPointerSize) ThrowDamaged("a long-value chain row is cut short");
        next = RowPointer::FromU32(LoadU32(part.bytes.data()));
        const std::size_t take = std::min<std::size_t>(part.bytes.size() - kRowPointerSize, length - out.size());
        out.insert(out.end(), part.bytes.begin() + kRowPointerSize,
                   part.bytes.begin() + static_cast<std::ptrdiff_t>(kRowPointerSize + take));
      }
      return;
    }
    default:
      ThrowDamaged("a long value has an unknown storage kind");
  }
}

}  // namespace dao::jet
