#pragma once

// One page of an index B-tree (leaf or intermediate), decoded into its
// entries with the shared prefix restored, and encoded back. Leaf entries
// are key + index row pointer; intermediate entries add the child page.

#include <cstdint>
#include <span>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/layout.h"

namespace dao::jet {

// Bytes an index row pointer (3-byte big-endian page, row) adds to a key.
inline constexpr std::uint32_t kIndexRowPointerSize = 4;
// Bytes an intermediate entry adds for its child page (u32 big-endian).
inline constexpr std::uint32_t kIndexChildPointerSize = 4;

// The index row pointer bytes of `page`/`row`, as entries end with them.
void StoreIndexRowPointer(std::uint8_t* out, std::uint32_t page, std::uint8_t row);
RowPointer LoadIndexRowPointer(const std::uint8_t* in);

class IndexNode {
 public:
  bool leaf = true;
  std::uint32_t tablePage = 0;     // tdef page of the table the index belongs to
  std::uint32_t previousPage = 0;  // neighbours on the same level, 0 = none
  std::uint32_t nextPage = 0;
  std::uint32_t tailPage = 0;      // intermediate pages: last child, kept out of the entries

  // Decodes an index page; raises "damaged" for an inconsistent one.
  static IndexNode Parse(Bytes page, const Layout& layout);

  std::size_t Count() const { return ends_.size(); }
  bool Empty() const { return ends_.empty(); }
  // Entry `i` as stored (prefix restored): key, row pointer, and on
  // intermediate pages the child page.
  Bytes Entry(std::size_t i) const;
  // Entry `i` without the child page, the part that orders entries.
  Bytes SortPart(std::size_t i) const;
  // Child page of intermediate entry `i`.
  std::uint32_t Child(std::size_t i) const;

  // Index of the first entry whose sort part is >= `value` (Count() if none).
  std::size_t LowerBound(Bytes value) const;
  void Insert(std::size_t i, Bytes entry);
  void Erase(std::size_t i);
  void Replace(std::size_t i, Bytes entry);
  // Moves entries [from, Count()) to the end of `other`.
  void MoveTailTo(std::size_t from, IndexNode& other);

  // True when the entries fit one page of `layout` (with prefix compression
  // if needed).
  bool Fits(const Layout& layout) const;
  // True when the entries fit one page without a shared prefix.
  bool FitsUncompressed(const Layout& layout) const;
  // Writes the page image. Uses no shared prefix unless the entries need one
  // to fit, as the engine does. Raises "damaged" when they do not fit even
  // so (only entries read from a damaged page can be that long).
  void Write(MutableBytes page, const Layout& layout) const;
  // Bytes left free on the page when written.
  std::uint32_t FreeSpace(const Layout& layout) const;

 private:
  std::size_t Begin(std::size_t i) const { return i == 0 ? 0 : ends_[i - 1]; }
  std::size_t SharedPrefix() const;
  std::size_t StoredSize(std::size_t prefix) const;
  std::size_t ChosenPrefix(const Layout& layout) const;

  std::vector<std::uint8_t> data_;    // entries back to back
  std::vector<std::uint32_t> ends_;   // end offset of each entry in data_
};

}  // namespace dao::jet
