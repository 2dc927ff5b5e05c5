#include "dao/jet/page_file.h"

#include <algorithm>
#include <string>

#include "dao/jet/format.h"
#include "dao/jet/rc4.h"

namespace dao::jet {

PageFile::PageFile(std::unique_ptr<Storage> storage, std::uint32_t pageSize, std::size_t cacheBytes)
    : storage_(std::move(storage)),
      pageSize_(pageSize),
      cacheLimitPages_(std::max<std::size_t>(cacheBytes / pageSize, 16)) {
  slots_.resize(static_cast<std::size_t>(storage_->Size() / pageSize_));
  storedPages_ = PageCount();
}

PageFile::~PageFile() {
  if (lastFlushFailed_) return;  // the caller has seen why; a second try would hide it
  try {
    Flush();
  } catch (...) {
    // A destructor cannot report; callers that care call Flush first.
  }
}

PageRef PageFile::Read(std::uint32_t number) {
  Slot& slot = Load(number);
  return slot.page;
}

MutablePageRef PageFile::Modify(std::uint32_t number) {
  if (!IsWritable()) throw JetError(kErrReadOnly, "Cannot update. Database or object is read-only.");
  Slot& slot = Load(number);
  MarkChanged(slot);
  return slot.page;
}

MutablePageRef PageFile::Append() {
  if (!IsWritable()) throw JetError(kErrReadOnly, "Cannot update. Database or object is read-only.");
  Trim();
  const auto number = static_cast<std::uint32_t>(slots_.size());
  slots_.emplace_back();
  Slot& slot = slots_.back();
  slot.page = std::make_shared<Page>(number, pageSize_);
  if (changedPages_ == 0) firstChange_ = std::chrono::steady_clock::now();
  slot.changed = true;
  ++changedPages_;
  return slot.page;
}

void PageFile::Flush() {
  if (changedPages_ == 0) return;
  std::vector<Extent> extents;
  extents.reserve(changedPages_);
  std::vector<std::vector<std::uint8_t>> enciphered;  // pages as stored, when they differ from the cache
  for (const Slot& slot : slots_) {
    if (!slot.changed) continue;
    const std::uint32_t number = slot.page->Number();
    Bytes bytes = slot.page->Data();
    if (databaseKey_ != 0 && number != kHeaderPage) {
      std::vector<std::uint8_t>& copy = enciphered.emplace_back(bytes.begin(), bytes.end());
      ApplyPageCipher(databaseKey_, number, copy);
      bytes = copy;
    }
    extents.push_back({static_cast<std::uint64_t>(number) * pageSize_, bytes});
  }
  lastFlushFailed_ = true;
  storage_->Commit(extents);
  lastFlushFailed_ = false;
  for (std::uint32_t number = 0; number < slots_.size(); ++number) {
    Slot& slot = slots_[number];
    if (!slot.changed) continue;
    slot.changed = false;
    recent_.push_front(number);
    slot.recent = recent_.begin();
  }
  changedPages_ = 0;
  storedPages_ = PageCount();
  Trim();
}

bool PageFile::DropAppendedPages(std::uint32_t count) {
  if (count < storedPages_) return false;
  for (std::uint32_t number = count; number < slots_.size(); ++number) {
    if (slots_[number].changed) --changedPages_;
  }
  if (count < slots_.size()) slots_.resize(count);
  return true;
}

void PageFile::FlushIfDue() {
  if (changedPages_ == 0) return;
  if (changedPages_ * 2 >= cacheLimitPages_ || std::chrono::steady_clock::now() - firstChange_ >= flushInterval_) {
    Flush();
  }
}

PageFile::Slot& PageFile::Load(std::uint32_t number) {
  if (number >= slots_.size()) {
    ThrowDamaged("page " + std::to_string(number) + " lies beyond the end of the file (" +
                 std::to_string(slots_.size()) + " pages)");
  }
  Slot& cached = slots_[number];
  if (cached.page) {
    if (!cached.changed && cached.recent != recent_.begin()) recent_.splice(recent_.begin(), recent_, cached.recent);
    return cached;
  }
  const std::uint64_t offset = static_cast<std::uint64_t>(number) * pageSize_;
  const Bytes mapped = storage_->Mapped();
  MutablePageRef page;
  if (!mapped.empty() && (databaseKey_ == 0 || number == kHeaderPage)) {
    page = std::make_shared<Page>(number, mapped.subspan(offset, pageSize_));
  } else {
    page = std::make_shared<Page>(number, pageSize_);
    storage_->Read(offset, page->MutableData());
    if (databaseKey_ != 0 && number != kHeaderPage) ApplyPageCipher(databaseKey_, number, page->MutableData());
  }
  Trim();
  Slot& slot = slots_[number];
  slot.page = std::move(page);
  recent_.push_front(number);
  slot.recent = recent_.begin();
  return slot;
}

void PageFile::MarkChanged(Slot& slot) {
  if (slot.changed) return;
  // Changed pages leave the cache's order: nothing evicts them before they
  // are flushed.
  recent_.erase(slot.recent);
  if (changedPages_ == 0) firstChange_ = std::chrono::steady_clock::now();
  slot.changed = true;
  ++changedPages_;
}

void PageFile::Trim() {
  // Walk from the least recently used end; pages still held by a caller
  // (use count above one) stay. Changed pages count against the limit too,
  // so that the cache as a whole keeps to it.
  auto it = recent_.end();
  while (recent_.size() + changedPages_ >= cacheLimitPages_ && it != recent_.begin()) {
    --it;
    Slot& slot = slots_[*it];
    if (slot.page.use_count() > 1) continue;
    slot.page.reset();
    it = recent_.erase(it);
  }
}

}  // namespace dao::jet
