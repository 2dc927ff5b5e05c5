#pragma once

// Changing the stored definition of a table by editing its stream rather
// than writing it anew: the parts a change adds or removes are spliced
// into the stream as stored and the counts in its header adjusted, so every
// byte the engine (or Access) wrote there that this program does not model
// stays as it was.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dao/jet/page_writer.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {

class DefinitionEditor {
 public:
  // Reads the stored stream of `definition`. Raises "damaged" when its
  // parts do not fit the stream.
  DefinitionEditor(PageWriter& pages, const TextCodec& codec, const TableDefinition& definition);

  // Appends real index `index` (statistics and descriptor).
  void AddRealIndex(const RealIndex& index);
  void RemoveRealIndex(std::size_t position);
  // Inserts logical index `index` with its name at `position`.
  void InsertLogicalIndex(std::size_t position, const LogicalIndex& index);
  void RemoveLogicalIndex(std::size_t position);
  // Writes the numbers of `index` (its own, its real index's and the
  // related index it names) into the descriptor at `position` (its other
  // bytes stay).
  void RenumberLogicalIndex(std::size_t position, const LogicalIndex& index);
  // Appends `column` (descriptor, name and, for memo and OLE, the record of
  // its maps) and the column counts of new rows.
  void AddColumn(const ColumnDefinition& column, bool systemTable, std::uint16_t maxColumns,
                 std::uint16_t variableColumns);

  // Writes the stream over the table's definition pages, taking or giving
  // back continuation pages; updates the length and pages of `definition`.
  void Store(TableDefinition& definition);

 private:
  struct Parts {
    std::size_t statistics = 0;
    std::size_t columns = 0;
    std::size_t columnNames = 0;
    std::size_t realIndexes = 0;
    std::size_t logicalIndexes = 0;
    std::vector<std::size_t> logicalNames;  // start of each, then the end of the last
    std::size_t terminator = 0;             // where the FF FF terminator lies
  };
  void Locate();
  std::size_t NameEnd(std::size_t at) const;
  void Splice(std::size_t at, std::size_t erase, const std::vector<std::uint8_t>& insert);
  std::uint32_t Count32(std::uint32_t offset) const;
  void SetCount32(std::uint32_t offset, std::uint32_t value);

  PageWriter& pages_;
  const TextCodec& codec_;
  const Layout& layout_;
  std::vector<std::uint8_t> stream_;
  Parts parts_;
};

}  // namespace dao::jet
