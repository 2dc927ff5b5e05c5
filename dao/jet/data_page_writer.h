#pragma once

// Changing data pages: rows are packed from the page end downwards in slot
// order, the slot table grows from the header; slot numbers never change
// because index entries and long-value pointers name rows by slot.

#include <cstdint>
#include <optional>

#include "dao/jet/bytes.h"
#include "dao/jet/layout.h"

namespace dao::jet {

// Turns `page` into an empty data page of `owner` (a tdef page, "LVAL", or 0
// for usage-map holder pages).
void InitDataPage(MutableBytes page, std::uint32_t owner, const Layout& layout);

// Gap between the slot table and the lowest row, measured from the slot
// table (the header's figure is not trusted: a damaged one would let a row
// overwrite the slot table or land outside the page). Raises "damaged" when
// the slot table does not describe a page.
std::size_t DataPageFreeSpace(Bytes page, const Layout& layout);
// Number of row slots.
std::uint16_t DataPageSlotCount(Bytes page, const Layout& layout);
// Whether a row of `length` bytes can be added (space and slot count);
// raises "damaged" as DataPageFreeSpace.
bool DataPageHasRoomFor(Bytes page, std::size_t length, const Layout& layout);

// Adds a row in a new slot with the slot flags `flags` (0 for a live row);
// returns its slot number, or nothing when it does not fit.
std::optional<std::uint8_t> AddRow(MutableBytes page, Bytes row, const Layout& layout, std::uint16_t flags = 0);

// The bytes of slot `slot` for changing in place (same length). Raises
// "damaged" when the slot table does not describe it.
MutableBytes MutableSlotBytes(MutableBytes page, std::uint8_t slot, const Layout& layout);

// Marks a row deleted; its bytes stay, as the engine leaves them.
void MarkRowDeleted(MutableBytes page, std::uint8_t slot, const Layout& layout);

// Puts `row` into slot `slot` with slot flags `flags`, repacking the page
// (other slots keep their numbers and contents; deleted rows shrink to
// nothing). Returns false, leaving the page unchanged, when it does not fit.
bool ReplaceRow(MutableBytes page, std::uint8_t slot, Bytes row, std::uint16_t flags, const Layout& layout);

}  // namespace dao::jet
