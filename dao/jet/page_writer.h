#pragma once

// Every change the writer makes to pages goes through here: pages are
// changed in place (in the page file's cache, written back on flush), new
// pages are appended at the end of the file, and the usage maps that record
// allocation are kept exact: the global map (page 1, row 0: used pages 0,
// pages beyond the end of the file 1) and the owner maps of tables, indexes
// and long-value columns. Changes can be grouped into a transaction that is
// rolled back as a whole, so a failed update leaves the file as it was.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "dao/jet/layout.h"
#include "dao/jet/page_file.h"

namespace dao::jet {

class PageWriter {
 public:
  // Works on `pages` until destroyed; the references must outlive it.
  PageWriter(PageFile& pages, const Layout& layout) : pages_(pages), layout_(layout) {}
  PageWriter(const PageWriter&) = delete;
  PageWriter& operator=(const PageWriter&) = delete;

  const Layout& GetLayout() const { return layout_; }
  // The page file, for reading structures with the reader's functions.
  PageFile& File() { return pages_; }
  std::uint32_t PageCount() const { return pages_.PageCount(); }
  // Page `number` for reading.
  PageRef Read(std::uint32_t number) { return pages_.Read(number); }
  // Page `number` for changing in place; inside a transaction its bytes are
  // kept first so that Rollback can restore them.
  MutablePageRef Modify(std::uint32_t number);

  // Starts a group of changes; they stay in effect unless rolled back.
  // Groups nest: only the outermost one keeps or restores pages, and before
  // it starts, the pages changed so far may be flushed (PageFile::FlushIfDue).
  void BeginTransaction();
  // Keeps the changes since BeginTransaction.
  void Commit();
  // Restores every page changed since the outermost BeginTransaction
  // (an inner group leaves that to the outer one) and forgets the pages
  // appended meanwhile; should some of them have been flushed, they stay in
  // the file instead, zeroed and marked free in the global map.
  void Rollback();
  // Runs `change` as one group: kept when it returns; when it raises, rolled
  // back, then `undo` restores what the caller holds in memory, and the
  // error goes on.
  template <class Change, class Undo>
  void Transactionally(const Change& change, const Undo& undo) {
    BeginTransaction();
    try {
      change();
      Commit();
    } catch (...) {
      Rollback();
      undo();
      throw;
    }
  }

  // A new zero-filled page at the end of the file, marked used in the global
  // map (which becomes a reference map when page 1 cannot hold it inline).
  // Raises JetError when the file would grow beyond its format's limit.
  MutablePageRef Allocate();
  // Marks `page` unused in the global map (its bytes stay).
  void Release(std::uint32_t page);

  // Lists (or unlists) `page` in the owner map stored at `map`, growing an
  // inline map into a reference map when it cannot reach the page.
  void SetListed(RowPointer map, std::uint32_t page, bool listed);

 private:
  void SetGlobalFree(std::uint32_t page, bool free);
  void GlobalToReferenceMap(MutableBytes row);
  void SetGlobalReferenceBit(MutableBytes row, std::uint32_t page, bool free);
  void ToReferenceMap(MutableBytes row, std::uint32_t page);
  void SetReferenceBit(MutableBytes row, std::uint32_t page, bool listed);

  PageFile& pages_;
  const Layout& layout_;
  int depth_ = 0;  // nesting of transactions
  bool inTransaction_ = false;
  std::uint32_t pageCountAtBegin_ = 0;
  std::unordered_map<std::uint32_t, std::vector<std::uint8_t>> saved_;  // bytes before the transaction
  std::vector<std::vector<std::uint8_t>> spareBuffers_;                 // reused for saved pages
};

}  // namespace dao::jet
