// The rows a recordset walks: the row pointers of a table in storage order,
// found lazily as the recordset moves, shared between a recordset and its
// clones. Row pointers stay valid for the life of the set, so they serve
// as bookmarks. Rows added through the set (or, for sets that follow the
// table, through any recordset) join at the end; rows deleted that way
// stay in the set as removed entries, which moves skip.
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
  // A set that `followsTable` (table-type recordsets) also takes the rows
  // other recordsets add or delete.
  RowSet(std::shared_ptr<TableSource> table, bool empty, bool followsTable = false);
  // A set of the given entries, found by a query: row pointers of `table`,
  // or, without a table, the numbers of a query's rows of values.
  RowSet(std::shared_ptr<TableSource> table, std::vector<jet::RowPointer> entries);

  // True when entry `index` exists (live or removed); scans as far as needed.
  bool Has(std::size_t index);
  // Row pointer of entry `index` (Has(index) must be true).
  jet::RowPointer At(std::size_t index) const { return rows_[index]; }
  // The bytes of entry `index` when it is the row the scan found last and
  // nothing was written since (saves reading it again); nullptr otherwise.
  const jet::RowRef* ScannedRow(std::size_t index) const;
  // Scans to the end and returns the number of entries.
  std::size_t Size();
  // Position of the entry for `pointer`, if it belongs to the set.
  std::optional<std::size_t> IndexOf(jet::RowPointer pointer);

  // Whether entry `index` was removed (its row deleted).
  bool IsRemoved(std::size_t index) const { return index < removed_.size() && removed_[index]; }
  // The first entry at or after `index` that is not removed.
  std::optional<std::size_t> NextLive(std::size_t index);
  // The last entry at or before `index` that is not removed.
  std::optional<std::size_t> PreviousLive(std::size_t index);
  // Number of entries before `index` that are not removed.
  std::size_t LiveBefore(std::size_t index) const;
  // The entry of the `position`-th row that is not removed (0-based).
  std::optional<std::size_t> LiveAt(std::size_t position);
  // Number of rows not removed (scans to the end).
  std::size_t LiveSize() { return Size() - removedCount_; }

  // Call before a row is added to the table: a set that is to take the new
  // row reads to its end first, so that its scan cannot find the row too.
  void PrepareForAppend() { Size(); }
  // Adds the new row at `pointer` at the end (which makes the count of
  // visited rows exact, as the whole set has been read).
  void Append(jet::RowPointer pointer);
  // Marks the entry of the deleted row at `pointer` removed, if it is here.
  void Remove(jet::RowPointer pointer);
  // Whether the set takes rows added and deleted through other recordsets.
  bool FollowsTable() const { return followsTable_; }

  // Rows a recordset has stood on so far, removed ones not counted (DAO's
  // RecordCount of dynasets).
  std::size_t Visited() const { return visited_ - RemovedBefore(visited_); }
  void MarkVisited(std::size_t count) { visited_ = std::max(visited_, count); }

  // The table whose rows the set holds (nullptr for rows of values).
  const std::shared_ptr<TableSource>& Table() const { return table_; }

 private:
  std::size_t RemovedBefore(std::size_t index) const;

  std::shared_ptr<TableSource> table_;
  std::shared_ptr<const jet::TableDefinition> definition_;  // kept alive for the scanner
  std::optional<jet::TableScanner> scanner_;
  std::uint64_t scannedGeneration_ = 0;  // database generation when the scan last moved
  bool followsTable_;
  std::vector<jet::RowPointer> rows_;
  std::unordered_map<std::uint32_t, std::size_t> positions_;  // built on first IndexOf
  std::vector<bool> removed_;
  std::vector<std::size_t> removedSorted_;
  std::size_t removedCount_ = 0;
  std::size_t visited_ = 0;
};

}  // namespace dao
