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
}

PageFile::~PageFile() {
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
  slot.dirty = true;
  return slot.page;
}

MutablePageRef PageFile::Append() {
  if (!IsWritable()) throw JetError(kErrReadOnly, "Cannot update. Database or object is read-only.");
  Trim();
  const auto number = static_cast<std::uint32_t>(slots_.size());
  slots_.emplace_back();
  Slot& slot = slots_.back();
  slot.page = std::make_shared<Page>(number, pageSize_);
  slot.dirty = true;
  recent_.push_front(number);
  slot.recent = recent_.begin();
  ++cachedPages_;
  return slot.page;
}

void PageFile::Flush() {
  for (Slot& slot : slots_) {
    if (slot.dirty) WriteBack(slot);
  }
  if (IsWritable()) storage_->Sync();
}

PageFile::Slot& PageFile::Load(std::uint32_t number) {
  if (number >= slots_.size()) {
    ThrowDamaged("page " + std::to_string(number) + " lies beyond the end of the file (" +
                 std::to_string(slots_.size()) + " pages)");
  }
  Slot& cached = slots_[number];
  if (cached.page) {
    Touch(cached);
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
  ++cachedPages_;
  return slot;
}

void PageFile::Touch(Slot& slot) {
  if (slot.recent != recent_.begin()) recent_.splice(recent_.begin(), recent_, slot.recent);
}

void PageFile::WriteBack(Slot& slot) {
  std::vector<std::uint8_t> bytes(slot.page->Data().begin(), slot.page->Data().end());
  const std::uint32_t number = slot.page->Number();
  if (databaseKey_ != 0 && number != kHeaderPage) ApplyPageCipher(databaseKey_, number, bytes);
  storage_->Write(static_cast<std::uint64_t>(number) * pageSize_, bytes);
  slot.dirty = false;
}

void PageFile::Trim() {
  // Walk from the least recently used end; pages still held by a caller
  // (use count above one) stay, dirty pages are written before they go.
  auto it = recent_.end();
  while (cachedPages_ >= cacheLimitPages_ && it != recent_.begin()) {
    --it;
    Slot& slot = slots_[*it];
    if (slot.page.use_count() > 1) continue;
    if (slot.dirty) WriteBack(slot);
    slot.page.reset();
    it = recent_.erase(it);
    --cachedPages_;
  }
}

}  // namespace dao::jet
