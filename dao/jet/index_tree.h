#pragma once

// Upkeep of one real index's B-tree: entries are inserted and removed in
// place, pages split when they fill and leave the tree when they empty.
// The root keeps its page number for the index's life, so the table
// definition never changes. Only the rightmost page of each intermediate
// level keeps a tail child; every other intermediate page has an entry for
// each child, which is the largest entry below it. Pages this writer fills
// never need a shared prefix (so they are rewritten with a single copy);
// pages the engine filled with one keep it until they split.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/index_page.h"
#include "dao/jet/layout.h"
#include "dao/jet/page_writer.h"
#include "dao/jet/table_definition.h"

namespace dao::jet {

class IndexTree {
 public:
  // The tree of `index` of the table whose tdef is on `tablePage`.
  IndexTree(PageWriter& pages, const Layout& layout, std::uint32_t tablePage,
            const RealIndex& index);

  // Whether an entry with exactly these key bytes exists (any row).
  bool ContainsKey(Bytes key);
  // Inserts `entry` (key + index row pointer); returns true when no other
  // entry has the same key. Raises "damaged" for a tree that does not lead
  // to a leaf.
  bool Insert(Bytes entry);
  // Removes `entry`; returns false when it is not in the tree. Sets
  // `keyRemains` to whether other entries with the same key are left.
  bool Remove(Bytes entry, bool* keyRemains = nullptr);
  // Every entry in order (walks the leaf chain).
  std::vector<std::vector<std::uint8_t>> Entries();
  // Forgets decoded pages (after the page file was rolled back).
  void Reset() { nodes_.clear(); }

 private:
  struct Step {
    std::uint32_t page;
    std::size_t child;  // index of the entry followed; == Count() for the tail
  };

  IndexNode& Node(std::uint32_t page);
  void Store(std::uint32_t page);
  // Descends to the leaf where `value` belongs, recording the way down.
  std::uint32_t FindLeaf(Bytes value, std::vector<Step>& path);
  void SplitOrStore(std::uint32_t page, std::vector<Step>& path, bool appending);
  void RefreshParentCopies(std::uint32_t page, std::vector<Step> path);
  void Unlink(std::uint32_t page, std::vector<Step>& path);
  void CollapseRoot();
  std::vector<std::uint8_t> ParentEntry(std::uint32_t child);
  // Whether the entries next to position `at` of leaf `page` (across leaf
  // boundaries) have the key of `entry`, ignoring position `at` itself.
  bool NeighbourHasKey(std::uint32_t page, std::size_t at, Bytes entry);
  std::uint32_t NewPage(bool leaf);

  PageWriter& pages_;
  const Layout& layout_;
  std::uint32_t tablePage_;
  std::uint32_t root_;
  RowPointer usageMap_;
  std::unordered_map<std::uint32_t, IndexNode> nodes_;
};

// Allocates and writes the empty leaf a new index of the table on
// `tablePage` starts with; returns its page, the index's root for life.
std::uint32_t WriteEmptyIndexRoot(PageWriter& pages, std::uint32_t tablePage);

}  // namespace dao::jet
