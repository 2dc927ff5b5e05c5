// The rows a recordset walks: the row pointers of a table in storage order,
// found lazily as the recordset moves, shared between a recordset and its
// clones. Row pointers stay valid for the life of the set, so they serve
// as bookmarks.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "dao/database_state.h"
#include "dao/jet/table_scanner.h"

namespace dao {

class RowSet {
 public:
  // The rows of `table`; an empty set when `empty` (append-only recordsets).
  RowSet(std::shared_ptr<TableSource> table, bool empty);

  // True when row `index` exists; scans as far as needed.
  bool Has(std::size_t index);
  // Row pointer of row `index` (Has(index) must be true).
  jet::RowPointer At(std::size_t index) const { return rows_[index]; }
  // The bytes of row `index` when it is the row the scan found last (saves
  // reading it again); nullptr otherwise.
  const jet::RowRef* ScannedRow(std::size_t index) const {
    return scanner_ && index + 1 == rows_.size() ? &scanner_->Row() : nullptr;
  }
  // Scans to the end and returns the number of rows.
  std::size_t Size();
  // Position of the row at `pointer`, if it belongs to the set.
  std::optional<std::size_t> IndexOf(jet::RowPointer pointer);

  // Rows a recordset has stood on so far (DAO's RecordCount of dynasets).
  std::size_t Visited() const { return visited_; }
  void MarkVisited(std::size_t count) { visited_ = std::max(visited_, count); }

  const std::shared_ptr<TableSource>& Table() const { return table_; }

 private:
  std::shared_ptr<TableSource> table_;
  std::shared_ptr<const jet::TableDefinition> definition_;  // kept alive for the scanner
  std::optional<jet::TableScanner> scanner_;
  std::vector<jet::RowPointer> rows_;
  std::unordered_map<std::uint32_t, std::size_t> positions_;  // built on first IndexOf
  std::size_t visited_ = 0;
};

}  // namespace dao
