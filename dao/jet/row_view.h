// One stored row taken apart: column count, null mask, fixed area and the
// variable-offset table (with Jet 3's jump table). Parsing is cheap and
// allocation-free; every offset is checked against the row.
#pragma once

#include <array>
#include <cstdint>

#include "dao/jet/bytes.h"
#include "dao/jet/layout.h"
#include "dao/jet/table_definition.h"

namespace dao::jet {

class RowView {
 public:
  // `row` are the bytes of one row of a table with `variableColumns`
  // variable slots (TableDefinition::variableColumns). Raises "damaged" when
  // the row's structure does not fit its bytes.
  RowView(const Layout& layout, Bytes row, std::uint16_t variableColumns);

  // Number of columns the row was written with.
  std::uint16_t ColumnCount() const { return columnCount_; }
  // The null-mask bit of column `number`: value present (or Boolean true).
  bool HasBit(std::uint16_t number) const {
    return number < columnCount_ && (mask_[number >> 3] >> (number & 7) & 1) != 0;
  }
  // The `size` bytes of a fixed column at `fixedOffset`; raises "damaged"
  // when they lie outside the row's data.
  Bytes Fixed(std::uint16_t fixedOffset, std::uint32_t size) const;
  // True when variable slot `index` exists in this row.
  bool HasVariable(std::uint16_t index) const { return index < variableCount_; }
  // The bytes of variable slot `index` (< the row's variable count).
  Bytes Variable(std::uint16_t index) const {
    return row_.subspan(offsets_[index], offsets_[index + 1] - offsets_[index]);
  }

  // Sets `out` to the value bytes of `column` and returns true, or returns
  // false when the value is Null. Boolean columns have no bytes: use HasBit.
  bool Value(const ColumnDefinition& column, Bytes& out) const;

 private:
  void ParseJet4Trailer(std::size_t trailerEnd);
  void ParseJet3Trailer(std::size_t trailerEnd);
  void CheckOffsets() const;

  Bytes row_;
  std::uint32_t headerSize_;
  std::uint16_t columnCount_ = 0;
  const std::uint8_t* mask_ = nullptr;
  std::size_t dataEnd_ = 0;  // end of fixed and variable data (start of the trailer)
  std::uint16_t variableCount_ = 0;
  // Start of each variable slot and, at [variableCount_], the end of data;
  // only those entries are set (a view is made for every row read, and
  // clearing all of them took longer than parsing the row).
  std::array<std::uint16_t, 257> offsets_;
};

}  // namespace dao::jet
