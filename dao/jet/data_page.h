// Row slots of data pages (tables, long values, usage-map rows) and the
// reading of one row by its row pointer, following overflow pointers.
#pragma once

#include <cstdint>
#include <optional>

#include "dao/jet/bytes.h"
#include "dao/jet/format.h"
#include "dao/jet/layout.h"
#include "dao/jet/page_file.h"

namespace dao::jet {

class DataPage {
 public:
  // `page` must be a data page whose slot table fits; raises "damaged"
  // otherwise.
  DataPage(const Layout& layout, PageRef page);

  std::uint32_t Number() const { return page_->Number(); }
  // The owner field: tdef page of the table, kLongValueOwner, 0 or 1.
  std::uint32_t Owner() const { return LoadU32(page_->Data().data() + kDataOwnerOffset); }
  // Number of row slots, deleted ones included.
  std::uint16_t RowCount() const { return rowCount_; }
  // The raw slot entry (offset and flags) of row `row` (< RowCount()).
  std::uint16_t Slot(std::uint16_t row) const {
    return LoadU16(page_->Data().data() + layout_->dataHeaderSize + kRowSlotSize * row);
  }
  // Bytes of row `row`, from its start to the start of the previous row (or
  // the page end); raises "damaged" when the offsets do not nest.
  Bytes RowBytes(std::uint16_t row) const;
  // The page itself, to keep the row bytes alive.
  const PageRef& GetPage() const { return page_; }

 private:
  const Layout* layout_;
  PageRef page_;
  std::uint16_t rowCount_;
};

// A row found through its row pointer.
struct RowRef {
  PageRef page;  // keeps `bytes` alive
  Bytes bytes;
};

// True when a slot entry marks a row that a table scan delivers (neither
// deleted nor the moved data of another slot).
inline bool IsRowStart(std::uint16_t slot) { return (slot & kRowNotHereFlag) == 0; }
inline bool IsDeletedSlot(std::uint16_t slot) { return (slot & kRowDeletedFlags) == kRowDeletedFlags; }

// The row at `pointer` as a table sees it: overflow pointers are followed
// (a bounded number of times) to the row's data. Returns nullopt for a
// deleted slot. `owner` is the tdef page every page on the way must belong
// to (0: any owner). Raises "damaged" for slots or pages that do not exist,
// and for slots that are not the start of a row.
std::optional<RowRef> ReadRow(PageFile& pages, const Layout& layout, RowPointer pointer,
                              std::uint32_t owner);

// A data page by number, with its type checked.
DataPage ReadDataPage(PageFile& pages, const Layout& layout, std::uint32_t number);

}  // namespace dao::jet
