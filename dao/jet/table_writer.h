#pragma once

// Adding, changing and deleting the rows of one table, keeping every
// structure the engine relies on exact after each operation: data pages and
// their usage maps, long values, every index of the table, the row count,
// the AutoNumber counter and the index statistics. Each operation checks
// everything first (conversions, sizes, required values, unique keys) and
// is applied as one transaction: when it fails, the file is as it was.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "dao/jet/field_value.h"
#include "dao/jet/index_tree.h"
#include "dao/jet/layout.h"
#include "dao/jet/long_value_writer.h"
#include "dao/jet/page_writer.h"
#include "dao/jet/row_encoder.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {

class TableWriter {
 public:
  // Writes the table `definition` (as read from its tdef) through `pages`.
  // `required[i]` marks columns whose Required property is set (may be
  // empty). The references must outlive the writer.
  TableWriter(PageWriter& pages, const TextCodec& codec, TableDefinition definition,
              std::vector<bool> required = {});
  TableWriter(const TableWriter&) = delete;
  TableWriter& operator=(const TableWriter&) = delete;

  const Layout& GetLayout() const { return layout_; }
  // The definition with the current row count and AutoNumber counter.
  const TableDefinition& Definition() const { return definition_; }

  // Stores a new row; `values` follow Definition().columns. A Null
  // AutoNumber value receives the next number (written back into
  // `values`). Returns the row's location. Raises JetError 3163 (value too
  // long), 3314 (required value missing), 3058 (Null in a required index),
  // 3022 (duplicate key), 3047 (row too large).
  RowPointer Insert(std::vector<FieldValue>& values);
  // Changes the columns of the row at `row` for which `changes` holds a
  // value (nullopt keeps a column as stored, long values included), with
  // Insert's checks; the row keeps its location.
  void Update(RowPointer row, const std::vector<std::optional<FieldValue>>& changes);
  // Deletes the row at `row` with its long values and index entries.
  // Raises JetError 3167 when it is already deleted.
  void Delete(RowPointer row);

  // Fills real index `k`, which must be empty, with an entry for every row,
  // and sets its statistics. Raises JetError 3022 when the index is unique
  // and two rows share a key, 3058 when it is required and a key column is
  // Null (the file is then as it was).
  void FillIndex(std::size_t k);

  // Calls `visit(location, rowBytes)` for every live row in storage order.
  void ForEachRow(const std::function<void(RowPointer, Bytes)>& visit);

  // Entries of real index `i` as they stand in the file, in order.
  std::vector<std::vector<std::uint8_t>> IndexEntries(std::size_t i);
  // Entries of real index `i` computed afresh from every row of the table.
  std::vector<std::vector<std::uint8_t>> ExpectedIndexEntries(std::size_t i);

 private:
  struct PreparedRow;

  PreparedRow Prepare(const std::vector<const FieldValue*>& values, const std::vector<std::uint8_t>* oldRow);
  std::vector<std::uint8_t> BuildRow(PreparedRow& prepared);
  std::vector<RowCell> CellsWithHeaders(const PreparedRow& prepared) const;
  std::vector<std::vector<std::uint8_t>> KeysOfStoredRow(Bytes row, std::vector<bool>* allNull,
                                                         std::vector<bool>* anyNull = nullptr);
  std::vector<std::uint8_t> StoredRow(RowPointer row, RowPointer* dataAt);
  RowPointer PlaceRow(Bytes row, std::uint16_t flags);
  void WriteCounters();
  void Run(const auto& operation);

  PageWriter& pages_;
  const Layout& layout_;
  const TextCodec& codec_;
  TableDefinition definition_;
  std::vector<bool> required_;
  RowShape shape_;
  LongValueWriter longValues_;
  std::vector<std::unique_ptr<IndexTree>> indexes_;
  std::uint32_t insertPage_ = 0;  // data page that takes new rows, 0 = not yet known
};

}  // namespace dao::jet
