// The database file as an array of fixed-size pages with a cache. Readers
// get shared, read-only pages; writers change pages in place through
// Modify/Append, and the changed pages reach the file together on Flush,
// as one group that a crash cannot cut in half. Pages are decrypted on read
// and encrypted on write when the database has a page key.
#pragma once

#include <chrono>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/storage.h"

namespace dao::jet {

// The bytes of one page as the engine sees them (decrypted): owned, or lent
// by a read-only storage that holds the whole file in memory.
class Page {
 public:
  // A zero-filled page of `size` bytes.
  Page(std::uint32_t number, std::uint32_t size) : number_(number), owned_(size, 0), data_(owned_) {}
  // A page whose bytes stay owned by the storage (which outlives the page).
  Page(std::uint32_t number, Bytes lent) : number_(number), data_(lent) {}

  // The page's number in the file.
  std::uint32_t Number() const { return number_; }
  // All bytes of the page.
  Bytes Data() const { return data_; }
  // All bytes for changing; only reachable through PageFile::Modify/Append,
  // which mark the page dirty and never hand out lent pages.
  MutableBytes MutableData() { return owned_; }

 private:
  std::uint32_t number_;
  std::vector<std::uint8_t> owned_;
  Bytes data_;
};

using PageRef = std::shared_ptr<const Page>;
using MutablePageRef = std::shared_ptr<Page>;

class PageFile {
 public:
  // Cache size used when none is given.
  static constexpr std::size_t kDefaultCacheBytes = 64u << 20;
  // How long changes wait in the cache at most before FlushIfDue writes
  // them, unless set otherwise.
  static constexpr std::chrono::milliseconds kDefaultFlushInterval{1000};

  // Works on `storage` in pages of `pageSize` bytes; a trailing partial page
  // is not part of the file. The cache keeps at most about `cacheBytes` of
  // pages that are not referenced; changed pages stay until they are
  // flushed, the oldest unchanged ones make room.
  PageFile(std::unique_ptr<Storage> storage, std::uint32_t pageSize,
           std::size_t cacheBytes = kDefaultCacheBytes);
  // Writes changed pages back unless the last Flush failed (errors are lost
  // here: call Flush to see them).
  ~PageFile();
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;

  // Bytes per page.
  std::uint32_t PageSize() const { return pageSize_; }
  // Number of whole pages, including pages appended and not yet flushed.
  std::uint32_t PageCount() const { return static_cast<std::uint32_t>(slots_.size()); }
  // Whether pages may be changed.
  bool IsWritable() const { return storage_->IsWritable(); }

  // Page `number`; raises "damaged" when it lies beyond the end of the file
  // and JetError when it cannot be read. The page stays valid while held.
  PageRef Read(std::uint32_t number);
  // Page `number` for changing in place; it is written back on Flush.
  // Raises JetError 3027 on a read-only file.
  MutablePageRef Modify(std::uint32_t number);
  // A new zero-filled page at the end of the file, marked changed.
  MutablePageRef Append();
  // Writes every changed page to the storage as one group that lasts a
  // crash (Storage::Commit). When it raises, every page stays changed in
  // the cache for the next Flush, and the file holds what the last
  // successful Flush left.
  void Flush();
  // To be called only between complete changes: flushes when the changed
  // pages fill half the cache or the oldest of them has waited for the
  // flush interval, so that a long run of changes reaches the file in steps
  // and memory stays bounded.
  void FlushIfDue();
  void SetFlushInterval(std::chrono::milliseconds interval) { flushInterval_ = interval; }
  // Forgets the pages from `count` on, when all of them were appended since
  // the last flush (so that they exist only in the cache), and returns true;
  // otherwise changes nothing and returns false.
  bool DropAppendedPages(std::uint32_t count);

  // Page encryption key from page 0 (0: pages are stored in clear).
  void SetEncryptionKey(std::uint32_t databaseKey) { databaseKey_ = databaseKey; }

 private:
  struct Slot {
    MutablePageRef page;
    bool changed = false;
    std::list<std::uint32_t>::iterator recent;  // valid while cached and unchanged
  };

  Slot& Load(std::uint32_t number);
  void MarkChanged(Slot& slot);
  void Trim();

  std::unique_ptr<Storage> storage_;
  std::uint32_t pageSize_;
  std::size_t cacheLimitPages_;
  std::uint32_t databaseKey_ = 0;
  std::vector<Slot> slots_;
  std::list<std::uint32_t> recent_;  // unchanged cached pages, most recently used first
  std::size_t changedPages_ = 0;
  std::uint32_t storedPages_ = 0;  // pages the storage holds
  std::chrono::steady_clock::time_point firstChange_;
  std::chrono::milliseconds flushInterval_ = kDefaultFlushInterval;
  bool lastFlushFailed_ = false;
};

}  // namespace dao::jet
