#pragma once

// Storing memo and OLE values: small values inline in the row, values that
// fit one page as a single row on a long-value (LVAL) page, larger ones as a
// chain of full-page rows. Every LVAL page is listed in the column's owned
// map, and in its free-space map while it has room.

#include <cstdint>
#include <map>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/layout.h"
#include "dao/jet/page_writer.h"
#include "dao/jet/table_definition.h"

namespace dao::jet {

// Values up to this many bytes are kept in the row, as the engine does.
inline constexpr std::uint32_t kMaxInlineLongValue = 64;

class LongValueWriter {
 public:
  LongValueWriter(PageWriter& pages, const Layout& layout) : pages_(pages), layout_(layout) {}

  // Stores `value` for `column` and returns the column's bytes for the row:
  // the 12-byte header, followed by the value when `allowInline` and it is
  // small. Raises JetError when the value is too large for the format.
  std::vector<std::uint8_t> Write(const ColumnDefinition& column, Bytes value, bool allowInline);
  // Releases the rows of the value whose row bytes are `field` (marks them
  // deleted, as the engine does); inline values need nothing.
  void Delete(Bytes field);
  // Forgets the pages it was filling (after a rolled-back write).
  void Reset() { openPages_.clear(); }

 private:
  RowPointer WriteSingleRow(const ColumnDefinition& column, Bytes value);
  RowPointer WriteChain(const ColumnDefinition& column, Bytes value);
  MutablePageRef NewLongValuePage(const ColumnDefinition& column);

  PageWriter& pages_;
  const Layout& layout_;
  std::map<std::uint16_t, std::uint32_t> openPages_;  // column -> LVAL page being filled
};

}  // namespace dao::jet
