#pragma once

// Reading one real index without changing it: its row pointers in key
// order (the leaves from left to right), and the place of a key, found by
// descending the tree from its root. Decoded pages are kept, so repeated
// searches read each page once; the reader must be made afresh after the
// file changed.

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/index_page.h"
#include "dao/jet/layout.h"
#include "dao/jet/page_file.h"
#include "dao/jet/table_definition.h"

namespace dao::jet {

class IndexReader {
 public:
  // An entry of a leaf.
  struct Position {
    std::uint32_t page = 0;
    std::size_t entry = 0;
  };

  // The tree of `index`; the references must outlive the reader.
  IndexReader(PageFile& pages, const Layout& layout, const RealIndex& index);

  // Every row pointer in key order. Raises "damaged" for a leaf chain that
  // loops or a tree that leads nowhere.
  std::vector<RowPointer> RowsInOrder();

  // The first entry whose key and row pointer sort at or after `key`.
  std::optional<Position> LowerBound(Bytes key);
  // The last entry of the index.
  std::optional<Position> Last();
  // The neighbours of an entry in key order.
  std::optional<Position> Next(Position position);
  std::optional<Position> Previous(Position position);
  // The key of an entry (without its row pointer) and its row.
  Bytes Key(Position position);
  RowPointer Row(Position position);

 private:
  const IndexNode& Node(std::uint32_t page);

  PageFile& pages_;
  const Layout& layout_;
  std::uint32_t root_;
  std::unordered_map<std::uint32_t, IndexNode> nodes_;
};

}  // namespace dao::jet
