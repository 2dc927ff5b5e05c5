#pragma once

// Builds data rows as the engine stores them: column count, fixed area,
// variable data, variable-offset trailer (with the jump table in Jet 3) and
// the null mask, where Yes/No values live.

#include <cstdint>
#include <span>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/layout.h"
#include "dao/jet/table_definition.h"

namespace dao::jet {

// One column's value on its way into a row.
struct RowCell {
  bool present = false;  // false: Null; for Yes/No columns: the value (true = Yes)
  Bytes bytes;           // the stored bytes of a present non-Yes/No value
};

// What a table's rows look like, derived once from its definition.
class RowShape {
 public:
  RowShape(const TableDefinition& definition, const Layout& layout);

  // Encodes a row; `cells` follow the order of the definition's columns.
  // Raises "damaged" when a fixed cell does not carry exactly the column's
  // length (a damaged definition can give a column less room than its type).
  std::vector<std::uint8_t> Encode(std::span<const RowCell> cells) const;
  // Length of the row Encode would build for `cells`.
  std::size_t EncodedSize(std::span<const RowCell> cells) const;
  // Length of a row whose variable columns are all Null: the smallest row.
  std::size_t MinimumRowSize() const;

 private:
  struct Column {
    std::uint16_t number;
    bool fixed;
    bool boolean;
    std::uint16_t fixedOffset;
    std::uint16_t length;
    std::uint16_t variableIndex;
  };

  std::size_t TrailerSize(std::size_t endOfData) const;

  const Layout& layout_;
  std::uint16_t maxColumns_;
  std::uint16_t variableColumns_;
  std::size_t fixedAreaSize_ = 0;
  std::vector<Column> columns_;
  std::vector<int> cellOfVariable_;  // variable index -> cell index, -1 for a deleted slot
};

}  // namespace dao::jet
