// Walks the live rows of a table in storage order: the data pages of its
// owned-pages map in page order, the slots of each page in slot order.
// Deleted slots and the moved data of overflow rows are skipped; an
// overflow slot yields the row it points to.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "dao/jet/data_page.h"
#include "dao/jet/layout.h"
#include "dao/jet/page_file.h"
#include "dao/jet/table_definition.h"

namespace dao::jet {

class TableScanner {
 public:
  // Reads the table's owned-pages map; `pages`, `layout` and `table` must
  // outlive the scanner.
  TableScanner(PageFile& pages, const Layout& layout, const TableDefinition& table);

  // Moves to the next live row; false when there is none.
  bool Next();
  // The slot of the current row: stable and unique, the row's bookmark.
  RowPointer Location() const { return location_; }
  // The bytes of the current row (valid until the next call of Next).
  const RowRef& Row() const { return row_; }

 private:
  bool OpenNextPage();

  PageFile* pages_;
  const Layout* layout_;
  std::uint32_t owner_;
  std::vector<std::uint32_t> pageNumbers_;
  std::size_t nextPage_ = 0;
  std::optional<DataPage> page_;
  std::uint16_t nextRow_ = 0;
  RowPointer location_;
  RowRef row_;
};

}  // namespace dao::jet
